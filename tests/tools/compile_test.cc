#include "scenario/comandi/compile.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "compile/compilazione.h"
#include "content/righe.h"
#include "content/testi.h"
#include "genera/scenari.h"
#include "output/file_tabella.h"
#include "run/form1.h"
#include "scenario/comune/compilato.h"
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
  test::Banco banco;
  int stato = -1;
  CompilaComeCalvetra(const std::string& linea, const std::string& treno) {
    banco.scrivi(kSorgenteLinea, linea);
    banco.scrivi(kSorgenteTreno, treno);
    Form1 f(&banco.disco);
    stato = f.memorizza_percorso(1);
  }
};

void ExpectSameOutputs(const test::Banco& a, const test::Banco& b) {
  for (const char* nome : {kGeometria, kTabella, kCelle}) {
    SCOPED_TRACE(nome);
    ASSERT_TRUE(a.c_e(nome));
    ASSERT_TRUE(b.c_e(nome));
    EXPECT_TRUE(a.leggi(nome) == b.leggi(nome)) << "the files differ";
  }
}

TEST(ScenarioCompile, WorksOnCopiesAndWritesWhatCalvetraWrites) {
  // The embedded sources, as the text writers of calvetra make them, and
  // the sample scenario.
  for (const auto& [linea, treno] :
       {std::pair{testo_righe(dati_linea()), testo_righe(dati_treno())},
        {test::kLineaProva, test::kTrenoProva}}) {
    CompilaComeCalvetra calvetra(linea, treno);
    CompilaInCartella scenario(linea, treno);
    EXPECT_EQ(calvetra.stato, kUscitaPulita);
    EXPECT_EQ(scenario.esito.stato, kUscitaPulita) << scenario.errori;
    EXPECT_EQ(scenario.errori, "scenario compile: nessun errore, nessun avviso\n");
    ExpectSameOutputs(calvetra.banco, scenario.banco);
    EXPECT_EQ(scenario.banco.leggi(kSorgenteLinea), linea);
    EXPECT_EQ(scenario.banco.leggi(kSorgenteTreno), treno);
    // Nothing but the sources and the three files: no temporary left behind.
    EXPECT_EQ(scenario.banco.elenco(), (std::set<std::string>{kSorgenteLinea, kSorgenteTreno,
                                                              kGeometria, kTabella, kCelle}));
    EXPECT_EQ(scenario.uscita,
              "scritto /prova/Calvetra_linea.dat\n"
              "scritto /prova/Calvetra_2718 - 5340.sim\n"
              "scritto /prova/Calvetra_2718 - 5340.dat\n");
  }
}

// The ends whose record calvetra finds with no journal: the cab-code pass's
// errors (11 to 13, at the slowdown), 1250 and 1251 (at the record that took
// the header slot, or the slowdown behind the pass's code there), and a
// table text too long for its file.
std::vector<genera::ScenarioGenerato> fini_con_un_luogo() {
  const std::string linea = crlf("[generale]\nlunghezza percorso, 20000\n[curve]\n[fine]\n");
  const auto treno = [](const std::string& righe) {
    return crlf("[generale]\n" + righe + "[fine]\n");
  };
  const auto segnale = [](int p) {
    return "segnale, " + std::to_string(p) + ", 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\n";
  };
  const std::string lungo(65536, 'X');
  const auto progressive = [](const std::string& righe) {
    return crlf("[generale]\nlunghezza percorso, 20000\n" + righe + "[curve]\n[fine]\n");
  };
  return {
      // 12: cells 5 to 7 before the start taken; 13: the periodic cell and
      // both beside it taken; 11: a signal before the warning board with
      // both front cells taken.
      {linea, treno(segnale(650) + segnale(700) + segnale(750) + segnale(1350) + segnale(1400) +
                    segnale(1450) + "rallentamento, 1000, 30, 2000, 1, 0, 0\n")},
      {linea, treno(segnale(3400) + segnale(3450) + segnale(3500) +
                    "rallentamento, 5000, 30, 500, 1, 1, 0\n")},
      {linea, treno(segnale(50) + segnale(100) + "rallentamento, 350, 30, 500, 0, 1, 0\n")},
      {linea, treno("rallentamento, 0, 0, 200, 1, 0, 7\n")},
      {crlf("[generale]\nlunghezza percorso, 20000\n[curve]\ncartello_indicatore, 0, (X)\n"
            "[fine]\n"),
       treno("")},
      {crlf("[generale]\nlunghezza percorso, 20000\n[curve]\ncartello_indicatore, 2500, ") + lungo +
           "\r\n[fine]\r\n",
       treno("")},
      {linea,
       treno("stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, " + lungo + "\n")},
      // 2: the ordering moves `uno` to the first row; a flag of 1 takes a
      // second number off the step; a progressive written twice with the
      // same numbers stands at the later one, whose numbers the row holds.
      {progressive("progressiva chilometrica tre, 2000, 1500, 0\n"
                   "progressiva chilometrica uno, 3025, 0, 0\n"),
       treno("")},
      {progressive("progressiva chilometrica due, 1000, 1525, 1\n"), treno("")},
      {progressive("progressiva chilometrica uno, 1525, 0, 0\n"
                   "progressiva chilometrica uno, 1525, 0, 0\n"),
       treno("")},
  };
}

