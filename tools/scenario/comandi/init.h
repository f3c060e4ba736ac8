// `scenario init`: a starting point for a new scenario, the line source and
// the train source of calvetra's own route exactly as calvetra writes them.
#ifndef CALVETRA_TOOLS_SCENARIO_COMANDI_INIT_H_
#define CALVETRA_TOOLS_SCENARIO_COMANDI_INIT_H_

#include <string>

#include "model/costanti.h"
#include "scenario/comune/argomenti.h"
#include "scenario/comune/contesto.h"

namespace calvetra::scenario {

// Writes the two sources under the names of `nomi` into `cartella` (made
// when it does not exist). Refuses, writing nothing, when either file is
// there already. Returns the exit status.
int inizia(const Contesto& c, const std::string& cartella, const NomiScenario& nomi);

// The subcommand: reads its arguments and returns the exit status.
int comando_init(const Contesto& c, const Argomenti& a);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMANDI_INIT_H_
