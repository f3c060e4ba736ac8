// `scenario lsp` driven in process: framed messages through string streams,
// a scenario directory in memory, the replies and notifications read back.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "compile/compilazione.h"
#include "content/righe.h"
#include "content/testi.h"
#include "fields/catalogo.h"
#include "line/catalogo_linea.h"
#include "output/scrittura.h"
#include "platform/piattaforma_memoria.h"
#include "scenario/comune/json.h"
#include "scenario/comune/testo.h"
#include "scenario/lsp/documenti.h"
#include "scenario/lsp/funzioni.h"
#include "scenario/lsp/posizioni.h"
#include "scenario/lsp/server.h"
#include "scenario/lsp/trasporto.h"
#include "support/compilazione.h"
#include "tools/scenario_prova.h"
#include "train/catalogo_treno.h"

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

std::string linea_utf8() { return utf8_da_1252(testo_righe(dati_linea())); }
std::string treno_utf8() { return utf8_da_1252(testo_righe(dati_treno())); }

// The line of the train source that holds `testo`, from 0.
int riga_di(const std::string& sorgente, const std::string& testo) {
  const size_t at = sorgente.find(testo);
  int r = 0;
  for (size_t i = 0; i < at; ++i) r += sorgente[i] == '\n' ? 1 : 0;
  return r;
}

// The column of `testo` in its line, from 0.
int colonna_di(const std::string& sorgente, const std::string& testo) {
  const size_t at = sorgente.find(testo);
  const size_t riga = sorgente.rfind('\n', at);
  return static_cast<int>(riga == std::string::npos ? at : at - riga - 1);
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
  EXPECT_NE(sopra.find("- posizione (`position`, m)"), std::string::npos) << sopra;

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
  // Each field by its Italian label, its place in the signature's label.
  const Json tipo = firma["signatures"][0]["parameters"][1]["label"];
  const std::string etichetta = firma["signatures"][0]["label"];
  ASSERT_TRUE(tipo.is_array()) << tipo;
  EXPECT_EQ(etichetta.substr(tipo[0].get<size_t>(), tipo[1].get<size_t>() - tipo[0].get<size_t>()),
            "tipo");
  EXPECT_EQ(etichetta.rfind("stazione, posizione, tipo, lunghezza, ", 0), 0u) << etichetta;

  const Json simboli = s.risposta(6)["result"];
  const auto stazioni = std::find_if(simboli.begin(), simboli.end(),
                                     [](const Json& j) { return j["name"] == "[stazioni]"; });
  ASSERT_NE(stazioni, simboli.end());
  EXPECT_EQ((*stazioni)["children"][0]["name"], "ROVELLA");
  EXPECT_EQ((*stazioni)["children"][0]["detail"], "km 1+500");

  const std::string campo = s.risposta(7)["result"]["contents"]["value"];
  EXPECT_NE(campo.find("Campo 2 di 17: tipo (`type`)"), std::string::npos) << campo;
  // A gradient: its per mille and the metres it spans, its position field named.
  const std::string pendenza = s.risposta(9)["result"]["contents"]["value"];
  EXPECT_NE(pendenza.find("Campo 1 di 2: posizione (`P`, m)"), std::string::npos) << pendenza;
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

// The byte of a UTF-8 text that an editor means by a line and a count of
// UTF-16 units, counted here on its own: a slip in the server's conversion
// cannot hide behind the same function applying the edits.
size_t byte_dell_editor(const std::string& t, const Json& posizione) {
  size_t i = 0;
  for (int r = 0; r < posizione["line"].get<int>(); ++r) i = t.find('\n', i) + 1;
  for (int u = 0; u < posizione["character"].get<int>();) {
    const auto c = static_cast<unsigned char>(t[i]);
    const size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    u += n == 4 ? 2 : 1;
    i += n;
  }
  return i;
}

// A code action of the whole text applied as an editor applies it: the
// edits from the last, so that each range still holds.
std::string applica(std::string testo, const Json& modifiche) {
  for (auto m = modifiche.rbegin(); m != modifiche.rend(); ++m) {
    const size_t da = byte_dell_editor(testo, (*m)["range"]["start"]);
    const size_t a = byte_dell_editor(testo, (*m)["range"]["end"]);
    testo.replace(da, a - da, (*m)["newText"].get<std::string>());
  }
  return testo;
}

Json azioni_in(const std::string& uri, int riga_da, int da, int riga_a, int a) {
  return {{"textDocument", {{"uri", uri}}},
          {"range",
           {{"start", {{"line", riga_da}, {"character", da}}},
            {"end", {{"line", riga_a}, {"character", a}}}}},
          {"context", {{"diagnostics", Json::array()}}}};
}

// Each fix a warning knows, as a code action: applied to the buffer, it
// writes exactly the text meant, and the warning is gone.
TEST(ScenarioLsp, QuickFixesWriteTheRightTextAndClearTheirWarning) {
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
    std::string corretto;
  };
  const std::vector<Caso> casi = {
      {"parola chiave", false,
       treno("stazoine, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, N\r\n"),
       "campo-ignorato", "scrivi `stazione`",
       treno("stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, N\r\n")},
      {"unita attaccata", false, treno("velocita, 6000, 80km/h\r\n"), "numero-non-valido",
       "scrivi `80`", treno("velocita, 6000, 80\r\n")},
      {"punto delle migliaia", false, treno("velocita, 1.500, 80\r\n"), "arrotondato",
       "scrivi `1500`", treno("velocita, 1500, 80\r\n")},
      // After letters of two and three UTF-8 bytes, one UTF-16 unit each.
      {"punto delle migliaia dopo lettere accentate", false,
       treno("velocit\xC3\xA0\xE2\x82\xAC, 2.400, 80\r\n"), "arrotondato", "scrivi `2400`",
       treno("velocit\xC3\xA0\xE2\x82\xAC, 2400, 80\r\n")},
      {"spazio delle migliaia dopo una lettera accentata", false,
       treno("velocit\xC3\xA0, 2 400, 110\r\n"), "numero-spezzato", "scrivi `2400`",
       treno("velocit\xC3\xA0, 2400, 110\r\n")},
      {"virgola decimale", true, test::sorgente_linea("", "pendenza, 3000,6,5\r\n"),
       "campo-ignorato", "scrivi `6`", test::sorgente_linea("", "pendenza, 3000,6\r\n")},
      {"virgolette aperte", false, treno(stazione + "\"Nord\r\nvelocita, 2000, 80\r\n"),
       "virgolette-aperte", "chiudi le virgolette",
       treno(stazione + "\"Nord\"\r\nvelocita, 2000, 80\r\n")},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const std::string uri = c.linea ? kUriLinea : kUriTreno;
    const auto sessione = [&](const std::string& testo) {
      auto s = std::make_unique<Sessione>();
      s->esegui({inizia(), apri(uri, testo),
                 richiesta(2, "textDocument/codeAction", azioni_in(uri, 0, 0, 99, 0)),
                 richiesta(3, "shutdown"), notifica("exit")});
      return s;
    };
    const auto prima = sessione(c.testo);
    const Json azioni = prima->risposta(2)["result"];
    const auto azione = std::find_if(azioni.begin(), azioni.end(), [&](const Json& a) {
      return a["title"] == c.titolo && a["diagnostics"][0]["code"] == c.codice;
    });
    ASSERT_NE(azione, azioni.end()) << azioni.dump();
    const std::string corretto = applica(c.testo, (*azione)["edit"]["changes"][uri]);
    EXPECT_EQ(corretto, c.corretto);
    const std::vector<Json> dopo = sessione(corretto)->diagnostici(uri);
    ASSERT_FALSE(dopo.empty());
    for (const Json& d : dopo[0]) {
      EXPECT_FALSE(d["code"] == c.codice && d["range"] == (*azione)["diagnostics"][0]["range"])
          << corretto;
    }
  }
}

// The fix is offered wherever the cursor touches its field: on its first
// character, on its last, and just after it; not from another line.
TEST(ScenarioLsp, AQuickFixIsOfferedFromEitherEndOfItsField) {
  // "1.500" is characters 10 to 14 of line 1 (after a letter of two bytes).
  const std::string testo = "[generale]\r\nvelocit\xC3\xA0, 1.500, 80\r\n[fine]\r\n";
  struct Cursore {
    int riga;
    int carattere;
    bool offerta;
  };
  const Cursore cursori[] = {{1, 10, true}, {1, 14, true},  {1, 15, true},
                             {1, 12, true}, {0, 10, false}, {2, 0, false}};
  std::vector<Json> m = {inizia(), apri(kUriTreno, testo)};
  int id = 10;
  for (const Cursore& c : cursori) {
    m.push_back(richiesta(id++, "textDocument/codeAction",
                          azioni_in(kUriTreno, c.riga, c.carattere, c.riga, c.carattere)));
  }
  m.push_back(richiesta(3, "shutdown"));
  m.push_back(notifica("exit"));
  Sessione s;
  s.esegui(m);
  id = 10;
  for (const Cursore& c : cursori) {
    SCOPED_TRACE(std::to_string(c.riga) + ":" + std::to_string(c.carattere));
    const Json azioni = s.risposta(id++)["result"];
    if (!c.offerta) {
      EXPECT_EQ(azioni, Json::array());
      continue;
    }
    ASSERT_EQ(azioni.size(), 1u) << azioni.dump();
    EXPECT_EQ(azioni[0]["title"], "scrivi `1500`");
  }
}

