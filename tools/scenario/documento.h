// The subcommands that make a document from a scenario directory (an SVG
// drawing, an HTML page): their arguments, and writing the document to the
// file the author named, or to the standard output for "-".
#ifndef CALVETRA_TOOLS_SCENARIO_DOCUMENTO_H_
#define CALVETRA_TOOLS_SCENARIO_DOCUMENTO_H_

#include <ostream>
#include <string>

#include "model/costanti.h"

namespace calvetra::scenario {

struct OpzioniDocumento {
  std::string cartella;
  NomiScenario nomi;
  std::string uscita;  // the file; "-" for standard output
};

// Reads `[--linea NOME] [--treni COPPIA] CARTELLA -o FILE.ESTENSIONE` for the
// subcommand `comando`; --help prints `aiuto`. Returns the exit status when
// the subcommand ends here (help given, or bad usage reported on `err`), or
// -1 with `o` filled.
int argomenti_documento(const char* comando, const char* estensione, const char* aiuto, int argc,
                        const char* const* argv, std::ostream& out, std::ostream& err,
                        OpzioniDocumento* o);

// Returns the exit status: 0 written, 1 with one message on `err` otherwise.
int scrivi_documento(const std::string& uscita, const std::string& testo, std::ostream& out,
                     std::ostream& err);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_DOCUMENTO_H_
