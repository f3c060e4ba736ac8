// `scenario view` and the source places of `scenario dump --json`: the data of
// the page from the binary files alone and from the sources, decoded for the
// page, and each object led back to the keyword of its record.
#include "scenario/comandi/view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "compile/compilazione.h"
#include "scenario/comandi/dump.h"
#include "support/compilazione.h"
#include "tools/scenario_prova.h"

namespace calvetra {
namespace {

using nlohmann::json;

// The sample train source with a second signal in the cell of the one at 2500 m.
std::string treno_con_errore() {
  std::string t = test::kTrenoProva;
  t.insert(t.find("[codici]"), "segnale,    2510,   1, 4, 1,  0, 0,    0,  0,0,0, 0\r\n");
  return t;
}

struct Pagina {
  int stato = 0;
  std::string html;
  json dati;  // the JSON between the script tags
  std::string errori;
};

Pagina vista_di(test::Banco& b, const std::string& editor = "") {
  Pagina p;
  scenario::Argomenti a = {"/prova", "-o", "/prova/vista.html"};
  if (!editor.empty()) a.insert(a.begin(), {"--editor", editor});
  const test::Esito e = test::esegui(&b.disco, scenario::comando_view, a);
  p.stato = e.stato;
  p.errori = e.errori;
  p.html = b.leggi("vista.html");
  const std::string apertura = "<script id=\"dati\" type=\"application/json\">";
  const size_t i = p.html.find(apertura);
  if (i != std::string::npos) {
    const size_t da = i + apertura.size();
    p.dati = json::parse(p.html.substr(da, p.html.find("</script>", da) - da));
  }
  return p;
}

// The object in cell c.
json oggetto(const json& dati, int c) {
  for (const json& o : dati["oggetti"]) {
    if (o["cella"] == c) return o;
  }
  return nullptr;
}

TEST(ScenarioView, FromTheBinaryFilesAlone) {
  test::CompilaInCartella compilato(test::kLineaProva, test::kTrenoProva);
  test::Banco b;
  for (const char* f : {test::kGeometria, test::kTabella, test::kCelle}) {
    b.scrivi(f, compilato.banco.leggi(f));
  }
  const Pagina p = vista_di(b);
  ASSERT_EQ(p.stato, kUscitaPulita) << p.errori;
  EXPECT_EQ(p.dati["fonte"], "binari");
  EXPECT_EQ(p.dati["lunghezza"], 20000);
  EXPECT_EQ(p.dati["righe"][2]["nome"], "Citt\xC3\xA0 Vecchia");
  EXPECT_EQ(p.dati["righe"][2]["ora"], "08:02:00");
  EXPECT_EQ(p.dati["righe"][1]["ora"], nullptr);  // Bivio Nord has no time
  // The signal at 9000 m, decoded, with no source to lead to.
  const json segnale = oggetto(p.dati, 181);
  EXPECT_EQ(segnale["nome_tipo"], "segnale");
  EXPECT_EQ(segnale["posizione"], 9000);
  EXPECT_EQ(segnale["significato"]["classe di cabina"], "8");
  EXPECT_EQ(segnale["luogo"], -1);
  // The slowdown at 4000 m over 150 m at 30 km/h.
  EXPECT_EQ(p.dati["rallentamenti"], json::parse(R"([{"cella_inizio": 81, "cella_fine": 84,
                                                      "da": 4000, "a": 4150, "kmh": 30}])"));
  EXPECT_EQ(p.dati["diagnostica"], json::array());
  EXPECT_EQ(p.dati["pianta"]["passo"], 10);
  EXPECT_EQ(p.dati["pianta"]["xy"][3], 10.0);
  // The page is whole: every part in place, nothing fetched.
  for (const char* segno : {"/*DATI*/", "/*CODICE*/", "/*STILE*/", "<!--TITOLO-->", "http"}) {
    EXPECT_EQ(p.html.find(segno), std::string::npos) << segno;
  }
  EXPECT_NE(p.html.find("<title>Linea Calvetra \xE2\x80\x94 treni 2718 - 5340</title>"),
            std::string::npos);
}

// What the page draws comes decoded: a speed of 73 km/h is kept as 15 counts
// of 5 and reads as 75; the cells past the last gradient, which none
// reached, hold byte 0 and read -100 per mille.
// What the simulator reads: a signal of sx 4 by its codes and the approach
// codes as stored, and a slowdown with another inside it at its own length.
TEST(ScenarioView, StoredClassesAndNestedSlowdownsAsTheyRead) {
  test::Banco b;
  b.scrivi(test::kSorgenteLinea,
           test::crlf("[generale]\nlunghezza percorso, 20000\n[curve]\n[fine]\n"));
  b.scrivi(test::kSorgenteTreno, test::crlf("[generale]\n"
                                            "segnale, 9000, 4, 5, 1, 0, 0, 0, 0, 0, 0, 0\n"
                                            "rallentamento, 4000, 30, 1000, 1, 0, 0\n"
                                            "rallentamento, 4200, 60, 200, 1, 0, 0\n[fine]\n"));
  const Pagina p = vista_di(b);
  ASSERT_EQ(p.stato, kUscitaPulita) << p.errori;
  const json segnale = oggetto(p.dati, 181);
  EXPECT_EQ(segnale["significato"]["codice 4"], "12");
  EXPECT_FALSE(segnale["significato"].contains("classe di cabina"));
  EXPECT_EQ(segnale["preavviso"], json::parse("[121, 124]"));
  // Its record as written: sx 4, which the simulator reads by its codes.
  EXPECT_EQ(segnale["record"]["campi"][1], json::parse(R"(["sx", 4])"));
  EXPECT_EQ(p.dati["rallentamenti"], json::parse(R"([
      {"cella_inizio": 81, "cella_fine": 101, "da": 4000, "a": 5000, "kmh": 30},
      {"cella_inizio": 85, "cella_fine": 89, "da": 4200, "a": 4400, "kmh": 60}])"));
}

TEST(ScenarioView, SpeedsAndGradientsArriveDecoded) {
  test::Banco b;
  b.scrivi(test::kSorgenteLinea, test::crlf("[generale]\nlunghezza percorso, 2000\n[curve]\n"
                                            "pendenza, 1000, -7\n[fine]\n"));
  b.scrivi(test::kSorgenteTreno,
           test::crlf("[generale]\nvelocita, 0, 73\nvelocita, 1000, 40\n[fine]\n"));
  const Pagina p = vista_di(b);
  ASSERT_EQ(p.stato, kUscitaPulita) << p.errori;
  const json& s = p.dati["sequenze"];
  EXPECT_EQ(s["velocita_kmh"]["valore"][0], 75);
  // The last cells, which no gradient reached, hold byte 0: -100 per mille
  // to the simulator.
  EXPECT_EQ(s["pendenza_per_mille"], json::parse(R"({"da": [0, 20, 178], "a": [19, 177, 180],
                                                     "valore": [0, -7, -100],
                                                     "raggiunta": [true, true, false]})"));
  EXPECT_FALSE(s.contains("velocita"));
  EXPECT_FALSE(s.contains("pendenza"));
}

TEST(ScenarioView, FromTheSourcesObjectsAndErrorsLeadToTheirRecords) {
  test::Banco b;
  b.scrivi(test::kSorgenteLinea, test::kLineaProva);
  b.scrivi(test::kSorgenteTreno, treno_con_errore());
  const Pagina p = vista_di(b);
  ASSERT_EQ(p.stato, kUscitaPulita) << p.errori;
  // Compiled in memory: no binary file is written.
  EXPECT_EQ(b.elenco(),
            (std::set<std::string>{test::kSorgenteLinea, test::kSorgenteTreno, "vista.html"}));
  EXPECT_EQ(p.dati["fonte"], "sorgenti");
  const json& luoghi = p.dati["luoghi"];
  // The signal at 2500 m (cell 51) leads to its record.
  const json segnale = oggetto(p.dati, 51);
  EXPECT_EQ(luoghi[segnale["luogo"].get<size_t>()],
            json::parse(R"(["Calvetra_2718 - 5340-.txt", 22, 1,
                            "segnale,    2500,   1, 5, 1,  0, 0,    0,  0,0,0, 0"])"));
  // The error of the second signal, at its position field (the warning
  // that it comes out of order is listed too).
  json errore;
  for (const json& d : p.dati["diagnostica"]) {
    if (d["gravita"] == "errore") errore = d;
  }
  EXPECT_EQ(errore["codice"], 16);
  EXPECT_EQ(errore["posizione"], 2510);
  EXPECT_EQ(luoghi[errore["luogo"].get<size_t>()][1], 28);
  EXPECT_EQ(luoghi[errore["luogo"].get<size_t>()][2], 13);
  // A sign points at its text row, which leads to the line source.
  for (const json& o : p.dati["oggetti"]) {
    if (o["nome_tipo"] != "cartello") continue;
    EXPECT_EQ(o["riga"], 80);
    EXPECT_EQ(o["posizione"], 8600);
  }
  json riga80;
  for (const json& r : p.dati["righe"]) {
    if (r["riga"] == 80) riga80 = r;
  }
  EXPECT_EQ(riga80["uso"], "cartello");
  EXPECT_EQ(luoghi[riga80["sorgente"].get<size_t>()][0], "Calvetra_linea.txt");
  EXPECT_EQ(luoghi[riga80["sorgente"].get<size_t>()][1], 29);
}

// The summary says how many records an error left uncompiled: none of their
// objects is on the page.
TEST(ScenarioView, ItCountsTheRecordsAnErrorLeftUncompiled) {
  test::Banco b;
  b.scrivi(test::kSorgenteLinea, test::kLineaProva);
  std::string t = test::kTrenoProva;
  t.insert(t.find("[segnali]"),
           "stazione, 1525, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, X\n");
  b.scrivi(test::kSorgenteTreno, t);
  const Pagina p = vista_di(b);
  EXPECT_EQ(p.dati["non_compilati"], 6);  // the six signals
  b.scrivi(test::kSorgenteTreno, test::kTrenoProva);
  EXPECT_EQ(vista_di(b).dati["non_compilati"], 0);
}

// A warning leads the view to its record when the record begins with a
// place on the route, though the warning knows none of its own (a unit after
// a speed limit's speed); one in a record without a place stays off the axis.
TEST(ScenarioView, AWarningInARecordWithAPlaceHasThatPlace) {
  struct Caso {
    const char* nome;
    std::string da, a;  // the record as written, as changed
    bool con_posizione;
    int64_t posizione;
  };
  const std::vector<Caso> casi = {
      {"velocita con unita'", "velocita,    9500,    80", "velocita,    9500,    80km/h", true,
       9500},
      {"numero vetture con parola", "numero vetture,    3", "numero vetture,    3 vetture", false,
       0},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    std::string treno = test::kTrenoProva;
    ASSERT_NE(treno.find(c.da), std::string::npos);
    treno.replace(treno.find(c.da), c.da.size(), c.a);
    test::Banco b;
    b.scrivi(test::kSorgenteLinea, test::kLineaProva);
    b.scrivi(test::kSorgenteTreno, treno);
    const Pagina p = vista_di(b);
    ASSERT_EQ(p.stato, kUscitaPulita) << p.errori;
    const size_t riga = static_cast<size_t>(
        std::count(treno.begin(), treno.begin() + static_cast<std::ptrdiff_t>(treno.find(c.a)),
                   '\n') +
        1);
    json avviso;
    for (const json& d : p.dati["diagnostica"]) {
      if (d["gravita"] == "avviso" && d["luogo"] >= 0 &&
          p.dati["luoghi"][d["luogo"].get<size_t>()][1] == riga) {
        avviso = d;
      }
    }
    ASSERT_FALSE(avviso.is_null()) << p.dati["diagnostica"].dump();
    EXPECT_EQ(avviso["con_posizione"], c.con_posizione);
    if (c.con_posizione) {
      EXPECT_EQ(avviso["posizione"], c.posizione);
    }
  }
}

// The page names every value as the author's record does: each field by its
// catalogue name, in catalogue order, with the catalogue's unit.
TEST(ScenarioView, ObjectsAndRowsInTheWordsOfTheirRecords) {
  test::Banco b;
  b.scrivi(test::kSorgenteLinea, test::kLineaProva);
  b.scrivi(test::kSorgenteTreno, test::kTrenoProva);
  const Pagina p = vista_di(b, "vscode://file/{path}:{line}:{col}");
  ASSERT_EQ(p.stato, kUscitaPulita) << p.errori;
  // The editor's template and the folder its paths start from.
  EXPECT_EQ(p.dati["editor"], "vscode://file/{path}:{line}:{col}");
  EXPECT_EQ(p.dati["cartella"], "/prova");
  EXPECT_EQ(vista_di(b).dati["editor"], nullptr);
  // Whole records as the sample sources write them, each known by its index
  // in the journal.
  const auto record = [&](int cella) {
    json r = oggetto(p.dati, cella)["record"];
    EXPECT_TRUE(r["indice"].is_number_unsigned()) << r.dump();
    r.erase("indice");
    return r;
  };
  EXPECT_EQ(record(181), json::parse(R"({"nome": "segnale", "campi": [
      ["posizione", 9000, "9+000"], ["sx", 2], ["s1", 2], ["s2", 3], ["s3", 1], ["rapp", 0],
      ["dx", 2], ["d1", 3], ["d2", 1], ["d3", 1], ["tempo", 220]]})"));
  EXPECT_EQ(oggetto(p.dati, 181)["preavviso"], json::parse("[81, 84]"));
  // f_ta too, which the stored bytes cannot tell again.
  EXPECT_EQ(record(81), json::parse(R"({"nome": "rallentamento", "campi": [
      ["x", 4000, "4+000"], ["v", 30, "30 km/h"], ["l", 150, "150 m"], ["f_tt", 1],
      ["f_ta", 1], ["d_v", 0]]})"));
  EXPECT_EQ(oggetto(p.dati, 40)["record"]["campi"][1], json::parse(R"(["vas", 110, "110 km/h"])"));
  json stazione;
  for (const json& r : p.dati["righe"]) {
    if (r["riga"] == 3) stazione = r["record"];
  }
  EXPECT_EQ(stazione["nome"], "stazione");
  const json attesi = json::parse(R"([["position", 11300, "11+300"], ["type", 12],
      ["length", 400, "400 m"], ["opz_a", 0], ["opz_e", 0], ["opz_d", 0], ["cod_a", 1],
      ["cod_b", 1], ["opz_b", 0], ["cod_c", 4], ["cod_d", 1], ["cod_e", 1], ["opz_c", 15],
      ["hours", 8], ["minutes", 2], ["seconds", 0], ["name", null, "Citt\u00e0 Vecchia"]])");
  EXPECT_EQ(stazione["campi"], attesi);
  // The code reductions of the cab-code pass lead to the slowdown that
  // caused them, and say so; so does dump --json.
  const json derivata = oggetto(p.dati, 76);
  ASSERT_EQ(derivata["passo_codici"], "posta");
  EXPECT_EQ(p.dati["luoghi"][derivata["luogo"].get<size_t>()][3],
            "rallentamento,    4000,    30,  150, 1,  1,  0");
  test::CompilaInCartella c(test::kLineaProva, test::kTrenoProva);
  const test::Esito e = test::esegui(&c.banco.disco, scenario::comando_dump, {"--json", "/prova"});
  const json dump = json::parse(e.uscita);
  int trovate = 0;
  for (const json& k : dump["celle"]["non_libere"]) {
    if (k["cella"] != 76) continue;
    ++trovate;
    EXPECT_EQ(k["passo_codici"], "posta");
    EXPECT_EQ(k["sorgente"]["riga"], 20);
    EXPECT_EQ(k["causa"], k["sorgente"]);
  }
  EXPECT_EQ(trovate, 1);
  // Every diagnostic says whether it has a place on the route.
  for (const json& d : p.dati["diagnostica"]) EXPECT_TRUE(d.contains("con_posizione"));
}

