// Safe replacement of an output file: the new content goes to a fresh
// temporary file beside it, which is renamed over the old one only when it is
// complete. A reader of the directory sees either the old file or the whole
// new one, and nothing planted in the directory beforehand is written to.
#ifndef CALVETRA_PLATFORM_SOSTITUZIONE_H_
#define CALVETRA_PLATFORM_SOSTITUZIONE_H_

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/piattaforma.h"

namespace calvetra {

// Collects output bytes and hands them to the file in large blocks.
class Uscita {
 public:
  // The buffer is handed to the file once it holds the platform's block:
  // for a real file enough that the writes cost little, few enough that it
  // stays in the cache; for a file kept in memory the whole file.
  Uscita(Piattaforma* piattaforma, int handle)
      : piattaforma_(piattaforma), handle_(handle), blocco_(piattaforma->blocco_scrittura()) {}

  // The buffer to append encoded bytes to; call `forse_svuota` after a record.
  std::string* buffer() {
    if (usati_ > 0) svuota_grezzo();
    return &buffer_;
  }
  // The next n bytes of the output, to be written in place before anything
  // else is: for a real file they are never filled first, which appending
  // to `buffer` cannot promise.
  char* in_coda(size_t n);
  void forse_svuota() {
    if (buffer_.size() + usati_ >= blocco_) svuota();
  }
  // Room made once for a file of `byte` bytes: all of it, or at most one
  // block and `margine` bytes past it (the most a step appends).
  void prevedi(size_t byte, size_t margine) {
    buffer_.reserve(byte < blocco_ ? byte : blocco_ + margine);
  }
  void svuota();
  bool fallita() const { return fallita_; }
  const std::string& errore() const { return errore_; }

 private:
  // A platform that keeps the file in memory takes it whole as a string.
  bool intero() const { return blocco_ == std::numeric_limits<size_t>::max(); }
  void consegna(std::string* dati);
  void svuota_grezzo();

  Piattaforma* piattaforma_;
  int handle_;
  size_t blocco_;
  std::string buffer_;
  // The block written in place through `in_coda` for a real file, made
  // when first asked for (a file in memory grows `buffer_` instead).
  std::unique_ptr<char[]> grezzo_;
  size_t capienza_ = 0;
  size_t usati_ = 0;
  bool fallita_ = false;
  std::string errore_;
};

// Writes `percorso` anew with what `produci` emits; a link standing there is
// replaced, not followed. On failure (or if `produci` throws) nothing is left
// but the old file (if any): returns false with the reason in `errore`.
bool sostituisci_file(Piattaforma* piattaforma, const std::string& percorso,
                      const std::function<void(Uscita*)>& produci, std::string* errore);

// One file of a set: where it goes and what it holds.
struct FileDaSostituire {
  std::string percorso;
  std::function<void(Uscita*)> produci;
};

// Writes the files of `insieme` (all in one directory) anew as one set, for
// a reader that takes them together: each goes whole to a temporary file
// beside it, synced to the device, and only when every one is there are they
// renamed into place, in order, and the directory synced. A failure anywhere
// before that leaves every old file as it was (a rename already made is
// undone with the old file kept aside) and no temporary file: returns false
// with one line that names the file, the reason, and what was kept.
bool sostituisci_insieme(Piattaforma* piattaforma, const std::vector<FileDaSostituire>& insieme,
                         std::string* errore);

}  // namespace calvetra

#endif  // CALVETRA_PLATFORM_SOSTITUZIONE_H_