// UTF-16 units and UTF-8 bytes, both ways, at every kind of boundary:
// characters of 2, 3, 4 and 1 bytes, of 1, 1, 2 and 1 UTF-16 units.
TEST(ScenarioLsp, PositionsAndBytesAtEveryCharacterWidth) {
  using scenario::lsp::Codifica;
  using scenario::lsp::IndicePosizioni;
  using scenario::lsp::Posizione;
  // An a with a grave accent, the euro sign, a G clef and an x.
  const std::string riga = "\xC3\xA0\xE2\x82\xAC\xF0\x9D\x84\x9Ex";
  const std::string testo = "ab\r\n" + riga + "\r\nz";
  struct Confine {
    int64_t utf16;
    int64_t utf8;
    size_t byte;  // in `testo`
    size_t carattere;
  };
  // Before each character of line 1 and at its end.
  const Confine confini[] = {
      {0, 0, 4, 4}, {1, 2, 6, 5}, {2, 5, 9, 6}, {4, 9, 13, 7}, {5, 10, 14, 8}};
  const IndicePosizioni u16 = IndicePosizioni::da_utf8(testo, Codifica::utf16);
  const IndicePosizioni u8 = IndicePosizioni::da_utf8(testo, Codifica::utf8);
  for (const Confine& k : confini) {
    SCOPED_TRACE(k.utf16);
    EXPECT_EQ(u16.posizione(k.carattere), (Posizione{1, k.utf16}));
    EXPECT_EQ(u8.posizione(k.carattere), (Posizione{1, k.utf8}));
    EXPECT_EQ(u16.indice({1, k.utf16}), k.carattere);
    EXPECT_EQ(u8.indice({1, k.utf8}), k.carattere);
    EXPECT_EQ(scenario::lsp::byte_utf8(testo, {1, k.utf16}, Codifica::utf16), k.byte);
    EXPECT_EQ(scenario::lsp::byte_utf8(testo, {1, k.utf8}, Codifica::utf8), k.byte);
  }
  // Inside a character: never a byte into it, never past it.
  EXPECT_EQ(scenario::lsp::byte_utf8(testo, {1, 3}, Codifica::utf16), 9u);
  EXPECT_EQ(u16.indice({1, 3}), 6u);
  EXPECT_EQ(scenario::lsp::byte_utf8(testo, {1, 1}, Codifica::utf8), 4u);
  for (int64_t dentro : {3, 4}) {
    EXPECT_EQ(scenario::lsp::byte_utf8(testo, {1, dentro}, Codifica::utf8), 6u);
    EXPECT_EQ(u8.indice({1, dentro}), 5u);
  }
  // Past the end of the line: its end; the lines around it are whole.
  EXPECT_EQ(scenario::lsp::byte_utf8(testo, {1, 99}, Codifica::utf16), 14u);
  EXPECT_EQ(u16.indice({1, 99}), 8u);
  EXPECT_EQ(scenario::lsp::byte_utf8(testo, {2, 1}, Codifica::utf16), 17u);
  EXPECT_EQ(u16.posizione(10), (Posizione{2, 0}));
}

// Every kind of line end: CR LF is one end, a CR or an LF alone is one too,
// and an empty line between them counts. The same from either encoding.
TEST(ScenarioLsp, PositionsAcrossEveryKindOfLineEnd) {
  using scenario::lsp::Codifica;
  using scenario::lsp::IndicePosizioni;
  using scenario::lsp::Posizione;
  const std::string testo = "ab\r\nc\rd\n\r\ne";
  const Posizione attese[] = {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 0}, {1, 1},
                              {2, 0}, {2, 1}, {3, 0}, {3, 1}, {4, 0}, {4, 1}};
  for (const IndicePosizioni& x : {IndicePosizioni::da_utf8(testo, Codifica::utf16),
                                   IndicePosizioni::da_1252(testo, Codifica::utf8)}) {
    ASSERT_EQ(x.dimensione(), testo.size());
    for (size_t i = 0; i < std::size(attese); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(x.posizione(i), attese[i]);
    }
    // Past a line's end: the end, before its CR; past the last line: the text's end.
    EXPECT_EQ(x.indice({0, 99}), 2u);
    EXPECT_EQ(x.indice({1, 99}), 5u);
    EXPECT_EQ(x.indice({3, 5}), 8u);
    EXPECT_EQ(x.indice({4, 99}), testo.size());
    EXPECT_EQ(x.indice({9, 0}), testo.size());
  }
}

// An edit after an accented letter lands where the editor meant it: the
// hover and the diagnostics then read the new value at its place.
TEST(ScenarioLsp, AnEditAfterAnAccentedLetter) {
  const std::string testo = "[generale]\r\nvelocit\xC3\xA0, 2400, 110\r\n[fine]\r\n";
  Sessione s;
  s.esegui({inizia(), apri(kUriTreno, testo),
            richiesta(4, "textDocument/hover", posto(kUriTreno, 0, 0)),
            cambia(kUriTreno, 2, 1, 16, 19, "73"),
            richiesta(2, "textDocument/hover", posto(kUriTreno, 1, 17)), richiesta(3, "shutdown"),
            notifica("exit")});
  const std::vector<Json> d = s.diagnostici(kUriTreno);
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0], Json::array());
  ASSERT_EQ(d[1].size(), 1u) << d[1].dump();
  EXPECT_EQ(d[1][0]["code"], "arrotondato");
  EXPECT_EQ(d[1][0]["range"], Json({{"start", {{"line", 1}, {"character", 16}}},
                                    {"end", {{"line", 1}, {"character", 18}}}}));
  EXPECT_NE(d[1][0]["message"].get<std::string>().find("vale 73 km/h"), std::string::npos)
      << d[1][0].dump();
  const std::string sopra = s.risposta(2)["result"]["contents"]["value"];
  EXPECT_NE(sopra.find("`velocita` 75 km/h"), std::string::npos) << sopra;
  EXPECT_NE(sopra.find("velocita' massima (`speed`, km/h)"), std::string::npos) << sopra;
}

// After an error that stops the train source, a record past it is still
// known to the editor: its hover says it was not compiled, its own mistake
// is shown, and the error counts what was lost.
TEST(ScenarioLsp, ARecordTheCompileNeverReachedSaysSo) {
  const std::string treno =
      "[generale]\r\nstazione, 1525, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, Nord\r\n"
      "segnale, 5000, 1, 5, 1, 0, 0, 0, 0, 0, 0, 1O\r\n[fine]\r\n";
  Sessione s;
  s.esegui({inizia(), apri(kUriTreno, treno),
            richiesta(2, "textDocument/hover", posto(kUriTreno, 2, 3)), richiesta(3, "shutdown"),
            notifica("exit")});
  const std::string sopra = s.risposta(2)["result"]["contents"]["value"];
  EXPECT_NE(sopra.find("non e' compilato"), std::string::npos) << sopra;
  const std::vector<Json> d = s.diagnostici(kUriTreno);
  ASSERT_FALSE(d.empty());
  std::string messaggi;
  for (const Json& x : d.back()) messaggi += x["message"].get<std::string>() + "\n";
  EXPECT_NE(messaggi.find("(record non compilato)"), std::string::npos) << messaggi;
  EXPECT_NE(messaggi.find("errore 8"), std::string::npos) << messaggi;
  bool nota = false;
  for (const Json& x : d.back()) {
    for (const Json& r : x.value("relatedInformation", Json::array())) {
      nota = nota || r["message"] == "da qui in poi non e' compilato nulla: 1 `segnale`";
    }
  }
  EXPECT_TRUE(nota) << d.back().dump();
}

// The outline gives positions as railways write them, three metre digits,
// and a signal as its plate reads: each side's class and codes.
TEST(ScenarioLsp, TheOutlineWritesKilometresWithThreeMetreDigits) {
  const std::string treno =
      "[generale]\r\nvelocita, 7, 80\r\nrallentamento, 90, 30, 100, 1, 0, 0\r\n"
      "stazione, 1050, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, Nord\r\n"
      "segnale, 12345, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n"
      "segnale, 13250, 2, 2, 3, 1, 0, 2, 3, 1, 1, 50\r\n[fine]\r\n";
  Sessione s;
  s.esegui({inizia(), apri(kUriTreno, treno),
            richiesta(2, "textDocument/documentSymbol", {{"textDocument", {{"uri", kUriTreno}}}}),
            richiesta(3, "shutdown"), notifica("exit")});
  std::vector<std::string> dettagli;
  const Json simboli = s.risposta(2)["result"];
  for (const Json& sezione : simboli) {
    for (const Json& figlio : sezione.value("children", Json::array())) {
      dettagli.push_back(figlio["name"].get<std::string>() + ": " +
                         figlio["detail"].get<std::string>());
    }
  }
  EXPECT_EQ(dettagli,
            (std::vector<std::string>{"velocita 0+007 80: km 0+007",
                                      "rallentamento 0+090 30 100 1 0 0: km 0+090, 30 km/h",
                                      "Nord: km 1+050", "segnale 12+345 sx1 5-1-0: km 12+345",
                                      "segnale 13+250 sx2 2-3-1 dx2 3-1-1 tempo 50: km 13+250"}));
}

// Whatever arrives, an answer with the error or a clean exit: never a crash
// or a hang.
// A message whose params nest `livelli` arrays and objects deep in all,
// framed: a notification of no method, or a request with id 2.
std::string annidato(int livelli, bool richiesta_con_id = false) {
  const auto n = static_cast<size_t>(livelli - 2);
  const std::string corpo =
      std::string("{\"jsonrpc\":\"2.0\",") +
      (richiesta_con_id ? "\"id\":2,\"method\":\"initialize\"," : "\"method\":\"$/nulla\",") +
      "\"params\":{\"x\":" + std::string(n, '[') + std::string(n, ']') + "}}";
  return "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo;
}

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
      {"params null per shutdown ed exit",
       init + incornicia(richiesta(2, "shutdown", nullptr)) + incornicia(notifica("exit", nullptr)),
       0,
       {}},
      {"exit con params di tipo sbagliato",
       init + incornicia(richiesta(2, "shutdown")) + incornicia(notifica("exit", 3)),
       0,
       {}},
      {"params null dove servono",
       init + incornicia(richiesta(2, "textDocument/hover", nullptr)) + fine,
       0,
       {-32602}},
      {"annidato 64 livelli: letto", init + annidato(64) + fine, 0, {}},
      {"annidato 65 livelli: rifiutato", init + annidato(65) + fine, 0, {-32600}},
      {"annidato 100000 livelli prima di initialize",
       annidato(100000, true) + init + fine,
       0,
       {-32600}},
      {"annidato 100000 livelli dopo initialize", init + annidato(100000) + fine, 0, {-32600}},
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

