// The outcome of reading a binary file back: ok, or what is wrong with it
// and the byte offset where it goes wrong.
#ifndef CALVETRA_OUTPUT_STATO_H_
#define CALVETRA_OUTPUT_STATO_H_

#include <cstddef>
#include <string>
#include <utility>

namespace calvetra {

class StatoLettura {
 public:
  static StatoLettura bene() { return StatoLettura(); }
  // `messaggio` says what is wrong; it names the byte `offset` in its own words.
  static StatoLettura errore(std::string messaggio, size_t offset) {
    StatoLettura s;
    s.ok_ = false;
    s.messaggio_ = std::move(messaggio);
    s.offset_ = offset;
    return s;
  }

  bool ok() const { return ok_; }
  const std::string& messaggio() const { return messaggio_; }
  size_t offset() const { return offset_; }
  // The same failure with `prefisso` (a file's name) and ": " before its message.
  StatoLettura con_prefisso(const std::string& prefisso) const {
    return ok_ ? *this : errore(prefisso + ": " + messaggio_, offset_);
  }

 private:
  StatoLettura() = default;
  bool ok_ = true;
  std::string messaggio_;
  size_t offset_ = 0;
};

}  // namespace calvetra

#endif  // CALVETRA_OUTPUT_STATO_H_
