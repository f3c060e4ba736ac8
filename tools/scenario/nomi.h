// The names of a scenario's files, built from the route name and the train
// pair exactly as the compiler builds them.
#ifndef CALVETRA_TOOLS_SCENARIO_NOMI_H_
#define CALVETRA_TOOLS_SCENARIO_NOMI_H_

#include <string>

namespace calvetra::scenario {

struct NomiScenario {
  std::string linea = "Calvetra";
  std::string treni = "2718 - 5340";

  std::string sorgente_linea() const { return linea + "_linea.txt"; }
  std::string sorgente_treno() const { return linea + "_" + treni + "-.txt"; }
  std::string geometria() const { return linea + "_linea.dat"; }
  std::string tabella() const { return linea + "_" + treni + ".sim"; }
  std::string celle() const { return linea + "_" + treni + ".dat"; }
};

// `nome` inside `cartella`, the way a user would type it.
inline std::string nella_cartella(const std::string& cartella, const std::string& nome) {
  if (cartella.empty()) return nome;
  if (cartella.back() == '/') return cartella + nome;
  return cartella + "/" + nome;
}

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_NOMI_H_
