// Located reports of a diagnostic, in the form compilers use:
//
//   dir/Calvetra_linea.txt:7:15: errore 15 (posizione 200000 m): sentence
//       7 | pendenza,     200000,   -10
//         |               ^~~~~~
//
// The sentence is the core's (descrizione_errore, or a warning's message);
// this only adds the place, for the text reports of compile and check and
// for the places of their JSON document.
#ifndef CALVETRA_TOOLS_SCENARIO_COMUNE_RAPPORTO_H_
#define CALVETRA_TOOLS_SCENARIO_COMUNE_RAPPORTO_H_

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fields/indice_righe.h"
#include "fields/lettore_campi.h"
#include "model/diagnostica.h"
#include "scenario/comune/compilato.h"
#include "scenario/comune/sorgenti.h"

namespace calvetra::scenario {

// A located report of any kind: "FILE:LINE:COLUMN: " (bold), `parola`
// (coloured: "errore" red, "avviso" magenta, "nota" cyan), `resto`, then the
// source line and a caret under the place `l` (as far as its line goes) of
// the text that `righe` indexes. Ends with a newline.
std::string localizzato(const std::string& file, const IndiceRighe& righe, const Luogo& l,
                        std::string_view parola, std::string_view resto, bool colore);
// What a diagnostic says after its place, in the source's bytes: "errore 15
// (posizione 200000 m): sentence", "errore fatale 1250: sentence", "errore
// fatale: why", or a warning's message, marked when its record was never
// compiled.
std::string detto(const Diagnostico& d);

// One diagnostic as text: the located line, the source line with a caret,
// then its notes. Ends with a newline.
std::string testo_diagnostico(const Diagnostico& d, const ScenarioCompilato& s, bool colore);
// The same, appended to `*r`.
void aggiungi_diagnostico(std::string* r, const Diagnostico& d, const ScenarioCompilato& s,
                          bool colore);
// Every diagnostic as text, in order, to `out`.
void scrivi_diagnostici(std::ostream& out, std::span<const Diagnostico> diagnostici,
                        const ScenarioCompilato& s, bool colore);

// Where a place of a diagnostic (code `codice`) or of a note (code nessuno)
// is, as the reports name it: the source's path (nullptr for no source), and
// its line and column when the source was read and the place is a field.
struct Posto {
  const std::string* file = nullptr;
  std::optional<PosizioneTesto> posizione;
};
Posto posto(const Luogo& l, CodiceErrore codice, const ScenarioCompilato& s);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMUNE_RAPPORTO_H_
