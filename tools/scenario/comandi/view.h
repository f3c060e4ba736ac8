// `scenario view`: the route as one self-contained HTML page, to zoom along,
// inspect any object and follow it back to the source record that placed it.
//
// The C++ side gathers the scenario and gives the page its meaning already
// decoded (kind names, positions in metres, named values, speeds in km/h,
// gradients in per mille, slowdown stretches, the fields of the record
// behind each object with the names and units of the record catalogues) as
// one JSON value; the page (visore/*.html, *.css, *.js, embedded at build
// time) only draws it.
#ifndef CALVETRA_TOOLS_SCENARIO_COMANDI_VIEW_H_
#define CALVETRA_TOOLS_SCENARIO_COMANDI_VIEW_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/costanti.h"
#include "model/diagnostica.h"
#include "model/records.h"
#include "output/file_geometria.h"
#include "scenario/comune/argomenti.h"
#include "scenario/comune/contesto.h"
#include "scenario/comune/json.h"
#include "scenario/comune/sorgenti.h"

namespace calvetra::scenario {

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
  // The link template of the author's editor ({path}, {line}, {col}), and the
  // absolute folder of the sources; "" for no links.
  std::string editor;
  std::string cartella;
};

// The data of the page.
Json json_vista(const ScenarioVisto& v);

// The whole page around the data.
std::string pagina_vista(const ScenarioVisto& v);

struct OpzioniView {
  std::string cartella;
  NomiScenario nomi;
  std::string uscita;  // the file; "-" for standard output
  std::string editor;  // --editor: the link template; "" for none
};

// Compiles the sources of the directory in memory or, without sources,
// reads its binary files; then writes the page. Returns the exit status.
int view(const Contesto& c, const OpzioniView& o);

int comando_view(const Contesto& c, const Argomenti& a);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMANDI_VIEW_H_