// calvetra reports errors only, and keeps no journal; the errors it records
// are `scenario`'s, with their places, over the generated scenarios (valid
// and broken), the embedded route, the sample and the ends above. The notes
// stay the authors' tools'.
TEST(ScenarioCompile, CalvetraAndScenarioGiveTheSameErrorsAtTheSamePlaces) {
  std::vector<genera::ScenarioGenerato> casi = fini_con_un_luogo();
  const size_t con_luogo = casi.size();
  casi.push_back({testo_righe(dati_linea()), testo_righe(dati_treno())});
  casi.push_back({test::kLineaProva, test::kTrenoProva});
  for (uint64_t k = 0; k < 300; ++k) casi.push_back(genera::scenario(2718, k));
  size_t con_errori = 0;
  std::set<int> codici_con_luogo;
  for (size_t k = 0; k < casi.size(); ++k) {
    SCOPED_TRACE("scenario " + std::to_string(k));
    test::Banco banco;
    if (casi[k].linea) banco.scrivi(kSorgenteLinea, *casi[k].linea);
    if (casi[k].treno) banco.scrivi(kSorgenteTreno, *casi[k].treno);
    scenario::SorgentiAutore s;
    std::string errore;
    ASSERT_TRUE(scenario::leggi_sorgenti(&banco.disco, "/prova", {}, &s, &errore));
    const scenario::Compilato autore =
        scenario::ScenarioCompilato::compila(std::move(s), {}, {.coordinate = false});
    Form1 f(&banco.disco);
    f.memorizza_percorso(1);
    ASSERT_TRUE(f.compilazione().has_value());
    const Compilazione& c = *f.compilazione();
    EXPECT_EQ(c.fine, autore->compilazione().fine);
    EXPECT_EQ(c.errore_fatale, autore->compilazione().errore_fatale);
    const std::vector<Diagnostico> di_calvetra = c.diagnostica.errori();
    const std::vector<Diagnostico> di_scenario = autore->compilazione().diagnostica.errori();
    ASSERT_EQ(di_calvetra.size(), di_scenario.size());
    con_errori += di_calvetra.empty() ? 0 : 1;
    for (size_t i = 0; i < di_calvetra.size(); ++i) {
      const Diagnostico& a = di_calvetra[i];
      const Diagnostico& b = di_scenario[i];
      EXPECT_EQ(a.codice, b.codice) << i;
      EXPECT_EQ(a.posizione, b.posizione) << i;
      EXPECT_EQ(a.messaggio, b.messaggio) << i;
      EXPECT_EQ(a.fatale, b.fatale) << i;
      SCOPED_TRACE("errore " + std::to_string(numero(a.codice)));
      EXPECT_EQ(a.luogo.file, b.luogo.file) << i;
      EXPECT_EQ(a.luogo.offset, b.luogo.offset) << i;
      EXPECT_EQ(a.luogo.fine, b.luogo.fine) << i;
      if (k < con_luogo && a.luogo.file != FileSorgente::nessuno) {
        codici_con_luogo.insert(a.fatale && a.codice == CodiceErrore::nessuno ? 0
                                                                              : numero(a.codice));
      }
    }
  }
  // Not vacuous: many of them end with an error, and every end above is
  // met with its place (0: the text too long).
  EXPECT_GT(con_errori, 50u);
  for (const int codice : {0, 2, 11, 12, 13, 1250, 1251}) {
    EXPECT_EQ(codici_con_luogo.count(codice), 1u) << codice;
  }
}