// A code reduction that the cab-code pass lowered rather than placed stays
// with its own record, and names the slowdown that lowered it, in the page
// and in dump --json alike.
TEST(ScenarioView, ALoweredCodeReductionLeadsToItsOwnRecordAndItsCause) {
  const std::string treno =
      "[generale]\r\nabbattimento, 90450, 200\r\nabbattimento, 90500, 200\r\n"
      "segnale, 90500, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n"
      "rallentamento, 92000, 30, 300, 1, 1, 0\r\n[fine]\r\n";
  test::CompilaInCartella c(test::sorgente_linea("", ""), treno);
  ASSERT_EQ(c.esito.stato, kUscitaPulita) << c.errori;
  // The signal in cell 1811 has its front cell 1810 lowered to 180 km/h;
  // cell 1809 is left as its record wrote it.
  const Pagina p = vista_di(c.banco);
  ASSERT_EQ(p.stato, kUscitaPulita) << p.errori;
  const json abbassata = oggetto(p.dati, 1810);
  ASSERT_TRUE(abbassata.is_object());
  EXPECT_EQ(abbassata["passo_codici"], "abbassata");
  // The record as written; the lowered speed is the cell's, said by passo_codici.
  json scritto = abbassata["record"];
  scritto.erase("indice");
  EXPECT_EQ(scritto, json::parse(R"({"nome": "abbattimento", "campi": [
      ["p", 90500, "90+500"], ["value", 200, "200 km/h"]]})"));
  const json& luoghi = p.dati["luoghi"];
  EXPECT_EQ(luoghi[abbassata["luogo"].get<size_t>()][3], "abbattimento, 90500, 200");
  EXPECT_EQ(luoghi[abbassata["causa"].get<size_t>()][3], "rallentamento, 92000, 30, 300, 1, 1, 0");
  const json intatta = oggetto(p.dati, 1809);
  ASSERT_TRUE(intatta.is_object());
  EXPECT_EQ(intatta["record"]["campi"][1][1], 200);
  EXPECT_FALSE(intatta.contains("passo_codici"));
  EXPECT_EQ(luoghi[intatta["luogo"].get<size_t>()][3], "abbattimento, 90450, 200");

  const test::Esito e = test::esegui(&c.banco.disco, scenario::comando_dump, {"--json", "/prova"});
  ASSERT_EQ(e.stato, kUscitaPulita) << e.errori;
  const json dump = json::parse(e.uscita);
  json cella;
  for (const json& k : dump["celle"]["non_libere"]) {
    if (k["cella"] == 1810) cella = k;
  }
  EXPECT_EQ(cella["passo_codici"], "abbassata");
  EXPECT_EQ(cella["sorgente"]["riga"], 3);
  EXPECT_EQ(cella["causa"]["riga"], 5);
}

