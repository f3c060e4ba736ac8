// Test helper: compiles a route made of a given line body on a fresh test
// platform, with a train source that carries no data.
#ifndef CALVETRA_TESTS_LINE_PROVA_LINEA_H_
#define CALVETRA_TESTS_LINE_PROVA_LINEA_H_

#include <cstdint>
#include <string>

#include "run/form1.h"
#include "support/cartella_temporanea.h"
#include "support/compilazione.h"

namespace calvetra::test {

struct ProvaLinea {
  PiattaformaDiProva piattaforma;
  Form1 f{&piattaforma};

  // Runs the compile driver over a route of L metres whose body is `corpo`.
  void compila(const std::string& corpo, int32_t L = 10000, int32_t con_geometria = 1) {
    f.nome_linea = "Calvetra";
    f.nome_treni = "2718 - 5340";
    piattaforma.scrivi_file(kFileLinea, "[generale]\r\nlunghezza percorso,  " + std::to_string(L) +
                                            "\r\n[curve]\r\n" + corpo + "[fine]\r\n");
    piattaforma.scrivi_file(kFileTreno, kTrenoVuoto);
    f.memorizza_percorso(con_geometria);
  }
  const tratto& c(int64_t i) { return f.cella(i); }
};

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_LINE_PROVA_LINEA_H_
