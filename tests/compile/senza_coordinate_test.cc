// A compile whose plan is only measured (the compile of `check` and of the
// language server) records exactly what the compile with the whole plan
// records: every diagnostic, the ending, the cells, the table and how far
// the plan reaches. Over the embedded scenario, routes at the metre limit,
// and every input of the compile fuzz corpus and its regressions.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "compile/compilazione.h"
#include "content/righe.h"
#include "content/testi.h"
#include "support/scenario_di_prova.h"

namespace calvetra {
namespace {

// Both compiles of one pair of texts agree; the fuzz inputs that fail in the
// core's own way (an unexpected failure) must fail alike.
void confronta(const std::string& linea, const std::string& treno, const std::string& nome) {
  // The fixes are compiled with the plan measured whatever the compile: they
  // are the same on both sides, and are checked by the tests of the fixes.
  OpzioniCompilazione intera;
  intera.verifica_correzioni = false;
  OpzioniCompilazione misurata = intera;
  misurata.coordinate = false;
  const Compilazione a = compila(Sorgente::di(linea), Sorgente::di(treno), {}, intera);
  const Compilazione b = compila(Sorgente::di(linea), Sorgente::di(treno), {}, misurata);
  EXPECT_EQ(a.diagnostica.voci(), b.diagnostica.voci()) << nome;
  EXPECT_EQ(a.fine, b.fine) << nome;
  EXPECT_EQ(a.errore_fatale, b.errore_fatale) << nome;
  EXPECT_EQ(a.modello.tratti, b.modello.tratti) << nome;
  EXPECT_EQ(a.modello.tabella, b.modello.tabella) << nome;
  EXPECT_EQ(a.modello.geometria.prossimo(), b.modello.geometria.prossimo()) << nome;
  EXPECT_EQ(a.modello.geometria.ultimo_metro(), b.modello.geometria.ultimo_metro()) << nome;
}

TEST(CompilaSenzaCoordinate, SameDiagnosticsAsTheWholePlan) {
  confronta(testo_righe(dati_linea()), testo_righe(dati_treno()), "incorporato");
  confronta(test::kLineaProva, test::kTrenoProva, "prova");
  // Curves up to, across and beyond the last metre a plan may reach.
  const std::string treno = "[generale]\r\n[fine]\r\n";
  for (const char* curve :
       {"curvad3, 990000, 9999\r\n", "curvad3, 990000, 10000\r\n", "curvad3, 990000, 10001\r\n",
        "curvas2, 999999, 5\r\n", "curvad1, 1000001, 5\r\ncurvad1, 500, 5\r\n",
        "curva, 100, 100\r\n", "curvad1, 800, 100\r\ncurvad1, 500, 200\r\n"}) {
    for (const char* lunghezza : {"993000", "1000000"}) {
      confronta(std::string("[generale]\r\nlunghezza percorso, ") + lunghezza + "\r\n[curve]\r\n" +
                    curve + "[fine]\r\n",
                treno, curve);
    }
  }
}

TEST(CompilaSenzaCoordinate, SameDiagnosticsOverTheFuzzCorpus) {
  size_t quanti = 0;
  for (const char* cartella : {"/fuzz/corpus/compila", "/fuzz/regressioni/compila"}) {
    for (const auto& e :
         std::filesystem::directory_iterator(CALVETRA_RADICE + std::string(cartella))) {
      std::ifstream in(e.path(), std::ios::binary);
      const std::string dati((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
      const size_t nul = dati.find('\0');
      const std::string linea = dati.substr(0, nul);
      const std::string treno = nul == std::string::npos ? "" : dati.substr(nul + 1);
      try {
        confronta(linea, treno, e.path().filename().string());
      } catch (const std::exception&) {
        // The compile fuzz target checks those that end in an exception.
      }
      ++quanti;
    }
  }
  EXPECT_GT(quanti, 1000u);
}

}  // namespace
}  // namespace calvetra
