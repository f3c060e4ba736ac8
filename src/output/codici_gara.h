// The two integrity codes, stamped from the scenario's identity: the route
// name (row 85) and the train pair (row 86) of the table.
#ifndef CALVETRA_OUTPUT_CODICI_GARA_H_
#define CALVETRA_OUTPUT_CODICI_GARA_H_

#include <cstdint>
#include <vector>

#include "model/records.h"

namespace calvetra {

// The weighted sum of the key: row 85 `orario`.
int32_t codice_gara_st(const Tabella& tabella);
// The plain sum of the key: cell 1 `valore_b`.
int16_t codice_gara_og(const Tabella& tabella);

// The two codes as stored and as computed from the route name and train pair
// of rows 85 and 86.
struct Integrita {
  int32_t st_letto = 0;
  int32_t st_atteso = 0;
  int16_t og_letto = 0;
  int16_t og_atteso = 0;
  bool ok() const { return st_letto == st_atteso && og_letto == og_atteso; }
};
// REQUIRES: tratti has cell 1.
Integrita integrita(const Tabella& tabella, const std::vector<tratto>& tratti);

}  // namespace calvetra

#endif  // CALVETRA_OUTPUT_CODICI_GARA_H_
