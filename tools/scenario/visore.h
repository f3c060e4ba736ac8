// `scenario view`: the route as one self-contained HTML page, to zoom along,
// inspect any object and follow it back to the source record that placed it.
//
// The C++ side only gathers the scenario and serialises it as JSON; the page
// (visore/*.html, *.css, *.js, embedded at build time) draws it.
#ifndef CALVETRA_TOOLS_SCENARIO_VISORE_H_
#define CALVETRA_TOOLS_SCENARIO_VISORE_H_

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "documento.h"
#include "leggi_scenario.h"
#include "model/costanti.h"
#include "model/diagnostica.h"
#include "model/records.h"
#include "sorgenti.h"

namespace calvetra::scenario {

using OpzioniView = OpzioniDocumento;  // the HTML file in `uscita`

// The plan every `passo` metres, and at its last computed metre: x, y, x, y, ...
struct PiantaCampionata {
  int64_t passo = 1;
  std::vector<double> xy;
};
PiantaCampionata campiona(const PianoLetto& p);
PiantaCampionata campiona(const Geometria& g);

// What the page shows: the records, the plan and, when compiled from the
// sources, where each object came from and what the compiler reported.
struct ScenarioVisto {
  Tabella tabella{};
  std::vector<tratto> tratti;
  std::optional<PiantaCampionata> pianta;
  std::optional<Origini> origini;  // compiled from the sources
  std::vector<Diagnostico> diagnostica;
};

// The data of the page as one JSON object.
std::string json_vista(const ScenarioVisto& v);

// The whole page around the data.
std::string pagina_vista(const ScenarioVisto& v);

// Compiles the sources of the directory in memory or, without sources,
// reads its binary files; then writes the page. Returns the exit status.
int view(const OpzioniView& o, std::ostream& out, std::ostream& err);

int comando_view(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_VISORE_H_
