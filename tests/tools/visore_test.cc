// `scenario view` and the source places of `scenario dump --json`: the data of
// the page from the binary files alone and from the sources, and each object
// led back to the keyword of its record.
#include "scenario/visore.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "compile/compilazione.h"
#include "scenario/dump.h"
#include "tools/scenario_prova.h"
#include "tools/sintassi.h"

namespace calvetra {
namespace {

// The sample train source with a second signal in the cell of the one at 2500 m.
std::string treno_con_errore() {
  std::string t = test::kTrenoProva;
  const std::string prima = "[codici]";
  t.insert(t.find(prima), "segnale,    2510,   1, 4, 1,  0, 0,    0,  0,0,0, 0\r\n");
  return t;
}

struct Pagina {
  int stato = 0;
  std::string html;
  std::string dati;  // the JSON between the script tags
  std::string errori;
};

Pagina vista_di(const test::PiattaformaDiProva& d) {
  scenario::OpzioniView o;
  o.cartella = d.cartella();
  o.uscita = d.file("vista.html");
  std::ostringstream out, err;
  Pagina p;
  p.stato = scenario::view(o, out, err);
  p.errori = err.str();
  p.html = d.leggi_file("vista.html");
  const std::string apertura = "<script id=\"dati\" type=\"application/json\">";
  const size_t i = p.html.find(apertura);
  if (i != std::string::npos) {
    const size_t da = i + apertura.size();
    p.dati = p.html.substr(da, p.html.find("</script>", da) - da);
  }
  return p;
}

bool contiene(const std::string& s, const std::string& parte) {
  return s.find(parte) != std::string::npos;
}

TEST(ScenarioView, FromTheBinaryFilesAlone) {
  test::CompilaInCartella compilato(test::kLineaProva, test::kTrenoProva);
  test::PiattaformaDiProva d;
  for (const char* f : {test::kGeometria, test::kTabella, test::kCelle}) {
    d.scrivi_file(f, compilato.cartella.leggi_file(f));
  }
  const Pagina p = vista_di(d);
  ASSERT_EQ(p.stato, kUscitaPulita) << p.errori;
  EXPECT_EQ(test::json_ben_formato(p.dati), "");
  EXPECT_TRUE(contiene(p.dati, "\"fonte\":\"binari\""));
  EXPECT_TRUE(contiene(p.dati, "{\"riga\":3,\"uso\":\"stazione\",\"tipo\":12,\"inizio\":11100,"));
  EXPECT_TRUE(contiene(p.dati, "\n[181,1,23,31,11,8,220,-1]"));  // a signal, no source
  EXPECT_TRUE(contiene(p.dati, "\"diagnostica\":[],\n\"luoghi\":[]}"));
  EXPECT_TRUE(contiene(p.dati, "\"pianta\":{\"passo\":10,\"xy\":[0,0,0,10.0,0,20.0,"));
  // The page is whole: every part in place, nothing fetched.
  for (const char* segno : {"/*DATI*/", "/*CODICE*/", "/*STILE*/", "<!--TITOLO-->", "http"}) {
    EXPECT_FALSE(contiene(p.html, segno)) << segno;
  }
  EXPECT_TRUE(contiene(p.html, "<title>Linea Calvetra \xE2\x80\x94 treni 2718 - 5340</title>"));
}

TEST(ScenarioView, FromTheSourcesObjectsAndErrorsLeadToTheirRecords) {
  test::PiattaformaDiProva d;
  d.scrivi_file(test::kSorgenteLinea, test::kLineaProva);
  d.scrivi_file(test::kSorgenteTreno, treno_con_errore());
  const Pagina p = vista_di(d);
  ASSERT_EQ(p.stato, kUscitaPulita) << p.errori;
  EXPECT_EQ(test::json_ben_formato(p.dati), "");
  // Compiled in memory: no binary file is written.
  EXPECT_EQ(d.elenco(),
            (std::set<std::string>{test::kSorgenteLinea, test::kSorgenteTreno, "vista.html"}));
  EXPECT_TRUE(contiene(p.dati, "\"fonte\":\"sorgenti\""));
  // The signal at 2500 m (cell 51), its record and the error of the second one.
  // Places are listed once each, in order of first use: the station's is 0.
  EXPECT_TRUE(contiene(p.dati, "\n[51,1,50,10,0,3,0,2]"));
  EXPECT_TRUE(contiene(p.dati, "\"luoghi\":[\n[\"Calvetra_2718 - 5340-.txt\",15,1,\"stazione,"));
  EXPECT_TRUE(contiene(p.dati,
                       ",\n[\"Calvetra_2718 - 5340-.txt\",22,1,\"segnale,    2500,   1, 5, 1,  "
                       "0, 0,    0,  0,0,0, 0\"],"));
  EXPECT_TRUE(
      contiene(p.dati, "{\"gravita\":\"errore\",\"codice\":16,\"nome\":\"\",\"messaggio\":\""));
  EXPECT_TRUE(contiene(p.dati, "[\"Calvetra_2718 - 5340-.txt\",28,13,\"segnale,    2510,"));
  // A sign text row leads to the line source.
  EXPECT_TRUE(contiene(p.dati, "[\"Calvetra_linea.txt\",29,1,\"cartello_indicatore,  8600,"));
}

TEST(ScenarioView, AReservedSlotTakenIsListedAsAnError) {
  test::PiattaformaDiProva d;
  std::string linea = test::kLineaProva;
  linea.insert(linea.find("[fine]"), "cartello_indicatore, 0, Inizio\r\n");
  d.scrivi_file(test::kSorgenteLinea, linea);
  d.scrivi_file(test::kSorgenteTreno, test::kTrenoProva);
  const Pagina p = vista_di(d);
  ASSERT_EQ(p.stato, kUscitaPulita) << p.errori;
  EXPECT_TRUE(contiene(p.dati, "{\"gravita\":\"errore\",\"codice\":1250,"));
}

TEST(ScenarioView, PlanSampledEveryTenMetresAndAtItsLastComputedMetre) {
  // The compiled plan stops two metres short of its end: the last point is
  // off the step.
  const Compilazione c = compila_testi(test::kLineaProva, test::kTrenoProva);
  const scenario::PiantaCampionata p = scenario::campiona(c.modello.geometria);
  EXPECT_EQ(p.passo, 10);
  ASSERT_EQ(p.xy.size(), 2u * 2701);
  EXPECT_EQ(p.xy[2 * 2700], c.modello.geometria.x(26998));
  EXPECT_EQ(p.xy[2 * 2700 + 1], c.modello.geometria.y(26998));
  EXPECT_EQ(p.xy[2 * 100 + 1], c.modello.geometria.y(1000));

  // The longest route keeps to the point budget with a longer step; the plan
  // as read from a file ends at its first empty metre.
  scenario::PianoLetto letto;
  letto.x.resize(1007001);
  letto.y.resize(1007001);
  for (size_t m = 0; m + 2 < letto.x.size(); ++m) {
    letto.x[m] = {Geometria::Genere::reale, 0.0};
    letto.y[m] = {Geometria::Genere::reale, static_cast<double>(m)};
  }
  const scenario::PiantaCampionata lunga = scenario::campiona(letto);
  EXPECT_EQ(lunga.passo, 41);
  EXPECT_EQ(lunga.xy.size(), 2u * (1006998 / 41 + 2));
  EXPECT_EQ(lunga.xy.back(), 1006998.0);
}

TEST(ScenarioDump, JsonLeadsObjectsToTheirRecordsOnlyWhenTheSourcesGiveTheFiles) {
  test::CompilaInCartella c(test::kLineaProva, test::kTrenoProva);
  const auto dump_json = [](const std::string& cartella, std::string* errori) {
    scenario::OpzioniDump o;
    o.cartella = cartella;
    o.json = true;
    std::ostringstream out, err;
    EXPECT_EQ(scenario::dump(o, out, err), kUscitaPulita);
    *errori = err.str();
    return out.str();
  };
  std::string errori;
  const std::string j = dump_json(c.cartella.cartella(), &errori);
  EXPECT_EQ(errori, "");
  EXPECT_EQ(test::json_ben_formato(j), "");
  const std::string segnale =
      "\"tempo\": 0, \"sorgente\": {\"file\": \"Calvetra_2718 - 5340-.txt\", \"riga\": 22, "
      "\"colonna\": 1, \"offset\": ";
  const size_t i = j.find(segnale);
  ASSERT_NE(i, std::string::npos);
  const size_t offset = std::stoul(j.substr(i + segnale.size()));
  EXPECT_EQ(test::kTrenoProva.substr(offset, 16), "segnale,    2500");
  EXPECT_TRUE(contiene(j, "{\"riga\": 1, \"uso\": \"stazione\""));
  EXPECT_TRUE(contiene(
      j,
      "\"orario\": 28440, \"sorgente\": {\"file\": \"Calvetra_2718 - 5340-.txt\", \"riga\": 15,"));

  // Sources that no longer give these files lead nowhere, and say so.
  c.cartella.scrivi_file(test::kSorgenteTreno, treno_con_errore());
  const std::string diversi = dump_json(c.cartella.cartella(), &errori);
  EXPECT_FALSE(contiene(diversi, "\"sorgente\""));
  EXPECT_TRUE(contiene(errori, "non danno questi file binari")) << errori;
}

}  // namespace
}  // namespace calvetra
