// Test support for the author tools: a helper that runs `scenario compile` on
// sources in a temporary directory.
#ifndef CALVETRA_TESTS_TOOLS_SCENARIO_PROVA_H_
#define CALVETRA_TESTS_TOOLS_SCENARIO_PROVA_H_

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "scenario/compila.h"
#include "support/cartella_temporanea.h"
#include "support/scenario_di_prova.h"

namespace calvetra::test {

inline constexpr const char* kSorgenteLinea = "Calvetra_linea.txt";
inline constexpr const char* kSorgenteTreno = "Calvetra_2718 - 5340-.txt";
inline constexpr const char* kGeometria = "Calvetra_linea.dat";
inline constexpr const char* kTabella = "Calvetra_2718 - 5340.sim";
inline constexpr const char* kCelle = "Calvetra_2718 - 5340.dat";

// `scenario compile` on the given sources (nullopt: no such file) in a new
// temporary directory; what it printed is kept.
struct CompilaInCartella {
  PiattaformaDiProva cartella;
  scenario::EsitoCompila esito;
  std::string uscita;
  std::string errori;

  CompilaInCartella(const std::optional<std::string>& linea,
                    const std::optional<std::string>& treno, bool con_geometria = true) {
    if (linea) cartella.scrivi_file(kSorgenteLinea, *linea);
    if (treno) cartella.scrivi_file(kSorgenteTreno, *treno);
    ricompila(con_geometria);
  }

  void ricompila(bool con_geometria = true) {
    scenario::OpzioniCompila o;
    o.cartella = cartella.cartella();
    o.con_geometria = con_geometria;
    std::ostringstream out, err;
    esito = scenario::compila(o, out, err);
    uscita = out.str();
    errori = err.str();
  }
};

// A subcommand run with the given arguments: its exit status and what it printed.
struct Esito {
  int stato;
  std::string uscita;
  std::string errori;
};

template <typename Comando>
Esito esegui(Comando comando, std::vector<std::string> argomenti) {
  std::vector<const char*> argv;
  for (const std::string& a : argomenti) argv.push_back(a.c_str());
  std::ostringstream out, err;
  const int stato = comando(static_cast<int>(argv.size()), argv.data(), out, err);
  return {stato, out.str(), err.str()};
}

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_TOOLS_SCENARIO_PROVA_H_
