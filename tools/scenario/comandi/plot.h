// `scenario plot`: the route drawn as a self-contained SVG for a driver. On
// top the plan from the geometry file, with stations, signals and slowdowns;
// under it the profile along the route by cell: stations and signals, the
// speed limit with the slowdowns, the gradient and the mountain stretches,
// over a kilometre axis.
#ifndef CALVETRA_TOOLS_SCENARIO_COMANDI_PLOT_H_
#define CALVETRA_TOOLS_SCENARIO_COMANDI_PLOT_H_

#include "scenario/comune/argomenti.h"
#include "scenario/comune/contesto.h"

namespace calvetra::scenario {

int comando_plot(const Contesto& c, const Argomenti& a);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMANDI_PLOT_H_
