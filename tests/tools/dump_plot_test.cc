#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "scenario/comandi/compile.h"
#include "scenario/comandi/dump.h"
#include "scenario/comandi/init.h"
#include "scenario/comandi/plot.h"
#include "support/cartella_temporanea.h"
#include "tools/scenario_prova.h"
#include "tools/sintassi.h"

namespace calvetra {
namespace {

using test::Esito;

// The sample scenario, compiled once.
test::CompilaInCartella& prova() {
  static test::CompilaInCartella c(test::kLineaProva, test::kTrenoProva);
  return c;
}

Esito esegui(test::Comando comando, const scenario::Argomenti& a) {
  return test::esegui(&prova().banco.disco, comando, a);
}

TEST(ScenarioDump, TextShowsRowsCellsRunsAndSamples) {
  ASSERT_EQ(prova().esito.stato, kUscitaPulita) << prova().errori;
  const Esito e = esegui(scenario::comando_dump, {"/prova"});
  ASSERT_EQ(e.stato, kUscitaPulita) << e.errori;
  EXPECT_EQ(e.errori, "");
  for (const char* atteso : {
           "  riga 3: stazione\n"
           "    tipo=12 inizio=11100 fine=11500 posizione=11300 opz_a=0 nome=\"Citt\xC3\xA0 "
           "Vecchia\" cod_a=1 cod_b=1 cod_c=4 cod_d=1 cod_e=1 opz_b=0 opz_c=15 opz_d=0 opz_e=0 "
           "orario=28920 (08:02:00)\n",
           "  righe 5-79: vuote\n",
           "  riga 80: cartello\n",
           "codici di integrita': st 29846 (atteso 29846), og 1973 (atteso 1973)\n",
           "(8115 byte, 541 celle: 0-540, metri 0-27000)",
           "       181     9050 m  segnale                      23     31     11      8  220\n",
           "    velocita:\n      0-19: 7 (35 km/h)\n      20-189: 22 (110 km/h)\n",
           "    pendenza:\n      0-37: 100 (pendenza 0)\n      38-79: 90 (pendenza -10)\n",
           "  x: 2 interi (etichetta 2), 26997 reali (etichetta 5), 2 vuoti (etichetta 0)\n",
           "    1000: 0 1000\n",
       }) {
    EXPECT_NE(e.uscita.find(atteso), std::string::npos) << atteso;
  }
}

TEST(ScenarioDump, JsonHoldsWholeRecordsWithWhatTheyMean) {
  const Esito e = esegui(scenario::comando_dump, {"--json", "/prova"});
  ASSERT_EQ(e.stato, kUscitaPulita) << e.errori;
  const nlohmann::json j = nlohmann::json::parse(e.uscita);
  const nlohmann::json& riga3 = j["tabella"]["righe"][3];
  EXPECT_EQ(riga3["nome"], "Citt\xC3\xA0 Vecchia");
  EXPECT_EQ(riga3["uso"], "stazione");
  EXPECT_EQ(j["tabella"]["righe"][86]["uso"], "intestazione");
  // The signal at 9000 m, whole: as stored, decoded, and where its record is.
  nlohmann::json segnale;
  for (const auto& c : j["celle"]["non_libere"]) {
    if (c["cella"] == 181) segnale = c;
  }
  segnale["sorgente"].erase("offset");
  // Its record as the compile read it, known by its index in the journal.
  ASSERT_TRUE(segnale["record"]["indice"].is_number_unsigned()) << segnale.dump();
  segnale["record"].erase("indice");
  EXPECT_EQ(segnale["record"], nlohmann::json::parse(R"({"nome": "segnale", "campi": {
    "posizione": 9000, "sx": 2, "s1": 2, "s2": 3, "s3": 1, "rapp": 0,
    "dx": 2, "d1": 3, "d2": 1, "d3": 1, "tempo": 220}})"));
  segnale.erase("record");
  EXPECT_EQ(segnale, nlohmann::json::parse(R"({
    "cella": 181, "tipo": 1, "nome_tipo": "segnale",
    "valore_a": 23, "valore_b": 31, "valore_c": 11, "valore_d": 8, "tempo": 220,
    "posizione": 9000,
    "significato": {"codice 1": "23", "codice 2": "31", "codice 3": "11",
                    "classe di cabina": "8", "rapp": "0", "tempo": "220"},
    "sorgente": {"file": "Calvetra_2718 - 5340-.txt", "riga": 24, "colonna": 1}})"));
  EXPECT_EQ(j["celle"]["sequenze"]["velocita"][0],
            nlohmann::json::parse(R"({"da": 0, "a": 19, "valore": 7, "kmh": 35})"));
  EXPECT_EQ(j["celle"]["sequenze"]["pendenza"][1],
            nlohmann::json::parse(
                R"({"da": 38, "a": 79, "valore": 90, "per_mille": -10, "raggiunta": true})"));
  EXPECT_EQ(j["geometria"]["etichette"]["x"],
            nlohmann::json::parse(R"({"0": 2, "2": 2, "5": 26997})"));
  // A stop cell gives back its station's position, as its record wrote it;
  // the cells no gradient reached read -100 per mille.
  for (const auto& c : j["celle"]["non_libere"]) {
    if (c["nome_tipo"] != "fermata") continue;
    const int riga = c["valore_a"];
    EXPECT_EQ(c["posizione"], j["tabella"]["righe"][riga]["posizione"]) << c.dump();
  }
  EXPECT_EQ(j["celle"]["sequenze"]["pendenza"].back()["per_mille"], -100);
}

TEST(ScenarioDump, BadFilesFailWithOneMessage) {
  test::Banco d;
  const std::string tabella = prova().banco.leggi(test::kTabella);
  const std::string celle = prova().banco.leggi(test::kCelle);
  const std::string geometria = prova().banco.leggi(test::kGeometria);
  const auto prova_con = [&](const std::string& t, const std::string& c, const std::string& g) {
    d.scrivi(test::kTabella, t);
    d.scrivi(test::kCelle, c);
    d.scrivi(test::kGeometria, g);
    return test::esegui(&d.disco, scenario::comando_dump, {"/prova"});
  };
  Esito e = prova_con(tabella, celle, geometria.substr(0, geometria.size() - 3));
  EXPECT_EQ(e.stato, kUscitaFatale);
  EXPECT_EQ(e.uscita, "");
  EXPECT_EQ(e.errori,
            "scenario: /prova/Calvetra_linea.dat: troncato: l'elemento y del metro "
            "26999, che inizia al byte 539960, supera la fine del file (539961 byte)\n");
  e = prova_con(tabella.substr(0, 50), celle, geometria);
  EXPECT_EQ(e.stato, kUscitaFatale);
  EXPECT_NE(e.errori.find("troncato"), std::string::npos);
  std::string strana = geometria;
  strana[8] = 9;
  e = prova_con(tabella, celle, strana);
  EXPECT_EQ(e.stato, kUscitaFatale);
  EXPECT_NE(e.errori.find("etichetta 9 sconosciuta al byte 8"), std::string::npos);
}

TEST(ScenarioPlot, WellFormedSvgThatShowsTheStations) {
  const Esito e = esegui(scenario::comando_plot, {"/prova", "-o", "-"});
  ASSERT_EQ(e.stato, kUscitaPulita) << e.errori;
  const std::string& svg = e.uscita;
  EXPECT_EQ(test::xml_ben_formato(svg), "");
  EXPECT_NE(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos);
  // Self-contained: no external reference of any kind.
  EXPECT_EQ(svg.find("href"), std::string::npos);
  EXPECT_EQ(svg.find("url("), std::string::npos);
  for (const char* nome :
       {"Porto Alto 07:54", "Bivio Nord", "Citt\xC3\xA0 Vecchia 08:02", "Capolinea 08:10"}) {
    // Once on the plan and once over the profile.
    const std::string testo = std::string(">") + nome;
    const size_t primo = svg.find(testo);
    ASSERT_NE(primo, std::string::npos) << nome;
    EXPECT_NE(svg.find(testo, primo + 1), std::string::npos) << nome;
  }
  // The slowdown at its own speed, 30 km/h, on the plan and in the profile.
  EXPECT_NE(svg.find(">30 km/h</text>"), std::string::npos);
  EXPECT_NE(svg.find(">30</text>"), std::string::npos);
}

TEST(ScenarioPlot, NamesAreEscapedAndMissingGeometryIsSaid) {
  const std::string treno = test::crlf(
      "[generale]\n"
      "stazione, 1500, 2, 800, 1, 1, 0, 4,1,0, 2,1,1, 1, 7,54,0, \"<A & B>\"\n"
      "[fine]\n");
  test::CompilaInCartella c(test::kLineaProva, treno, false);
  ASSERT_EQ(c.esito.stato, kUscitaPulita) << c.errori;
  // The binary files alone: with the sources the plan would be compiled.
  c.banco.disco.file.erase(c.banco.file(test::kSorgenteLinea));
  c.banco.disco.file.erase(c.banco.file(test::kSorgenteTreno));
  const Esito e =
      test::esegui(&c.banco.disco, scenario::comando_plot, {"-o", "/prova/percorso.svg", "/prova"});
  ASSERT_EQ(e.stato, kUscitaPulita) << e.errori;
  const std::string svg = c.banco.leggi("percorso.svg");
  EXPECT_EQ(test::xml_ben_formato(svg), "");
  EXPECT_NE(svg.find("&lt;A &amp; B&gt;"), std::string::npos);
  EXPECT_NE(svg.find("Geometria assente"), std::string::npos);
  EXPECT_EQ(test::esegui(&c.banco.disco, scenario::comando_plot, {"/nessuna", "-o", "-"}).stato,
            kUscitaFatale);
}

// On the real disk: a link named as the output is written through, not
// replaced by a plain file.
TEST(ScenarioPlot, WritesThroughALinkInsteadOfReplacingIt) {
  test::PiattaformaDiProva d;
  for (const char* f : {test::kGeometria, test::kTabella, test::kCelle}) {
    d.scrivi_file(f, prova().banco.leggi(f));
  }
  const std::string link = d.file("ultimo.svg");
  d.collega("ultimo.svg", d.file("percorso.svg"));
  // Wine makes a link that it then shows as no link at all.
  if (!std::filesystem::is_symlink(link)) GTEST_SKIP() << "il sistema non mostra il collegamento";
  const Esito e = test::esegui(&d, scenario::comando_plot, {d.cartella(), "-o", link});
  ASSERT_EQ(e.stato, kUscitaPulita) << e.errori;
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(d.leggi_file("percorso.svg").rfind("<?xml", 0), 0u);
}

// A source name that would reach outside the directory is refused before any
// file is touched, by every subcommand.
TEST(ScenarioNames, PathSeparatorIsRefusedByEveryCommand) {
  test::Banco d;
  d.scrivi("x_linea.txt", test::kLineaProva);
  for (const test::Comando comando :
       {scenario::comando_init, scenario::comando_compile, scenario::comando_check,
        scenario::comando_dump, scenario::comando_plot}) {
    const Esito e =
        test::esegui(&d.disco, comando, {"--linea", "/prova/../x", "/prova", "-o", "-"});
    EXPECT_EQ(e.stato, kUscitaUso);
    EXPECT_NE(e.errori.find("nome rifiutato \"/prova/../x\""), std::string::npos) << e.errori;
  }
  EXPECT_EQ(d.elenco(), std::set<std::string>{"x_linea.txt"});
}

}  // namespace
}  // namespace calvetra
