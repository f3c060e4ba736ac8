// `scenario lsp` driven in process: framed messages through string streams,
// a scenario directory in memory, the replies and notifications read back.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "content/righe.h"
#include "content/testi.h"
#include "scenario/comune/json.h"
#include "scenario/comune/testo.h"
#include "scenario/lsp/posizioni.h"
#include "scenario/lsp/server.h"
#include "scenario/lsp/trasporto.h"
#include "support/compilazione.h"
#include "tools/scenario_prova.h"

namespace calvetra {
namespace {

using scenario::Json;

const std::string kUriLinea = "file:///prova/Calvetra_linea.txt";
const std::string kUriTreno = "file:///prova/Calvetra_2718%20-%205340-.txt";

std::string incornicia(const Json& m) {
  const std::string corpo = m.dump();
  return "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo;
}

Json richiesta(int id, const std::string& metodo, Json parametri = Json::object()) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"method", metodo}, {"params", std::move(parametri)}};
}
Json notifica(const std::string& metodo, Json parametri = Json::object()) {
  return {{"jsonrpc", "2.0"}, {"method", metodo}, {"params", std::move(parametri)}};
}
Json inizia(Json opzioni = nullptr) {
  Json p = {{"rootUri", "file:///prova"}, {"capabilities", Json::object()}};
  if (!opzioni.is_null()) p["initializationOptions"] = std::move(opzioni);
  return richiesta(1, "initialize", std::move(p));
}
Json apri(const std::string& uri, const std::string& testo_utf8) {
  return notifica(
      "textDocument/didOpen",
      {{"textDocument",
        {{"uri", uri}, {"languageId", "scenario"}, {"version", 1}, {"text", testo_utf8}}}});
}
Json posto(const std::string& uri, int riga, int carattere) {
  return {{"textDocument", {{"uri", uri}}},
          {"position", {{"line", riga}, {"character", carattere}}}};
}
Json cambia(const std::string& uri, int versione, int riga, int da, int a, const std::string& t) {
  const Json intervallo = {{"start", {{"line", riga}, {"character", da}}},
                           {"end", {{"line", riga}, {"character", a}}}};
  Json modifica = {{"range", intervallo}, {"text", t}};
  return notifica("textDocument/didChange",
                  {{"textDocument", {{"uri", uri}, {"version", versione}}},
                   {"contentChanges", Json::array({modifica})}});
}

// One run of the server over `ingresso`, on the embedded scenario in /prova.
struct Sessione {
  test::Banco banco;
  int stato = -1;
  std::vector<Json> uscita;
  std::string registro;

  Sessione() {
    banco.scrivi(test::kSorgenteLinea, testo_righe(dati_linea()));
    banco.scrivi(test::kSorgenteTreno, testo_righe(dati_treno()));
  }
  void esegui(const std::string& ingresso, const scenario::lsp::OpzioniServer& o = {}) {
    std::istringstream in(ingresso);
    std::ostringstream out, log;
    stato = scenario::lsp::servi(in, out, log, &banco.disco, o);
    registro = log.str();
    std::istringstream letto(out.str());
    std::ostringstream niente;
    scenario::lsp::Trasporto t(letto, niente);
    std::string corpo, errore;
    while (t.leggi(&corpo, &errore) == scenario::lsp::Trasporto::Esito::messaggio) {
      uscita.push_back(Json::parse(corpo));
    }
  }
  void esegui(const std::vector<Json>& messaggi) {
    std::string s;
    for (const Json& m : messaggi) s += incornicia(m);
    esegui(s);
  }
  // The reply to request `id`.
  Json risposta(int id) const {
    for (const Json& m : uscita) {
      if (m.contains("id") && m["id"] == id) return m;
    }
    return nullptr;
  }
  // The diagnostics published for `uri`, each publication in order.
  std::vector<Json> diagnostici(const std::string& uri) const {
    std::vector<Json> d;
    for (const Json& m : uscita) {
      if (m.value("method", "") == "textDocument/publishDiagnostics" && m["params"]["uri"] == uri) {
        d.push_back(m["params"]["diagnostics"]);
      }
    }
    return d;
  }
  // The index in `uscita` of the reply to `id`, to see what came before it.
  size_t indice(int id) const {
    for (size_t i = 0; i < uscita.size(); ++i) {
      if (uscita[i].contains("id") && uscita[i]["id"] == id) return i;
    }
    return uscita.size();
  }
};

std::string linea_utf8() { return scenario::utf8_da_1252(testo_righe(dati_linea())); }
std::string treno_utf8() { return scenario::utf8_da_1252(testo_righe(dati_treno())); }