// A document outside the pair (a note beside the sources that the editor's
// pattern attaches, another directory, an unsaved buffer) is named back to
// the author by its path, not checked, and each request about it gets the
// protocol's empty answer, never an error that every hover would show.
TEST(ScenarioLsp, ADocumentOutsideThePairIsNamedAndGetsEmptyAnswers) {
  for (const std::string uri :
       {"file:///prova/Appunti%20-.txt", "file:///altrove/Calvetra_linea.txt", "untitled:1"}) {
    SCOPED_TRACE(uri);
    const Json documento = {{"textDocument", {{"uri", uri}}}};
    const Json intervallo = {{"start", {{"line", 0}, {"character", 0}}},
                             {"end", {{"line", 0}, {"character", 1}}}};
    Sessione s;
    s.esegui({inizia(), apri(uri, "velocita, 0, 80\r\n"),
              richiesta(2, "textDocument/hover", posto(uri, 0, 0)),
              richiesta(3, "textDocument/completion", posto(uri, 0, 0)),
              richiesta(4, "textDocument/signatureHelp", posto(uri, 0, 3)),
              richiesta(5, "textDocument/documentSymbol", documento),
              richiesta(6, "textDocument/codeAction",
                        {{"textDocument", {{"uri", uri}}},
                         {"range", intervallo},
                         {"context", {{"diagnostics", Json::array()}}}}),
              richiesta(7, "shutdown"), notifica("exit")});
    EXPECT_EQ(s.stato, 0);
    const std::vector<Json> attese = {nullptr, Json::array(), nullptr, Json::array(),
                                      Json::array()};
    for (int id = 2; id <= 6; ++id) {
      EXPECT_FALSE(s.risposta(id).contains("error")) << s.risposta(id).dump();
      EXPECT_EQ(s.risposta(id)["result"], attese[static_cast<size_t>(id - 2)]) << id;
    }
    ASSERT_GE(s.uscita.size(), 2u);
    EXPECT_EQ(s.uscita[1]["method"], "window/showMessage");
    const std::string detto = s.uscita[1]["params"]["message"];
    EXPECT_EQ(detto.find("%20"), std::string::npos) << detto;
    const std::string mostrato = uri.starts_with("file://") ? uri.substr(7) : uri;
    const std::string decodificato =
        mostrato == "/prova/Appunti%20-.txt" ? "/prova/Appunti -.txt" : mostrato;
    EXPECT_NE(detto.find(decodificato + " non e' un sorgente"), std::string::npos) << detto;
  }
}

// An editor that names a project holding route folders as its root (one
// server a project): the first source opened below it names the scenario's
// folder, and its pair is checked; a source outside the root does not.
TEST(ScenarioLsp, TheFirstSourceBelowAProjectRootNamesTheFolder) {
  for (const bool sotto : {true, false}) {
    SCOPED_TRACE(sotto);
    const std::string cartella = sotto ? "/prova/rotta" : "/altrove/rotta";
    const std::string uri = "file://" + cartella + "/Calvetra_linea.txt";
    Sessione s;
    s.banco.disco.file[cartella + "/Calvetra_linea.txt"] = testo_righe(dati_linea());
    s.banco.disco.file[cartella + "/Calvetra_2718 - 5340-.txt"] = testo_righe(dati_treno());
    s.esegui({inizia(), apri(uri, linea_utf8()), richiesta(2, "shutdown"), notifica("exit")});
    EXPECT_EQ(s.diagnostici(uri).size(), sotto ? 1u : 0u);
    EXPECT_EQ(s.diagnostici("file://" + cartella + "/Calvetra_2718%20-%205340-.txt").size(),
              sotto ? 1u : 0u);
  }
}

// The folder an editor's settings name, spelt as the system spells paths:
// on Windows with a drive or a share, either separator, and the case of a
// URI that need not be the folder's (VS Code writes "c%3A", lower case).
TEST(ScenarioLsp, TheFolderOfTheSettingsAsTheSystemSpellsIt) {
  struct Caso {
    const char* cartella;  // initializationOptions.cartella
    const char* dove;      // where the sources are
    const char* uri;       // the line source as the editor names it
    bool controllato;
  };
#ifdef _WIN32
  const Caso casi[] = {
      {"C:\\Rotte\\Calvetra", "C:/Rotte/Calvetra", "file:///c%3A/rotte/calvetra/Calvetra_linea.txt",
       true},
      {"c:/rotte/calvetra/", "c:/rotte/calvetra", "file:///C:/Rotte/Calvetra/CALVETRA_LINEA.TXT",
       true},
      {"\\\\server\\rotte\\Calvetra", "//server/rotte/Calvetra",
       "file://server/rotte/Calvetra/Calvetra_linea.txt", true},
      {"C:\\Rotte\\Calvetra", "C:/Rotte/Calvetra", "file:///d%3A/rotte/calvetra/Calvetra_linea.txt",
       false},
  };
#else
  const Caso casi[] = {
      {"/rotte/calvetra/", "/rotte/calvetra", "file:///rotte/calvetra/Calvetra_linea.txt", true},
      {"/rotte/calvetra", "/rotte/calvetra", "file:///Rotte/Calvetra/Calvetra_linea.txt", false},
  };
#endif
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.uri);
    Sessione s;
    s.banco.disco.file[std::string(c.dove) + "/Calvetra_linea.txt"] = testo_righe(dati_linea());
    s.banco.disco.file[std::string(c.dove) + "/Calvetra_2718 - 5340-.txt"] =
        testo_righe(dati_treno());
    s.esegui({inizia({{"cartella", c.cartella}}), apri(c.uri, linea_utf8()),
              richiesta(2, "shutdown"), notifica("exit")});
    EXPECT_EQ(s.diagnostici(c.uri).size(), c.controllato ? 1u : 0u);
  }
}

// Without its train source the pair does not compile: the error is on the
// line source the editor has open, with the files of nearly that name,
// not only on the URI of a file that no editor shows.
TEST(ScenarioLsp, AMissingTrainSourceIsShownOnTheLineSource) {
  Sessione s;
  s.banco.disco.file.erase(s.banco.file(test::kSorgenteTreno));
  s.banco.scrivi("Calvetra_2718 - 5340.txt", testo_righe(dati_treno()));
  s.esegui({inizia(), apri(kUriLinea, linea_utf8()), richiesta(2, "shutdown"), notifica("exit")});
  const std::vector<Json> d = s.diagnostici(kUriLinea);
  ASSERT_EQ(d.size(), 1u);
  const auto mancante = std::find_if(
      d[0].begin(), d[0].end(), [](const Json& x) { return x["code"] == "sorgente-mancante"; });
  ASSERT_NE(mancante, d[0].end()) << d[0].dump();
  EXPECT_EQ((*mancante)["severity"], 1);
  EXPECT_EQ((*mancante)["range"]["start"], Json({{"line", 0}, {"character", 0}}));
  const std::string m = (*mancante)["message"];
  EXPECT_EQ(m.rfind("/prova/Calvetra_2718 - 5340-.txt: il sorgente del treno non esiste", 0), 0u)
      << m;
  EXPECT_NE(m.find("nota: nella cartella c'e' `Calvetra_2718 - 5340.txt`"), std::string::npos) << m;
}

// A disk whose file at `percorso` is `prima` up to its first read and
// `dopo` from then on: the author saves it again in another encoding.
class DiscoCheCambia : public PiattaformaMemoria {
 public:
  DiscoCheCambia(std::string percorso, std::string prima, std::string dopo)
      : PiattaformaMemoria("/prova"), percorso_(std::move(percorso)), dopo_(std::move(dopo)) {
    file[percorso_] = std::move(prima);
  }
  bool leggi(const std::string& percorso, std::string* contenuto, std::string* errore) override {
    const bool letto = PiattaformaMemoria::leggi(percorso, contenuto, errore);
    if (percorso == percorso_) file[percorso_] = dopo_;
    return letto;
  }

 private:
  std::string percorso_;
  std::string dopo_;
};

// The editor holds the text in UTF-8; the file on the disk, looked at when a
// source is opened or saved, may show that it was read or saved in UTF-8, or
// that it is UTF-16. What it shows stays at the first line among the
// document's diagnostics, through every edit, until the file is looked at
// again; a file in Windows-1252, or one that holds another text, gets none.
TEST(ScenarioLsp, TheEncodingOfTheFileStaysAmongTheDiagnosticsUntilItChanges) {
  const std::string citta_1252 =
      "[generale]\r\nstazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, "
      "1, 1, 7, 54, 0, Citt\xE0\r\n[fine]\r\n";
  const std::string citta_utf8 = utf8_da_1252(citta_1252);
  std::string citta_utf16 = "\xFF\xFE";
  for (const char c : citta_1252) citta_utf16 += std::string{c, '\0'};
  struct Caso {
    const char* nome;
    std::string sul_disco;
    int gravita;                     // 0: none
    std::vector<std::string> detti;  // the start of the message at each publication
  };
  const std::vector<Caso> casi = {
      {"in Windows-1252", citta_1252, 0, {}},
      {"in UTF-8",
       citta_utf8,
       2,
       {"il file e' in UTF-8", "il file e' in UTF-8", "il file e' in UTF-8", ""}},
      {"in UTF-16",
       citta_utf16,
       1,
       {"il file e' in UTF-16: salvalo come Windows-1252",
        "il file e' in UTF-16: salvalo come Windows-1252",
        "il file e' in UTF-16: salvalo come Windows-1252", ""}},
      {"un altro testo in UTF-8", utf8_da_1252("Citt\xE0\r\n"), 0, {}},
  };
  const std::string percorso = "/prova/" + std::string(test::kSorgenteTreno);
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    // Saved again in Windows-1252 after the edit.
    DiscoCheCambia disco(percorso, c.sul_disco, citta_1252);
    disco.file["/prova/" + std::string(test::kSorgenteLinea)] = testo_righe(dati_linea());
    std::string ingresso;
    // A request after each step: the diagnostics are published before it.
    const auto sopra = [](int id) {
      return richiesta(id, "textDocument/hover", posto(kUriTreno, 1, 0));
    };
    for (const Json& m :
         {inizia(), apri(kUriTreno, citta_utf8), sopra(2), cambia(kUriTreno, 2, 1, 0, 0, " "),
          sopra(3), cambia(kUriTreno, 3, 1, 0, 1, ""), sopra(4),
          notifica("textDocument/didSave", {{"textDocument", {{"uri", kUriTreno}}}}), sopra(5),
          richiesta(6, "shutdown"), notifica("exit")}) {
      ingresso += incornicia(m);
    }
    std::istringstream in(ingresso);
    std::ostringstream out, log;
    ASSERT_EQ(scenario::lsp::servi(in, out, log, &disco, {}), 0) << log.str();
    std::istringstream letto(out.str());
    std::ostringstream niente;
    scenario::lsp::Trasporto t(letto, niente);
    std::string corpo, errore;
    std::vector<std::string> detti;
    while (t.leggi(&corpo, &errore) == scenario::lsp::Trasporto::Esito::messaggio) {
      const Json m = Json::parse(corpo);
      EXPECT_NE(m.value("method", ""), "window/showMessage") << m.dump();
      if (m.value("method", "") != "textDocument/publishDiagnostics" ||
          m["params"]["uri"] != kUriTreno) {
        continue;
      }
      std::string detto;
      for (const Json& d : m["params"]["diagnostics"]) {
        if (d["code"] != "codifica") continue;
        EXPECT_EQ(d["severity"], c.gravita);
        EXPECT_EQ(d["range"]["start"], Json({{"line", 0}, {"character", 0}}));
        detto =
            d["message"].get<std::string>().substr(0, d["message"].get<std::string>().find(','));
      }
      detti.push_back(detto);
    }
    if (c.gravita == 0) {
      EXPECT_EQ(detti, std::vector<std::string>(4, ""));
    } else {
      EXPECT_EQ(detti, c.detti);
    }
  }
}

