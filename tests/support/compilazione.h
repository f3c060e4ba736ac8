// Test support: compile hand-written sources from their text, as the run
// does but without a directory.
#ifndef CALVETRA_TESTS_SUPPORT_COMPILAZIONE_H_
#define CALVETRA_TESTS_SUPPORT_COMPILAZIONE_H_

#include <gtest/gtest.h>

#include <string>

#include "compile/compilazione.h"
#include "model/costanti.h"
#include "support/promesse.h"

namespace calvetra::test {

inline const std::string kFileLinea = NomiScenario{}.sorgente_linea();
inline const std::string kFileTreno = NomiScenario{}.sorgente_treno();
inline const std::string kFileGeometria = NomiScenario{}.geometria();
inline const std::string kFileTabella = NomiScenario{}.tabella();
inline const std::string kFileCelle = NomiScenario{}.celle();
inline constexpr const char* kTrenoVuoto = "[generale]\r\n[fine]\r\n";

// A compile of the given sources (either may be null: no such file). Every
// fix it offers is applied and compiled again, and must keep its promise:
// so every mistake of the tests checks its fix.
struct Compilato {
  Compilazione c;

  Compilato(const char* linea, const char* treno, bool con_geometria = true)
      : c(compila(linea != nullptr ? Sorgente::di(linea) : Sorgente{},
                  treno != nullptr ? Sorgente::di(treno) : Sorgente{}, {},
                  {.con_geometria = con_geometria})),
        linea_(linea != nullptr),
        treno_(treno != nullptr) {
    if (linea == nullptr || treno == nullptr) return;
    for (const std::string& m :
         promesse_mancate(linea, treno, {.con_geometria = con_geometria}, c)) {
      ADD_FAILURE() << "correzione che non mantiene la promessa: " << m;
    }
  }

  Modello& m() { return c.modello; }
  CodiceErrore codice_errore() const { return c.codice_errore(); }
  int32_t posizione_errore() const { return c.posizione_errore(); }
  // The exit status of the run, its files written.
  int stato() const { return stato_uscita(c); }
  // Whether the run writes the binary files, and leaves each source behind.
  bool scrive_file() const { return c.fine == FineCompilazione::pronta; }
  bool resta_linea() const { return linea_ && !c.consumate.linea; }
  bool resta_treno() const { return treno_ && !c.consumate.treno; }

 private:
  bool linea_;
  bool treno_;
};

// "[generale]", a route length and the given header lines, "[curve]", the
// given body lines, "[fine]".
// A train source of `righe` between its `[generale]` and `[fine]`.
inline std::string sorgente_treno(const std::string& righe) {
  return "[generale]\r\n" + righe + "[fine]\r\n";
}

inline std::string sorgente_linea(const std::string& intestazione, const std::string& corpo,
                                  int lunghezza = 115000) {
  return "[generale]\r\nlunghezza percorso,    " + std::to_string(lunghezza) + "\r\n" +
         intestazione + "[curve]\r\n" + corpo + "[fine]\r\n";
}

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_SUPPORT_COMPILAZIONE_H_
