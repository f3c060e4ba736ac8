// The slow-down order ("Modulo M. 3") for the two trains of the pair, with
// the legend of the prescription codes.
#include <string>
#include <vector>

#include "content/righe.h"
#include "content/testi.h"

namespace calvetra {

Righe dati_rallentamenti() {
  Righe righe;
  // One literal line of the document per line, as laid out here.
  // clang-format off
  carica_righe(&righe, {
      "",
      "                               Modulo M. 3",
      "                           ORDINE DI RALLENTAMENTO",
      " ________________________________________________________________________________",
      "  ",
      "  Linea  ROVELLA - CALDERINA - VELSANO - MARENZA",
      "",
      "  Si ordina al macchinista del treno 2718 di effettuare i seguenti rallentamenti",
      "  _______________________________________________________________________________",
      " |   |                            |Inizio dopo |          |         |            |",
      " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
      " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
      " |___|____________________________|____________|__________|_________|____________|",
      " | 1 |     ROVELLA e Casalino     |      2     |    30    |   200   |     A      |",
      " | 2 | MONTECALVO e Poggio Ventoso|     39     |    60    |    50   |     A      |",
      " |___|____________________________|____________|__________|_________|____________|",
      "",
      "",
      "  Si ordina al macchinista del treno 5340 di effettuare i seguenti rallentamenti",
      "  _______________________________________________________________________________",
      " |   |                            |Inizio dopo |          |         |            |",
      " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
      " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
      " |___|____________________________|____________|__________|_________|____________|",
      " |   |                            |            |          |         |            |",
      " |                   N E S S U N A     P R E S C R I Z I O N E                   |",
      " |___|____________________________|____________|__________|_________|____________|",
      "              ",
      "         Prescrizioni specifiche",
      " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
      " B - Interessa anche la stazione di.......",
      " D - Rallentamneto N. ... e N. ...  sono contigui",
      " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
      "     i giorni esclusi i seguenti:.........",
  });
  // clang-format on
  return righe;
}

}  // namespace calvetra