// A character of the buffer that Windows-1252 lacks is named; one that
// takes no room has the fix that leaves it out, a minus sign the fix that
// writes `-`, each compiled before it is offered.
TEST(ScenarioLsp, ACharacterTheCodePageLacksIsNamedWithItsFix) {
  struct Caso {
    const char* descrizione;
    std::string riga;  // UTF-8, in the line source's body
    const char* nome;
    const char* titolo;   // nullptr: no fix
    const char* scritto;  // the fix's new text
  };
  const Caso casi[] = {
      {"spazio invisibile",
       "pendenza, 3000, \xE2\x80\x8B"
       "5",
       "U+200B spazio invisibile", "togli U+200B spazio invisibile", ""},
      {"segno meno",
       "pendenza, 3000, \xE2\x88\x92"
       "5",
       "U+2212 segno meno", "scrivi `-`", "-"},
      {"freccia in un numero",
       "pendenza, 3000, \xE2\x86\x92"
       "5",
       "U+2192", nullptr, ""},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.descrizione);
    const std::string linea =
        "[generale]\r\nlunghezza percorso, 20000\r\n[curve]\r\n" + k.riga + "\r\n[fine]\r\n";
    Sessione s;
    s.esegui({inizia(), apri(kUriLinea, linea), apri(kUriTreno, treno_utf8()),
              richiesta(2, "textDocument/codeAction",
                        {{"textDocument", {{"uri", kUriLinea}}},
                         {"range",
                          {{"start", {{"line", 3}, {"character", 0}}},
                           {"end", {{"line", 3}, {"character", 30}}}}},
                         {"context", {{"diagnostics", Json::array()}}}}),
              richiesta(3, "shutdown"), notifica("exit")});
    const std::vector<Json> d = s.diagnostici(kUriLinea);
    ASSERT_FALSE(d.empty());
    Json carattere;
    for (const Json& x : d.back()) {
      if (x["code"] == "carattere_non_1252") carattere = x;
    }
    ASSERT_FALSE(carattere.is_null()) << d.back().dump();
    EXPECT_EQ(carattere["message"].get<std::string>().rfind(k.nome, 0), 0u) << carattere.dump();
    EXPECT_EQ(carattere["range"]["start"], Json({{"line", 3}, {"character", 16}}));
    Json azione;
    const Json azioni = s.risposta(2)["result"];
    for (const Json& a : azioni) {
      if (a["diagnostics"][0]["code"] == "carattere_non_1252") azione = a;
    }
    if (k.titolo == nullptr) {
      EXPECT_TRUE(azione.is_null()) << azione.dump();
      continue;
    }
    ASSERT_FALSE(azione.is_null()) << s.risposta(2).dump();
    EXPECT_EQ(azione["title"], k.titolo);
    const Json modifica = azione["edit"]["changes"][kUriLinea][0];
    EXPECT_EQ(modifica["newText"], k.scritto);
    EXPECT_EQ(modifica["range"], carattere["range"]);
  }
}

// A change that cannot be applied whole leaves no half-applied text: the
// document is dropped, the author told by its path, and nothing about it is
// answered or shown from a text that is not the editor's, until it is opened
// again.
TEST(ScenarioLsp, AChangeThatCannotBeAppliedDropsTheDocument) {
  {
    // Committed whole or not at all: the first change of two stays unapplied.
    using scenario::lsp::Posizione;
    scenario::lsp::Documenti documenti;
    documenti.apri("u", "ab\ncd", 1);
    std::string motivo;
    const std::vector<scenario::lsp::Modifica> due = {
        {std::pair{Posizione{0, 0}, Posizione{0, 1}}, "X"},
        {std::pair{Posizione{9, 0}, Posizione{9, 0}}, "Y"}};
    EXPECT_FALSE(documenti.cambia("u", due, 2, scenario::lsp::Codifica::utf16, &motivo));
    EXPECT_EQ(documenti.trova("u")->testo, "ab\ncd");
    EXPECT_EQ(documenti.trova("u")->versione, 1);
    EXPECT_TRUE(documenti.cambia("u", {due[0]}, 2, scenario::lsp::Codifica::utf16, &motivo));
    EXPECT_EQ(documenti.trova("u")->testo, "Xb\ncd");
  }
  const std::string treno = treno_utf8();
  const int righe = riga_di(treno + "\x01", "\x01");
  const auto modifica = [](Json cambiamenti) {
    return notifica("textDocument/didChange",
                    {{"textDocument", {{"uri", kUriTreno}, {"version", 2}}},
                     {"contentChanges", std::move(cambiamenti)}});
  };
  const auto tratto = [](int riga, int da, int a) {
    return Json{{"start", {{"line", riga}, {"character", da}}},
                {"end", {{"line", riga}, {"character", a}}}};
  };
  const Json buona = {{"range", tratto(0, 0, 0)}, {"text", " "}};
  struct Caso {
    const char* nome;
    Json cambiamenti;
    const char* motivo;
  };
  const std::vector<Caso> casi = {
      {"riga oltre il testo",
       Json::array({buona, {{"range", tratto(righe + 5, 0, 1)}, {"text", "x"}}}),
       "l'intervallo arriva alla riga"},
      {"fine prima dell'inizio", Json::array({buona, {{"range", tratto(2, 5, 1)}, {"text", "x"}}}),
       "finisce prima di cominciare"},
      {"testo mancante", Json::array({buona, {{"range", tratto(1, 0, 1)}}}), "malformata"},
      {"posizione negativa", Json::array({{{"range", tratto(1, -1, 1)}, {"text", "x"}}}),
       "intero non negativo"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    Sessione s;
    // On the disk a misspelt keyword: what the buffer no longer shows must
    // not be placed in it.
    std::string sul_disco = testo_righe(dati_treno());
    sul_disco.replace(sul_disco.find("stazione"), 8, "stazoine");
    s.banco.scrivi(test::kSorgenteTreno, sul_disco);
    s.esegui({inizia(), apri(kUriTreno, treno),
              richiesta(2, "textDocument/hover", posto(kUriTreno, 0, 0)), modifica(c.cambiamenti),
              richiesta(3, "textDocument/hover", posto(kUriTreno, 1, 0)), apri(kUriTreno, treno),
              richiesta(4, "textDocument/documentSymbol", {{"textDocument", {{"uri", kUriTreno}}}}),
              richiesta(5, "shutdown"), notifica("exit")});
    EXPECT_EQ(s.stato, 0);
    const auto detto = std::find_if(s.uscita.begin(), s.uscita.end(), [](const Json& m) {
      return m.value("method", "") == "window/showMessage";
    });
    ASSERT_NE(detto, s.uscita.end());
    EXPECT_EQ((*detto)["params"]["type"], 1);
    const std::string m = (*detto)["params"]["message"];
    EXPECT_EQ(m.rfind("/prova/Calvetra_2718 - 5340-.txt: modifica non applicabile", 0), 0u) << m;
    EXPECT_NE(m.find(c.motivo), std::string::npos) << m;
    // Dropped: shown with nothing, asked with nothing; opened again: whole.
    const std::vector<Json> d = s.diagnostici(kUriTreno);
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0], Json::array());
    EXPECT_EQ(d[1], Json::array());
    EXPECT_EQ(d[2], Json::array());
    EXPECT_EQ(s.risposta(3)["result"], nullptr);
    EXPECT_FALSE(s.risposta(4)["result"].empty());
  }
}

// A change that gives no version counts one past the version held; one
// whose version is below it was sent before a change already applied, and
// is refused as any change that does not fit.
TEST(ScenarioLsp, VersionsCountOnAndNeverGoBack) {
  {
    scenario::lsp::Documenti documenti;
    documenti.apri("u", "ab", 5);
    std::string motivo;
    const std::vector<scenario::lsp::Modifica> tutto = {{std::nullopt, "cd"}};
    const auto c = scenario::lsp::Codifica::utf16;
    EXPECT_TRUE(documenti.cambia("u", tutto, std::nullopt, c, &motivo));
    EXPECT_EQ(documenti.trova("u")->versione, 6);
    EXPECT_TRUE(documenti.cambia("u", tutto, 6, c, &motivo)) << "the same version again";
    EXPECT_TRUE(documenti.cambia("u", tutto, 9, c, &motivo));
    EXPECT_FALSE(documenti.cambia("u", {{std::nullopt, "ef"}}, 8, c, &motivo));
    EXPECT_NE(motivo.find("la versione 8 viene prima della 9"), std::string::npos) << motivo;
    EXPECT_EQ(documenti.trova("u")->testo, "cd");
    EXPECT_EQ(documenti.trova("u")->versione, 9);
  }
  const std::string treno = treno_utf8();
  const auto modifica = [&](Json documento) {
    return notifica("textDocument/didChange",
                    {{"textDocument", std::move(documento)},
                     {"contentChanges", Json::array({{{"text", treno}}})}});
  };
  Sessione s;
  s.esegui({inizia(), apri(kUriTreno, treno), modifica({{"uri", kUriTreno}}),
            richiesta(2, "textDocument/hover", posto(kUriTreno, 0, 0)),
            modifica({{"uri", kUriTreno}, {"version", nullptr}}),
            richiesta(3, "textDocument/hover", posto(kUriTreno, 0, 0)),
            modifica({{"uri", kUriTreno}, {"version", 2}}),
            richiesta(4, "textDocument/hover", posto(kUriTreno, 0, 0)), richiesta(5, "shutdown"),
            notifica("exit")});
  std::vector<Json> versioni;
  std::vector<std::string> detti;
  for (const Json& m : s.uscita) {
    if (m.value("method", "") == "textDocument/publishDiagnostics" &&
        m["params"]["uri"] == kUriTreno) {
      versioni.push_back(m["params"].value("version", Json()));
    }
    if (m.value("method", "") == "window/showMessage") detti.push_back(m["params"]["message"]);
  }
  // The first check comes once the open and the first change are both in.
  EXPECT_EQ(versioni, (std::vector<Json>{2, 3, nullptr}));
  ASSERT_EQ(detti.size(), 1u);
  EXPECT_NE(detti[0].find("modifica non applicabile (la versione 2 viene prima della 3"),
            std::string::npos)
      << detti[0];
}

