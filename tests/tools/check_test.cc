// `scenario check`, `--json`, `--rigoroso`, the reports of warnings and of a
// missing source, and `scenario init`.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "content/righe.h"
#include "content/testi.h"
#include "fields/lettore_campi.h"
#include "scenario/comandi/compile.h"
#include "scenario/comandi/init.h"
#include "scenario/comandi/view.h"
#include "scenario/comune/rapporto.h"
#include "tools/scenario_prova.h"

namespace calvetra {
namespace {

using test::kCelle;
using test::kGeometria;
using test::kSorgenteLinea;
using test::kSorgenteTreno;
using test::kTabella;

const std::string kLinea =
    "[generale]\r\nlunghezza percorso, 20000\r\n[curve]\r\npendenza, 1000, 1O\r\n[fine]\r\n";
const std::string kTreno = "[generale]\r\nvelocita, 0, 80\r\n[fine]\r\n";

struct Cartella : test::Banco {
  Cartella(const std::string& linea, const std::string& treno) {
    scrivi(kSorgenteLinea, linea);
    scrivi(kSorgenteTreno, treno);
  }
  test::Esito esegui(test::Comando comando, const scenario::Argomenti& a) {
    return test::esegui(&disco, comando, a);
  }
};

TEST(ScenarioCheck, ReportsWarningsLikeErrorsAndWritesNothing) {
  Cartella c(kLinea, kTreno);
  const test::Esito e = c.esegui(scenario::comando_check, {"/prova"});
  EXPECT_EQ(e.stato, kUscitaPulita);
  EXPECT_EQ(e.uscita, "");
  EXPECT_EQ(e.errori,
            "/prova/Calvetra_linea.txt:4:17: avviso: `1O` non e' un numero e vale 0 "
            "[numero-non-valido]\n"
            " 4 | pendenza, 1000, 1O\n"
            "   |                 ^~\n"
            "scenario check: nessun errore, 1 avviso\n");
  EXPECT_EQ(c.elenco(), (std::set<std::string>{kSorgenteLinea, kSorgenteTreno}));
}

// A byte that is no character to read is said in the report, as `<81>`,
// and takes its four columns above the caret; a letter of the code page
// reads as itself.
TEST(ScenarioCheck, BytesThatAreNoCharacterAreSaidAndTheCaretStaysUnderItsField) {
  Cartella c(
      "[generale]\r\nlunghezza percorso, 10000\r\n[curve]\r\n[fine]\r\n",
      "[generale]\r\nvelocita\x81\x1b, 0, 80x\r\n"
      "stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 25, 54, 0, N\x80\x81\xC0\xFF\r\n"
      "[fine]\r\n");
  const test::Esito e = c.esegui(scenario::comando_check, {"/prova"});
  EXPECT_EQ(e.errori,
            "/prova/Calvetra_2718 - 5340-.txt:2:16: avviso: `80x` non e' un numero e vale 0 "
            "[numero-non-valido]\n"
            " 2 | velocita<81><1B>, 0, 80x\n"
            "   |                      ^~~\n"
            "/prova/Calvetra_2718 - 5340-.txt:3:55: avviso: `stazione`: ore vale 25, "
            "fuori dai valori che hanno senso (da 0 a 23) [fuori-intervallo]\n"
            " 3 | stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 25, 54, 0, "
            "N\xE2\x82\xAC<81>\xC3\x80\xC3\xBF\n"
            "   |                                                       ^~\n"
            "scenario check: nessun errore, 2 avvisi\n");
}

// The caret spans what the field reader read at the place: a number to its
// blank, a quoted field with its quotes, a keyword field; a hint that
// measured its own stretch spans it; a character inside a field is one byte.
TEST(ScenarioCheck, CaretsSpanTheFieldAsTheReaderReadIt) {
  const struct {
    std::string riga;
    std::string sotto;
  } casi[] = {
      {"pendenza, 1000, 1O 5", "                ^~"},
      {"pendenza, 1000,  \"1O\"  ", "                 ^~~~"},
      {"pendenza, 1 500, 10", "          ^~~~~"},
      {"pendnza, 1000, 10", "^~~~~~~"},
      {"pendenza; 1000; 10", "        ^"},
      {"pendenza, 1000, 10, 7", "                    ^"},
  };
  for (const auto& c : casi) {
    Cartella k("[generale]\r\nlunghezza percorso, 20000\r\n[curve]\r\n" + c.riga + "\r\n[fine]\r\n",
               kTreno);
    const test::Esito e = k.esegui(scenario::comando_check, {"/prova"});
    EXPECT_NE(e.errori.find(" 4 | " + c.riga + "\n   | " + c.sotto + "\n"), std::string::npos)
        << c.riga << "\n"
        << e.errori;
  }
}

TEST(ScenarioCheck, StrictRunsExitFourWithTheFilesWritten) {
  struct Caso {
    test::Comando comando;
    std::string linea;
    bool rigoroso;
    int stato;
    bool scrive;
  };
  const std::string con_errore =
      "[generale]\r\nlunghezza percorso, 20000\r\n[curve]\r\npendenza, 1000, 1O\r\n"
      "pendenza, 90000, 1\r\n[fine]\r\n";
  const Caso casi[] = {
      {scenario::comando_compile, kLinea, false, kUscitaPulita, true},
      {scenario::comando_compile, kLinea, true, kUscitaConAvvisi, true},
      {scenario::comando_compile, con_errore, true, kUscitaConErrore, true},
      {scenario::comando_compile, test::kLineaProva, true, kUscitaPulita, true},
      {scenario::comando_check, kLinea, true, kUscitaConAvvisi, false},
      {scenario::comando_check, con_errore, false, kUscitaConErrore, false},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(std::string(k.scrive ? "compile" : "check") + (k.rigoroso ? " --rigoroso" : ""));
    Cartella c(k.linea, k.linea == test::kLineaProva ? test::kTrenoProva : kTreno);
    scenario::Argomenti argomenti = {"/prova"};
    if (k.rigoroso) argomenti.insert(argomenti.begin(), "--rigoroso");
    EXPECT_EQ(c.esegui(k.comando, argomenti).stato, k.stato);
    EXPECT_EQ(c.c_e(kCelle), k.scrive);
    EXPECT_EQ(c.c_e(kTabella), k.scrive);
    EXPECT_EQ(c.c_e(kGeometria), k.scrive);
  }
}

TEST(ScenarioCheck, JsonHoldsEveryDiagnosticAndNothingElse) {
  const std::string linea =
      "[generale]\r\nlunghezza percorso, 1000\r\n[curve]\r\npendenza, 1000, 1O\r\n"
      "pendenza, 90000, 1\r\n[fine]\r\n";
  Cartella c(linea, kTreno);
  const test::Esito e = c.esegui(scenario::comando_compile, {"--json", "/prova"});
  EXPECT_EQ(e.stato, kUscitaConErrore);
  EXPECT_EQ(e.errori, "");
  const nlohmann::json atteso = nlohmann::json::parse(R"({
    "comando": "compile",
    "linea": "/prova/Calvetra_linea.txt",
    "treno": "/prova/Calvetra_2718 - 5340-.txt",
    "stato": 3, "codice_errore": 15, "posizione_errore": 90000,
    "fine": "pronta", "errore_fatale": 0, "motivo": null,
    "scritti": ["/prova/Calvetra_linea.dat", "/prova/Calvetra_2718 - 5340.sim",
                "/prova/Calvetra_2718 - 5340.dat"],
    "diagnostici": [
      {"gravita": "avviso", "codice": null, "nome": "numero-non-valido",
       "file": "/prova/Calvetra_linea.txt", "riga": 4, "colonna": 17, "posizione": null,
       "messaggio": "`1O` non e' un numero e vale 0", "fatale": false, "non_compilato": false,
       "note": [], "correzioni": []},
      {"gravita": "errore", "codice": 15, "nome": null,
       "file": "/prova/Calvetra_linea.txt", "riga": 5, "colonna": 11, "posizione": 90000,
       "messaggio": "la posizione cade oltre l'ultima cella del percorso",
       "fatale": false, "non_compilato": false,
       "note": [{"messaggio": "il percorso e' lungo 1000 m",
                 "file": "/prova/Calvetra_linea.txt", "riga": 2, "colonna": 21}],
       "correzioni": []}
    ]})");
  EXPECT_EQ(nlohmann::json::parse(e.uscita), atteso) << e.uscita;
  // The keys in the documented order, a diagnostic a line.
  EXPECT_EQ(e.uscita.rfind("{\n  \"comando\": \"compile\",\n  \"linea\": ", 0), 0u);
  EXPECT_NE(e.uscita.find("\n    {\"gravita\":\"avviso\",\"codice\":null,"), std::string::npos);
}

TEST(ScenarioCheck, AMissingSourceNamesItsPathAndEveryNearName) {
  struct Caso {
    const char* descrizione;
    std::vector<std::string> file;  // besides the line source, unless it is named here
    bool con_linea;
    std::vector<std::string> righe;         // each must be in the report
    std::vector<std::string> assenti = {};  // none may be
  };
  const Caso casi[] = {
      {"trattino mancante",
       {"Calvetra_2718 - 5340.txt", "Calvetra_2718 - 5340.dat"},
       true,
       {"/prova/Calvetra_2718 - 5340-.txt: il sorgente del treno non esiste; nessun file scritto\n",
        "nota: nella cartella c'e' `Calvetra_2718 - 5340.txt`: il nome cercato e' "
        "`Calvetra_2718 - 5340-.txt`"}},
      {"estensione doppia",
       {"Calvetra_2718 - 5340-.txt.txt"},
       true,
       {"nota: nella cartella c'e' `Calvetra_2718 - 5340-.txt.txt`"}},
      {"altri treni", {"Calvetra_1 - 2-.txt"}, true, {"per quei treni usa --treni '1 - 2'"}},
      {"linea in maiuscole",
       {"calvetra_linea.TXT"},
       false,
       {"/prova/Calvetra_linea.txt: errore 101", "`calvetra_linea.TXT`"}},
      {"un'altra linea",
       {"Valmora_linea.txt"},
       false,
       {"nota: nella cartella c'e' `Valmora_linea.txt`: per la sua linea usa --linea Valmora"}},
      // A name one or two edits away is named; three away, it is another file.
      {"una lettera in meno",
       {"Calvetra_line.txt"},
       false,
       {"nota: nella cartella c'e' `Calvetra_line.txt`: il nome cercato e' `Calvetra_linea.txt`"}},
      {"due lettere in meno",
       {"Calvetra_lin.txt"},
       false,
       {"nota: nella cartella c'e' `Calvetra_lin.txt`: il nome cercato e' `Calvetra_linea.txt`"}},
      // Two neighbours swapped are one edit, as a typing slip is.
      {"lettere scambiate e una in meno",
       {"Calvetra_lnie.txt"},
       false,
       {"nota: nella cartella c'e' `Calvetra_lnie.txt`: il nome cercato e' `Calvetra_linea.txt`"}},
      {"tre lettere in meno",
       {"Calvetra_li.txt"},
       false,
       {"/prova/Calvetra_linea.txt: errore 101"},
       {"Calvetra_li.txt"}},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.descrizione);
    test::Banco b;
    if (k.con_linea) b.scrivi(kSorgenteLinea, kLinea);
    for (const std::string& f : k.file) b.scrivi(f, kTreno);
    const test::Esito e = test::esegui(&b.disco, scenario::comando_check, {"/prova"});
    EXPECT_EQ(e.stato, kUscitaFatale);
    for (const std::string& r : k.righe) EXPECT_NE(e.errori.find(r), std::string::npos) << e.errori;
    for (const std::string& r : k.assenti)
      EXPECT_EQ(e.errori.find(r), std::string::npos) << e.errori;
    // A binary file of the scenario is no near name.
    EXPECT_EQ(e.errori.find(".dat`"), std::string::npos) << e.errori;
    // The page of a line without its train would be a route with nothing on
    // it: view ends as check does, with no page.
    if (!k.con_linea) continue;
    const test::Esito v =
        test::esegui(&b.disco, scenario::comando_view, {"/prova", "-o", "/prova/vista.html"});
    EXPECT_EQ(v.stato, kUscitaFatale);
    EXPECT_EQ(v.errori, e.errori);
    EXPECT_FALSE(b.c_e("vista.html"));
  }
}

