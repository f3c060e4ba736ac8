#include <fcntl.h>
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
#include <set>

#include "platform/sorveglianza.h"

namespace calvetra {

namespace {

using Orologio = std::chrono::steady_clock;

// A save that never stops being followed by another still shows within
// this long of the first.
constexpr auto kAttesaMassima = std::chrono::milliseconds(150);
// A file made or written and never closed (a link made to it, a writer
// that hangs) is read after this long without news of it.
constexpr auto kScritturaMassima = std::chrono::seconds(2);

// What the directory itself is told: a save closed, a rename in or out, a
// file made or deleted, a change of permissions (which may make a source
// unreadable, or readable again); a write, to know a file is open for
// writing until its close; and the directory's own end.
constexpr uint32_t kMascheraCartella = IN_CLOSE_WRITE | IN_MODIFY | IN_MOVED_TO | IN_MOVED_FROM |
                                       IN_CREATE | IN_DELETE | IN_ATTRIB | IN_DELETE_SELF |
                                       IN_MOVE_SELF;
// What the directory above is told: the directory made, or brought, again.
constexpr uint32_t kMascheraSopra = IN_CREATE | IN_MOVED_TO;

}  // namespace

struct Sorveglianza::Stato {
  sigset_t maschera_prima{};  // restored at the end, with the actions
  struct sigaction azione_prima[2]{};
  bool maschera_salvata = false;
  int inotify = -1;
  int segnali = -1;
  int termina[2] = {-1, -1};
  int wd_cartella = -1;
  int wd_sopra = -1;
  std::string cartella;
  std::string nome_cartella;  // its name in the directory above
  std::vector<std::string> nomi;

  bool cambiato = false;
  Orologio::time_point primo;
  std::set<std::string> in_scrittura;
  Orologio::time_point ultima_scrittura;
  bool toccata = false;
  bool assente = false;
  bool assenza_detta = false;

  bool nostro(const std::string& nome) const {
    return std::find(nomi.begin(), nomi.end(), nome) != nomi.end();
  }

  void segna_cambio() {
    if (!cambiato) primo = Orologio::now();
    cambiato = true;
    toccata = true;
  }

  // The directory, watched again; true when it is there.
  bool riprendi() {
    wd_cartella = inotify_add_watch(inotify, cartella.c_str(), kMascheraCartella | IN_ONLYDIR);
    if (wd_cartella < 0) return false;
    assente = false;
    assenza_detta = false;
    segna_cambio();
    return true;
  }

  void persa() {
    if (wd_cartella >= 0) inotify_rm_watch(inotify, wd_cartella);
    wd_cartella = -1;
    in_scrittura.clear();
    // Made again already, between its end and this.
    if (!riprendi()) assente = true;
  }

  void evento(const inotify_event& e, const std::string& nome) {
    if ((e.mask & IN_Q_OVERFLOW) != 0) {
      // Events were lost: the files are read again, as they stand.
      in_scrittura.clear();
      segna_cambio();
      return;
    }
    if (e.wd == wd_sopra && wd_sopra >= 0) {
      if (assente && nome == nome_cartella && (e.mask & IN_ISDIR) != 0) riprendi();
      return;
    }
    if (e.wd != wd_cartella || wd_cartella < 0) return;
    if ((e.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) != 0) {
      persa();
      return;
    }
    if (!nostro(nome)) return;
    if ((e.mask & (IN_CREATE | IN_MODIFY)) != 0) {
      in_scrittura.insert(nome);
      ultima_scrittura = Orologio::now();
    }
    if ((e.mask & (IN_CLOSE_WRITE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO)) != 0) {
      in_scrittura.erase(nome);
    }
    segna_cambio();
  }

