// The two integrity codes, stamped from the scenario's identity: the route
// name (row 85) and the train pair (row 86) of the table.
#ifndef CALVETRA_OUTPUT_CODICI_GARA_H_
#define CALVETRA_OUTPUT_CODICI_GARA_H_

#include <cstdint>

#include "model/records.h"

namespace calvetra {

// The weighted sum of the key: row 85 `orario`.
int32_t codice_gara_st(const Tabella& tabella);
// The plain sum of the key: cell 1 `valore_b`.
int16_t codice_gara_og(const Tabella& tabella);

}  // namespace calvetra

#endif  // CALVETRA_OUTPUT_CODICI_GARA_H_
