#include "scenario/vivo/sorveglia.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>

namespace calvetra::scenario::vivo {

Sorveglianza::~Sorveglianza() {
  if (inotify_ >= 0) close(inotify_);
  if (segnali_ >= 0) close(segnali_);
  if (maschera_salvata_) {
    pthread_sigmask(SIG_SETMASK, &maschera_prima_, nullptr);
    sigaction(SIGINT, &azione_prima_[0], nullptr);
    sigaction(SIGTERM, &azione_prima_[1], nullptr);
  }
}

bool Sorveglianza::apri(const std::string& cartella, std::vector<std::string> nomi,
                        std::string* errore) {
  nomi_ = std::move(nomi);
  sigset_t fine;
  sigemptyset(&fine);
  sigaddset(&fine, SIGINT);
  sigaddset(&fine, SIGTERM);
  // A shell starts a command put in the background with SIGINT ignored: an
  // ignored signal never waits to be read, and the server could not be
  // ended with it.
  struct sigaction predefinita {};
  predefinita.sa_handler = SIG_DFL;
  sigaction(SIGINT, &predefinita, &azione_prima_[0]);
  sigaction(SIGTERM, &predefinita, &azione_prima_[1]);
  maschera_salvata_ = pthread_sigmask(SIG_BLOCK, &fine, &maschera_prima_) == 0;
  segnali_ = signalfd(-1, &fine, SFD_CLOEXEC | SFD_NONBLOCK);
  inotify_ = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  if (segnali_ < 0 || inotify_ < 0) {
    *errore = std::string("sorveglianza non disponibile: ") + std::strerror(errno);
    return false;
  }
  // A save writes and closes the file (not each write: a file read halfway
  // through its save would show a route that never was), or renames another
  // over it; a deletion, and a rename away, make the source missing; a
  // change of its permissions may make it unreadable, or readable again.
  const uint32_t maschera =
      IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE | IN_ATTRIB;
  if (inotify_add_watch(inotify_, cartella.c_str(), maschera) < 0) {
    *errore = cartella + ": non si puo' sorvegliare: " + std::strerror(errno);
    return false;
  }
  return true;
}

bool Sorveglianza::leggi_eventi() {
  bool nostro = false;
  alignas(inotify_event) char buffer[16384];
  for (;;) {
    const ssize_t n = read(inotify_, buffer, sizeof buffer);
    if (n <= 0) return nostro;
    for (ssize_t i = 0; i < n;) {
      inotify_event e;
      std::memcpy(&e, buffer + i, sizeof e);
      if (e.len > 0) {
        const char* nome = buffer + i + static_cast<ssize_t>(sizeof(inotify_event));
        const std::string s(nome, strnlen(nome, e.len));
        nostro = nostro || std::find(nomi_.begin(), nomi_.end(), s) != nomi_.end();
      }
      if ((e.mask & IN_Q_OVERFLOW) != 0) nostro = true;
      i += static_cast<ssize_t>(sizeof(inotify_event) + e.len);
    }
  }
}

Sorveglianza::Evento Sorveglianza::attendi(int quiete_ms) {
  // A save that never stops being followed by another still shows within
  // this long of the first.
  constexpr auto kAttesaMassima = std::chrono::milliseconds(150);
  bool cambiato = false;
  std::chrono::steady_clock::time_point primo;
  for (;;) {
    pollfd fd[2] = {{segnali_, POLLIN, 0}, {inotify_, POLLIN, 0}};
    // Once a change is seen, wait only for the burst to end.
    int attesa = -1;
    if (cambiato) {
      const auto resta = std::chrono::duration_cast<std::chrono::milliseconds>(
          primo + kAttesaMassima - std::chrono::steady_clock::now());
      attesa = static_cast<int>(std::clamp<int64_t>(resta.count(), 0, quiete_ms));
    }
    const int pronti = poll(fd, 2, attesa);
    if (pronti < 0) {
      if (errno == EINTR) continue;
      return Evento::fine;
    }
    if ((fd[0].revents & POLLIN) != 0) {
      // Taken, so that it is not delivered again once the mask is restored.
      signalfd_siginfo preso;
      const ssize_t letti = read(segnali_, &preso, sizeof preso);
      (void)letti;
      return Evento::fine;
    }
    if (pronti == 0) return Evento::salvato;
    if ((fd[1].revents & POLLIN) != 0 && leggi_eventi() && !cambiato) {
      cambiato = true;
      primo = std::chrono::steady_clock::now();
    }
  }
}

}  // namespace calvetra::scenario::vivo
