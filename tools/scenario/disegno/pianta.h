// The plan of the route for `scenario plot`, from the geometry file.
#ifndef CALVETRA_TOOLS_SCENARIO_DISEGNO_PIANTA_H_
#define CALVETRA_TOOLS_SCENARIO_DISEGNO_PIANTA_H_

#include <string>

#include "output/lettura.h"
#include "scenario/disegno/oggetti.h"
#include "scenario/disegno/svg.h"

namespace calvetra::scenario::disegno {

// The plan with stations, signals and slowdowns, from page height y0 down;
// its height goes to `altezza`.
std::string disegna_pianta(const ScenarioLetto& s, const Oggetti& o, double y0, double* altezza);

}  // namespace calvetra::scenario::disegno

#endif  // CALVETRA_TOOLS_SCENARIO_DISEGNO_PIANTA_H_
