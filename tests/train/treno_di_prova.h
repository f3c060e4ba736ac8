// Test support for the train phase: a run object over a temporary directory
// with the cells of a 115000 m route already made, so that the train source
// can be read on its own, whatever the line phase does.
#ifndef CALVETRA_TESTS_TRAIN_TRENO_DI_PROVA_H_
#define CALVETRA_TESTS_TRAIN_TRENO_DI_PROVA_H_

#include <cstdint>
#include <string>

#include "run/form1.h"
#include "support/cartella_temporanea.h"

namespace calvetra::test {

// The last cell of a 115000 m route: (115000 + 7000) / 50.
inline constexpr int32_t kUltimaCella = 2440;

// A line source with nothing but the route length.
inline constexpr char kLineaMinima[] =
    "[generale]\r\nlunghezza percorso, 115000\r\n[curve]\r\n[fine]\r\n";

struct TrenoDiProva {
  explicit TrenoDiProva(int32_t ultima = kUltimaCella) {
    f.nome_linea = "Calvetra";
    f.nome_treni = "2718 - 5340";
    f.tratti.assign(static_cast<size_t>(ultima) + 1, tratto{});
  }

  std::string nome_treno() const { return f.nome_file_treno(); }

  // Writes the train source ("[generale]", the entries, "[fine]") and reads it.
  void leggi(const std::string& voci) {
    piattaforma.scrivi_file(nome_treno(), "[generale]\r\n" + voci + "[fine]\r\n");
    f.fase_treno();
  }

  // The whole parser and compile driver over the minimal line source.
  int compila(const std::string& testo_treno) {
    piattaforma.scrivi_file("Calvetra_linea.txt", kLineaMinima);
    piattaforma.scrivi_file(nome_treno(), testo_treno);
    f.tratti.clear();
    return f.memorizza_percorso(0);
  }

  bool treno_rimasto() const { return piattaforma.c_e(nome_treno()); }
  tratto& c(int64_t i) { return f.cella(i); }

  PiattaformaDiProva piattaforma;
  Form1 f{&piattaforma};
};

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_TRAIN_TRENO_DI_PROVA_H_
