// The line phase of the parser: from the line source to the header rows, the
// cells with their gradients, mountains, boards and signs, and the plan.
#ifndef CALVETRA_LINE_FASE_LINEA_H_
#define CALVETRA_LINE_FASE_LINEA_H_

#include <array>
#include <cstdint>

#include "fields/lettura.h"
#include "line/avvisi_linea.h"
#include "model/costanti.h"
#include "model/diagnostica.h"
#include "model/provenienze.h"
#include "model/records.h"

namespace calvetra {

// The working state of the line body; the sign row counter goes on to the
// train phase, which puts stations below it.
struct StatoCorpoLinea {
  int32_t riga_cartello = kUltimaRigaCartello;  // next free sign row
  int32_t numero_montagne = 0;
  std::array<int32_t, kMassimoMontagne + 1> inizi_montagne{};  // entries 1 to numero_montagne
  std::array<int32_t, kMassimoMontagne + 1> fini_montagne{};
  // Gradients: next cell to fill and the gradient in force.
  int64_t cella_pendenza = 0;
  int32_t pendenza_in_vigore = 0;
};

struct EsitoLinea {
  FineFase fine = FineFase::completa;
  StatoCorpoLinea corpo;
  NoteLunghezza lunghezza;  // for the errors of the train phase
};

// Reads the line source into the model of `dest` (header rows, cells, and
// the plan `con_geometria`), recording errors in its diagnostics. The table
// must hold its initial rows; rows 85 and 86 get the route and train-pair
// names. When provenances are asked for, the body records are credited.
EsitoLinea fase_linea(const Sorgente& sorgente, const NomiScenario& nomi, bool con_geometria,
                      Destinazione dest);

// Orders the three kilometre-progressive rows 81 to 83 by their first number
// and applies the flag that adds 100 to the second.
void progressive_ordina(Tabella& tabella);

}  // namespace calvetra

#endif  // CALVETRA_LINE_FASE_LINEA_H_
