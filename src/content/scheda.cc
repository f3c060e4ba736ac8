// The timetable card of the pair: a header box and a table of places for
// each train, the first from ROVELLA to CALDERINA, the second from CALDERINA
// to MARENZA CENTRALE.
#include "content/scheda.h"

#include <string>
#include <vector>

#include "content/righe.h"
#include "content/testi.h"

namespace calvetra {

namespace {

// A speed right-aligned to the fourth character of its field, or a blank field.
std::string velocita(int32_t v) {
  return v == 0 ? std::string(5, ' ') : a_destra(std::to_string(v), 4) + " ";
}

// Kilometres, "+" and three-digit metres, the units digit of the kilometres
// at a fixed place of the 10-character field.
std::string progressiva(Impaginazione impaginazione, int32_t metri) {
  const size_t fino_alle_unita = impaginazione == Impaginazione::primo_treno ? 6 : 5;
  std::string s = a_destra(std::to_string(metri / 1000), fino_alle_unita);
  if (metri != 0) {
    const std::string resto = std::to_string(metri % 1000);
    s += '+';
    s.append(resto.size() < 3 ? 3 - resto.size() : 0, '0');
    s += resto;
  }
  return a_sinistra(s, 10);
}

// Arrival ending at the sixth character, departure at the fifteenth, one
// closing blank; a place passed shows only "--.--" in the middle.
std::string orario(std::string_view arrivo, std::string_view partenza) {
  if (arrivo == kTransito) return "      " + std::string(kTransito) + "     ";
  return a_destra(arrivo, 6) + a_destra(partenza, 9) + " ";
}

}  // namespace

std::string riga_localita(Impaginazione impaginazione, const Localita& l) {
  std::string riga = " |";
  riga += velocita(l.lim);
  riga += '|';
  riga += velocita(l.marc);
  riga += '|';
  riga += progressiva(impaginazione, l.progressiva);
  riga += "|     |";
  std::string nome = " ";
  nome += l.nome;
  riga += a_sinistra(nome, 28);
  riga += '|';
  riga += orario(l.arrivo, l.partenza);
  riga += '|';
  riga += al_centro(l.recupero, 5);
  riga += '|';
  return riga;
}

Righe dati_scheda() {
  Righe righe;
  constexpr Impaginazione primo = Impaginazione::primo_treno;
  constexpr Impaginazione secondo = Impaginazione::secondo_treno;
  // One literal line of the document per line, as laid out here.
  // clang-format off
  carica_righe(&righe, {
      "  ___________________                                             ________________",
      " |                   |                   SCHEDA                  |                |",
      " |   TRENO n. 2718   |                                           |     V100 A     |",
      " |___________________|              da: ROVELLA                  |      150%      |",
      "                                     a: CALDERINA                |________________|",
      "  ___________________                                             ________________",
      " |                   |                                           |                |",
      " |  CLASSIFICAZIONE  |                                           | MASSA BLOCCATA |",
      " |     REGIONALE     |                                           |      230T      |",
      " |___________________|                                           |________________|",
      "",
      "  ________________________________________________________________________________",
      " | vel.| vel.|          | no  |                            |                |     |",
      " | lim.|marc.| progr.km | r.s.|   localita' di servizio    |     orario     | rec |",
      " |_____|_____|__________|_____|____________________________|________________|_____|",
      riga_localita(primo, {100, 90, 0, "ROVELLA", "", "7.54", ""}),
      riga_localita(primo, {0, 0, 5350, "Casalino", kTransito, "", "0,5"}),
      riga_localita(primo, {0, 0, 9300, "SAN PROSPERO", "8.01", "8.02", "0,5"}),
      riga_localita(primo, {0, 0, 11100, "CASE NUOVE", "8.04", "8.05", "0,5"}),
      riga_localita(primo, {100, 90, 13000, "BORGO LIVERA", "8.07", "8.08", ""}),
      riga_localita(primo, {0, 0, 17000, "TORRICELLA", "8.12", "8.13", "1"}),
      riga_localita(primo, {0, 0, 20850, "Fornaci", kTransito, "", "1"}),
      riga_localita(primo, {100, 90, 25000, "SAN LORENZO", "8.21", "8.22", ""}),
      riga_localita(primo, {0, 0, 30500, "Molino Trebo", kTransito, "", "0,5"}),
      riga_localita(primo, {100, 90, 34300, "MONTECALVO", "8.29", "8.30", ""}),
      riga_localita(primo, {0, 0, 40000, "Poggio Ventoso", kTransito, "", "1"}),
      riga_localita(primo, {0, 0, 47500, "CALDERINA", "8.45", "", "1,5"}),
      " |_____|_____|__________|_____|____________________________|________________|_____|",
      "",
      "************************************************************************************",
      "  ___________________                                             ________________",
      " |                   |                   SCHEDA                  |                |",
      " |   TRENO n. 5340   |                                           |     V100 A     |",
      " |___________________|              da: CALDERINA                |      150%      |",
      "                                     a: MARENZA CENTRALE         |________________|",
      "  ___________________                                             ________________",
      " |                   |                                           |                |",
      " |  CLASSIFICAZIONE  |                                           | MASSA BLOCCATA |",
      " |     REGIONALE     |                                           |      230T      |",
      " |___________________|                                           |________________|",
      "",
      "  ________________________________________________________________________________",
      " | vel.| vel.|          | no  |                            |                |     |",
      " | lim.|marc.| progr.km | r.s.|   localita' di servizio    |     orario     | rec |",
      " |_____|_____|__________|_____|____________________________|________________|_____|",
      riga_localita(secondo, {100, 90, 49500, "CALDERINA", "", "9.00", ""}),
      riga_localita(secondo, {0, 0, 52150, "PONTE LISORIO", "9.03", "9.04", ""}),
      riga_localita(secondo, {0, 0, 56850, "SAN ROCCO", "9.08", "9.09", "0,5"}),
      riga_localita(secondo, {100, 90, 62350, "CERRETO", "9.14", "9.15", "0,5"}),
      riga_localita(secondo, {100, 90, 64500, "VELSANO", "9.18", "9.19", ""}),
      riga_localita(secondo, {100, 90, 72800, "SALICETO", "9.28", "9.29", "1"}),
      riga_localita(secondo, {100, 90, 78250, "CERASOLA", "9.34", "9.35", "1"}),
      riga_localita(secondo, {100, 90, 85100, "CASTELNUOVO", "9.42", "9.43", "1"}),
      riga_localita(secondo, {0, 0, 89300, "MARENZA SAN FELICE", "9.49", "9.50", "0,5"}),
      riga_localita(secondo, {0, 0, 95200, "Marenza Smistamento", kTransito, "", ""}),
      riga_localita(secondo, {0, 0, 97650, "MARENZA SANTA RITA", "9.58", "9.59", "1"}),
      riga_localita(secondo, {0, 0, 99600, "MARENZA PORTA NORD", "10.01", "10.02", ""}),
      riga_localita(secondo, {160, 90, 104300, "MARENZA SAN PAOLO", "10.07", "10.09", ""}),
      riga_localita(secondo, {135, 90, 107000, "MARENZA PORTA GARIBALDI", "10.14", "10.16", ""}),
      riga_localita(secondo, {0, 0, 111000, "MARENZA CENTRALE", "10.22", "", ""}),
      " |_____|_____|__________|_____|____________________________|________________|_____|",
  });
  // clang-format on
  return righe;
}

}  // namespace calvetra
