// `scenario view`: the route as one self-contained HTML page, to zoom along,
// inspect any object and follow it back to the source record that placed it;
// or, with --serve, the same page served live that follows every save.
#ifndef CALVETRA_TOOLS_SCENARIO_COMANDI_VIEW_H_
#define CALVETRA_TOOLS_SCENARIO_COMANDI_VIEW_H_

#include <cstdint>
#include <string>

#include "model/costanti.h"
#include "scenario/comune/argomenti.h"
#include "scenario/comune/contesto.h"
#include "scenario/vista/vista.h"

namespace calvetra::scenario {

struct OpzioniView {
  std::string cartella;
  NomiScenario nomi;
  std::string uscita;  // the file; "-" for standard output
  std::string editor;  // --editor: the link template; "" for none
  // --comando-editor: the command that opens a record's line, run by the
  // live page's server when the page asks; "" for none.
  std::string comando_editor;
  bool servi = false;  // --serve: the live page over HTTP instead of a file
  int32_t porta = 0;   // --porta: 0 lets the system choose
};

// Compiles the sources of the directory in memory or, without sources,
// reads its binary files; then writes the page. Returns the exit status.
int view(const Contesto& c, const OpzioniView& o);

// Serves the live page of the directory's sources until SIGINT or SIGTERM;
// the first line on `c.out` is its address.
int view_dal_vivo(const Contesto& c, const OpzioniView& o);

int comando_view(const Contesto& c, const Argomenti& a);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMANDI_VIEW_H_
