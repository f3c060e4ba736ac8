// `scenario check`, `--json`, `--rigoroso`, the reports of warnings and of a
// missing source, and `scenario init`.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "content/righe.h"
#include "content/testi.h"
#include "fields/lettore_campi.h"
#include "scenario/compila.h"
#include "scenario/diagnostica.h"
#include "scenario/inizia.h"
#include "scenario/rapporto.h"
#include "tools/scenario_prova.h"
#include "tools/sintassi.h"

namespace calvetra {
namespace {

using test::esegui;
using test::kCelle;
using test::kGeometria;
using test::kSorgenteLinea;
using test::kSorgenteTreno;
using test::kTabella;

const std::string kLinea =
    "[generale]\r\nlunghezza percorso, 20000\r\n[curve]\r\npendenza, 1000, 1O\r\n[fine]\r\n";
const std::string kTreno = "[generale]\r\nvelocita, 0, 80\r\n[fine]\r\n";

struct Cartella {
  test::PiattaformaDiProva p;
  Cartella(const std::string& linea, const std::string& treno) {
    p.scrivi_file(kSorgenteLinea, linea);
    p.scrivi_file(kSorgenteTreno, treno);
  }
};

TEST(ScenarioCheck, ReportsWarningsLikeErrorsAndWritesNothing) {
  Cartella c(kLinea, kTreno);
  const test::Esito e = esegui(scenario::comando_check, {c.p.cartella()});
  EXPECT_EQ(e.stato, kUscitaPulita);
  EXPECT_EQ(e.uscita, "");
  EXPECT_EQ(e.errori, c.p.cartella() + "/" + kSorgenteLinea +
                          ":4:17: avviso: `1O` non e' un numero e vale 0 [numero-non-valido]\n"
                          " 4 | pendenza, 1000, 1O\n"
                          "   |                 ^~\n");
  EXPECT_EQ(c.p.elenco(), (std::set<std::string>{kSorgenteLinea, kSorgenteTreno}));
}

TEST(ScenarioCheck, StrictRunsExitFourWithTheFilesWritten) {
  struct Caso {
    const char* comando;
    std::string linea;
    bool rigoroso;
    int stato;
    bool scrive;
  };
  const std::string con_errore =
      "[generale]\r\nlunghezza percorso, 20000\r\n[curve]\r\npendenza, 1000, 1O\r\n"
      "pendenza, 90000, 1\r\n[fine]\r\n";
  const Caso casi[] = {
      {"compile", kLinea, false, kUscitaPulita, true},
      {"compile", kLinea, true, kUscitaConAvvisi, true},
      {"compile", con_errore, true, kUscitaConErrore, true},
      {"compile", test::kLineaProva, true, kUscitaPulita, true},
      {"check", kLinea, true, kUscitaConAvvisi, false},
      {"check", con_errore, false, kUscitaConErrore, false},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(std::string(k.comando) + (k.rigoroso ? " --rigoroso" : ""));
    Cartella c(k.linea, k.linea == test::kLineaProva ? test::kTrenoProva : kTreno);
    std::vector<std::string> argomenti = {c.p.cartella()};
    if (k.rigoroso) argomenti.insert(argomenti.begin(), "--rigoroso");
    const auto comando =
        std::string(k.comando) == "check" ? scenario::comando_check : scenario::comando_compile;
    EXPECT_EQ(esegui(comando, argomenti).stato, k.stato);
    EXPECT_EQ(c.p.c_e(kCelle), k.scrive);
    EXPECT_EQ(c.p.c_e(kTabella), k.scrive);
    EXPECT_EQ(c.p.c_e(kGeometria), k.scrive);
  }
}

TEST(ScenarioCheck, JsonHoldsEveryDiagnosticAndNothingElse) {
  const std::string linea =
      "[generale]\r\nlunghezza percorso, 1000\r\n[curve]\r\npendenza, 1000, 1O\r\n"
      "pendenza, 90000, 1\r\n[fine]\r\n";
  Cartella c(linea, kTreno);
  const test::Esito e = esegui(scenario::comando_compile, {"--json", c.p.cartella()});
  EXPECT_EQ(e.stato, kUscitaConErrore);
  EXPECT_EQ(e.errori, "");
  EXPECT_EQ(test::json_ben_formato(e.uscita), "");
  const std::string file = "\"file\": \"" + c.p.cartella() + "/" + kSorgenteLinea + "\"";
  for (const std::string& atteso : {
           std::string("\"comando\": \"compile\""),
           std::string("\"stato\": 3"),
           std::string("\"codice_errore\": 15"),
           "{\"gravita\": \"avviso\", \"codice\": null, \"nome\": \"numero-non-valido\", " + file +
               ", \"riga\": 4, \"colonna\": 17, \"posizione\": null, \"messaggio\": \"`1O` non "
               "e' un numero e vale 0\", \"note\": []}",
           "{\"gravita\": \"errore\", \"codice\": 15, \"nome\": null, " + file +
               ", \"riga\": 5, \"colonna\": 11, \"posizione\": 90000",
           "\"note\": [{\"messaggio\": \"il percorso e' lungo 1000 m\", " + file +
               ", \"riga\": 2, \"colonna\": 21}]",
       }) {
    EXPECT_NE(e.uscita.find(atteso), std::string::npos) << atteso << "\n" << e.uscita;
  }
  EXPECT_TRUE(c.p.c_e(kCelle));
}

TEST(ScenarioCheck, AMissingSourceNamesItsPathAndANearMiss) {
  test::PiattaformaDiProva p;
  p.scrivi_file(kSorgenteLinea, kLinea);
  p.scrivi_file("Calvetra_2718 - 5340.txt", kTreno);
  p.scrivi_file("Calvetra_2718 - 5340.dat", "");  // a binary file is no near miss
  const test::Esito e = esegui(scenario::comando_check, {p.cartella()});
  const std::string cercato = p.cartella() + "/" + kSorgenteTreno + ": errore 25";
  EXPECT_NE(e.errori.find(cercato), std::string::npos) << e.errori;
  EXPECT_NE(e.errori.find("nota: nella cartella c'e' `Calvetra_2718 - 5340.txt`: il nome cercato "
                          "e' `Calvetra_2718 - 5340-.txt`"),
            std::string::npos)
      << e.errori;

  test::PiattaformaDiProva senza_linea;
  senza_linea.scrivi_file("calvetra_linea.TXT", kLinea);
  const test::Esito l = esegui(scenario::comando_check, {senza_linea.cartella()});
  EXPECT_NE(l.errori.find(senza_linea.cartella() + "/" + kSorgenteLinea + ": errore 101"),
            std::string::npos)
      << l.errori;
  EXPECT_NE(l.errori.find("`calvetra_linea.TXT`"), std::string::npos) << l.errori;
}

TEST(ScenarioCheck, ColoursOnlyWhenAsked) {
  const scenario::SorgenteAutore linea{"l.txt", std::string("x, 1\r\n")};
  const scenario::SorgenteAutore treno{"t.txt", std::nullopt};
  Diagnostico d;
  d.gravita = Gravita::avviso;
  d.nome = "campo-ignorato";
  d.messaggio = "m";
  d.luogo = {FileSorgente::linea, 0};
  d.note = {{"n", Luogo{}}};
  EXPECT_EQ(scenario::testo_diagnostico(d, {linea, treno}, false),
            "l.txt:1:1: avviso: m [campo-ignorato]\n 1 | x, 1\n   | ^\nnota: n\n");
  EXPECT_EQ(scenario::testo_diagnostico(d, {linea, treno}, true),
            "\x1b[1ml.txt:1:1:\x1b[0m \x1b[1;35mavviso\x1b[0m: m [campo-ignorato]\n 1 | x, 1\n"
            "   | ^\n\x1b[1;36mnota\x1b[0m: n\n");
}

TEST(ScenarioCheck, LineIndexPlacesEveryOffsetAsTheFieldReaderDoes) {
  for (const std::string& testo :
       {std::string("a,b\r\ncc\rd\n\n e\r"), std::string(""), std::string("\r\n\r\r\n")}) {
    const scenario::IndiceRighe righe(testo);
    for (size_t offset = 0; offset <= testo.size() + 1; ++offset) {
      const PosizioneTesto atteso = posizione_in(testo, offset);
      const PosizioneTesto p = righe.posizione(offset);
      EXPECT_EQ(p.riga, atteso.riga) << offset;
      EXPECT_EQ(p.colonna, atteso.colonna) << offset;
    }
  }
}

TEST(ScenarioInit, WritesTheEmbeddedSourcesAndNeverOverwrites) {
  test::PiattaformaDiProva p;
  const std::string dentro = p.cartella() + "/nuovo";
  const test::Esito e = esegui(scenario::comando_init, {dentro});
  EXPECT_EQ(e.stato, kUscitaPulita) << e.errori;
  EXPECT_EQ(p.leggi_file(std::string("nuovo/") + kSorgenteLinea), testo_righe(dati_linea()));
  EXPECT_EQ(p.leggi_file(std::string("nuovo/") + kSorgenteTreno), testo_righe(dati_treno()));
  // They compile cleanly, with no warning.
  const test::Esito c = esegui(scenario::comando_check, {"--rigoroso", dentro});
  EXPECT_EQ(c.stato, kUscitaPulita) << c.errori;
  EXPECT_EQ(c.errori, "");

  // One of the two there already: nothing is written, the other stays absent.
  test::PiattaformaDiProva q;
  q.scrivi_file(kSorgenteTreno, "mio");
  const test::Esito r = esegui(scenario::comando_init, {q.cartella()});
  EXPECT_EQ(r.stato, kUscitaFatale);
  EXPECT_NE(r.errori.find("il file esiste gia'"), std::string::npos);
  EXPECT_EQ(q.leggi_file(kSorgenteTreno), "mio");
  EXPECT_FALSE(q.c_e(kSorgenteLinea));
}

TEST(ScenarioInit, RefusedArgumentsAreNamed) {
  EXPECT_EQ(esegui(scenario::comando_init, {"--forza", "x"}).errori.substr(0, 44),
            "scenario init: opzione sconosciuta --forza\nu");
  EXPECT_NE(esegui(scenario::comando_check, {"a", "b"}).errori.find("argomento in piu' b"),
            std::string::npos);
}

}  // namespace
}  // namespace calvetra