// The line of the train source that holds `testo`, from 0.
int riga_di(const std::string& sorgente, const std::string& testo) {
  const size_t at = sorgente.find(testo);
  int r = 0;
  for (size_t i = 0; i < at; ++i) r += sorgente[i] == '\n' ? 1 : 0;
  return r;
}

// The whole session of an author: open, check, misspell, fix, hover,
// complete, outline, close the server.
TEST(ScenarioLsp, SessionFromOpenToShutdown) {
  const std::string treno = treno_utf8();
  const std::string linea = linea_utf8();
  const int rovella = riga_di(treno, "ROVELLA");
  const int casalino = rovella + 1;
  Sessione s;
  s.esegui({
      inizia(),
      notifica("initialized"),
      apri(kUriLinea, linea),
      apri(kUriTreno, treno),
      richiesta(2, "textDocument/hover", posto(kUriTreno, rovella, 2)),
      cambia(kUriTreno, 2, casalino, 0, 8, "stazoine"),
      richiesta(3, "textDocument/codeAction",
                {{"textDocument", {{"uri", kUriTreno}}},
                 {"range",
                  {{"start", {{"line", casalino}, {"character", 3}}},
                   {"end", {{"line", casalino}, {"character", 3}}}}},
                 {"context", {{"diagnostics", Json::array()}}}}),
      cambia(kUriTreno, 3, casalino, 0, 8, "stazione"),
      richiesta(4, "textDocument/completion", posto(kUriTreno, casalino, 0)),
      richiesta(5, "textDocument/signatureHelp", posto(kUriTreno, rovella, 20)),
      richiesta(6, "textDocument/documentSymbol", {{"textDocument", {{"uri", kUriTreno}}}}),
      richiesta(7, "textDocument/hover", posto(kUriTreno, rovella, 20)),
      richiesta(9, "textDocument/hover", posto(kUriLinea, riga_di(linea, "pendenza"), 12)),
      richiesta(8, "shutdown"),
      notifica("exit"),
  });
  EXPECT_EQ(s.stato, 0) << s.registro;
  const Json init = s.risposta(1)["result"]["capabilities"];
  EXPECT_EQ(init["positionEncoding"], "utf-16");
  EXPECT_EQ(init["textDocumentSync"]["change"], 2);

  // Open: nothing wrong with the embedded scenario; misspelt: one warning
  // at the keyword with its "did you mean"; fixed: cleared.
  const std::vector<Json> d = s.diagnostici(kUriTreno);
  ASSERT_EQ(d.size(), 3u);
  EXPECT_EQ(d[0], Json::array());
  ASSERT_GE(d[1].size(), 1u);
  EXPECT_EQ(d[1][0]["code"], "campo-ignorato");
  EXPECT_EQ(d[1][0]["severity"], 2);
  EXPECT_EQ(d[1][0]["range"], Json({{"start", {{"line", casalino}, {"character", 0}}},
                                    {"end", {{"line", casalino}, {"character", 8}}}}));
  EXPECT_NE(d[1][0]["message"].get<std::string>().find("forse `stazione`?"), std::string::npos);
  EXPECT_EQ(d[2], Json::array());
  EXPECT_EQ(s.diagnostici(kUriLinea), std::vector<Json>(3, Json::array()));

  const std::string sopra = s.risposta(2)["result"]["contents"]["value"];
  EXPECT_NE(sopra.find("stazione **ROVELLA**: km 1+500, orario 07:54:00, zona da 1100 a 1900 m"),
            std::string::npos)
      << sopra;
  EXPECT_NE(sopra.find("- `position` (m)"), std::string::npos) << sopra;

  const Json azioni = s.risposta(3)["result"];
  ASSERT_EQ(azioni.size(), 1u);
  EXPECT_EQ(azioni[0]["title"], "scrivi `stazione`");
  EXPECT_EQ(azioni[0]["edit"]["changes"][kUriTreno],
            Json::array({{{"range", d[1][0]["range"]}, {"newText", "stazione"}}}));

  std::vector<std::string> parole;
  const Json completamento = s.risposta(4);
  for (const Json& v : completamento["result"]["items"]) parole.push_back(v["label"]);
  EXPECT_NE(std::find(parole.begin(), parole.end(), "stazione"), parole.end());
  EXPECT_EQ(std::find(parole.begin(), parole.end(), "pendenza"), parole.end());

  const Json firma = s.risposta(5)["result"];
  EXPECT_EQ(firma["activeParameter"], 1);  // "stazione,    1500,  2": the type
  EXPECT_EQ(firma["signatures"][0]["parameters"][1]["label"], "type");

  const Json simboli = s.risposta(6)["result"];
  const auto stazioni = std::find_if(simboli.begin(), simboli.end(),
                                     [](const Json& j) { return j["name"] == "[stazioni]"; });
  ASSERT_NE(stazioni, simboli.end());
  EXPECT_EQ((*stazioni)["children"][0]["name"], "ROVELLA");
  EXPECT_EQ((*stazioni)["children"][0]["detail"], "km 1+500");

  const std::string campo = s.risposta(7)["result"]["contents"]["value"];
  EXPECT_NE(campo.find("Campo 2 di 17: `type`"), std::string::npos) << campo;
  // A gradient: its per mille and the metres it spans, its position field named.
  const std::string pendenza = s.risposta(9)["result"]["contents"]["value"];
  EXPECT_NE(pendenza.find("Campo 1 di 2: `P` (m)"), std::string::npos) << pendenza;
  EXPECT_NE(pendenza.find("- `pendenza` -10 per mille nelle celle 38 a 39 (metri 1900 a 2000)"),
            std::string::npos)
      << pendenza;
  EXPECT_EQ(s.risposta(8)["result"], nullptr);
}