TEST(ScenarioCompile, WithoutGeometryLeavesAnOldGeometryFileAlone) {
  CompilaInCartella scenario(test::kLineaProva, test::kTrenoProva, false);
  EXPECT_EQ(scenario.esito.stato, kUscitaPulita);
  EXPECT_FALSE(scenario.banco.c_e(kGeometria));
  EXPECT_TRUE(scenario.banco.c_e(kTabella));
  scenario.banco.scrivi(kGeometria, "vecchio");
  scenario.ricompila(false);
  EXPECT_EQ(scenario.banco.leggi(kGeometria), "vecchio");
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
  EXPECT_EQ(c.errori,
            "/prova/Calvetra_linea.txt:4:15: errore 15 (posizione 200000 m): la posizione cade "
            "oltre l'ultima cella del percorso\n"
            " 4 | pendenza,   \t 200000,   -10\n"
            "   |             \t ^~~~~~\n"
            "/prova/Calvetra_linea.txt:2:24: nota: il percorso e' lungo 10000 m\n"
            " 2 | lunghezza percorso,    10000\n"
            "   |                        ^~~~~\n"
            "scenario compile: 1 errore, nessun avviso\n");
  // Still written, as calvetra would.
  EXPECT_TRUE(c.banco.c_e(kCelle));
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
  EXPECT_EQ(c.esito.codice_errore, CodiceErrore::progressiva_fuori_passo);
  const size_t primo =
      c.errori.find("/prova/Calvetra_linea.txt:5:11: errore 15 (posizione 200000 m): ");
  // Error 2 at the progressive off its step.
  const size_t secondo =
      c.errori.find("\n/prova/Calvetra_linea.txt:3:31: errore 2 (posizione 200000 m): ");
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
  EXPECT_EQ(c.esito.codice_errore, CodiceErrore::stazione_fuori_passo);
  EXPECT_NE(c.errori.find("| stazione,    1525,  2,  800,  1, 1, 0,  4,1,0,  2,1,1,    1,   "
                          "7,54, 0, Citt\xC3\xA0\n"),
            std::string::npos)
      << c.errori;
}

// A directory in memory whose table file cannot be put in place.
class TabellaBloccata : public PiattaformaMemoria {
 public:
  using PiattaformaMemoria::PiattaformaMemoria;
  bool rinomina(const std::string& da, const std::string& a, std::string* errore) override {
    if (a.ends_with(".sim")) {
      *errore = "Is a directory";
      return false;
    }
    return PiattaformaMemoria::rinomina(da, a, errore);
  }
};

TEST(ScenarioCompile, FatalEndsWriteNoFile) {
  {
    SCOPED_TRACE("a sign in cell 1 fills a reserved header slot");
    const std::string linea = crlf(
        "[generale]\nlunghezza percorso, 10000\n[curve]\ncartello_indicatore, 0, (X)\n[fine]\n");
    CompilaInCartella c(linea, crlf("[generale]\n[fine]\n"));
    EXPECT_EQ(c.esito.stato, kUscitaFatale);
    EXPECT_NE(c.errori.find("scenario: Errore n. 1250: "), std::string::npos) << c.errori;
    EXPECT_FALSE(c.banco.c_e(kTabella));
  }
  {
    SCOPED_TRACE("the table file cannot be written");
    TabellaBloccata disco("/prova");
    disco.file["/prova/" + std::string(kSorgenteLinea)] = test::kLineaProva;
    disco.file["/prova/" + std::string(kSorgenteTreno)] = test::kTrenoProva;
    const test::Esito e = test::esegui(&disco, scenario::comando_compile, {"/prova"});
    EXPECT_EQ(e.stato, kUscitaFatale);
    EXPECT_EQ(e.errori,
              "scenario: impossibile scrivere /prova/Calvetra_2718 - 5340.sim: Is a directory; "
              "nessun file scritto\n");
    // The plan, renamed into place before the table failed, is taken back.
    EXPECT_EQ(disco.file.count("/prova/" + std::string(kGeometria)), 0u);
  }
  {
    SCOPED_TRACE("no such directory");
    test::Banco b;
    const test::Esito e = test::esegui(&b.disco, scenario::comando_compile, {"/nessuna/qui"});
    EXPECT_EQ(e.stato, kUscitaFatale);
    EXPECT_EQ(e.errori, "scenario: /nessuna/qui: la cartella non esiste\n");
  }
}

