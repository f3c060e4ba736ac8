// The train phase of the parser: from the train source to the train values,
// the speed and adhesion profiles, the stations, signals, slowdowns and code
// reductions.
#ifndef CALVETRA_TRAIN_FASE_TRENO_H_
#define CALVETRA_TRAIN_FASE_TRENO_H_

#include <cstdint>

#include "fields/lettura.h"

namespace calvetra {

// Reads the train source into the model of `dest`, whose cells the line
// phase has made; stations take the rows from 1 up to below `riga_cartello`,
// the next free sign row. An error already standing in the diagnostics (left
// by the line phase) stops the reading at the first signal or slowdown.
// When provenances are asked for, the entries are credited.
FineFase fase_treno(const Sorgente& sorgente, int32_t riga_cartello, Destinazione dest);

// The train source from byte `da` on (from its start, preamble included,
// with `dal_preambolo`), which the compile never read: every record is
// examined on its own for the warnings into `d` and journalled in `g` as not
// compiled. Nothing is placed.
// `annullo` as in Destinazione.
void esamina_treno(std::string_view testo, size_t da, bool dal_preambolo, Diagnostica& d,
                   Giornale& g, const std::atomic<bool>* annullo = nullptr);

}  // namespace calvetra

#endif  // CALVETRA_TRAIN_FASE_TRENO_H_