// The pair compiles together: a shorter route in the line source strands a
// train record beyond it (error 15), shown on the train source.
TEST(ScenarioLsp, AnEditOfTheLineRepublishesTheTrain) {
  const std::string linea = linea_utf8();
  const int lunghezza = riga_di(linea, "lunghezza percorso");
  Sessione s;
  s.esegui({inizia(), apri(kUriLinea, linea), apri(kUriTreno, treno_utf8()),
            richiesta(2, "textDocument/hover", posto(kUriTreno, 0, 0)),
            cambia(kUriLinea, 2, lunghezza, 0, 40, "lunghezza percorso, 20000"),
            richiesta(3, "shutdown"), notifica("exit")});
  const std::vector<Json> d = s.diagnostici(kUriTreno);
  ASSERT_EQ(d.size(), 2u);
  const auto quindici = std::find_if(d[1].begin(), d[1].end(), [](const Json& x) {
    return x["code"] == 15 && x["severity"] == 1;
  });
  ASSERT_NE(quindici, d[1].end()) << d[1].dump();
  // Its note points at the route length, in the other source.
  const Json nota = (*quindici)["relatedInformation"].at(0);
  EXPECT_EQ(nota["location"]["uri"], kUriLinea);
  EXPECT_EQ(nota["location"]["range"]["start"], Json({{"line", lunghezza}, {"character", 20}}));
}

// A burst of edits is checked once; diagnostics come before the next reply.
TEST(ScenarioLsp, ABurstOfEditsIsCheckedOnce) {
  std::vector<Json> m = {inizia(), apri(kUriTreno, treno_utf8()),
                         richiesta(2, "textDocument/hover", posto(kUriTreno, 0, 0))};
  for (int v = 2; v < 40; ++v) m.push_back(cambia(kUriTreno, v, 0, 0, 0, v % 2 ? " " : ""));
  m.push_back(richiesta(3, "textDocument/hover", posto(kUriTreno, 0, 0)));
  Sessione s;
  s.esegui(m);
  EXPECT_EQ(s.diagnostici(kUriTreno).size(), 2u);
  EXPECT_EQ(s.uscita[s.indice(3) - 1]["method"], "textDocument/publishDiagnostics");
}

// Buffers are UTF-8, sources Windows-1252; positions in UTF-16 code units
// unless the client offers UTF-8, lines split at CR LF, CR and LF alike.
TEST(ScenarioLsp, EncodingsAndPositions) {
  // "€" is a Windows-1252 character; "𝄞" is not, and takes two UTF-16 units.
  const std::string treno =
      "[generale]\r\nvelocita, 0, 80\rabc \xF0\x9D\x84\x9E\xE2\x82\xAC, 1\n"
      "velocita, 500, 90\r\n[fine]\r\n";
  for (const bool utf8 : {false, true}) {
    Json init = inizia();
    if (utf8) init["params"]["capabilities"]["general"]["positionEncodings"] = {"utf-8"};
    Sessione s;
    s.esegui({init, apri(kUriTreno, treno),
              richiesta(2, "textDocument/hover", posto(kUriTreno, 3, 10)), richiesta(3, "shutdown"),
              notifica("exit")});
    const Json d = s.diagnostici(kUriTreno).at(0);
    ASSERT_GE(d.size(), 1u) << d.dump();
    EXPECT_EQ(d[0]["code"], "carattere_non_1252");
    // Line 2 ("abc 𝄞€, 1"), after "abc ".
    EXPECT_EQ(d[0]["range"]["start"], Json({{"line", 2}, {"character", 4}}));
    EXPECT_EQ(d[0]["range"]["end"], Json({{"line", 2}, {"character", utf8 ? 8 : 6}}));
    EXPECT_EQ(s.risposta(1)["result"]["capabilities"]["positionEncoding"],
              utf8 ? "utf-8" : "utf-16");
    const std::string sopra = s.risposta(2)["result"]["contents"]["value"];
    EXPECT_NE(sopra.find("`velocita` 90 km/h"), std::string::npos) << sopra;
  }
}