Json intero(const std::string& uri) {
  return {{"textDocument", {{"uri", uri}}},
          {"range",
           {{"start", {{"line", 0}, {"character", 0}}},
            {"end", {{"line", 100000}, {"character", 0}}}}}};
}

// Inlay hints name the columns of the records of more than two fields, at
// the first character of each value; two-field records get none; the option
// turns them off.
TEST(ScenarioLsp, InlayHintsNameTheColumns) {
  const std::string treno = treno_utf8();
  const int rovella = riga_di(treno, "ROVELLA");
  const int velocita = riga_di(treno, "velocita");
  const int segnale = riga_di(treno, "segnale,   13250");
  for (const bool accesi : {true, false}) {
    Sessione s;
    s.esegui({inizia(accesi ? Json(nullptr) : Json({{"nomi_campi", false}})),
              apri(kUriTreno, treno), richiesta(2, "textDocument/inlayHint", intero(kUriTreno)),
              richiesta(3, "shutdown"), notifica("exit")});
    EXPECT_EQ(s.risposta(1)["result"]["capabilities"]["inlayHintProvider"], accesi);
    const Json nomi = s.risposta(2)["result"];
    if (!accesi) {
      EXPECT_EQ(nomi, Json::array());
      continue;
    }
    std::map<int, std::vector<std::string>> per_riga;
    std::map<int, int> primo;
    for (const Json& n : nomi) {
      const int r = n["position"]["line"];
      if (per_riga[r].empty()) primo[r] = n["position"]["character"];
      per_riga[r].push_back(n["label"]);
    }
    EXPECT_EQ(per_riga[rovella].size(), 17u);
    EXPECT_EQ(per_riga[rovella].front(), "posizione:");
    EXPECT_EQ(per_riga[rovella][13], "ore:");
    EXPECT_EQ(per_riga[rovella].back(), "nome:");
    EXPECT_EQ(primo[rovella], static_cast<int>(std::string("stazione,    ").size()));
    EXPECT_EQ(per_riga[segnale].size(), 11u);
    EXPECT_FALSE(per_riga.contains(velocita));
  }
}

// Completion offers keywords only where one can be typed, and each record
// it inserts compiles: a curve with its class, a repetition with its codes;
// a client without snippets gets the keyword and its first comma, never a
// row of empty fields.
TEST(ScenarioLsp, CompletionWhereAKeywordCanStandInsertsRecordsThatCompile) {
  const std::string linea = linea_utf8();
  const std::string treno = treno_utf8();
  const int curve = riga_di(linea, "curvas6");
  const int pendenza = riga_di(linea, "pendenza,  1900");
  const int generale = riga_di(linea, "sfondo uno");
  const int rovella = riga_di(treno, "ROVELLA");
  const int stazioni = riga_di(treno, "[stazioni]");
  struct Caso {
    std::string uri;
    int riga;
    int carattere;
    std::string voce;  // an item expected, "" for none at all
    std::string inserito;
  };
  const std::vector<Caso> casi = {
      {kUriLinea, 0, 0, "", ""},                                       // before the first section
      {kUriLinea, pendenza, 12, "", ""},                               // inside `1900`
      {kUriLinea, pendenza + 1, 11, "", ""},                           // at the start of `2000`
      {kUriTreno, rovella, colonna_di(treno, "ROVELLA") + 2, "", ""},  // in a name
      {kUriTreno, stazioni, 3, "", ""},                                // in a section's name
      {kUriLinea, curve, 0, "curva", "curvad1, "},
      {kUriLinea, pendenza, 0, "pendenza", "pendenza, "},
      {kUriLinea, generale, 0, "ripetizione segnali", "ripetizione segnali 4 codici, "},
      {kUriTreno, rovella, 0, "stazione", "stazione, "},
  };
  std::vector<Json> m = {inizia(), apri(kUriLinea, linea), apri(kUriTreno, treno)};
  for (size_t k = 0; k < casi.size(); ++k) {
    m.push_back(richiesta(static_cast<int>(10 + k), "textDocument/completion",
                          posto(casi[k].uri, casi[k].riga, casi[k].carattere)));
  }
  // The curve as inserted, with its two values typed: nothing to say.
  m.push_back(cambia(kUriLinea, 2, riga_di(linea, "[pendenze]"), 0, 0, "curvad1, 113000, 300\n"));
  m.push_back(richiesta(3, "shutdown"));
  m.push_back(notifica("exit"));
  Sessione s;
  s.esegui(m);
  for (size_t k = 0; k < casi.size(); ++k) {
    const Json voci = s.risposta(static_cast<int>(10 + k))["result"]["items"];
    if (casi[k].voce.empty()) {
      EXPECT_EQ(voci, Json::array()) << k;
      continue;
    }
    const auto v = std::find_if(voci.begin(), voci.end(),
                                [&](const Json& x) { return x["label"] == casi[k].voce; });
    ASSERT_NE(v, voci.end()) << k;
    EXPECT_EQ((*v)["insertText"], casi[k].inserito) << k;
    EXPECT_EQ((*v)["insertTextFormat"], 1) << k;
  }
  const std::vector<Json> d = s.diagnostici(kUriLinea);
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(d.back(), Json::array()) << d.back().dump();
}

// Every catalogue's new record is taken by its own record: the keyword
// inserted is the one the compile recognises.
TEST(ScenarioLsp, EveryInsertedKeywordIsItsOwnRecord) {
  for (const auto& catalogo : {record_linea(), record_treno()}) {
    for (const DescrizioneRecord* d : catalogo) {
      EXPECT_TRUE(d->prova.passa(d->parola_nuova())) << d->nome;
    }
  }
}

// Signature help follows a record being typed anywhere, the last section
// of either source and the end of the text included.
TEST(ScenarioLsp, SignatureHelpWhileARecordIsTyped) {
  struct Caso {
    std::string uri;
    std::string testo;
    std::string riga;  // the line typed, the cursor at its end
    std::string record;
    int campo;
  };
  const std::vector<Caso> casi = {
      {kUriTreno, "[generale]\r\nvelocita, 0, 80\r\n[segnali]\r\nsegnale, 5000, \r\n[fine]\r\n",
       "segnale, 5000, ", "segnale", 1},
      {kUriTreno, "[generale]\r\nvelocita, 0, 80\r\n[segnali]\r\nsegnale, 5000, 1,\r\n",
       "segnale, 5000, 1,", "segnale", 2},
      {kUriTreno, "[generale]\r\nvelocita, 0, 80\r\n[segnali]\r\nsegnale, ", "segnale, ", "segnale",
       0},
      {kUriTreno,
       "[generale]\r\nvelocita, 0, 80\r\n[stazioni]\r\nstazione, 900, 2, 100\r\n[fine]\r\n",
       "stazione, 900, 2, 100", "stazione", 2},
  };
  for (const Caso& c : casi) {
    const int riga = riga_di(c.testo, c.riga);
    Sessione s;
    s.esegui({inizia(), apri(c.uri, c.testo),
              richiesta(2, "textDocument/signatureHelp",
                        posto(c.uri, riga, static_cast<int>(c.riga.size()))),
              richiesta(3, "shutdown"), notifica("exit")});
    const Json f = s.risposta(2)["result"];
    ASSERT_TRUE(f.is_object()) << c.testo;
    EXPECT_EQ(f["signatures"][0]["label"].get<std::string>().substr(0, c.record.size()), c.record)
        << c.testo;
    EXPECT_EQ(f["activeParameter"], c.campo) << c.testo;
  }
}

// Signature help counts the fields at the cursor as the field reader reads
// them: a blank ends a number, a comma or a `;` inside quotes or a keyword
// field separates nothing, a line end (CR LF or a lone CR) ends a record
// being typed. `|` marks the cursor; no signature is -9.
TEST(ScenarioLsp, SignatureHelpCountsFieldsAsTheReaderReadsThem) {
  const std::string treno = "[generale]\r\nvelocita, 0, 80\r\n[segnali]\r\n";
  const std::string linea = "[generale]\r\nlunghezza percorso, 5000\r\n[cartelli]\r\n";
  struct Caso {
    const std::string& uri;
    std::string testo;
    int campo;
  };
  const std::vector<Caso> casi = {
      {kUriTreno, treno + "segnale, 1000 1 2|", 2},
      {kUriTreno, treno + "segnale, 1000 1 2 |", 3},
      {kUriTreno, treno + "segnale, 1000 |1 2", 1},
      {kUriTreno, treno + "segnale, 1000|  1 2", 0},
      {kUriTreno, treno + "segnale, 1000, 1,|", 2},
      {kUriTreno, treno + "segnale, 1000, 1,|\r\n[fine]\r\n", 2},
      {kUriTreno, treno + "segnale; 1000, 2|\r\n", 0},
      {kUriTreno, treno + "|segnale, 1000, 2\r\n", -1},
      {kUriTreno, "[generale]\rvelocita, 0, 80\r[segnali]\rsegnale, 5000, 1|\r[fine]\r", 1},
      {kUriTreno, treno + "segnale, 5000\r\n|2", 1},
      {kUriTreno, treno + "segnale, 5000, 2, 2, 3, 1, 0, 2, 3, 1, 1, 50\r\n|", -9},
      {kUriTreno, treno + "segnale, 5000, 2, 2, 3, 1, 0, 2, 3, 1, 1, 50 |", -9},
      {kUriLinea, linea + "cartello_indicatore, 1000, \"a, |b\"", 1},
      {kUriLinea, linea + "cartello_indicatore, 1000, \"a, b\", |", -9},
      {kUriLinea, linea + "cartello_indicatore, 1000, a b|\r\n", 1},
  };
  for (const Caso& c : casi) {
    const size_t cursore = c.testo.find('|');
    std::string testo = c.testo;
    testo.erase(cursore, 1);
    int riga = 0;
    int colonna = 0;
    for (size_t i = 0; i < cursore; ++i, ++colonna) {
      if (testo[i] == '\n' || (testo[i] == '\r' && testo[i + 1] != '\n')) {
        ++riga;
        colonna = -1;
      }
    }
    Sessione s;
    s.esegui({inizia(), apri(c.uri, testo),
              richiesta(2, "textDocument/signatureHelp", posto(c.uri, riga, colonna)),
              richiesta(3, "shutdown"), notifica("exit")});
    const Json f = s.risposta(2)["result"];
    if (c.campo == -9) {
      EXPECT_TRUE(f.is_null()) << c.testo;
      continue;
    }
    ASSERT_TRUE(f.is_object()) << c.testo;
    EXPECT_EQ(f["activeParameter"], std::max(c.campo, 0)) << c.testo;
  }
}

