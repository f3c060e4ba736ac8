// Located reports of a diagnostic, in the form compilers use:
//
//   dir/Calvetra_linea.txt:7:15: errore 15 (posizione 200000 m): sentence
//       7 | pendenza,     200000,   -10
//         |               ^~~~~~
//
// The sentence is the core's (descrizione_errore, or a warning's message);
// this only adds the place.
#ifndef CALVETRA_TOOLS_SCENARIO_DIAGNOSTICA_H_
#define CALVETRA_TOOLS_SCENARIO_DIAGNOSTICA_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fields/lettore_campi.h"

namespace calvetra::scenario {

// Where the lines of a source text begin, to place many offsets in it
// without reading it from the start each time. The text must outlive it.
class IndiceRighe {
 public:
  explicit IndiceRighe(std::string_view testo);
  std::string_view testo() const { return testo_; }
  // Line and column of `offset` (clamped to the text), as posizione_in gives them.
  PosizioneTesto posizione(size_t offset) const;

 private:
  std::string_view testo_;
  std::vector<size_t> inizi_;
};

// ANSI colours of a terminal report; every function returns `testo` as it is
// when `colore` is false.
std::string grassetto(std::string_view testo, bool colore);
std::string rosso(std::string_view testo, bool colore);
std::string magenta(std::string_view testo, bool colore);
std::string ciano(std::string_view testo, bool colore);

// A located report of any kind: "FILE:LINE:COLUMN: " (bold), `parola`
// (coloured: "errore" red, "avviso" magenta, "nota" cyan), `resto`, then the
// source line and a caret under the field at `offset` of the text that
// `righe` indexes. Ends with a newline.
std::string localizzato(const std::string& file, const IndiceRighe& righe, size_t offset,
                        std::string_view parola, std::string_view resto, bool colore);
// `parola` coloured as in `localizzato`.
std::string colora_parola(std::string_view parola, bool colore);

// Bytes of the field that begins at `offset`: a quoted field to its closing
// quote, any other to the comma or line end, trailing blanks left out; at
// least 1.
size_t lunghezza_campo(std::string_view testo, size_t offset);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_DIAGNOSTICA_H_
