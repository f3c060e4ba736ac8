// Where the lines of a source text begin, split where the field reader
// splits them (CR LF, a lone CR, a lone LF): the one index of a source's
// lines that every report, page and editor feature places offsets with,
// without reading the text from its start each time.
#ifndef CALVETRA_FIELDS_INDICE_RIGHE_H_
#define CALVETRA_FIELDS_INDICE_RIGHE_H_

#include <cstddef>
#include <string_view>
#include <vector>

#include "fields/lettore_campi.h"

namespace calvetra {

class IndiceRighe {
 public:
  IndiceRighe() = default;
  // REQUIRES: `testo` outlives the index and is not changed.
  explicit IndiceRighe(std::string_view testo);

  std::string_view testo() const { return testo_; }
  size_t righe() const { return inizi_.size(); }
  // Line and column (from 1) of `offset`, clamped to the text, as
  // posizione_in gives them.
  PosizioneTesto posizione(size_t offset) const;
  // The line (from 0) that holds `offset`, clamped to the text.
  size_t riga(size_t offset) const;
  // Where line `k` (from 0) begins and where its end of line begins; a line
  // past the last is the end of the text.
  size_t inizio(size_t k) const;
  size_t fine(size_t k) const;

 private:
  std::string_view testo_;
  std::vector<size_t> inizi_{0};
};

}  // namespace calvetra

#endif  // CALVETRA_FIELDS_INDICE_RIGHE_H_
