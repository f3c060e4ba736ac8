// The entries of the train source, written once: each with its keyword test,
// its fields and its handler.
#ifndef CALVETRA_TRAIN_CATALOGO_TRENO_H_
#define CALVETRA_TRAIN_CATALOGO_TRENO_H_

#include <span>
#include <vector>

#include "fields/catalogo.h"
#include "fields/lettura.h"
#include "train/voci_treno.h"

namespace calvetra {

// In the order the parser tests them: every test a keyword field passes runs.
std::span<const VoceCatalogo<CorpoTreno>> catalogo_treno();

std::vector<const DescrizioneRecord*> record_treno();
// Their words, for the warnings.
const Lessico& lessico_treno();

}  // namespace calvetra

#endif  // CALVETRA_TRAIN_CATALOGO_TRENO_H_