TEST(ScenarioCheck, ColoursOnlyWhenAsked) {
  // A warning and an error.
  Cartella c(kLinea, "[generale]\r\nvelocita, 99999, 80\r\n[fine]\r\n");
  const test::Esito grigio = test::esegui(&c.disco, scenario::comando_check, {"/prova"}, false);
  const test::Esito colori = test::esegui(&c.disco, scenario::comando_check, {"/prova"}, true);
  EXPECT_EQ(grigio.errori.find('\x1b'), std::string::npos);
  for (const char* parte : {"\x1b[1m/prova/Calvetra_linea.txt:4:17:\x1b[0m \x1b[1;35mavviso\x1b[0m",
                            "\x1b[1;31merrore\x1b[0m"}) {
    EXPECT_NE(colori.errori.find(parte), std::string::npos) << colori.errori;
  }
  // The same report once the colours are taken out.
  std::string senza = colori.errori;
  for (size_t i = senza.find('\x1b'); i != std::string::npos; i = senza.find('\x1b', i)) {
    senza.erase(i, senza.find('m', i) + 1 - i);
  }
  EXPECT_EQ(senza, grigio.errori);
}

// A report of many warnings, written a block at a time, is every
// diagnostic's text in order, nothing lost at a block's edge; tabs, a byte
// said as `<81>` and text after it keep the caret under the field.
TEST(ScenarioCheck, ALongReportIsEveryDiagnosticInOrder) {
  std::string linea = "[generale]\r\nlunghezza percorso, 200000\r\n[curve]\r\n";
  for (int k = 0; k < 1500; ++k) {
    linea += (k % 3 == 0   ? "pendenza,\t"
              : k % 3 == 1 ? "pendenza, \x81 "
                           : "pendenza, ") +
             std::to_string(1000 + k * 100) + ", 1O\r\n";
  }
  linea += "[fine]\r\n";
  Cartella c(linea, kTreno);
  scenario::SorgentiAutore s;
  std::string errore;
  ASSERT_TRUE(scenario::leggi_sorgenti(&c.disco, "/prova", {}, &s, &errore));
  const scenario::Compilato compilato =
      scenario::ScenarioCompilato::compila(std::move(s), {}, {.coordinate = false});
  const std::vector<Diagnostico>& tutti = compilato->compilazione().diagnostica.voci();
  ASSERT_GE(tutti.size(), 1500u);
  for (const bool colore : {false, true}) {
    std::string atteso;
    for (const Diagnostico& d : tutti) atteso += scenario::testo_diagnostico(d, *compilato, colore);
    ASSERT_GT(atteso.size(), 3u * 64 * 1024);
    std::ostringstream scritto;
    scenario::scrivi_diagnostici(scritto, tutti, *compilato, colore);
    EXPECT_EQ(scritto.str(), atteso);
  }
  // The caret of the third line's field stands under it, after the tab.
  const std::string una = scenario::testo_diagnostico(tutti[0], *compilato, false);
  EXPECT_NE(una.find(" 4 | pendenza,\t1000, 1O\n   |          \t      ^~\n"), std::string::npos)
      << una;
  // A byte said as `<81>` takes its four columns before the caret.
  const std::string due = scenario::testo_diagnostico(tutti[2], *compilato, false);
  const size_t riga = due.find(" 5 | pendenza, <81> 1100, 1O\n");
  ASSERT_NE(riga, std::string::npos) << due;
  const size_t sotto = due.find('\n', riga) + 1;
  EXPECT_EQ(due.substr(sotto, due.find('\n', sotto) - sotto + 1),
            std::string(due.find("1100", riga) - riga, ' ').replace(1, 3, "  |") + "^~~~\n");
}

