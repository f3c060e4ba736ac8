// `scenario compile` and `scenario check`: the compile driver of calvetra run
// on an author's own sources, with located reports. The sources are read
// once and the compiler works on copies of them, so the author's files are
// never deleted or changed.
#ifndef CALVETRA_TOOLS_SCENARIO_COMANDI_COMPILE_H_
#define CALVETRA_TOOLS_SCENARIO_COMANDI_COMPILE_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/costanti.h"
#include "model/diagnostica.h"
#include "model/errori.h"
#include "scenario/comune/argomenti.h"
#include "scenario/comune/contesto.h"

namespace calvetra::scenario {

struct OpzioniCompila {
  std::string cartella;
  NomiScenario nomi;
  bool con_geometria = true;
  bool scrivi = true;     // false for `check`: the same diagnostics, no file written
  bool json = false;      // one JSON document on `out` instead of text reports
  bool rigoroso = false;  // a run with warnings exits 4 instead of 0
};

// How the compilation ended, for callers that look past the report.
struct EsitoCompila {
  int stato = kUscitaFatale;
  CodiceErrore codice_errore = CodiceErrore::nessuno;
  int32_t posizione_errore = 0;
  FileSorgente file_errore = FileSorgente::nessuno;
  size_t campo_errore = 0;
  size_t avvisi = 0;  // warnings recorded
};

// Compiles the two sources of `o.cartella` into the binary files there.
// Reports go to `c.err`, the names of the files written to `c.out`.
EsitoCompila compila_cartella(const Contesto& c, const OpzioniCompila& o);

// The subcommands: read their arguments and return the exit status.
int comando_compile(const Contesto& c, const Argomenti& a);
int comando_check(const Contesto& c, const Argomenti& a);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMANDI_COMPILE_H_
