#include "fields/indice_righe.h"

#include <algorithm>

namespace calvetra {

IndiceRighe::IndiceRighe(std::string_view testo) : testo_(testo) {
  for (size_t i = 0; i < testo.size(); ++i) {
    if (testo[i] == '\n' || (testo[i] == '\r' && (i + 1 >= testo.size() || testo[i + 1] != '\n'))) {
      inizi_.push_back(i + 1);
    }
  }
}

size_t IndiceRighe::riga(size_t offset) const {
  offset = std::min(offset, testo_.size());
  return static_cast<size_t>(std::upper_bound(inizi_.begin(), inizi_.end(), offset) -
                             inizi_.begin() - 1);
}

PosizioneTesto IndiceRighe::posizione(size_t offset) const {
  offset = std::min(offset, testo_.size());
  // Only the offset's own line is read.
  const size_t k = riga(offset);
  const size_t da = inizi_[k];
  PosizioneTesto p = posizione_in(testo_.substr(da), offset - da);
  p.riga = static_cast<int>(k) + 1;
  return p;
}

size_t IndiceRighe::inizio(size_t k) const { return k < inizi_.size() ? inizi_[k] : testo_.size(); }

size_t IndiceRighe::fine(size_t k) const {
  if (k >= inizi_.size()) return testo_.size();
  size_t f = k + 1 < inizi_.size() ? inizi_[k + 1] : testo_.size();
  // Back over the line's own end: LF, CR or CR LF.
  if (f > inizi_[k] && testo_[f - 1] == '\n') --f;
  if (f > inizi_[k] && testo_[f - 1] == '\r') --f;
  return f;
}

}  // namespace calvetra
