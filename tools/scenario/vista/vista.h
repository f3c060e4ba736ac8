// What the page of a route shows, and the page around it: the static page of
// `scenario view -o` and the live one that `view --serve` and `lsp --vista`
// hand to a browser are the same page with the same data.
//
// The C++ side gathers the scenario and gives the page its meaning already
// decoded (kind names, positions in metres, named values, speeds in km/h,
// gradients in per mille, slowdown stretches, the fields of the record
// behind each object with the names and units of the record catalogues) as
// one JSON value; the page (visore/*.html, *.css, *.js, embedded at build
// time) only draws it.
#ifndef CALVETRA_TOOLS_SCENARIO_VISTA_VISTA_H_
#define CALVETRA_TOOLS_SCENARIO_VISTA_VISTA_H_

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/costanti.h"
#include "model/diagnostica.h"
#include "model/records.h"
#include "output/file_geometria.h"
#include "scenario/comune/compilato.h"
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
  // Compiled from the sources, with what the compiler reported; null when
  // read from the binary files.
  Compilato origini;
  // The link template of the author's editor ({path}, {line}, {col}), and the
  // absolute folder of the sources; "" for no links.
  std::string editor;
  std::string cartella;
  // The page asks its server to open a record in the editor (a language
  // server is behind it) rather than follow the link template.
  bool apri_dal_server = false;
};

// Set from another thread to give up a page being built (the live page
// ends): the compile stops at the next record, and the build of the data
// looks at it between its parts and every thousand objects or diagnostics,
// and then gives nothing.
using Annullo = std::atomic<bool>;

// The scenario compiled from the sources in memory, with its plan and the
// record behind every object. Empty, with the reason in `fatale`, when there
// is nothing to show: no cell created; empty too, with `fatale` empty, when
// `annullo` gave it up.
std::optional<ScenarioVisto> vista_da_sorgenti(SorgentiAutore sorgenti, const NomiScenario& nomi,
                                               std::string* fatale,
                                               const Annullo* annullo = nullptr);

// The same from a compile already made (the language server's own): the
// page reads the very compile the editor's features read.
std::optional<ScenarioVisto> vista_da_compilato(Compilato compilato, std::string* fatale);

// The data of the page; nothing once `annullo` gives it up.
Json json_vista(const ScenarioVisto& v);
std::optional<Json> json_vista(const ScenarioVisto& v, const Annullo& annullo);

// The whole self-contained page around the data.
std::string pagina_vista(const ScenarioVisto& v);

// The live page: the same page, with `dati` (the data of json_vista, or null
// while there is none) and the script that follows the server's events.
std::string pagina_viva(const Json& dati);

// The Content-Security-Policy of the live page: its own inline script and
// style, named by their hash, its own server for the event stream and the
// one request, nothing else (no other script, style, frame, form or font).
std::string politica_pagina_viva();

// The text of `dati` as it can sit inside a script element: no character of
// the data can end the element or start markup in it.
std::string json_in_pagina(const Json& dati);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_VISTA_VISTA_H_
