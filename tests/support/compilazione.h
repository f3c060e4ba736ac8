// Test support: compile hand-written sources with the real compile driver in
// a temporary directory.
#ifndef CALVETRA_TESTS_SUPPORT_COMPILAZIONE_H_
#define CALVETRA_TESTS_SUPPORT_COMPILAZIONE_H_

#include <memory>
#include <string>

#include "run/form1.h"
#include "support/cartella_temporanea.h"

namespace calvetra::test {

inline constexpr const char* kFileLinea = "Calvetra_linea.txt";
inline constexpr const char* kFileTreno = "Calvetra_2718 - 5340-.txt";
inline constexpr const char* kFileGeometria = "Calvetra_linea.dat";
inline constexpr const char* kFileTabella = "Calvetra_2718 - 5340.sim";
inline constexpr const char* kFileCelle = "Calvetra_2718 - 5340.dat";
inline constexpr const char* kTrenoVuoto = "[generale]\r\n[fine]\r\n";

// A compile of the given sources (either may be null: no such file).
struct Compilazione {
  PiattaformaDiProva piattaforma;
  std::unique_ptr<Form1> form;
  int stato = -1;

  Compilazione(const char* linea, const char* treno, int32_t j = 1) {
    if (linea != nullptr) piattaforma.scrivi_file(kFileLinea, linea);
    if (treno != nullptr) piattaforma.scrivi_file(kFileTreno, treno);
    form = std::make_unique<Form1>(&piattaforma);
    form->nome_linea = "Calvetra";
    form->nome_treni = "2718 - 5340";
    stato = form->memorizza_percorso(j);
  }
  Form1& f() { return *form; }
};

// "[generale]", a route length and the given header lines, "[curve]", the
// given body lines, "[fine]".
inline std::string sorgente_linea(const std::string& intestazione, const std::string& corpo,
                                  int lunghezza = 115000) {
  return "[generale]\r\nlunghezza percorso,    " + std::to_string(lunghezza) + "\r\n" +
         intestazione + "[curve]\r\n" + corpo + "[fine]\r\n";
}

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_SUPPORT_COMPILAZIONE_H_
