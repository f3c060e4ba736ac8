// Header finalisation: the reserved slots, the format marks and the
// integrity codes.
#ifndef CALVETRA_COMPILE_INTESTAZIONE_H_
#define CALVETRA_COMPILE_INTESTAZIONE_H_

#include <cstdint>

#include "model/errori.h"
#include "model/records.h"

namespace calvetra {

// Checks that the reserved slots of row 85 and cell 1 are still zero, then
// stores the format marks and the integrity codes. Returns `nessuno`, or the
// code of the fatal report (a mark slot, then a code slot), in which case
// nothing after the failing check is stored.
// REQUIRES: m has cell 1.
CodiceErrore finalizza_intestazione(Modello& m);

}  // namespace calvetra

#endif  // CALVETRA_COMPILE_INTESTAZIONE_H_
