// The profile along the route for `scenario plot`, cell by cell.
#ifndef CALVETRA_TOOLS_SCENARIO_DISEGNO_PROFILO_H_
#define CALVETRA_TOOLS_SCENARIO_DISEGNO_PROFILO_H_

#include <string>

#include "output/lettura.h"
#include "scenario/disegno/oggetti.h"
#include "scenario/disegno/svg.h"

namespace calvetra::scenario::disegno {

// Stations and signals, the speed limit with the slowdowns, the gradient and
// the mountain stretches over a kilometre axis, from page height y0 down;
// its height goes to `altezza`.
std::string disegna_profilo(const ScenarioLetto& s, const Oggetti& o, double y0, double* altezza);

}  // namespace calvetra::scenario::disegno

#endif  // CALVETRA_TOOLS_SCENARIO_DISEGNO_PROFILO_H_
