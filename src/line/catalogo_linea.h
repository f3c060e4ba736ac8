// The records of the line source, written once: the header records and the
// body records, each with its keyword test, its fields and its handler.
#ifndef CALVETRA_LINE_CATALOGO_LINEA_H_
#define CALVETRA_LINE_CATALOGO_LINEA_H_

#include <span>
#include <vector>

#include "fields/catalogo.h"
#include "fields/lettura.h"
#include "line/corpo_linea.h"
#include "line/intestazione_linea.h"

namespace calvetra {

// In the order the parser tests them.
std::span<const VoceCatalogo<IntestazioneLinea>> catalogo_intestazione_linea();
std::span<const VoceCatalogo<CorpoLinea>> catalogo_corpo_linea();

// Every record of the line source, header first.
std::vector<const DescrizioneRecord*> record_linea();
// Their words, for the warnings.
const Lessico& lessico_linea();

}  // namespace calvetra

#endif  // CALVETRA_LINE_CATALOGO_LINEA_H_