  void leggi_eventi() {
    alignas(inotify_event) char buffer[16384];
    for (;;) {
      const ssize_t n = read(inotify, buffer, sizeof buffer);
      if (n <= 0) return;
      for (ssize_t i = 0; i < n;) {
        inotify_event e;
        std::memcpy(&e, buffer + i, sizeof e);
        const char* testo = buffer + i + static_cast<ssize_t>(sizeof(inotify_event));
        const std::string nome = e.len > 0 ? std::string(testo, strnlen(testo, e.len)) : "";
        evento(e, nome);
        i += static_cast<ssize_t>(sizeof(inotify_event) + e.len);
      }
    }
  }
};

Sorveglianza::Sorveglianza() : s_(std::make_unique<Stato>()) {}

Sorveglianza::~Sorveglianza() {
  Stato& s = *s_;
  if (s.inotify >= 0) close(s.inotify);
  if (s.segnali >= 0) close(s.segnali);
  for (int fd : s.termina) {
    if (fd >= 0) close(fd);
  }
  if (s.maschera_salvata) {
    pthread_sigmask(SIG_SETMASK, &s.maschera_prima, nullptr);
    sigaction(SIGINT, &s.azione_prima[0], nullptr);
    sigaction(SIGTERM, &s.azione_prima[1], nullptr);
  }
}

bool Sorveglianza::apri(const std::string& cartella, std::vector<std::string> nomi,
                        std::string* errore) {
  Stato& s = *s_;
  s.nomi = std::move(nomi);
  s.cartella = cartella;
  while (s.cartella.size() > 1 && s.cartella.back() == '/') s.cartella.pop_back();
  const size_t barra = s.cartella.rfind('/');
  const std::string sopra = barra == std::string::npos ? "."
                            : barra == 0               ? "/"
                                                       : s.cartella.substr(0, barra);
  s.nome_cartella = barra == std::string::npos ? s.cartella : s.cartella.substr(barra + 1);
  sigset_t fine;
  sigemptyset(&fine);
  sigaddset(&fine, SIGINT);
  sigaddset(&fine, SIGTERM);
  // A shell starts a command put in the background with SIGINT ignored: an
  // ignored signal never waits to be read, and the server could not be
  // ended with it.
  struct sigaction predefinita {};
  predefinita.sa_handler = SIG_DFL;
  sigaction(SIGINT, &predefinita, &s.azione_prima[0]);
  sigaction(SIGTERM, &predefinita, &s.azione_prima[1]);
  s.maschera_salvata = pthread_sigmask(SIG_BLOCK, &fine, &s.maschera_prima) == 0;
  s.segnali = signalfd(-1, &fine, SFD_CLOEXEC | SFD_NONBLOCK);
  s.inotify = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  if (s.segnali < 0 || s.inotify < 0 || pipe2(s.termina, O_CLOEXEC | O_NONBLOCK) != 0) {
    *errore = std::string("sorveglianza non disponibile: ") + std::strerror(errno);
    return false;
  }
  s.wd_cartella = inotify_add_watch(s.inotify, s.cartella.c_str(), kMascheraCartella | IN_ONLYDIR);
  if (s.wd_cartella < 0) {
    *errore = cartella + ": non si puo' sorvegliare: " + std::strerror(errno);
    return false;
  }
  // Without it the directory made again is not seen; everything else works.
  s.wd_sopra = inotify_add_watch(s.inotify, sopra.c_str(), kMascheraSopra | IN_ONLYDIR);
  return true;
}

Sorveglianza::Evento Sorveglianza::attendi(int quiete_ms) {
  Stato& s = *s_;
  for (;;) {
    if (s.assente && !s.assenza_detta) {
      s.assenza_detta = true;
      s.cambiato = false;
      return Evento::cartella_assente;
    }
    // Once a change is seen, wait only for the burst to end, and for the
    // writers to close.
    int attesa = -1;
    const auto adesso = Orologio::now();
    if (s.cambiato && !s.in_scrittura.empty()) {
      const auto resta = s.ultima_scrittura + kScritturaMassima - adesso;
      attesa = static_cast<int>(std::clamp<int64_t>(
          std::chrono::duration_cast<std::chrono::milliseconds>(resta).count(), 0, 60000));
    } else if (s.cambiato) {
      const auto resta = s.primo + kAttesaMassima - adesso;
      attesa = static_cast<int>(std::clamp<int64_t>(
          std::chrono::duration_cast<std::chrono::milliseconds>(resta).count(), 0, quiete_ms));
    }
    pollfd fd[3] = {{s.segnali, POLLIN, 0}, {s.termina[0], POLLIN, 0}, {s.inotify, POLLIN, 0}};
    const int pronti = poll(fd, 3, attesa);
    if (pronti < 0) {
      if (errno == EINTR) continue;
      return Evento::fine;
    }
    if ((fd[0].revents & POLLIN) != 0) {
      // Taken, so that it is not delivered again once the mask is restored.
      signalfd_siginfo preso;
      const ssize_t letti = read(s.segnali, &preso, sizeof preso);
      (void)letti;
      return Evento::fine;
    }
    if ((fd[1].revents & POLLIN) != 0) return Evento::fine;
    if (pronti == 0 && s.cambiato) {
      s.cambiato = false;
      s.in_scrittura.clear();
      s.toccata = false;
      return Evento::salvato;
    }
    if ((fd[2].revents & POLLIN) != 0) s.leggi_eventi();
  }
}

bool Sorveglianza::intatta() {
  s_->leggi_eventi();
  return !s_->toccata;
}

void Sorveglianza::termina() {
  const char c = 'f';
  const ssize_t scritti = write(s_->termina[1], &c, 1);
  (void)scritti;
}

void chiedi_fine(std::thread::native_handle_type filo) { pthread_kill(filo, SIGTERM); }

}  // namespace calvetra
