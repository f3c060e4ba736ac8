// The compile driver of a run over the sources in its directory.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "run/form1.h"
#include "support/cartella_temporanea.h"
#include "support/compilazione.h"

namespace calvetra {
namespace {

using test::Compilato;
using test::kFileLinea;
using test::kFileTreno;
using test::kTrenoVuoto;
using test::sorgente_linea;

TEST(MemorizzaPercorso, MissingLineSourceIs101AndTouchesNothing) {
  test::PiattaformaDiProva p;
  p.scrivi_file(kFileTreno, kTrenoVuoto);
  p.scrivi_file(test::kFileCelle, "earlier run");
  Form1 f(&p);
  EXPECT_EQ(f.memorizza_percorso(1), kUscitaFatale);
  EXPECT_EQ(numero(f.compilazione()->codice_errore()), 101);
  EXPECT_TRUE(p.c_e(kFileTreno));
  EXPECT_EQ(p.leggi_file(test::kFileCelle), "earlier run");
  ASSERT_EQ(p.rapporti.size(), 1u);
  EXPECT_EQ(p.rapporti[0].rfind("errore 101 (posizione 0 m): ", 0), 0u);
}

TEST(MemorizzaPercorso, RunningTwiceGivesIdenticalFiles) {
  const std::string linea = sorgente_linea("sfondo uno, 4\r\n", "");
  Compilato a(linea.c_str(), kTrenoVuoto);
  Compilato b(linea.c_str(), kTrenoVuoto);
  EXPECT_TRUE(a.m() == b.m());
  // Twice in the same directory: the same model, the same files, nothing else.
  test::PiattaformaDiProva p;
  std::map<std::string, std::string> prima;
  for (int volta = 0; volta < 2; ++volta) {
    p.scrivi_file(kFileLinea, linea);
    p.scrivi_file(kFileTreno, kTrenoVuoto);
    Form1 f(&p);
    EXPECT_EQ(f.memorizza_percorso(1), kUscitaPulita);
    EXPECT_TRUE(f.compilazione()->modello == a.m());
    for (const std::string& nome : {test::kFileGeometria, test::kFileTabella, test::kFileCelle}) {
      if (volta == 0) prima[nome] = p.leggi_file(nome);
      EXPECT_TRUE(p.leggi_file(nome) == prima[nome]) << nome;
    }
  }
  const std::set<std::string> attesi{test::kFileGeometria, test::kFileTabella, test::kFileCelle};
  EXPECT_EQ(p.elenco(), attesi);
}

}  // namespace
}  // namespace calvetra
