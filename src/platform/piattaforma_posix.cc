#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "platform/casuale.h"
#include "platform/lettura_intera.h"
#include "platform/percorsi.h"
#include "platform/sistema.h"

namespace calvetra {

namespace {

std::string motivo() { return std::strerror(errno); }

}  // namespace

bool separatore(char c) { return c == '/'; }

std::string percorso_da_uri_file(std::string_view server, std::string percorso) {
  return server.empty() ? percorso : std::string();
}

std::string percorso_uri_file(std::string percorso) { return percorso; }

bool percorso_assoluto(std::string_view percorso) {
  return !percorso.empty() && percorso.front() == '/';
}

std::string percorso_normale(std::string percorso) { return percorso; }

bool stesso_percorso(std::string_view a, std::string_view b) { return a == b; }

bool byte_casuali(unsigned char* byte, size_t n, std::string* errore) {
  size_t letti = 0;
  while (letti < n) {
    const ssize_t k = ::getrandom(byte + letti, n - letti, 0);
    if (k < 0) {
      if (errno == EINTR) continue;
      *errore = motivo();
      return false;
    }
    letti += static_cast<size_t>(k);
  }
  return true;
}

// Nothing to keep: the file handles are the kernel's descriptors, and the
// waiting notice is a line.
struct PiattaformaSistema::Sistema {};

// The bytes of a path go to the kernel as they are, whatever they encode.
PiattaformaSistema::PiattaformaSistema(std::string cartella, NomiFile nomi)
    : cartella_(std::move(cartella)), nomi_(nomi), s_(std::make_unique<Sistema>()) {}

PiattaformaSistema::~PiattaformaSistema() = default;

void PiattaformaSistema::avviso_attesa(std::string_view testo) { std::cout << testo << std::endl; }

void PiattaformaSistema::rapporto_fatale(std::string_view messaggio) {
  std::cerr << messaggio << std::endl;
}

void PiattaformaSistema::rapporto(std::string_view riga) { std::cerr << riga << std::endl; }

bool PiattaformaSistema::esiste(const std::string& percorso) {
  struct stat st;
  return ::stat(percorso.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PiattaformaSistema::leggi(const std::string& percorso, std::string* contenuto,
                               std::string* errore) {
  const int fd = ::open(percorso.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *errore = motivo();
    return false;
  }
  struct stat st {};
  const size_t previsto =
      ::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0;
  const bool letto = leggi_intero(contenuto, previsto, [fd](char* dove, size_t quanto) -> int64_t {
    for (;;) {
      const ssize_t n = ::read(fd, dove, quanto);
      if (n >= 0 || errno != EINTR) return n;
    }
  });
  if (!letto) {
    *errore = motivo();
    ::close(fd);
    return false;
  }
  ::close(fd);
  return true;
}

bool PiattaformaSistema::elimina(const std::string& percorso, std::string* errore) {
  if (::unlink(percorso.c_str()) != 0) {
    *errore = motivo();
    return false;
  }
  return true;
}

bool PiattaformaSistema::crea_temporaneo(const std::string& percorso, int* handle,
                                         std::string* temporaneo, std::string* errore) {
  for (int tentativo = 0; tentativo < kTentativiNome; ++tentativo) {
    std::string suffisso;
    if (!suffisso_casuale(&suffisso, errore)) return false;
    const std::string nome = nome_temporaneo(percorso, suffisso);
    // O_EXCL fails on any name that exists, a link included (dangling or
    // not), without following it; O_NOFOLLOW states the latter outright.
    const int fd = ::open(nome.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) {
      *handle = fd;
      *temporaneo = nome;
      return true;
    }
    if (errno != EEXIST) {
      *errore = motivo();
      return false;
    }
  }
  *errore = "nessun nome libero per il file temporaneo";
  return false;
}

bool PiattaformaSistema::scrivi(int handle, std::string_view dati, std::string* errore) {
  while (!dati.empty()) {
    const ssize_t n = ::write(handle, dati.data(), dati.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      *errore = motivo();
      return false;
    }
    dati.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool PiattaformaSistema::chiudi(int handle, std::string* errore) {
  if (::close(handle) != 0) {
    *errore = motivo();
    return false;
  }
  return true;
}

bool PiattaformaSistema::rinomina(const std::string& da, const std::string& a,
                                  std::string* errore) {
  if (std::rename(da.c_str(), a.c_str()) != 0) {
    *errore = motivo();
    return false;
  }
  return true;
}

bool PiattaformaSistema::sincronizza(int handle, std::string* errore) {
  if (::fsync(handle) != 0) {
    *errore = motivo();
    return false;
  }
  return true;
}

bool PiattaformaSistema::sincronizza_cartella(const std::string& cartella, std::string* errore) {
  const int fd =
      ::open(cartella.empty() ? "." : cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    *errore = motivo();
    return false;
  }
  const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
  if (!ok) *errore = motivo();
  ::close(fd);
  return ok;
}

namespace {

// The bytes of `da` into the new file `fd`, which is closed.
bool copia_in(const std::string& da, int fd, std::string* errore) {
  const int sorgente = ::open(da.c_str(), O_RDONLY | O_CLOEXEC);
  bool ok = sorgente >= 0;
  if (!ok) *errore = motivo();
  char buffer[1 << 16];
  while (ok) {
    const ssize_t n = ::read(sorgente, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n < 0) *errore = motivo();
      ok = n == 0;
      break;
    }
    size_t fatti = 0;
    while (ok && fatti < static_cast<size_t>(n)) {
      const ssize_t w = ::write(fd, buffer + fatti, static_cast<size_t>(n) - fatti);
      if (w < 0 && errno == EINTR) continue;
      if (w < 0) {
        *errore = motivo();
        ok = false;
      } else {
        fatti += static_cast<size_t>(w);
      }
    }
  }
  if (sorgente >= 0) ::close(sorgente);
  if (::close(fd) != 0 && ok) {
    *errore = motivo();
    ok = false;
  }
  return ok;
}

}  // namespace

bool PiattaformaSistema::conserva(const std::string& percorso, std::string* copia,
                                  std::string* errore) {
  for (int tentativo = 0; tentativo < kTentativiNome; ++tentativo) {
    std::string suffisso;
    if (!suffisso_casuale(&suffisso, errore)) return false;
    const std::string nome = nome_temporaneo(percorso, suffisso);
    // A second name costs no space; link() names the link itself, not what
    // it points to.
    if (::link(percorso.c_str(), nome.c_str()) == 0) {
      *copia = nome;
      return true;
    }
    if (errno == EEXIST) continue;
    if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK && errno != ENOSYS) {
      *errore = motivo();
      return false;
    }
    // A file system without hard links: a copy of the bytes.
    int fd = -1;
    std::string nuovo;
    if (!crea_temporaneo(percorso, &fd, &nuovo, errore)) return false;
    if (!copia_in(percorso, fd, errore)) {
      ::unlink(nuovo.c_str());
      return false;
    }
    *copia = nuovo;
    return true;
  }
  *errore = "nessun nome libero per la copia del file";
  return false;
}

// From /proc/self/exe.
std::string cartella_eseguibile() {
  std::string percorso(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", percorso.data(), percorso.size());
  if (n <= 0 || static_cast<size_t>(n) >= percorso.size()) return "";
  percorso.resize(static_cast<size_t>(n));
  const size_t barra = percorso.rfind('/');
  if (barra == std::string::npos) return "";
  return barra == 0 ? "/" : percorso.substr(0, barra);
}

Piattaforma::Genere PiattaformaSistema::genere(const std::string& percorso) {
  struct stat st;
  if (::lstat(percorso.c_str(), &st) != 0) return Genere::assente;
  if (S_ISREG(st.st_mode)) return Genere::file;
  if (S_ISDIR(st.st_mode)) return Genere::cartella;
  return Genere::altro;
}

bool PiattaformaSistema::crea_cartella(const std::string& percorso, std::string* errore) {
  // Each directory from the top down; one that is there already is fine.
  for (size_t fine = 1; fine <= percorso.size(); ++fine) {
    if (fine < percorso.size() && percorso[fine] != '/') continue;
    const std::string parte = percorso.substr(0, fine);
    if (::mkdir(parte.c_str(), 0777) != 0 && errno != EEXIST) {
      *errore = parte + ": " + motivo();
      return false;
    }
  }
  struct stat st;
  if (::stat(percorso.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    *errore = percorso + ": non e' una cartella";
    return false;
  }
  return true;
}

std::vector<std::string> PiattaformaSistema::elenco(const std::string& cartella) {
  std::vector<std::string> nomi;
  DIR* d = ::opendir(cartella.c_str());
  if (d == nullptr) return nomi;
  while (const dirent* e = ::readdir(d)) {
    const std::string nome = e->d_name;
    if (nome != "." && nome != "..") nomi.push_back(nome);
  }
  ::closedir(d);
  return nomi;
}

bool PiattaformaSistema::scrivi_attraverso(const std::string& percorso, std::string_view dati,
                                           std::string* errore) {
  const int fd = ::open(percorso.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    *errore = motivo();
    return false;
  }
  const bool scritto = scrivi(fd, dati, errore);
  std::string chiusura;
  const bool chiuso = chiudi(fd, &chiusura);
  if (scritto && !chiuso) *errore = chiusura;
  return scritto && chiuso;
}

}  // namespace calvetra
