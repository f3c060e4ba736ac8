// Writing a document that a subcommand made (an SVG drawing, an HTML page)
// to the file the author named, or to the standard output for "-".
#ifndef CALVETRA_TOOLS_SCENARIO_COMUNE_DOCUMENTO_H_
#define CALVETRA_TOOLS_SCENARIO_COMUNE_DOCUMENTO_H_

#include <string>

#include "scenario/comune/contesto.h"

namespace calvetra::scenario {

// Returns the exit status: 0 written, 1 with one message on `c.err` otherwise.
int scrivi_documento(const Contesto& c, const std::string& uscita, const std::string& testo);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMUNE_DOCUMENTO_H_
