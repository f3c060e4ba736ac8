// The train phase of the parser: from the train source to the train values,
// the speed and adhesion profiles, the stations, signals, slowdowns and code
// reductions.
#ifndef CALVETRA_TRAIN_FASE_TRENO_H_
#define CALVETRA_TRAIN_FASE_TRENO_H_

#include <cstdint>

#include "fields/lettura.h"
#include "model/diagnostica.h"
#include "model/provenienze.h"
#include "model/records.h"

namespace calvetra {

// Reads the train source into `m`, whose cells the line phase has made;
// stations take the rows from 1 up to below `riga_cartello`, the next free
// sign row. Errors go to `d`; an error already standing there (left by the
// line phase) stops the reading at the first signal or slowdown.
// When `provenienze` is given, the entries are credited there.
FineFase fase_treno(const Sorgente& sorgente, int32_t riga_cartello, Destinazione dest);

// The placing procedures of signals and slowdowns. A taken cell records its
// error (16; 17 to 20) at `luogo` and the given position and places nothing
// more. A signal's short time is raised to 101 in `tempo`.
void memo_segnale(Modello& m, Diagnostica& d, Luogo luogo, int32_t posizione, int32_t& sx,
                  int32_t& s1, int32_t& s2, int32_t& s3, int32_t& rapp, int32_t& dx, int32_t& d1,
                  int32_t& d2, int32_t& d3, int32_t& tempo);
void memo_rallentamento(Modello& m, Diagnostica& d, Luogo luogo, int32_t x, int32_t& v, int32_t& l,
                        int32_t& f_tt, int32_t f_ta, int32_t& d_v);

}  // namespace calvetra

#endif  // CALVETRA_TRAIN_FASE_TRENO_H_
