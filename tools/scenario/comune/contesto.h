// What a subcommand works with: the file system through the core's platform
// interface, its two output streams, and whether reports get colours. Only
// main.cc looks at the real process (the disk, the terminal, the
// environment); everything below it can run in memory.
#ifndef CALVETRA_TOOLS_SCENARIO_COMUNE_CONTESTO_H_
#define CALVETRA_TOOLS_SCENARIO_COMUNE_CONTESTO_H_

#include <istream>
#include <ostream>
#include <string>

#include "platform/piattaforma.h"

namespace calvetra::scenario {

struct Contesto {
  Piattaforma* disco;
  std::ostream& out;
  std::ostream& err;
  bool colore = false;  // ANSI colours in the reports on `err`
  // The working directory, absolute, against which relative paths given by
  // the author are read ("" when unknown: paths are left as given).
  std::string cartella_lavoro;
  std::istream* in = nullptr;  // what the editor sends to `lsp`; none elsewhere
};

// Whether reports get colours: on a terminal only, never with NO_COLOR set
// and not empty, nor on a terminal that says it has none (TERM=dumb). The
// variables are passed as the environment holds them (null when unset).
bool colori_voluti(const char* no_color, const char* term, bool terminale);

// Whether `percorso` is a directory, or a link to one: the author names
// directories as the shell does.
bool e_cartella(Piattaforma* disco, const std::string& percorso);
// The same for the directory a subcommand reads: when it is none, says so on
// `c.err` (a file given in its place is named as a file) and returns false.
bool cartella_da_leggere(const Contesto& c, const std::string& percorso);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMUNE_CONTESTO_H_
