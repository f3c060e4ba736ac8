// Test support: a small file system of its own (a tmpfs mounted on a new
// temporary directory) that a test can fill up, to see what a program does
// when the disk is full. Mounting needs root with CAP_SYS_ADMIN; where it is
// refused, `montato()` is false and `motivo()` says why, for the test to
// skip itself.
#ifndef CALVETRA_TESTS_SUPPORT_DISCO_PICCOLO_H_
#define CALVETRA_TESTS_SUPPORT_DISCO_PICCOLO_H_

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace calvetra::test {

#ifdef _WIN32
// Windows mounts no small file system for a test: the tests skip themselves.
class DiscoPiccolo {
 public:
  explicit DiscoPiccolo(size_t) {}
  bool montato() const { return false; }
  const std::string& motivo() const { return motivo_; }
  const std::string& cartella() const { return motivo_; }
  std::string file(const std::string& nome) const { return nome; }
  bool riempi(const std::string&, size_t, std::string* errore) const {
    *errore = motivo_;
    return false;
  }

 private:
  std::string motivo_ = "Windows non monta un file system piccolo per una prova";
};
#else
class DiscoPiccolo {
 public:
  explicit DiscoPiccolo(size_t byte) {
    std::string modello = (std::filesystem::temp_directory_path() / "calvetra-disco-XXXXXX");
    if (::mkdtemp(modello.data()) == nullptr) {
      motivo_ = std::strerror(errno);
      return;
    }
    cartella_ = modello;
    const std::string opzioni = "size=" + std::to_string(byte) + ",mode=0700";
    if (::mount("tmpfs", cartella_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, opzioni.c_str()) != 0) {
      motivo_ = std::strerror(errno);
      return;
    }
    montato_ = true;
  }
  ~DiscoPiccolo() {
    if (montato_) ::umount2(cartella_.c_str(), MNT_DETACH);
    if (!cartella_.empty()) ::rmdir(cartella_.c_str());
  }
  DiscoPiccolo(const DiscoPiccolo&) = delete;
  DiscoPiccolo& operator=(const DiscoPiccolo&) = delete;

  bool montato() const { return montato_; }
  const std::string& motivo() const { return motivo_; }
  const std::string& cartella() const { return cartella_; }
  std::string file(const std::string& nome) const { return cartella_ + "/" + nome; }

  // Fills the file system with the file `nome` until about `liberi` bytes
  // (whole pages of 4096) are left; false with the reason when it cannot.
  bool riempi(const std::string& nome, size_t liberi, std::string* errore) const {
    const std::string percorso = file(nome);
    const int fd = ::open(percorso.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
      *errore = std::strerror(errno);
      return false;
    }
    static const std::string kPagina(4096, 'r');
    off_t scritti = 0;
    int perche = 0;
    for (;;) {
      const ssize_t n = ::write(fd, kPagina.data(), kPagina.size());
      if (n > 0) {
        scritti += n;
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      perche = n < 0 ? errno : ENOSPC;
      break;
    }
    const off_t resto = scritti - static_cast<off_t>((liberi + 4095) / 4096 * 4096);
    bool ok = perche == ENOSPC && resto >= 0;
    if (!ok) *errore = resto < 0 ? "meno spazio del chiesto" : std::strerror(perche);
    if (ok && ::ftruncate(fd, resto) != 0) {
      *errore = std::strerror(errno);
      ok = false;
    }
    ::close(fd);
    return ok;
  }

 private:
  bool montato_ = false;
  std::string motivo_;
  std::string cartella_;
};
#endif

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_SUPPORT_DISCO_PICCOLO_H_
