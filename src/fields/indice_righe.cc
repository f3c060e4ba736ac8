#include "fields/indice_righe.h"

#include <algorithm>

namespace calvetra {

IndiceRighe::IndiceRighe(std::string_view testo) : testo_(testo) {
  // A line at a time: the next LF, then a CR inside the line, which ends
  // one of its own unless it is the LF's. Sources are mostly short CR LF
  // lines, so both searches run over a few dozen bytes at library speed.
  // Room made once for lines of sixteen bytes on average: a record's line
  // is longer, and room never reached is never touched.
  inizi_.reserve(testo.size() / 16 + 1);
  size_t da = 0;
  while (da < testo.size()) {
    const size_t lf = std::min(testo.find('\n', da), testo.size());
    const std::string_view riga = testo.substr(da, lf - da);
    for (size_t cr = riga.find('\r'); cr != std::string_view::npos; cr = riga.find('\r', cr + 1)) {
      if (da + cr + 1 < lf || lf == testo.size()) inizi_.push_back(da + cr + 1);
    }
    if (lf == testo.size()) break;
    inizi_.push_back(lf + 1);
    da = lf + 1;
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