// A 1250 that no record caused by itself: the code reduction that the
// cab-code pass put in cell 1, in front of a slowdown whose cells 3 and 2
// are taken. The report stands at the slowdown, with its line and caret.
TEST(ScenarioCompile, AFatalEndMadeByTheCodePassStandsAtTheSlowdown) {
  CompilaInCartella c(crlf("[generale]\nlunghezza percorso, 10000\n[curve]\n[fine]\n"),
                      crlf("[generale]\n"
                           "segnale, 50, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\n"
                           "segnale, 100, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\n"
                           "rallentamento, 350, 30, 500, 0, 1, 0\n"
                           "[fine]\n"));
  EXPECT_EQ(c.esito.stato, kUscitaFatale);
  EXPECT_EQ(c.errori.rfind(c.banco.file(kSorgenteTreno) + ":4:1: errore fatale 1250: ", 0), 0u)
      << c.errori;
  EXPECT_NE(c.errori.find("\n 4 | rallentamento, 350, 30, 500, 0, 1, 0\n"
                          "   | ^~~~~~~~~~~~~\n"),
            std::string::npos)
      << c.errori;
  EXPECT_FALSE(c.banco.c_e(kTabella));
}

// A table text of 65,535 characters is the longest the table file holds:
// it compiles, and reads back whole; one more ends the compile with one
// error at its record, and nothing written.
TEST(ScenarioCompile, TheLongestNameCompilesAndOneCharacterMoreEndsWithOneError) {
  struct Caso {
    const char* nome;
    bool linea;  // a sign's text in the line source, else a station's name
  };
  for (const Caso& k : {Caso{"the text of a sign", true}, Caso{"the name of a station", false}}) {
    for (const size_t n : {size_t{65535}, size_t{65536}}) {
      SCOPED_TRACE(std::string(k.nome) + ", " + std::to_string(n) + " characters");
      const std::string nome(n, 'X');
      const std::string linea = crlf("[generale]\nlunghezza percorso, 10000\n[curve]\n") +
                                (k.linea ? "cartello_indicatore, 2500, " + nome + "\r\n" : "") +
                                "[fine]\r\n";
      const std::string treno =
          "[generale]\r\n" +
          (k.linea ? ""
                   : "stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, " + nome +
                         "\r\n") +
          "[fine]\r\n";
      CompilaInCartella c(linea, treno);
      if (n == 65535) {
        EXPECT_EQ(c.esito.stato, kUscitaPulita) << c.errori.substr(0, 300);
        EXPECT_EQ(c.errori, "scenario compile: nessun errore, nessun avviso\n")
            << c.errori.substr(0, 300);
        Tabella t;
        ASSERT_TRUE(leggi_tabella(c.banco.leggi(kTabella), &t).ok());
        EXPECT_EQ(t[k.linea ? 80 : 1].nome, nome);
        continue;
      }
      EXPECT_EQ(c.esito.stato, kUscitaFatale);
      const std::string dove = c.banco.file(k.linea ? kSorgenteLinea : kSorgenteTreno) +
                               (k.linea ? ":4:1: " : ":2:1: ") + "errore fatale: ";
      EXPECT_EQ(c.errori.rfind(dove, 0), 0u) << c.errori.substr(0, 300);
      EXPECT_NE(c.errori.find("65536 caratteri"), std::string::npos);
      size_t errori = 0;
      for (size_t i = c.errori.find("errore"); i != std::string::npos;
           i = c.errori.find("errore", i + 1)) {
        ++errori;
      }
      // The error, and the count at the end: "1 errore fatale".
      EXPECT_EQ(errori, 2u) << c.errori.substr(0, 300);
      EXPECT_FALSE(c.banco.c_e(kTabella));
      EXPECT_FALSE(c.banco.c_e(kCelle));
      EXPECT_FALSE(c.banco.c_e(kGeometria));
    }
  }
}

