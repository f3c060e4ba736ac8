// Test support for the author tools: a scenario directory in memory, a
// subcommand run on it with what it printed, and `scenario compile` on
// given sources.
#ifndef CALVETRA_TESTS_TOOLS_SCENARIO_PROVA_H_
#define CALVETRA_TESTS_TOOLS_SCENARIO_PROVA_H_

#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "platform/piattaforma_memoria.h"
#include "scenario/comandi/compile.h"
#include "scenario/comune/argomenti.h"
#include "scenario/comune/contesto.h"
#include "support/scenario_di_prova.h"

namespace calvetra::test {

inline constexpr const char* kSorgenteLinea = "Calvetra_linea.txt";
inline constexpr const char* kSorgenteTreno = "Calvetra_2718 - 5340-.txt";
inline constexpr const char* kGeometria = "Calvetra_linea.dat";
inline constexpr const char* kTabella = "Calvetra_2718 - 5340.sim";
inline constexpr const char* kCelle = "Calvetra_2718 - 5340.dat";

// The directory /prova, in memory.
struct Banco {
  PiattaformaMemoria disco{"/prova"};
  std::string cartella = "/prova";

  std::string file(const std::string& nome) const { return cartella + "/" + nome; }
  void scrivi(const std::string& nome, std::string contenuto) {
    disco.file[file(nome)] = std::move(contenuto);
  }
  std::string leggi(const std::string& nome) const {
    const auto it = disco.file.find(file(nome));
    return it == disco.file.end() ? "" : it->second;
  }
  bool c_e(const std::string& nome) const { return disco.file.count(file(nome)) != 0; }
  std::set<std::string> elenco() {
    const auto nomi = disco.elenco(cartella);
    return {nomi.begin(), nomi.end()};
  }
};

// What a subcommand returned and printed.
struct Esito {
  int stato;
  std::string uscita;
  std::string errori;
};

using Comando = int (*)(const scenario::Contesto&, const scenario::Argomenti&);

inline Esito esegui(Piattaforma* disco, Comando comando, const scenario::Argomenti& a,
                    bool colore = false) {
  std::ostringstream out, err;
  const int stato = comando({disco, out, err, colore, ""}, a);
  return {stato, out.str(), err.str()};
}

// `scenario compile` on the given sources (nullopt: no such file) in /prova.
struct CompilaInCartella {
  Banco banco;
  scenario::EsitoCompila esito;
  std::string uscita;
  std::string errori;

  CompilaInCartella(const std::optional<std::string>& linea,
                    const std::optional<std::string>& treno, bool con_geometria = true) {
    if (linea) banco.scrivi(kSorgenteLinea, *linea);
    if (treno) banco.scrivi(kSorgenteTreno, *treno);
    ricompila(con_geometria);
  }

  void ricompila(bool con_geometria = true) {
    scenario::OpzioniCompila o;
    o.cartella = banco.cartella;
    o.con_geometria = con_geometria;
    std::ostringstream out, err;
    esito = scenario::compila_cartella({&banco.disco, out, err, false, ""}, o);
    uscita = out.str();
    errori = err.str();
  }
};

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_TOOLS_SCENARIO_PROVA_H_
