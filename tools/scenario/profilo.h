// The profile along the route for `scenario plot`, cell by cell.
#ifndef CALVETRA_TOOLS_SCENARIO_PROFILO_H_
#define CALVETRA_TOOLS_SCENARIO_PROFILO_H_

#include <string>

#include "disegno.h"

namespace calvetra::scenario::disegno {

// Stations and signals, the speed limit with the slowdowns, the gradient and
// the mountain stretches over a kilometre axis, from page height y0 down;
// its height goes to `altezza`.
std::string disegna_profilo(const ScenarioLetto& s, const Oggetti& o, double y0, double* altezza);

}  // namespace calvetra::scenario::disegno

#endif  // CALVETRA_TOOLS_SCENARIO_PROFILO_H_