// Every station type gives back, from the files alone, the zone its type
// marks and the length its source wrote: types 5 and 6 reach the whole
// length back and 150 m forward, 7 and 8 the whole length both ways, any
// other half of it each way, and 50 m more forward with opz_d (which types
// 5 to 8 lose, and the first station loses once its zone is marked).
TEST(ScenarioView, EveryStationTypeRoundTripsItsZoneAndLength) {
  std::vector<int> tipi;
  for (int t = 0; t <= 30; ++t) tipi.push_back(t);
  tipi.insert(tipi.end(), {100, 255});
  std::string treno = "[generale]\r\n";
  for (size_t k = 0; k < tipi.size(); ++k) {
    treno += "stazione, " + std::to_string(2000 * (k + 1)) + ", " + std::to_string(tipi[k]) +
             ", 800, 1, 1, 1, 4, 1, 0, 2, 1, 1, 1, 8, " + std::to_string(k) + ", 0, S" +
             std::to_string(k) + "\r\n";
  }
  treno += "[fine]\r\n";
  test::CompilaInCartella compilato(test::sorgente_linea("", "", 70000), treno);
  ASSERT_EQ(compilato.esito.stato, kUscitaPulita) << compilato.errori;
  test::Banco b;
  for (const char* f : {test::kGeometria, test::kTabella, test::kCelle}) {
    b.scrivi(f, compilato.banco.leggi(f));
  }
  const Pagina p = vista_di(b);
  ASSERT_EQ(p.stato, kUscitaPulita) << p.errori;
  for (size_t k = 0; k < tipi.size(); ++k) {
    const int tipo = tipi[k];
    SCOPED_TRACE(tipo);
    const int64_t posizione = 2000 * static_cast<int64_t>(k + 1);
    const bool indietro = tipo >= 5 && tipo <= 8;
    const int64_t inizio = posizione - (indietro ? 800 : 400);
    const int64_t fine = tipo == 5 || tipo == 6 ? posizione + 150
                         : indietro             ? posizione + 800
                                                : posizione + 450;
    ASSERT_LT(k, p.dati["righe"].size());
    const json riga = p.dati["righe"][k];
    ASSERT_EQ(riga["riga"], k + 1);
    EXPECT_EQ(riga["inizio"], inizio);
    EXPECT_EQ(riga["fine"], fine);
    EXPECT_EQ(riga["opz_d"], indietro || k == 0 ? 0 : 1);
    EXPECT_EQ(riga["record"]["campi"][1], json::array({"type", tipo}));
    EXPECT_EQ(riga["record"]["campi"][2], json::parse(R"(["length", 800, "800 m"])"));
  }
}