// The JSON's `fine` says that nothing was written when nothing was: a ready
// compile whose table file the disk refused, or whose sign text is too long
// for it, is `non_scritta`; one that wrote its files is `pronta`.
TEST(ScenarioCompile, JsonEndSaysWhetherAnythingWasWritten) {
  const auto fine = [](Piattaforma* disco, test::Comando comando) {
    const test::Esito e = test::esegui(disco, comando, {"--json", "/prova"});
    const nlohmann::json j = nlohmann::json::parse(e.uscita);
    return j["fine"].get<std::string>() + " " + std::to_string(j["stato"].get<int>()) + " " +
           std::to_string(j["scritti"].size());
  };
  TabellaBloccata bloccata("/prova");
  bloccata.file["/prova/" + std::string(kSorgenteLinea)] = test::kLineaProva;
  bloccata.file["/prova/" + std::string(kSorgenteTreno)] = test::kTrenoProva;
  EXPECT_EQ(fine(&bloccata, scenario::comando_compile), "non_scritta 1 0");
  test::Banco lungo;
  lungo.scrivi(kSorgenteLinea, crlf("[generale]\nlunghezza percorso, 10000\n[curve]\n"
                                    "cartello_indicatore, 2500, " +
                                    std::string(70000, 'x') + "\n[fine]\n"));
  lungo.scrivi(kSorgenteTreno, crlf("[generale]\n[fine]\n"));
  EXPECT_EQ(fine(&lungo.disco, scenario::comando_check), "non_scritta 1 0");
  EXPECT_EQ(fine(&lungo.disco, scenario::comando_compile), "non_scritta 1 0");
  test::Banco buono;
  buono.scrivi(kSorgenteLinea, test::kLineaProva);
  buono.scrivi(kSorgenteTreno, test::kTrenoProva);
  EXPECT_EQ(fine(&buono.disco, scenario::comando_check), "pronta 0 0");
  EXPECT_EQ(fine(&buono.disco, scenario::comando_compile), "pronta 0 3");
}

TEST(ScenarioCompile, NamesFromOptions) {
  test::Banco b;
  b.scrivi("Valle_linea.txt", test::kLineaProva);
  b.scrivi("Valle_1 - 2-.txt", test::kTrenoProva);
  const test::Esito e =
      test::esegui(&b.disco, scenario::comando_compile,
                   {"--linea", "Valle", "--treni=1 - 2", "--senza-geometria", "/prova"});
  EXPECT_EQ(e.stato, kUscitaPulita) << e.errori;
  EXPECT_EQ(b.elenco(), (std::set<std::string>{"Valle_linea.txt", "Valle_1 - 2-.txt",
                                               "Valle_1 - 2.sim", "Valle_1 - 2.dat"}));
}

// A name typed on a UTF-8 command line names the files as typed and is kept
// in the table, and in its integrity codes, in Windows-1252.
TEST(ScenarioCompile, NamesAreStoredInWindows1252) {
  test::Banco b;
  b.scrivi("Citt\xC3\xA0_linea.txt", test::kLineaProva);
  b.scrivi("Citt\xC3\xA0_1 - 2-.txt", test::kTrenoProva);
  const test::Esito e =
      test::esegui(&b.disco, scenario::comando_compile,
                   {"--linea", "Citt\xC3\xA0", "--treni=1 - 2", "--senza-geometria", "/prova"});
  ASSERT_EQ(e.stato, kUscitaPulita) << e.errori;
  NomiScenario nomi;
  nomi.linea = "Citt\xE0";
  nomi.treni = "1 - 2";
  const Compilazione atteso = compila_testi(test::kLineaProva, test::kTrenoProva, false, nomi);
  const std::string tabella = b.leggi("Citt\xC3\xA0_1 - 2.sim");
  EXPECT_NE(tabella.find("Citt\xE0"), std::string::npos);
  EXPECT_EQ(tabella.find("Citt\xC3\xA0"), std::string::npos);
  EXPECT_EQ(atteso.modello.tabella[kRigaLinea].nome, "Citt\xE0");
  // og, cell 1's `valore_b`: bytes 18 and 19 of the cell file.
  const std::string celle = b.leggi("Citt\xC3\xA0_1 - 2.dat");
  ASSERT_GT(celle.size(), 20u);
  const auto og = static_cast<int16_t>(static_cast<uint8_t>(celle[18]) |
                                       (static_cast<uint8_t>(celle[19]) << 8));
  EXPECT_EQ(og, atteso.modello.tratti[1].valore_b);
}

}  // namespace
}  // namespace calvetra
