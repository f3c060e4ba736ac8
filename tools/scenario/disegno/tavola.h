// The whole drawing of `scenario plot`: the title, the plan from the
// geometry file, the profile along the route and the legend, as one
// self-contained SVG document.
#ifndef CALVETRA_TOOLS_SCENARIO_DISEGNO_TAVOLA_H_
#define CALVETRA_TOOLS_SCENARIO_DISEGNO_TAVOLA_H_

#include <string>

#include "output/lettura.h"

namespace calvetra::scenario::disegno {

// The SVG document (UTF-8).
std::string disegna(const ScenarioLetto& s);

}  // namespace calvetra::scenario::disegno

#endif  // CALVETRA_TOOLS_SCENARIO_DISEGNO_TAVOLA_H_
