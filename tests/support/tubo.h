// Test support: a pipe between threads of a test, as file descriptors that a
// stdio_filebuf takes, on either system (in binary mode on Windows, so the
// framing of what crosses it survives).
#ifndef CALVETRA_TESTS_SUPPORT_TUBO_H_
#define CALVETRA_TESTS_SUPPORT_TUBO_H_

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include <string_view>

namespace calvetra::test {

// estremi[0] is read, estremi[1] written.
inline bool tubo(int estremi[2]) {
#ifdef _WIN32
  return _pipe(estremi, 1 << 16, _O_BINARY) == 0;
#else
  return pipe(estremi) == 0;
#endif
}

// True when every byte was written.
inline bool scrivi_tutto(int estremo, std::string_view dati) {
  while (!dati.empty()) {
#ifdef _WIN32
    const int n = _write(estremo, dati.data(), static_cast<unsigned>(dati.size()));
#else
    const ssize_t n = write(estremo, dati.data(), dati.size());
#endif
    if (n <= 0) return false;
    dati.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

inline void chiudi_estremo(int estremo) {
#ifdef _WIN32
  _close(estremo);
#else
  close(estremo);
#endif
}

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_SUPPORT_TUBO_H_
