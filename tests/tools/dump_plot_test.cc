#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "run/form1.h"
#include "scenario/argomenti.h"
#include "scenario/compila.h"
#include "scenario/dump.h"
#include "scenario/plot.h"
#include "tools/scenario_prova.h"
#include "tools/sintassi.h"

namespace calvetra {
namespace {

using test::esegui;
using test::Esito;

// The sample scenario, compiled once.
test::CompilaInCartella& prova() {
  static test::CompilaInCartella c(test::kLineaProva, test::kTrenoProva);
  return c;
}

TEST(ScenarioDump, TextShowsRowsCellsRunsAndSamples) {
  ASSERT_EQ(prova().esito.stato, kUscitaPulita) << prova().errori;
  const Esito e = esegui(scenario::comando_dump, {prova().cartella.cartella()});
  ASSERT_EQ(e.stato, kUscitaPulita) << e.errori;
  EXPECT_EQ(e.errori, "");
  const std::string& t = e.uscita;
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
    EXPECT_NE(t.find(atteso), std::string::npos) << atteso;
  }
}

TEST(ScenarioDump, JsonIsWellFormedAndComplete) {
  const Esito e = esegui(scenario::comando_dump, {"--json", prova().cartella.cartella()});
  ASSERT_EQ(e.stato, kUscitaPulita) << e.errori;
  EXPECT_EQ(test::json_ben_formato(e.uscita), "");
  EXPECT_NE(e.uscita.find("\"nome\": \"Citt\xC3\xA0 Vecchia\""), std::string::npos);
  EXPECT_NE(e.uscita.find("{\"riga\": 86, \"uso\": \"intestazione\""), std::string::npos);
  EXPECT_NE(
      e.uscita.find("{\"cella\": 37, \"tipo\": 10, \"nome_tipo\": \"fermata\", \"valore_a\": 1"),
      std::string::npos);
  EXPECT_NE(e.uscita.find("\"etichette\": {\"x\": {\"0\": 2, \"2\": 2, \"5\": 26997}"),
            std::string::npos);
}

TEST(ScenarioDump, BadFilesFailWithOneMessage) {
  test::PiattaformaDiProva d;
  const std::string tabella = prova().cartella.leggi_file(test::kTabella);
  const std::string celle = prova().cartella.leggi_file(test::kCelle);
  const std::string geometria = prova().cartella.leggi_file(test::kGeometria);
  const auto prova_con = [&](const std::string& t, const std::string& c, const std::string& g) {
    d.scrivi_file(test::kTabella, t);
    d.scrivi_file(test::kCelle, c);
    d.scrivi_file(test::kGeometria, g);
    return esegui(scenario::comando_dump, {d.cartella()});
  };
  Esito e = prova_con(tabella, celle, geometria.substr(0, geometria.size() - 3));
  EXPECT_EQ(e.stato, kUscitaFatale);
  EXPECT_EQ(e.uscita, "");
  EXPECT_EQ(e.errori, "scenario: " + d.file(test::kGeometria) +
                          ": troncato: l'elemento y del metro 26999, che inizia al byte 539960, "
                          "supera la fine del file (539961 byte)\n");
  e = prova_con(tabella.substr(0, 50), celle, geometria);
  EXPECT_EQ(e.stato, kUscitaFatale);
  EXPECT_NE(e.errori.find("troncato"), std::string::npos);
  e = prova_con(tabella, celle + "x", geometria);
  EXPECT_EQ(e.stato, kUscitaFatale);
  EXPECT_NE(e.errori.find("non sono un multiplo di 15"), std::string::npos);
  std::string strana = geometria;
  strana[8] = 9;
  e = prova_con(tabella, celle, strana);
  EXPECT_EQ(e.stato, kUscitaFatale);
  EXPECT_NE(e.errori.find("etichetta 9 sconosciuta al byte 8"), std::string::npos);

  EXPECT_EQ(esegui(scenario::comando_dump, {}).stato, kUscitaUso);
  EXPECT_EQ(esegui(scenario::comando_dump, {"--passo", "0", "x"}).stato, kUscitaUso);
}

TEST(ScenarioPlot, WellFormedSvgThatShowsTheStations) {
  const Esito e = esegui(scenario::comando_plot, {prova().cartella.cartella(), "-o", "-"});
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
  EXPECT_NE(svg.find("<g id=\"pianta\">"), std::string::npos);
  EXPECT_NE(svg.find("<g id=\"profilo\">"), std::string::npos);
}

TEST(ScenarioPlot, NamesAreEscapedAndMissingGeometryIsSaid) {
  const std::string treno = test::crlf(
      "[generale]\n"
      "stazione, 1500, 2, 800, 1, 1, 0, 4,1,0, 2,1,1, 1, 7,54,0, \"<A & B>\"\n"
      "[fine]\n");
  test::CompilaInCartella c(test::kLineaProva, treno, false);
  ASSERT_EQ(c.esito.stato, kUscitaPulita) << c.errori;
  const std::string file = c.cartella.file("percorso.svg");
  const Esito e = esegui(scenario::comando_plot, {"-o", file, c.cartella.cartella()});
  ASSERT_EQ(e.stato, kUscitaPulita) << e.errori;
  const std::string svg = c.cartella.leggi_file("percorso.svg");
  EXPECT_EQ(test::xml_ben_formato(svg), "");
  EXPECT_NE(svg.find("&lt;A &amp; B&gt;"), std::string::npos);
  EXPECT_NE(svg.find("Geometria assente"), std::string::npos);

  EXPECT_EQ(esegui(scenario::comando_plot, {c.cartella.cartella()}).stato, kUscitaUso);
  EXPECT_EQ(esegui(scenario::comando_plot, {"/nessuna/cartella", "-o", "-"}).stato, kUscitaFatale);
}

TEST(ScenarioPlot, WritesThroughALinkInsteadOfReplacingIt) {
  test::PiattaformaDiProva d;
  const std::string link = d.file("ultimo.svg");
  std::filesystem::create_symlink(d.file("percorso.svg"), link);
  const Esito e = esegui(scenario::comando_plot, {prova().cartella.cartella(), "-o", link});
  ASSERT_EQ(e.stato, kUscitaPulita) << e.errori;
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(d.leggi_file("percorso.svg").rfind("<?xml", 0), 0u);
}

// A source name that would reach outside the directory is refused before any
// file is touched, by every subcommand, naming the value.
TEST(ScenarioNames, PathSeparatorOrNulIsRefused) {
  test::PiattaformaDiProva d;
  d.scrivi_file("x_linea.txt", test::kLineaProva);
  const std::string cartella = d.cartella();
  const std::string fuori = cartella + "/../x";
  const std::vector<std::vector<std::string>> casi = {
      {"--linea", fuori, cartella},
      {"--treni=a/b", cartella},
      {"--linea=sotto/x", "--json", cartella},
  };
  for (const auto& argomenti : casi) {
    for (const auto comando : {scenario::comando_compile, scenario::comando_dump}) {
      const Esito e = esegui(comando, argomenti);
      EXPECT_EQ(e.stato, kUscitaUso) << argomenti[0];
      EXPECT_NE(e.errori.find("nome rifiutato"), std::string::npos) << e.errori;
    }
  }
  const Esito e = esegui(scenario::comando_plot, {"--linea", fuori, cartella, "-o", "-"});
  EXPECT_EQ(e.stato, kUscitaUso);
  EXPECT_NE(e.errori.find("\"" + fuori + "\""), std::string::npos) << e.errori;
  EXPECT_EQ(d.elenco(), std::set<std::string>{"x_linea.txt"});

  std::string motivo;
  EXPECT_TRUE(scenario::nome_accettabile("2718 - 5340", &motivo));
  EXPECT_TRUE(scenario::nome_accettabile("..", &motivo));
  EXPECT_FALSE(scenario::nome_accettabile(std::string_view("a\0b", 3), &motivo));
  EXPECT_EQ(motivo,
            "nome rifiutato \"a\\0b\": contiene un carattere NUL e i file devono restare nella "
            "CARTELLA");
}

TEST(ScenarioPlot, WellFormednessCheckerCatchesFaults) {
  EXPECT_EQ(test::xml_ben_formato("<a><b x=\"1\"/>t&amp;</a>"), "");
  EXPECT_NE(test::xml_ben_formato("<a><b></a>"), "");
  EXPECT_NE(test::xml_ben_formato("<a>x & y</a>"), "");
  EXPECT_NE(test::xml_ben_formato("<a x=1/>"), "");
  EXPECT_NE(test::xml_ben_formato("<a/><b/>"), "");
  EXPECT_EQ(test::json_ben_formato("{\"a\": [1, -2.5e3, \"x\\n\", null]}"), "");
  EXPECT_NE(test::json_ben_formato("{\"a\": [1,]}"), "");
  EXPECT_NE(test::json_ben_formato("{\"a\": NaN}"), "");
}

}  // namespace
}  // namespace calvetra
