// The authors' warnings of the train phase: which fields the entry loop
// passes over, entries stored once and given twice, points out of order.
// Each call only reads and records warnings; the model is never touched.
#ifndef CALVETRA_TRAIN_AVVISI_TRENO_H_
#define CALVETRA_TRAIN_AVVISI_TRENO_H_

#include <cstddef>

#include "fields/lettura.h"

namespace calvetra {

// The keyword field in hand, beginning at `chiave`.
void avvisa_voce(Lettura& l, size_t chiave);

}  // namespace calvetra

#endif  // CALVETRA_TRAIN_AVVISI_TRENO_H_
