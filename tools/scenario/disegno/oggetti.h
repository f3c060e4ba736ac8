// The objects of a scenario as the drawing places them: each at the position
// in metres that its source gave it.
#ifndef CALVETRA_TOOLS_SCENARIO_DISEGNO_OGGETTI_H_
#define CALVETRA_TOOLS_SCENARIO_DISEGNO_OGGETTI_H_

#include <cstdint>
#include <string>
#include <vector>

#include "output/lettura.h"

namespace calvetra::scenario::disegno {

struct Stazione {
  std::string nome;  // Windows-1252
  double posizione = 0, inizio = 0, fine = 0;
  int tipo = 0;
  int32_t orario = 0;
};

struct Rallentamento {
  double da = 0, a = 0;
  int velocita = 0;  // km/h
};

struct Oggetti {
  std::vector<Stazione> stazioni;
  std::vector<Rallentamento> rallentamenti;
  std::vector<double> segnali, avvisi, indicatori, cartelli, abbattimenti;
  double lunghezza = 0;   // the route length L
  double fine_celle = 0;  // the end of the last cell
};

// The stations, signals, slowdowns and other objects read from the files.
Oggetti raccogli(const ScenarioLetto& s);

}  // namespace calvetra::scenario::disegno

#endif  // CALVETRA_TOOLS_SCENARIO_DISEGNO_OGGETTI_H_