TEST(ScenarioView, AReservedSlotTakenIsListedAsAnError) {
  test::Banco b;
  std::string linea = test::kLineaProva;
  linea.insert(linea.find("[fine]"), "cartello_indicatore, 0, Inizio\r\n");
  b.scrivi(test::kSorgenteLinea, linea);
  b.scrivi(test::kSorgenteTreno, test::kTrenoProva);
  const Pagina p = vista_di(b);
  ASSERT_EQ(p.stato, kUscitaPulita) << p.errori;
  EXPECT_EQ(p.dati["diagnostica"].back()["codice"], 1250);
}

// Texts of the sources that look like the page's own markup or its slots:
// each reaches the data as written, and the page keeps its code whole.
TEST(ScenarioView, HostileTextsStayDataAndThePageKeepsItsCode) {
  const std::vector<std::string> ostili = {
      "/*CODICE*/",         "/*DATI*/",
      "/*STILE*/ /*VIVO*/", "</script><script>alert(1)</script>",
      "<!--<script>",       "<!--TITOLO--> & \"x\""};
  std::string linea = test::kLineaProva;
  int metri = 9100;
  for (const std::string& t : ostili) {
    linea.insert(linea.find("[fine]"),
                 "cartello_indicatore, " + std::to_string(metri) + ", " + t + "\r\n");
    metri += 200;
  }
  std::string treno = test::kTrenoProva;
  const size_t capolinea = treno.find("Capolinea");
  treno.replace(capolinea, 9, "</script><!--/*CODICE*/");
  test::Banco b;
  b.scrivi(test::kSorgenteLinea, linea);
  b.scrivi(test::kSorgenteTreno, treno);
  const Pagina p = vista_di(b);
  ASSERT_EQ(p.stato, 0) << p.errori;
  std::set<std::string> testi;
  for (const json& r : p.dati["righe"]) {
    if (r.contains("nome")) testi.insert(r["nome"].get<std::string>());
  }
  for (const std::string& t : ostili) EXPECT_EQ(testi.count(t), 1u) << t;
  EXPECT_EQ(testi.count("</script><!--/*CODICE*/"), 1u);
  // Two script elements, the data's and the code's, and the code is all there.
  size_t script = 0;
  for (size_t i = p.html.find("<script"); i != std::string::npos;
       i = p.html.find("<script", i + 1)) {
    ++script;
  }
  EXPECT_EQ(script, 2u);
  const size_t codice = p.html.find("<script>\n") + 9;
  EXPECT_EQ(p.html.compare(codice, 30, "// The page of `scenario view`"), 0);
  const size_t fine = p.html.find("</script>", codice);
  ASSERT_NE(fine, std::string::npos);
  std::string js = p.html.substr(codice, fine - codice);
  while (!js.empty() && js.back() == '\n') js.pop_back();
  EXPECT_GT(js.size(), 40000u);
  EXPECT_EQ(js.substr(js.size() - 5), "})();");
  EXPECT_NE(p.html.find("<title>Linea Calvetra"), std::string::npos);
}

