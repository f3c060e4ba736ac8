// `scenario init`: a starting point for a new scenario, the line source and
// the train source of calvetra's own route exactly as calvetra writes them.
#ifndef CALVETRA_TOOLS_SCENARIO_INIZIA_H_
#define CALVETRA_TOOLS_SCENARIO_INIZIA_H_

#include <ostream>
#include <string>

#include "model/costanti.h"

namespace calvetra::scenario {

// Writes the two sources under the names of `nomi` into `cartella` (made
// when it does not exist). Refuses, writing nothing, when either file is
// there already. Returns the exit status.
int inizia(const std::string& cartella, const NomiScenario& nomi, std::ostream& out,
           std::ostream& err);

// The subcommand: parses its arguments and returns the exit status.
int comando_init(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_INIZIA_H_
