// The program `scenario` as a function: the subcommand named by the first
// argument, run on the rest; the top-level help and version.
#ifndef CALVETRA_TOOLS_SCENARIO_COMANDI_PRINCIPALE_H_
#define CALVETRA_TOOLS_SCENARIO_COMANDI_PRINCIPALE_H_

#include "scenario/comune/argomenti.h"
#include "scenario/comune/contesto.h"

namespace calvetra::scenario {

// `argomenti` are the program's arguments after its name. Returns the exit status.
int esegui(const Contesto& c, const Argomenti& argomenti);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMANDI_PRINCIPALE_H_