// A keyword that names several records reads them one after the other:
// each field is the one of the record that reads it, the later record's
// counted from the end of the earlier one's.
TEST(ScenarioLsp, SignatureHelpOfAKeywordThatNamesSeveralRecords) {
  const std::string treno = "[generale]\r\nvelocita aderenza, 1000, 80, 2000, 5\r\n[fine]\r\n";
  const struct {
    const char* dopo;  // the cursor stands after this text
    const char* record;
    int campo;
  } casi[] = {
      {"aderenza, 10", "velocita", 0}, {"1000, 80", "velocita", 1}, {"80, ", "aderenza", 0},
      {"2000", "aderenza", 0},         {"2000, 5", "aderenza", 1},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.dopo);
    const int colonna = static_cast<int>(treno.find(c.dopo) + std::string_view(c.dopo).size() -
                                         treno.find("velocita aderenza"));
    Sessione s;
    s.esegui({inizia(), apri(kUriTreno, treno),
              richiesta(2, "textDocument/signatureHelp", posto(kUriTreno, 1, colonna)),
              richiesta(3, "shutdown"), notifica("exit")});
    const Json f = s.risposta(2)["result"];
    ASSERT_TRUE(f.is_object());
    EXPECT_EQ(f["signatures"][0]["label"].get<std::string>().rfind(c.record, 0), 0u)
        << f["signatures"][0]["label"];
    EXPECT_EQ(f["activeParameter"], c.campo);
  }
}

// The sections of a source as an author sees them: every line that begins
// with `[`, the last one (`[fine]`) closing the one before; from 0.
std::vector<std::pair<int, std::string>> intestazioni(const std::string& testo) {
  std::vector<std::pair<int, std::string>> v;
  int riga = 0;
  for (size_t i = 0; i <= testo.size(); ++riga) {
    const size_t fine = std::min(testo.find_first_of("\r\n", i), testo.size());
    if (i < testo.size() && testo[i] == '[') v.emplace_back(riga, testo.substr(i, fine - i));
    i = fine + (testo.compare(fine, 2, "\r\n") == 0 ? 2 : 1);
  }
  return v;
}

// Every section is in the outline and folds from its header to the line
// before the next header, the last before `[fine]` included; a section of
// one line does not fold. So also for the sections the compile met only
// after it stopped on an error, in either source.
TEST(ScenarioLsp, EverySectionFoldsAndIsOutlinedAlsoPastAStop) {
  struct Caso {
    const char* nome;
    std::string linea;
    std::string treno;
    const std::string* fermato;  // the URI of the source stopped on an error
  };
  const std::string linea = linea_utf8();
  const std::string treno = treno_utf8();
  std::string linea_fermata = linea;
  linea_fermata.replace(linea_fermata.find("pendenza,  1900,"), 16, "pendenza, 900000,");
  std::string treno_fermato = treno;
  treno_fermato.replace(treno_fermato.find("velocita,    2400,"), 18, "velocita, 900000,");
  const Caso casi[] = {
      {"the embedded sources", linea, treno, nullptr},
      {"the train source stopped in [vel_limite]", linea, treno_fermato, &kUriTreno},
      {"the line source stopped in [pendenze], the train source never read", linea_fermata, treno,
       &kUriLinea},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    Sessione s;
    s.esegui({inizia(), apri(kUriLinea, k.linea), apri(kUriTreno, k.treno),
              richiesta(2, "textDocument/foldingRange", {{"textDocument", {{"uri", kUriLinea}}}}),
              richiesta(3, "textDocument/foldingRange", {{"textDocument", {{"uri", kUriTreno}}}}),
              richiesta(4, "textDocument/documentSymbol", {{"textDocument", {{"uri", kUriLinea}}}}),
              richiesta(5, "textDocument/documentSymbol", {{"textDocument", {{"uri", kUriTreno}}}}),
              richiesta(6, "shutdown"), notifica("exit")});
    if (k.fermato != nullptr) {
      const std::vector<Json> d = s.diagnostici(*k.fermato);
      ASSERT_FALSE(d.empty());
      EXPECT_TRUE(std::any_of(d.back().begin(), d.back().end(), [](const Json& x) {
        return x["severity"] == 1;
      })) << "the compile stops on an error";
    }
    for (const auto& [testo, pieghe, simboli] :
         {std::tuple{k.linea, 2, 4}, std::tuple{k.treno, 3, 5}}) {
      const auto sezioni = intestazioni(testo);
      ASSERT_GE(sezioni.size(), 2u);
      std::vector<std::pair<int, int>> attese, trovate;
      std::vector<std::string> nomi, outline;
      for (size_t i = 0; i + 1 < sezioni.size(); ++i) {
        nomi.push_back(sezioni[i].second);
        const int prima = sezioni[i].first, ultima = sezioni[i + 1].first - 1;
        if (ultima > prima) attese.emplace_back(prima, ultima);
      }
      const Json piegato = s.risposta(pieghe)["result"];
      for (const Json& p : piegato) trovate.emplace_back(p["startLine"], p["endLine"]);
      EXPECT_EQ(trovate, attese);
      const Json delineato = s.risposta(simboli)["result"];
      for (const Json& x : delineato) {
        if (x["kind"] == 3) outline.push_back(x["name"]);
      }
      EXPECT_EQ(outline, nomi);
    }
  }
}

// A station named with every byte from 0x80 to 0xFF, opened as an editor
// that reads Windows-1252 holds it: the compile gets every byte back, and the
// hover and the outline show each letter as itself and say the five bytes
// that are no letter.
TEST(ScenarioLsp, EveryWindows1252ByteReadsTheSameInHoverAndOutline) {
  std::string nome = "N";
  for (unsigned b = 0x80; b <= 0xFF; ++b) nome += static_cast<char>(b);
  const std::string treno =
      "[generale]\r\nstazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, "
      "54, 0, " +
      nome + "\r\n[fine]\r\n";
  Sessione s;
  s.esegui({inizia(), apri(kUriTreno, utf8_da_1252(treno)),
            richiesta(2, "textDocument/hover", posto(kUriTreno, 1, 2)),
            richiesta(3, "textDocument/documentSymbol", {{"textDocument", {{"uri", kUriTreno}}}}),
            richiesta(4, "shutdown"), notifica("exit")});
  const std::string letto = scenario::utf8_leggibile(nome);
  ASSERT_NE(letto.find("\xE2\x82\xAC<81>"), std::string::npos) << "the euro sign, then 0x81";
  const std::string hover = s.risposta(2)["result"]["contents"]["value"];
  EXPECT_NE(hover.find("stazione **" + letto + "**"), std::string::npos) << hover;
  std::vector<std::string> stazioni;
  const Json simboli = s.risposta(3)["result"];
  for (const Json& sezione : simboli) {
    for (const Json& r : sezione.value("children", Json::array())) {
      if (r["kind"] == 23) stazioni.push_back(r["name"]);
    }
  }
  EXPECT_EQ(stazioni, std::vector<std::string>{letto});
  // No byte went missing on the way: nothing is said to be outside the code page.
  const std::vector<Json> pubblicati = s.diagnostici(kUriTreno);
  ASSERT_FALSE(pubblicati.empty());
  for (const Json& d : pubblicati.back()) ADD_FAILURE() << d["message"];
}

// One fold a section, from its header to its last line of records.
TEST(ScenarioLsp, FoldingRangesPerSection) {
  const std::string treno = treno_utf8();
  Sessione s;
  s.esegui({inizia(), apri(kUriTreno, treno),
            richiesta(2, "textDocument/foldingRange", {{"textDocument", {{"uri", kUriTreno}}}}),
            richiesta(3, "shutdown"), notifica("exit")});
  std::vector<std::pair<int, int>> pieghe;
  const Json risposta = s.risposta(2)["result"];
  for (const Json& p : risposta) pieghe.emplace_back(p["startLine"], p["endLine"]);
  const auto da_a = [&](const std::string& sezione, const std::string& dopo) {
    return std::pair{riga_di(treno, sezione), riga_di(treno, dopo) - 1};
  };
  EXPECT_EQ(pieghe, (std::vector<std::pair<int, int>>{
                        da_a("[generale]", "[aderenze]"), da_a("[aderenze]", "[vel_limite]"),
                        da_a("[vel_limite]", "[stazioni]"), da_a("[stazioni]", "[rallentamenti]"),
                        da_a("[rallentamenti]", "[segnali]"), da_a("[segnali]", "[codici]")}))
      << "[codici], one line, does not fold";
}

// The outline names every record with its values (a gradient with its sign
// and unit, a sign with its text), and the workspace's symbols find stations
// and signs in both sources.
TEST(ScenarioLsp, TheOutlineAndTheWorkspaceNameRecordsByTheirValues) {
  Sessione s;
  s.esegui({inizia(), apri(kUriLinea, linea_utf8()), apri(kUriTreno, treno_utf8()),
            richiesta(2, "textDocument/documentSymbol", {{"textDocument", {{"uri", kUriLinea}}}}),
            richiesta(3, "workspace/symbol", {{"query", "rovella"}}),
            richiesta(4, "workspace/symbol", {{"query", "galleria"}}), richiesta(5, "shutdown"),
            notifica("exit")});
  std::vector<std::string> nomi;
  const Json simboli = s.risposta(2)["result"];
  for (const Json& sezione : simboli) {
    for (const Json& r : sezione.value("children", Json::array())) nomi.push_back(r["name"]);
  }
  for (const std::string atteso :
       {"curva 0+500 500", "pendenza 1+900 -10 \u2030", "pendenza 2+000 0 \u2030",
        "pendenza 4+500 +2 \u2030", "montagna 87+100 87900 11",
        "cartello_indicatore 1+000 (INIZIO TRATTO )(CORRISPONDENTE)(ALLA REALTA'  )"}) {
    EXPECT_NE(std::find(nomi.begin(), nomi.end(), atteso), nomi.end()) << atteso;
  }
  const Json stazione = s.risposta(3)["result"];
  ASSERT_EQ(stazione.size(), 1u) << stazione.dump();
  EXPECT_EQ(stazione[0]["name"], "ROVELLA");
  EXPECT_EQ(stazione[0]["location"]["uri"], kUriTreno);
  EXPECT_EQ(stazione[0]["containerName"], "[stazioni]");
  const Json gallerie = s.risposta(4)["result"];
  EXPECT_EQ(gallerie.size(), 5u) << gallerie.dump();
  for (const Json& g : gallerie) EXPECT_EQ(g["location"]["uri"], kUriLinea);
}

