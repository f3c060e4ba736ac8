// `scenario lsp`: the language server, on the standard input and output.
#ifndef CALVETRA_TOOLS_SCENARIO_COMANDI_LSP_H_
#define CALVETRA_TOOLS_SCENARIO_COMANDI_LSP_H_

#include "scenario/comune/argomenti.h"
#include "scenario/comune/contesto.h"

namespace calvetra::scenario {

int comando_lsp(const Contesto& c, const Argomenti& a);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMANDI_LSP_H_
