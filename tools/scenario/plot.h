// `scenario plot`: the route drawn as a self-contained SVG for a driver. On
// top the plan from the geometry file, with stations, signals and slowdowns;
// under it the profile along the route by cell: stations and signals, the
// speed limit with the slowdowns, the gradient and the mountain stretches,
// over a kilometre axis.
#ifndef CALVETRA_TOOLS_SCENARIO_PLOT_H_
#define CALVETRA_TOOLS_SCENARIO_PLOT_H_

#include <ostream>
#include <string>

#include "documento.h"
#include "leggi_scenario.h"
#include "model/costanti.h"
#include "platform/piattaforma.h"

namespace calvetra::scenario {

using OpzioniPlot = OpzioniDocumento;  // the SVG file in `uscita`

// The whole SVG document (UTF-8).
std::string disegna(const ScenarioLetto& s, const NomiScenario& nomi);

int plot(const OpzioniPlot& o, std::ostream& out, std::ostream& err);
int comando_plot(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_PLOT_H_
