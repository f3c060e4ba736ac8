// The line phase of the parser: from the line source to the header rows, the
// cells with their gradients, mountains, boards and signs, and the plan.
#ifndef CALVETRA_LINE_FASE_LINEA_H_
#define CALVETRA_LINE_FASE_LINEA_H_

#include "fields/lettura.h"
#include "line/avvisi_linea.h"
#include "line/corpo_linea.h"
#include "model/costanti.h"
#include "model/records.h"

namespace calvetra {

struct EsitoLinea {
  FineFase fine = FineFase::completa;
  StatoCorpoLinea corpo;
  NoteLunghezza lunghezza;  // for the errors of the train phase
};

// Reads the line source into the model of `dest` (header rows, cells, and
// the plan `con_geometria`), recording errors in its diagnostics. The table
// must hold its initial rows; rows 85 and 86 get the route and train-pair
// names. The journal of `dest`, when kept, gets every record and where the
// reading stopped.
EsitoLinea fase_linea(const Sorgente& sorgente, const NomiScenario& nomi, bool con_geometria,
                      Destinazione dest);

// The line source from byte `da` on, which the compile never read (it
// stopped in `fase`): every record is examined on its own for the warnings
// into `d` and journalled in `g` as not compiled. Nothing is placed.
// `annullo` as in Destinazione.
void esamina_linea(std::string_view testo, size_t da, Fase fase, bool con_geometria, Diagnostica& d,
                   Giornale& g, const std::atomic<bool>* annullo = nullptr);

// Orders the three kilometre-progressive rows 81 to 83 by their first number
// and applies the flag that adds 100 to the second; says which row each
// ordered row's numbers were read into.
OrigineProgressive progressive_ordina(Tabella& tabella);

}  // namespace calvetra

#endif  // CALVETRA_LINE_FASE_LINEA_H_
