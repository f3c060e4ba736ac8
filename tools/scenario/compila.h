// `scenario compile`: the compile driver of calvetra run on an author's own
// sources, with located reports. The sources are read once and the compiler
// works on copies of them, so the author's files are never deleted or changed.
#ifndef CALVETRA_TOOLS_SCENARIO_COMPILA_H_
#define CALVETRA_TOOLS_SCENARIO_COMPILA_H_

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

#include "model/costanti.h"
#include "model/diagnostica.h"

namespace calvetra::scenario {

struct OpzioniCompila {
  std::string cartella;
  NomiScenario nomi;
  bool con_geometria = true;
};

// How the compilation ended, for callers that look past the report.
struct EsitoCompila {
  int stato = kUscitaFatale;
  int32_t codice_errore = 0;
  int32_t posizione_errore = 0;
  FileSorgente file_errore = FileSorgente::nessuno;
  size_t campo_errore = 0;
};

// Compiles the two sources of `o.cartella` into the binary files there.
// Reports go to `err`, the names of the files written to `out`.
EsitoCompila compila(const OpzioniCompila& o, std::ostream& out, std::ostream& err);

// The subcommand: parses its arguments and returns the exit status.
int comando_compile(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMPILA_H_