TEST(ScenarioView, PlanSampledEveryTenMetresAndAtItsLastComputedMetre) {
  // The compiled plan stops two metres short of its end: the last point is
  // off the step.
  const Compilazione c = compila_testi(test::kLineaProva, test::kTrenoProva);
  const scenario::PiantaCampionata p = scenario::campiona(c.modello.geometria);
  EXPECT_EQ(p.passo, 10);
  ASSERT_EQ(p.xy.size(), 2u * 2701);
  EXPECT_EQ(p.xy[2 * 2700], PuntiPiano(c.modello.geometria).x(26998));
  EXPECT_EQ(p.xy[2 * 2700 + 1], PuntiPiano(c.modello.geometria).y(26998));
  EXPECT_EQ(p.xy[2 * 100 + 1], PuntiPiano(c.modello.geometria).y(1000));

  // The longest route keeps to the point budget with a longer step; the plan
  // as read from a file ends at its first empty metre.
  std::string file;
  for (int c = 0; c < 2; ++c) {
    for (size_t m = 0; m < 1007001; ++m) {
      const bool pieno = m + 2 < 1007001;
      codifica_elemento(&file, pieno ? Geometria::Genere::reale : Geometria::Genere::vuoto,
                        pieno && c == 1 ? static_cast<double>(m) : 0.0);
    }
  }
  PianoLetto letto;
  ASSERT_TRUE(leggi_geometria(std::move(file), 1000000, &letto).ok());
  const scenario::PiantaCampionata lunga = scenario::campiona(letto);
  EXPECT_EQ(lunga.passo, 41);
  EXPECT_EQ(lunga.xy.size(), 2u * (1006998 / 41 + 2));
  EXPECT_EQ(lunga.xy.back(), 1006998.0);
}

