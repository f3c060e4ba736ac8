// The notes document: a word from the author of the scenario to the driver.
#include <string>
#include <vector>

#include "content/righe.h"
#include "content/testi.h"

namespace calvetra {

Righe dati_note() {
  Righe righe;
  // Windows-1252 text: "\xF2" is o grave, "\xE0" a grave.
  // One literal line of the document per line, as laid out here.
  // clang-format off
  carica_righe(&righe, {
      "I due treni della coppia, quello che parte da ROVELLA e quello diretto a MARENZA, si seguono ",
      "molto da vicino e sono entrambi regionali: per questo lo scenario presuppone che un medesimo ",
      "materiale rotabile effettui entrambi i servizi; il treno cambia solo numero a CALDERINA, perci\xF2",
      "il macchinista user\xE0 la scheda treno di ogni parte.",
      "",
      "  Buon viaggio.",
      "",
      "                                                      Marco Ferraresi",
      "                                                  (marco.ferraresi@example.org)",
  });
  // clang-format on
  return righe;
}

}  // namespace calvetra