// Go to definition from a diagnostic's place reaches the compiled record
// its note names (the curve in the way); never the record where the compile
// stopped, and nothing away from a diagnostic.
TEST(ScenarioLsp, DefinitionGoesFromADiagnosticToTheRecordInTheWay) {
  std::string linea = linea_utf8();
  linea.replace(linea.find("curvad3,  2400,"), 15, "curvad3,  700, ");
  std::string treno = treno_utf8();
  treno.replace(treno.find("segnale,   14600,"), 17, "segnale,   13250,");
  const int prima = riga_di(linea, "curvas6");
  const int segnale = riga_di(treno, "segnale,   13250,   2");
  Sessione s;
  s.esegui({inizia(), apri(kUriLinea, linea), apri(kUriTreno, treno),
            richiesta(2, "textDocument/definition", posto(kUriLinea, prima + 1, 3)),
            richiesta(3, "textDocument/definition", posto(kUriLinea, prima + 2, 3)),
            richiesta(4, "textDocument/definition", posto(kUriTreno, segnale, 13)),
            richiesta(5, "shutdown"), notifica("exit")});
  const Json curva = s.risposta(2)["result"];
  ASSERT_EQ(curva.size(), 1u) << curva.dump();
  EXPECT_EQ(curva[0]["uri"], kUriLinea);
  EXPECT_EQ(curva[0]["range"]["start"], Json({{"line", prima}, {"character", 0}}));
  EXPECT_EQ(s.risposta(3)["result"], nullptr);
  for (const Json& l :
       s.risposta(4)["result"].is_null() ? Json::array() : s.risposta(4)["result"]) {
    EXPECT_NE(l["range"]["start"]["line"], segnale + 1) << l.dump();
  }
}

// Semantic tokens: a keyword, its numbers and its text; a passed-over field
// (a misspelt keyword, a value more than its record takes) apart; a value
// read in another's place (from the next line, for a missing comma; a
// column too many) shifted.
// The semantic tokens of a train source, each as "line:column+length type".
std::vector<std::string> gettoni_del_treno(const std::string& treno) {
  Sessione s;
  s.esegui(
      {inizia(), apri(kUriTreno, treno),
       richiesta(2, "textDocument/semanticTokens/full", {{"textDocument", {{"uri", kUriTreno}}}}),
       richiesta(3, "shutdown"), notifica("exit")});
  const Json legenda =
      s.risposta(1)["result"]["capabilities"]["semanticTokensProvider"]["legend"]["tokenTypes"];
  const Json dati = s.risposta(2)["result"]["data"];
  std::vector<std::string> letti;
  int riga = 0;
  int colonna = 0;
  for (size_t k = 0; k + 4 < dati.size(); k += 5) {
    const int dr = dati[k];
    colonna = dr == 0 ? colonna + dati[k + 1].get<int>() : dati[k + 1].get<int>();
    riga += dr;
    letti.push_back(std::to_string(riga) + ":" + std::to_string(colonna) + "+" +
                    std::to_string(dati[k + 2].get<int>()) + " " +
                    legenda[dati[k + 3].get<size_t>()].get<std::string>());
  }
  return letti;
}

TEST(ScenarioLsp, SemanticTokensTellKeywordsValuesAndIgnoredFields) {
  const std::string treno =
      "[generale]\r\nvelocita, 0, 80, 7\r\nstazoine\r\n"
      "stazione, 900, 2, 100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 54, 0, Nord\r\n"
      "velocita, 1000 60\r\nvelocita, 2000,60\r\nvelocita, 3000-60\r\nvelocita, 4000, 70\r\n"
      "stazione, 5000, 2, 100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0, Sud\r\n[fine]\r\n";
  const std::vector<std::string> letti = gettoni_del_treno(treno);
  for (const std::string atteso :
       {"1:0+8 keyword", "1:10+1 number", "1:13+2 number", "1:17+1 comment", "2:0+8 comment",
        "3:0+8 keyword", "3:10+3 number", "3:63+4 string", "4:10+4 number", "4:15+2 number",
        "5:15+2 number", "6:10+7 number", "7:0+8 spostato", "7:10+4 comment", "8:63+1 spostato"}) {
    EXPECT_NE(std::find(letti.begin(), letti.end(), atteso), letti.end()) << atteso;
  }
}

// A value is read from a line after its record's own only where a field
// before it, as the reader took it, ended its line: never inside a quoted
// keyword over two lines, whose values follow its closing quote; also
// after a lone CR, and after the earlier record of a keyword that names two.
TEST(ScenarioLsp, SemanticTokensMoveAValueOnlyPastTheLineEndTheReaderRead) {
  const struct {
    std::string corpo;  // between "[generale]" and "[fine]"
    std::vector<std::string> attesi;
  } casi[] = {
      {"\"velocita\r\nnuova\", 1000, 80\r\n", {"2:8+4 number", "2:14+2 number"}},
      {"velocita, 1000\r\n80\r\n", {"1:10+4 number", "2:0+2 spostato"}},
      {"velocita, 1000\r80\r", {"1:10+4 number", "2:0+2 spostato"}},
      {"velocita aderenza, 1000, 80\r\n2000, 5\r\n",
       {"1:19+4 number", "1:25+2 number", "2:0+4 spostato", "2:6+1 spostato"}},
      {"velocita aderenza, 1000, 80, 2000, 5\r\n",
       {"1:19+4 number", "1:25+2 number", "1:29+4 number", "1:35+1 number"}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.corpo);
    const std::string treno = "[generale]\r\n" + c.corpo + "[fine]\r\n";
    const std::vector<std::string> letti = gettoni_del_treno(treno);
    for (const std::string& atteso : c.attesi) {
      EXPECT_NE(std::find(letti.begin(), letti.end(), atteso), letti.end())
          << atteso << " in " << testing::PrintToString(letti);
    }
  }
}

// Formatting aligns the columns of the records of one kind in a section,
// numbers to the right, and leaves alone what it cannot rewrite without a
// doubt: a line of two records, a value more than its record takes.
TEST(ScenarioLsp, FormattingAlignsTheColumnsOfASection) {
  const std::string treno =
      "[generale]\r\n[vel_limite]\r\nvelocita,   0,  35\r\nvelocita, 2400, 110\r\n"
      "velocita, 26,350, 30\r\n[stazioni]\r\n"
      "stazione, 900, 2, 100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 54, 0, Citt\xC3\xA0 alta\r\n"
      "stazione,  12000, 28, 400, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7,  0, 0, Nord  \r\n[fine]\r\n";
  Sessione s;
  s.esegui({inizia(), apri(kUriTreno, treno),
            richiesta(2, "textDocument/formatting",
                      {{"textDocument", {{"uri", kUriTreno}}},
                       {"options", {{"tabSize", 4}, {"insertSpaces", true}}}}),
            richiesta(3, "shutdown"), notifica("exit")});
  std::map<int, std::string> righe;
  const Json modifiche = s.risposta(2)["result"];
  for (const Json& m : modifiche) {
    EXPECT_EQ(m["range"]["start"]["line"], m["range"]["end"]["line"]) << m.dump();
    EXPECT_EQ(m["range"]["start"]["character"], 0) << m.dump();
    righe[m["range"]["start"]["line"]] = m["newText"];
  }
  EXPECT_EQ(righe, (std::map<int, std::string>{
                       {2, "velocita,    0,  35"},
                       {6,
                        "stazione,   900,  2, 100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 54, 0, "
                        "Citt\xC3\xA0 alta"},
                       {7,
                        "stazione, 12000, 28, 400, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7,  0, 0, "
                        "Nord"}}));
}

