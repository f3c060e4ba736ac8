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
  bool scrivi = true;     // false for `check`: the same diagnostics, no file written
  bool json = false;      // one JSON document on `out` instead of text reports
  bool rigoroso = false;  // a run with warnings exits 4 instead of 0
  bool colore = false;    // ANSI colours in the text reports
};

// How the compilation ended, for callers that look past the report.
struct EsitoCompila {
  int stato = kUscitaFatale;
  int32_t codice_errore = 0;
  int32_t posizione_errore = 0;
  FileSorgente file_errore = FileSorgente::nessuno;
  size_t campo_errore = 0;
  size_t avvisi = 0;  // warnings recorded
};

// Compiles the two sources of `o.cartella` into the binary files there.
// Reports go to `err`, the names of the files written to `out`.
EsitoCompila compila(const OpzioniCompila& o, std::ostream& out, std::ostream& err);

// The subcommands: parse their arguments and return the exit status.
int comando_compile(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
int comando_check(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// Whether reports on standard error get colours: a terminal, and NO_COLOR
// unset or empty.
bool colori_su_stderr();

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMPILA_H_