// Each fix a warning knows, as a code action: applied to the buffer, the
// warning is gone.
TEST(ScenarioLsp, QuickFixesClearTheirWarning) {
  const auto treno = [](const std::string& righe) {
    return "[generale]\r\n" + righe + "[fine]\r\n";
  };
  const std::string stazione = "stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, ";
  struct Caso {
    const char* nome;
    bool linea;  // the mistake is in the line source, else in the train source
    std::string testo;
    const char* codice;
    const char* titolo;
  };
  const std::vector<Caso> casi = {
      {"parola chiave", false,
       treno("stazoine, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, N\r\n"),
       "campo-ignorato", "scrivi `stazione`"},
      {"unita attaccata", false, treno("velocita, 6000, 80km/h\r\n"), "numero-non-valido",
       "togli l'unita'"},
      {"punto delle migliaia", false, treno("velocita, 1.500, 80\r\n"), "arrotondato",
       "scrivi `1500`"},
      {"virgola decimale", true, test::sorgente_linea("", "pendenza, 3000,6,5\r\n"),
       "campo-ignorato", "scrivi `6.5`"},
      {"virgolette aperte", false, treno(stazione + "\"Nord\r\nvelocita, 2000, 80\r\n"),
       "virgolette-aperte", "chiudi le virgolette"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const std::string uri = c.linea ? kUriLinea : kUriTreno;
    const auto sessione = [&](const std::string& testo) {
      auto s = std::make_unique<Sessione>();
      s->esegui({inizia(), apri(uri, testo),
                 richiesta(2, "textDocument/codeAction",
                           {{"textDocument", {{"uri", uri}}},
                            {"range",
                             {{"start", {{"line", 0}, {"character", 0}}},
                              {"end", {{"line", 99}, {"character", 0}}}}},
                            {"context", {{"diagnostics", Json::array()}}}}),
                 richiesta(3, "shutdown"), notifica("exit")});
      return s;
    };
    const auto prima = sessione(c.testo);
    const Json azioni = prima->risposta(2)["result"];
    const auto azione = std::find_if(azioni.begin(), azioni.end(), [&](const Json& a) {
      return a["title"] == c.titolo && a["diagnostics"][0]["code"] == c.codice;
    });
    ASSERT_NE(azione, azioni.end()) << azioni.dump();
    // The edits apply from the last, so that each range still holds.
    std::string corretto = c.testo;
    Json modifiche = (*azione)["edit"]["changes"][uri];
    for (auto m = modifiche.rbegin(); m != modifiche.rend(); ++m) {
      const auto punto = [&](const Json& p) {
        return scenario::lsp::byte_utf8(corretto, scenario::lsp::posizione_da_json(p),
                                        scenario::lsp::Codifica::utf16);
      };
      const size_t da = punto((*m)["range"]["start"]);
      corretto.replace(da, punto((*m)["range"]["end"]) - da, (*m)["newText"].get<std::string>());
    }
    const std::vector<Json> dopo = sessione(corretto)->diagnostici(uri);
    ASSERT_FALSE(dopo.empty());
    for (const Json& d : dopo[0]) {
      EXPECT_FALSE(d["code"] == c.codice && d["range"] == (*azione)["diagnostics"][0]["range"])
          << corretto;
    }
  }
}

// Whatever arrives, an answer with the error or a clean exit: never a crash
// or a hang.
TEST(ScenarioLsp, BadInput) {
  const std::string init = incornicia(inizia());
  const std::string fine = incornicia(richiesta(99, "shutdown")) + incornicia(notifica("exit"));
  struct Caso {
    const char* nome;
    std::string ingresso;
    int stato;
    std::vector<int> codici;  // the error codes of the replies, in order
    const char* registro = "";
  };
  const std::vector<Caso> casi = {
      {"json malformato", init + "Content-Length: 5\r\n\r\n{\"a\":" + fine, 0, {-32700}},
      {"non un oggetto", init + incornicia(Json::array({1, 2})) + fine, 0, {-32600}},
      {"id di tipo sbagliato",
       init + incornicia({{"jsonrpc", "2.0"}, {"id", {{"a", 1}}}, {"method", "shutdown"}}) + fine,
       0,
       {-32600}},
      {"senza jsonrpc", init + incornicia({{"id", 5}, {"method", "shutdown"}}) + fine, 0, {-32600}},
      {"senza Content-Length", init + "Content-Type: x\r\n\r\n{}", 1, {}, "senza Content-Length"},
      {"Content-Length assurdo",
       init + "Content-Length: 99999999999999999999\r\n\r\n",
       1,
       {},
       "Content-Length oltre"},
      {"Content-Length non numerico",
       init + "Content-Length: -3\r\n\r\n",
       1,
       {},
       "non e' un numero"},
      {"intestazione senza due punti", init + "Content-Length 3\r\n\r\n{}", 1, {}, "senza `:`"},
      {"corpo troncato", init + "Content-Length: 500\r\n\r\n{}", 1, {}, "dentro un messaggio"},
      {"fine dell'ingresso", init, 1, {}},
      {"exit senza shutdown", init + incornicia(notifica("exit")), 1, {}},
      {"metodo sconosciuto",
       init + incornicia(richiesta(2, "workspace/nulla")) + fine,
       0,
       {-32601}},
      {"parametri sbagliati",
       init + incornicia(richiesta(2, "textDocument/hover", {{"textDocument", 3}})) + fine,
       0,
       {-32602}},
      {"posizione negativa",
       init + incornicia(richiesta(2, "textDocument/hover", posto(kUriTreno, -1, 0))) + fine,
       0,
       {-32602}},
      {"richiesta prima di initialize",
       incornicia(richiesta(2, "shutdown")) + init + fine,
       0,
       {-32002}},
      {"initialize due volte", init + init + fine, 0, {-32600}},
      {"richiesta dopo shutdown",
       init + incornicia(richiesta(2, "shutdown")) +
           incornicia(richiesta(3, "textDocument/hover", posto(kUriTreno, 0, 0))) +
           incornicia(notifica("exit")),
       0,
       {-32600}},
      {"nome con separatore",
       incornicia(inizia({{"linea", "../altrove"}})) + fine,
       1,
       {-32602, -32002}},
      {"nome che Windows-1252 non tiene",
       incornicia(inizia({{"linea", "Citt\xE2\x98\x83"}})) + fine,
       1,
       {-32602, -32002}},
      {"documento fuori dalla cartella",
       init + incornicia(apri("file:///altrove/Calvetra_linea.txt", "x")) +
           incornicia(richiesta(2, "textDocument/hover",
                                posto("file:///altrove/Calvetra_linea.txt", 0, 0))) +
           fine,
       0,
       {-32602}},
      {"uri che non e' un file",
       init +
           incornicia(richiesta(2, "textDocument/documentSymbol",
                                {{"textDocument", {{"uri", "untitled:1"}}}})) +
           fine,
       0,
       {-32602}},
      {"risposta del client ignorata",
       init + incornicia({{"jsonrpc", "2.0"}, {"id", 7}, {"result", nullptr}}) + fine,
       0,
       {}},
  };
  for (const Caso& c : casi) {
    Sessione s;
    s.esegui(c.ingresso);
    EXPECT_EQ(s.stato, c.stato) << c.nome;
    std::vector<int> codici;
    for (const Json& m : s.uscita) {
      if (m.contains("error")) codici.push_back(m["error"]["code"]);
    }
    EXPECT_EQ(codici, c.codici) << c.nome;
    EXPECT_NE(s.registro.find(c.registro), std::string::npos) << c.nome << ": " << s.registro;
  }
}

// A document outside the scenario is named back to the author, not checked.
TEST(ScenarioLsp, ADocumentOutsideTheScenarioIsNamed) {
  Sessione s;
  s.esegui(
      {inizia(), apri("file:///altrove/x.txt", "x"), richiesta(2, "shutdown"), notifica("exit")});
  ASSERT_GE(s.uscita.size(), 2u);
  EXPECT_EQ(s.uscita[1]["method"], "window/showMessage");
  EXPECT_NE(s.uscita[1]["params"]["message"].get<std::string>().find("file:///altrove/x.txt"),
            std::string::npos);
}

}  // namespace
}  // namespace calvetra
