// The authors' warnings of the train phase: which fields the entry loop
// passes over, and entries stored once and given twice. Each call only reads
// and records warnings; the model is never touched.
#ifndef CALVETRA_TRAIN_AVVISI_TRENO_H_
#define CALVETRA_TRAIN_AVVISI_TRENO_H_

#include <cstddef>

#include "fields/lettura.h"
#include "train/voci_treno.h"

namespace calvetra {

// The keyword field in hand, beginning at `chiave`, which names `trovati`.
void avvisa_voce(Lettura& l, const Riconosciuti& trovati, size_t chiave);

}  // namespace calvetra

#endif  // CALVETRA_TRAIN_AVVISI_TRENO_H_