// Over every input of the compile fuzz corpus: the formatted sources compile
// to the same model, ending and error as the sources written, and a second
// formatting changes nothing.
TEST(ScenarioLsp, FormattingNeverChangesACompile) {
  size_t quanti = 0;
  size_t riscritti = 0;
  // The models are compared, not the fixes: those are not compiled here.
  const OpzioniCompilazione senza_correzioni{.verifica_correzioni = false};
  const auto formattati = [](const std::string& linea, const std::string& treno) {
    OpzioniCompilazione o;
    o.con_giornale = true;
    o.verifica_correzioni = false;
    const Compilazione c = compila(Sorgente::di(linea), Sorgente::di(treno), {}, o);
    return std::pair{scenario::lsp::applica(
                         linea, scenario::lsp::allinea(linea, c.giornale, FileSorgente::linea)),
                     scenario::lsp::applica(
                         treno, scenario::lsp::allinea(treno, c.giornale, FileSorgente::treno))};
  };
  // Under the sanitizers a compile costs ten times as much: one input in four.
#if defined(__SANITIZE_ADDRESS__)
  constexpr size_t kUnoOgni = 4;
#else
  constexpr size_t kUnoOgni = 1;
#endif
  size_t visti = 0;
  for (const auto& e :
       std::filesystem::directory_iterator(CALVETRA_RADICE + std::string("/fuzz/corpus/compila"))) {
    if (visti++ % kUnoOgni != 0) continue;
    std::ifstream in(e.path(), std::ios::binary);
    const std::string dati((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t nul = dati.find('\0');
    const std::string linea = dati.substr(0, nul);
    const std::string treno = nul == std::string::npos ? "" : dati.substr(nul + 1);
    const std::string nome = e.path().filename().string();
    try {
      const auto [l2, t2] = formattati(linea, treno);
      riscritti += l2 != linea || t2 != treno ? 1 : 0;
      const Compilazione a =
          compila(Sorgente::di(linea), Sorgente::di(treno), {}, senza_correzioni);
      const Compilazione b = compila(Sorgente::di(l2), Sorgente::di(t2), {}, senza_correzioni);
      EXPECT_EQ(a.fine, b.fine) << nome;
      EXPECT_EQ(a.errore_fatale, b.errore_fatale) << nome;
      EXPECT_EQ(a.codice_errore(), b.codice_errore()) << nome;
      EXPECT_EQ(a.posizione_errore(), b.posizione_errore()) << nome;
      EXPECT_EQ(a.modello.tratti, b.modello.tratti) << nome;
      EXPECT_EQ(a.modello.tabella, b.modello.tabella) << nome;
      if (a.scrive_file() && b.scrive_file()) {
        PiattaformaMemoria pa, pb;
        std::string motivo;
        EXPECT_EQ(scrivi_file_binari(&pa, pa.cartella(), {}, a.modello, true, &motivo),
                  scrivi_file_binari(&pb, pb.cartella(), {}, b.modello, true, &motivo));
        EXPECT_TRUE(pa.file == pb.file) << nome;
      }
      EXPECT_EQ(formattati(l2, t2), std::pair(l2, t2)) << nome;
    } catch (const GuastoInatteso&) {
      // The compile fuzz target checks those that end in the core's own failure.
    }
    ++quanti;
  }
  EXPECT_GT(quanti, 1000u / kUnoOgni);
  EXPECT_GT(riscritti, 100u / kUnoOgni);
}

// The English of a text an author reads: the first word of a small list it
// holds, outside `code`; empty for none.
std::string inglese(const std::string& testo) {
  std::string parole = " ";
  bool codice = false;
  for (const char c : testo) {
    if (c == '`') codice = !codice;
    if (codice) continue;
    const auto u = static_cast<unsigned char>(c);
    parole += std::isalpha(u) != 0 ? static_cast<char>(std::tolower(u)) : ' ';
  }
  parole += ' ';
  for (const char* p : {"the", "of", "at most", "else", "holds", "cells"}) {
    if (parole.find(" " + std::string(p) + " ") != std::string::npos) return p;
  }
  return {};
}

// No English reaches an author: the catalogue's labels, explanations and
// storage column, every hover and signature help over both sources of the
// embedded route, and the warnings that name a field.
TEST(ScenarioLsp, NoEnglishReachesAnAuthor) {
  std::vector<std::string> testi;
  for (const auto& elenco : {record_linea(), record_treno()}) {
    for (const DescrizioneRecord* d : elenco) {
      testi.emplace_back(d->effetto);
      for (const CampoRecord& c : d->campi) {
        ASSERT_FALSE(c.etichetta.empty()) << d->nome << " " << c.nome;
        testi.push_back(std::string(c.etichetta) + " | " + std::string(c.intervallo) + " | " +
                        std::string(c.spiegazione) + " | " + testo_deposito(c.deposito) + " | " +
                        nome_formato(c.formato));
      }
    }
  }
  EXPECT_EQ(inglese("the cells from `the`"), "the");  // the check itself
  EXPECT_EQ(inglese("la `cells` di `the`"), "");

  const std::string linea = linea_utf8();
  const std::string treno = treno_utf8();
  std::vector<Json> m = {inizia(), notifica("initialized"), apri(kUriLinea, linea),
                         apri(kUriTreno, treno)};
  int id = 2;
  for (const auto& [uri, testo] : {std::pair{kUriLinea, linea}, std::pair{kUriTreno, treno}}) {
    std::istringstream righe(testo);
    std::string r;
    for (int n = 0; std::getline(righe, r); ++n) {
      // The keyword and the start of each field.
      for (size_t k = 0; k < r.size(); k = r.find(',', k + 1)) {
        const int c = static_cast<int>(k == 0 ? 0 : k + 1);
        m.push_back(richiesta(id++, "textDocument/hover", posto(uri, n, c)));
        m.push_back(richiesta(id++, "textDocument/signatureHelp", posto(uri, n, c)));
        if (k == std::string::npos || r.find(',', k + 1) == std::string::npos) break;
      }
    }
  }
  m.push_back(richiesta(id, "shutdown"));
  m.push_back(notifica("exit"));
  Sessione s;
  s.esegui(m);
  ASSERT_EQ(s.stato, 0) << s.registro;
  int risposte = 0;
  for (const Json& j : s.uscita) {
    if (!j.contains("result") || j["result"].is_null()) continue;
    ++risposte;
    testi.push_back(j["result"].dump());
  }
  EXPECT_GT(risposte, 500);

  // Warnings that name a field or say how it is kept.
  const std::string base = test::sorgente_linea("", "pendenza, 3000, 160\r\n");
  const test::Compilato c(base.c_str(),
                          "[generale]\r\norologio, 25, 75, 0\r\nvelocita, 0, 73\r\n"
                          "segnale, 3000, 3, 1, 1, 1, 0, 0, 0, 0, 0, 50\r\n"
                          "rallentamento, 5000, 30, 10, 0, 0, 0\r\n[fine]\r\n");
  int avvisi = 0;
  for (const Diagnostico& d : c.c.diagnostica.voci()) {
    ++avvisi;
    testi.push_back(d.messaggio);
  }
  EXPECT_GE(avvisi, 5);
  for (const std::string& t : testi) EXPECT_EQ(inglese(t), "") << t;
}

// The system's names of the fields that are no Italian word: `speed`,
// `hours`, `coaches`, `rapp`, `cod_a` (those of one or two letters, `p` or
// `sx`, are left to the reading of the others: they are parts of Italian).
std::set<std::string> nomi_di_sistema() {
  std::set<std::string> etichette;
  std::set<std::string> nomi;
  for (const auto& elenco : {record_linea(), record_treno()}) {
    for (const DescrizioneRecord* d : elenco) {
      for (const CampoRecord& c : d->campi) {
        etichette.insert(std::string(c.etichetta));
        nomi.insert(std::string(c.nome));
      }
    }
  }
  std::set<std::string> r;
  for (const std::string& n : nomi) {
    if (n.size() >= 3 && !etichette.contains(n)) r.insert(n);
  }
  return r;
}

// The first word of `testo` that is a system's name of a field, quoted or
// not; empty for none.
std::string nome_di_sistema(const std::string& testo, const std::set<std::string>& nomi) {
  std::string parola;
  for (size_t i = 0; i <= testo.size(); ++i) {
    const char c = i < testo.size() ? testo[i] : ' ';
    if (std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_') {
      parola += c;
      continue;
    }
    if (nomi.contains(parola)) return parola;
    parola.clear();
  }
  return {};
}

// Inlay hints, signature help and every message the catalogue can produce
// name a field by its Italian label; the system's name is the hover's and
// the documentation's alone.
TEST(ScenarioLsp, SystemNamesStayInHoverAndTheDocumentation) {
  const std::set<std::string> nomi = nomi_di_sistema();
  EXPECT_TRUE(nomi.contains("speed") && nomi.contains("coaches") && nomi.contains("minutes"));
  EXPECT_EQ(nome_di_sistema("ore (`hours`)", nomi), "hours");  // the check itself
  EXPECT_EQ(nome_di_sistema("la velocita' massima", nomi), "");

  std::vector<std::string> testi;
  const std::string linea = linea_utf8();
  const std::string treno = treno_utf8();
  std::vector<Json> m = {inizia(), apri(kUriLinea, linea), apri(kUriTreno, treno),
                         richiesta(2, "textDocument/inlayHint", intero(kUriLinea)),
                         richiesta(3, "textDocument/inlayHint", intero(kUriTreno))};
  int id = 4;
  for (const auto& [uri, testo] : {std::pair{kUriLinea, linea}, std::pair{kUriTreno, treno}}) {
    std::istringstream righe(testo);
    std::string r;
    for (int n = 0; std::getline(righe, r); ++n) {
      m.push_back(richiesta(id++, "textDocument/signatureHelp", posto(uri, n, 0)));
      m.push_back(richiesta(id++, "textDocument/completion", posto(uri, n, 0)));
    }
  }
  m.push_back(richiesta(id, "shutdown"));
  m.push_back(notifica("exit"));
  Sessione s;
  s.esegui(m);
  ASSERT_EQ(s.stato, 0) << s.registro;
  // What the editor shows of each answer: the hints' labels, the
  // signatures' labels and explanations, the completions' details.
  size_t suggerimenti = 0;
  for (const Json& j : s.uscita) {
    if (!j.contains("result") || (!j["result"].is_object() && !j["result"].is_array())) continue;
    const Json& r = j["result"];
    if (r.is_array()) {
      for (const Json& h : r) testi.push_back(h.value("label", ""));
      suggerimenti += r.size();
    } else if (r.contains("signatures")) {
      for (const Json& f : r["signatures"]) {
        testi.push_back(f.value("label", "") + " | " + f.value("documentation", ""));
        for (const Json& p : f["parameters"]) testi.push_back(p["documentation"]["value"]);
      }
    } else if (r.contains("items")) {
      for (const Json& v : r["items"]) {
        testi.push_back(v.value("detail", "") + " | " + v.value("insertText", ""));
      }
    }
  }
  EXPECT_GT(suggerimenti, 500u);

  // Every message of a value its field keeps otherwise, of every field of
  // every record: each record written with one value at a time set to
  // values its field may not keep as written, or its record may keep
  // otherwise together with the others.
  for (const auto& [elenco, della_linea] :
       {std::pair{record_linea(), true}, std::pair{record_treno(), false}}) {
    for (const DescrizioneRecord* d : elenco) {
      for (size_t k = 0; k < d->campi.size(); ++k) {
        for (const char* valore : {"-5", "3", "112", "498", "1000", "70000", "2.5"}) {
          std::string riga(d->parola_nuova());
          for (size_t i = 0; i < d->campi.size(); ++i) {
            const bool testo = d->campi[i].formato == Formato::testo;
            riga += ", " + std::string(i == k ? valore : i == 0 ? "3000" : testo ? "NORD" : "1");
          }
          // A line record in the header and in the body: where it belongs it
          // is read, in the other place it is passed over, and said so.
          const std::string l = della_linea ? test::sorgente_linea(riga + "\r\n", riga + "\r\n")
                                            : test::sorgente_linea("", "");
          const std::string t =
              della_linea ? test::kTrenoVuoto : test::sorgente_treno(riga + "\r\n");
          try {
            const Compilazione c = compila(Sorgente::di(l), Sorgente::di(t), {});
            for (const Diagnostico& x : c.diagnostica.voci()) {
              testi.push_back(x.messaggio);
              for (const Nota& n : x.note) testi.push_back(n.testo);
            }
          } catch (const GuastoInatteso&) {
          }
        }
      }
      // What the record keeps of its values together.
      if (d->conserva == nullptr) continue;
      for (const int64_t v : {-5, 0, 3, 112, 498, 1000}) {
        for (size_t k = 0; k < d->campi.size(); ++k) {
          std::vector<int64_t> valori(d->campi.size(), 1);
          valori[0] = 4000;
          valori[k] = v;
          for (const Conservato& c : d->conserva(valori)) testi.push_back(c.messaggio);
        }
      }
    }
  }
  // A file that ends inside a record.
  const test::Compilato corto(test::sorgente_linea("", "").c_str(), "[generale]\r\nvelocita, 3000");
  for (const Diagnostico& x : corto.c.diagnostica.voci()) {
    for (const Nota& n : x.note) testi.push_back(n.testo);
  }
  EXPECT_GT(testi.size(), 1000u);
  for (const std::string& t : testi) {
    EXPECT_EQ(nome_di_sistema(t, nomi), "") << t;
    EXPECT_EQ(inglese(t), "") << t;
  }
}

}  // namespace
}  // namespace calvetra