TEST(ScenarioDump, JsonLeadsObjectsToTheirRecordsOnlyWhenTheSourcesGiveTheFiles) {
  test::CompilaInCartella c(test::kLineaProva, test::kTrenoProva);
  const auto dump_json = [&](std::string* errori) {
    const test::Esito e =
        test::esegui(&c.banco.disco, scenario::comando_dump, {"--json", "/prova"});
    EXPECT_EQ(e.stato, kUscitaPulita);
    *errori = e.errori;
    return json::parse(e.uscita);
  };
  std::string errori;
  const json j = dump_json(&errori);
  EXPECT_EQ(errori, "");
  json segnale;
  for (const json& k : j["celle"]["non_libere"]) {
    if (k["cella"] == 51) segnale = k["sorgente"];
  }
  EXPECT_EQ(segnale["file"], "Calvetra_2718 - 5340-.txt");
  EXPECT_EQ(segnale["riga"], 22);
  EXPECT_EQ(test::kTrenoProva.substr(segnale["offset"].get<size_t>(), 16), "segnale,    2500");
  EXPECT_EQ(j["tabella"]["righe"][1]["sorgente"]["riga"], 15);

  // Sources that no longer give these files lead nowhere, and say so.
  c.banco.scrivi(test::kSorgenteTreno, treno_con_errore());
  const json diversi = dump_json(&errori);
  EXPECT_EQ(diversi.dump().find("\"sorgente\""), std::string::npos);
  EXPECT_NE(errori.find("non danno questi file binari"), std::string::npos) << errori;
}

}  // namespace
}  // namespace calvetra
