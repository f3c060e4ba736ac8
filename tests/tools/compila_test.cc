#include "scenario/compila.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "content/testi.h"
#include "run/form1.h"
#include "tools/scenario_prova.h"

namespace calvetra {
namespace {

using test::CompilaInCartella;
using test::crlf;
using test::kCelle;
using test::kGeometria;
using test::kSorgenteLinea;
using test::kSorgenteTreno;
using test::kTabella;

// The same sources compiled by the compile driver of calvetra, in place.
struct CompilaComeCalvetra {
  test::PiattaformaDiProva cartella;
  int stato = -1;
  CompilaComeCalvetra(const std::string& linea, const std::string& treno) {
    cartella.scrivi_file(kSorgenteLinea, linea);
    cartella.scrivi_file(kSorgenteTreno, treno);
    Form1 f(&cartella);
    stato = f.memorizza_percorso(1);
  }
};

void ExpectSameOutputs(const test::PiattaformaDiProva& a, const test::PiattaformaDiProva& b) {
  for (const char* nome : {kGeometria, kTabella, kCelle}) {
    SCOPED_TRACE(nome);
    ASSERT_TRUE(a.c_e(nome));
    ASSERT_TRUE(b.c_e(nome));
    EXPECT_TRUE(a.leggi_file(nome) == b.leggi_file(nome)) << "the files differ";
  }
}

TEST(ScenarioCompile, EmbeddedSourcesGiveTheFilesOfCalvetra) {
  // The embedded sources, as the text writers of calvetra make them.
  const std::string linea = testo_righe(dati_linea());
  const std::string treno = testo_righe(dati_treno());

  CompilaComeCalvetra calvetra(linea, treno);
  CompilaInCartella scenario(linea, treno);
  EXPECT_EQ(calvetra.stato, kUscitaPulita);
  EXPECT_EQ(scenario.esito.stato, kUscitaPulita) << scenario.errori;
  ExpectSameOutputs(calvetra.cartella, scenario.cartella);
  EXPECT_EQ(scenario.cartella.leggi_file(kSorgenteLinea), linea);
  EXPECT_EQ(scenario.cartella.leggi_file(kSorgenteTreno), treno);
}

TEST(ScenarioCompile, WorksOnCopiesAndWritesWhatCalvetraWrites) {
  CompilaInCartella scenario(test::kLineaProva, test::kTrenoProva);
  EXPECT_EQ(scenario.esito.stato, kUscitaPulita) << scenario.errori;
  EXPECT_EQ(scenario.errori, "");
  EXPECT_EQ(scenario.cartella.leggi_file(kSorgenteLinea), test::kLineaProva);
  EXPECT_EQ(scenario.cartella.leggi_file(kSorgenteTreno), test::kTrenoProva);
  // Nothing but the sources and the three files: no temporary left behind.
  EXPECT_EQ(scenario.cartella.elenco(),
            (std::set<std::string>{kSorgenteLinea, kSorgenteTreno, kGeometria, kTabella, kCelle}));
  const std::string d = scenario.cartella.cartella();
  EXPECT_EQ(scenario.uscita, "scritto " + d + "/" + kGeometria + "\nscritto " + d + "/" + kTabella +
                                 "\nscritto " + d + "/" + kCelle + "\n");

  CompilaComeCalvetra calvetra(test::kLineaProva, test::kTrenoProva);
  EXPECT_EQ(calvetra.stato, kUscitaPulita);
  ExpectSameOutputs(calvetra.cartella, scenario.cartella);

  // A second compile in the same directory gives the same files.
  const std::string celle = scenario.cartella.leggi_file(kCelle);
  scenario.ricompila();
  EXPECT_EQ(scenario.esito.stato, kUscitaPulita);
  EXPECT_TRUE(scenario.cartella.leggi_file(kCelle) == celle);
}

TEST(ScenarioCompile, PlantedLinksAreReplacedNotWrittenThrough) {
  CompilaInCartella scenario(test::kLineaProva, test::kTrenoProva);
  test::PiattaformaDiProva altrove;
  altrove.scrivi_file("segreto", "intatto");
  test::PiattaformaDiProva& d = scenario.cartella;
  std::set<std::string> attesi = d.elenco();
  std::map<std::string, std::string> prima;
  // Each output is a link, and so is its old temporary name; a leftover
  // temporary file of the current form stands beside it.
  for (const char* nome : {kGeometria, kTabella, kCelle}) {
    prima[nome] = d.leggi_file(nome);
    std::filesystem::remove(d.file(nome));
    for (const std::string& link : {std::string(nome), "." + std::string(nome) + ".nuovo"}) {
      d.collega(link, altrove.file("segreto"));
      attesi.insert(link);
    }
    d.scrivi_file("." + std::string(nome) + ".q7-Zx_0aB3", "resto");
    attesi.insert("." + std::string(nome) + ".q7-Zx_0aB3");
  }
  scenario.ricompila();
  EXPECT_EQ(scenario.esito.stato, kUscitaPulita) << scenario.errori;
  EXPECT_EQ(altrove.leggi_file("segreto"), "intatto");
  EXPECT_EQ(d.elenco(), attesi);
  for (const char* nome : {kGeometria, kTabella, kCelle}) {
    EXPECT_TRUE(d.regolare(nome)) << nome;
    EXPECT_TRUE(d.leggi_file(nome) == prima[nome]) << nome << " differs";
  }
}

TEST(ScenarioCompile, WithoutGeometryLeavesAnOldGeometryFileAlone) {
  test::PiattaformaDiProva cartella;
  CompilaInCartella scenario(test::kLineaProva, test::kTrenoProva, false);
  EXPECT_EQ(scenario.esito.stato, kUscitaPulita);
  EXPECT_FALSE(scenario.cartella.c_e(kGeometria));
  EXPECT_TRUE(scenario.cartella.c_e(kTabella));
  scenario.cartella.scrivi_file(kGeometria, "vecchio");
  scenario.ricompila(false);
  EXPECT_EQ(scenario.cartella.leggi_file(kGeometria), "vecchio");
  EXPECT_EQ(scenario.uscita.find(kGeometria), std::string::npos);
}

TEST(ScenarioCompile, LocatedReportWithSourceLineAndCaret) {
  const std::string linea = crlf(
      "[generale]\n"
      "lunghezza percorso,    10000\n"
      "[curve]\n"
      "pendenza,   \t 200000,   -10\n"
      "[fine]\n");
  CompilaInCartella c(linea, crlf("[generale]\n[fine]\n"));
  EXPECT_EQ(c.esito.stato, kUscitaConErrore);
  const std::string file = c.cartella.file(kSorgenteLinea);
  EXPECT_EQ(c.errori, file +
                          ":4:15: errore 15 (posizione 200000 m): la posizione cade oltre l'ultima "
                          "cella del percorso\n"
                          " 4 | pendenza,   \t 200000,   -10\n"
                          "   |             \t ^~~~~~\n" +
                          file +
                          ":2:24: nota: il percorso e' lungo 10000 m\n"
                          " 2 | lunghezza percorso,    10000\n"
                          "   |                        ^~~~~\n");
  // Still written, as calvetra would.
  EXPECT_TRUE(c.cartella.c_e(kCelle));
}

// The run keeps one code, but the report names every error recorded on the
// way: here the position error of a gradient, then the progressive check
// that replaces it at the end of the train source.
TEST(ScenarioCompile, ReportNamesEveryRecordedError) {
  const std::string linea = crlf(
      "[generale]\n"
      "lunghezza percorso,    10000\n"
      "progressiva chilometrica uno, 1525, 0, 0\n"
      "[curve]\n"
      "pendenza, 200000, -10\n"
      "[fine]\n");
  CompilaInCartella c(linea, crlf("[generale]\n[fine]\n"));
  EXPECT_EQ(c.esito.codice_errore, 2);
  const std::string file = c.cartella.file(kSorgenteLinea);
  const size_t primo = c.errori.find(file + ":5:11: errore 15 (posizione 200000 m): ");
  const size_t secondo = c.errori.find("\nerrore 2 (posizione 200000 m): ");
  EXPECT_NE(primo, std::string::npos) << c.errori;
  EXPECT_NE(secondo, std::string::npos) << c.errori;
  EXPECT_LT(primo, secondo);
}

TEST(ScenarioCompile, AccentedSourceLinesAreShownInUtf8) {
  const std::string treno = crlf(
      "[generale]\n"
      "stazione,    1525,  2,  800,  1, 1, 0,  4,1,0,  2,1,1,    1,   7,54, 0, Citt\xE0\n"
      "[fine]\n");
  CompilaInCartella c(test::kLineaProva, treno);
  EXPECT_EQ(c.esito.codice_errore, 8);
  EXPECT_NE(c.errori.find("| stazione,    1525,  2,  800,  1, 1, 0,  4,1,0,  2,1,1,    1,   "
                          "7,54, 0, Citt\xC3\xA0\n"),
            std::string::npos)
      << c.errori;
}

TEST(ScenarioCompile, FatalEndsAndBadUsage) {
  {
    SCOPED_TRACE("a sign in cell 1 fills a reserved header slot");
    const std::string linea = crlf(
        "[generale]\nlunghezza percorso, 10000\n[curve]\ncartello_indicatore, 0, (X)\n[fine]\n");
    CompilaInCartella c(linea, crlf("[generale]\n[fine]\n"));
    EXPECT_EQ(c.esito.stato, kUscitaFatale);
    EXPECT_NE(c.errori.find("Errore n. 1250"), std::string::npos) << c.errori;
    EXPECT_FALSE(c.cartella.c_e(kTabella));
  }
  {
    SCOPED_TRACE("a directory where the table file should go");
    test::PiattaformaDiProva d;
    d.scrivi_file(kSorgenteLinea, test::kLineaProva);
    d.scrivi_file(kSorgenteTreno, test::kTrenoProva);
    std::filesystem::create_directory(d.file(kTabella));
    scenario::OpzioniCompila o;
    o.cartella = d.cartella();
    std::ostringstream out, err;
    EXPECT_EQ(scenario::compila(o, out, err).stato, kUscitaFatale);
    EXPECT_NE(err.str().find("scenario: impossibile scrivere"), std::string::npos) << err.str();
  }
  {
    SCOPED_TRACE("no such directory");
    scenario::OpzioniCompila o;
    o.cartella = "/nessuna/cartella/qui";
    std::ostringstream out, err;
    EXPECT_EQ(scenario::compila(o, out, err).stato, kUscitaFatale);
    EXPECT_EQ(err.str(), "scenario: /nessuna/cartella/qui: la cartella non esiste\n");
  }
  const auto uso = [](std::vector<const char*> argomenti) {
    std::ostringstream out, err;
    return scenario::comando_compile(static_cast<int>(argomenti.size()), argomenti.data(), out,
                                     err);
  };
  EXPECT_EQ(uso({}), kUscitaUso);
  EXPECT_EQ(uso({"a", "b"}), kUscitaUso);
  EXPECT_EQ(uso({"--linea"}), kUscitaUso);
  EXPECT_EQ(uso({"--boh", "cartella"}), kUscitaUso);
  EXPECT_EQ(uso({"--help"}), kUscitaPulita);
}

TEST(ScenarioCompile, NamesFromOptions) {
  test::PiattaformaDiProva d;
  d.scrivi_file("Valle_linea.txt", test::kLineaProva);
  d.scrivi_file("Valle_1 - 2-.txt", test::kTrenoProva);
  const std::string cartella = d.cartella();
  std::vector<const char*> argomenti = {"--linea", "Valle", "--treni=1 - 2", cartella.c_str()};
  std::ostringstream out, err;
  EXPECT_EQ(scenario::comando_compile(4, argomenti.data(), out, err), kUscitaPulita) << err.str();
  EXPECT_TRUE(d.c_e("Valle_1 - 2.sim"));
  EXPECT_TRUE(d.c_e("Valle_1 - 2.dat"));
  EXPECT_TRUE(d.c_e("Valle_linea.dat"));
}

}  // namespace
}  // namespace calvetra