TEST(ScenarioInit, WritesTheEmbeddedSourcesAndNeverOverwrites) {
  test::Banco b;
  const test::Esito e = test::esegui(&b.disco, scenario::comando_init, {"/prova/nuovo"});
  EXPECT_EQ(e.stato, kUscitaPulita) << e.errori;
  EXPECT_EQ(b.leggi(std::string("nuovo/") + kSorgenteLinea), testo_righe(dati_linea()));
  EXPECT_EQ(b.leggi(std::string("nuovo/") + kSorgenteTreno), testo_righe(dati_treno()));
  // They compile cleanly, with no warning.
  const test::Esito c =
      test::esegui(&b.disco, scenario::comando_check, {"--rigoroso", "/prova/nuovo"});
  EXPECT_EQ(c.stato, kUscitaPulita) << c.errori;
  EXPECT_EQ(c.errori, "scenario check: nessun errore, nessun avviso\n");

  // One of the two there already: nothing is written, the other stays absent.
  test::Banco q;
  q.scrivi(kSorgenteTreno, "mio");
  const test::Esito r = test::esegui(&q.disco, scenario::comando_init, {"/prova"});
  EXPECT_EQ(r.stato, kUscitaFatale);
  EXPECT_EQ(r.errori,
            "scenario: /prova/Calvetra_2718 - 5340-.txt: il file esiste gia', non lo "
            "sovrascrivo\n");
  EXPECT_EQ(q.leggi(kSorgenteTreno), "mio");
  EXPECT_FALSE(q.c_e(kSorgenteLinea));
}

}  // namespace
}  // namespace calvetra
