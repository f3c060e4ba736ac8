// Writing a document that a subcommand made (an SVG drawing, an HTML page)
// to the file the author named, or to the standard output for "-".
#ifndef CALVETRA_TOOLS_SCENARIO_DOCUMENTO_H_
#define CALVETRA_TOOLS_SCENARIO_DOCUMENTO_H_

#include <ostream>
#include <string>

namespace calvetra::scenario {

// Returns the exit status: 0 written, 1 with one message on `err` otherwise.
int scrivi_documento(const std::string& uscita, const std::string& testo, std::ostream& out,
                     std::ostream& err);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_DOCUMENTO_H_
