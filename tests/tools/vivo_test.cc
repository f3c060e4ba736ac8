// The live page's server: the refusals of its table of requests over real
// sockets on the loopback (the server lives on after each), the bound on
// event streams, and `scenario lsp --vista` driven by a client in process
// through pipes while a browser's requests reach its page.
#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <ext/stdio_filebuf.h>
#include <filesystem>
#include <istream>
#include <mutex>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "content/righe.h"
#include "content/testi.h"
#include "scenario/comune/compilato.h"
#include "scenario/comune/json.h"
#include "scenario/comune/testo.h"
#include "scenario/lsp/server.h"
#include "scenario/lsp/trasporto.h"
#include "scenario/vivo/servizio.h"
#include "scenario/vivo/sorveglia.h"
#include "support/cartella_temporanea.h"
#include "support/scadenza.h"
#include "support/tubo.h"
#include "tools/http_prova.h"
#include "tools/scenario_prova.h"

namespace calvetra {
namespace {

using scenario::Json;
using scenario::vivo::Servizio;
using test::Connessione;
using test::richiesta_http;
using test::Scadenza;
namespace vivo = scenario::vivo;

// The page's request to open a place in the editor, with `luogo` as its body.
std::string richiesta_apri(const std::string& percorso, const std::string& host,
                           const Json& luogo) {
  const std::string corpo = luogo.dump();
  return richiesta_http("POST", percorso, host,
                        "Content-Type: application/json\r\nContent-Length: " +
                            std::to_string(corpo.size()) + "\r\n") +
         corpo;
}

TEST(ScenarioVivo, EveryRequestOutsideThePageIsRefusedAndTheServerLivesOn) {
  const Scadenza scadenza(20, "the table of refusals over the loopback");
  Servizio s;
  std::string errore;
  ASSERT_TRUE(s.avvia(&errore)) << errore;
  s.pubblica({{"linea", "Calvetra"}});
  const std::string host = "127.0.0.1:" + std::to_string(s.porta());
  const std::string t = "/" + s.gettone() + "/";
  // A token wrong in its first character only, and in its last only.
  std::string altro_gettone = s.gettone();
  altro_gettone[0] = altro_gettone[0] == 'a' ? 'b' : 'a';
  std::string altra_coda = s.gettone();
  altra_coda.back() = altra_coda.back() == 'a' ? 'b' : 'a';
  const std::string porta = std::to_string(s.porta());
  constexpr std::string_view kGuasto = R"({"file":"Calvetra_linea.txt","riga":1,"x":})";
  const std::string json = "Content-Type: application/json\r\n";
  const std::string guasto = json + "Content-Length: " + std::to_string(kGuasto.size()) + "\r\n";
  const std::string mega = json + "Content-Length: 1048576\r\n";
  constexpr std::string_view kLuogo = R"({"file":"Calvetra_linea.txt","riga":1})";
  const auto luogo = [&](const std::string& intestazioni) {
    return richiesta_http(
               "POST", t + "apri", host,
               intestazioni + "Content-Length: " + std::to_string(kLuogo.size()) + "\r\n") +
           std::string(kLuogo);
  };
  std::string righe_64, righe_65;
  for (int i = 0; i < 62; ++i) righe_64 += "X-Riga-" + std::to_string(i) + ": a\r\n";
  righe_65 = righe_64 + "X-Una-Di-Troppo: a\r\n";
  struct Caso {
    const char* nome;
    std::string richiesta;
    int stato;
  };
  const std::vector<Caso> casi = {
      {"the page", richiesta_http("GET", t, host), 200},
      {"the page by the name localhost",
       richiesta_http("GET", t, "localhost:" + std::to_string(s.porta())), 200},
      {"no token", richiesta_http("GET", "/", host), 404},
      {"no token, the stream", richiesta_http("GET", "/eventi", host), 404},
      {"a token wrong in its first character",
       richiesta_http("GET", "/" + altro_gettone + "/", host), 404},
      {"a token wrong in its last character", richiesta_http("GET", "/" + altra_coda + "/", host),
       404},
      {"the stream under a token wrong in its last character",
       richiesta_http("GET", "/" + altra_coda + "/eventi", host), 404},
      {"the token without its slash", richiesta_http("GET", "/" + s.gettone(), host), 404},
      {"Host: evil.example", richiesta_http("GET", t, "evil.example"), 403},
      {"Host: localhost.evil.example", richiesta_http("GET", t, "localhost.evil.example"), 403},
      {"Host: 127.0.0.1.evil.example", richiesta_http("GET", t, "127.0.0.1.evil.example"), 403},
      {"Host: localhost:PORT.evil", richiesta_http("GET", t, "localhost:" + porta + ".evil"), 403},
      {"Host: 127.0.0.1:PORT.evil.example",
       richiesta_http("GET", t, "127.0.0.1:" + porta + ".evil.example"), 403},
      {"Host: the right name with no port", richiesta_http("GET", t, "127.0.0.1"), 403},
      {"Host: the right name on another port", richiesta_http("GET", t, "127.0.0.1:1"), 403},
      {"no Host", "GET " + t + " HTTP/1.0\r\n\r\n", 403},
      {"a POST without the token", richiesta_http("POST", "/apri", host, mega), 404},
      {"a POST of 1 MB", richiesta_http("POST", t + "apri", host, mega), 413},
      {"a POST to the page", richiesta_http("POST", t, host), 405},
      {"a GET of the POST", richiesta_http("GET", t + "apri", host), 405},
      {"a PUT", richiesta_http("PUT", t, host), 405},
      {"a path with ..", richiesta_http("GET", t + "../Calvetra_linea.txt", host), 404},
      {"a path with .. escaped", richiesta_http("GET", t + "%2e%2e/%2e%2e/etc/passwd", host), 404},
      {"a source name", richiesta_http("GET", t + "Calvetra_linea.txt", host), 404},
      {"a source name with its blanks",
       richiesta_http("GET", t + "Calvetra_2718%20-%205340-.txt", host), 404},
      {"a file of the disk", richiesta_http("GET", "/etc/passwd", host), 404},
      {"a place that is no place",
       richiesta_http("POST", t + "apri", host, guasto) + std::string(kGuasto), 400},
      // No editor behind this server: a place read whole finds none to open.
      {"a place, from the page itself", luogo(json + "Origin: http://" + host + "\r\n"), 404},
      {"a place, from a client that names no origin", luogo(json), 404},
      {"a place, from another site", luogo(json + "Origin: http://evil.example\r\n"), 403},
      {"a place, from the page by another name",
       luogo(json + "Origin: http://localhost:" + std::to_string(s.porta()) + "\r\n"), 403},
      {"a place as a form of another site",
       luogo("Content-Type: text/plain\r\nOrigin: http://evil.example\r\n"), 415},
      {"a place as a form", luogo("Content-Type: application/x-www-form-urlencoded\r\n"), 415},
      {"a place with no type", luogo(""), 415},
      {"a place, its type with a charset",
       luogo("Content-Type: Application/JSON; charset=utf-8\r\n"), 404},
      {"two Hosts", richiesta_http("GET", t, host, "Host: " + host + "\r\n"), 400},
      {"two Hosts, the second elsewhere", richiesta_http("GET", t, host, "Host: evil.example\r\n"),
       400},
      // With the Host and Connection lines: 64 and 65 in all.
      {"64 header lines", richiesta_http("GET", t, host, righe_64), 200},
      {"65 header lines", richiesta_http("GET", t, host, righe_65), 431},
      {"a head of 16 KB and more",
       richiesta_http("GET", t, host, "X-Lungo: " + std::string(16384, 'a') + "\r\n"), 431},
      {"no HTTP at all", "\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03\r\n\r\n", 400},
      {"a body on a GET, sent whole",
       richiesta_http("GET", t, host, "Content-Length: 5\r\n") + "abcde", 200},
  };
  for (const Caso& c : casi) {
    Connessione k(s.porta());
    ASSERT_TRUE(k.connesso()) << c.nome;
    k.invia(c.richiesta);
    EXPECT_EQ(k.stato(), c.stato) << c.nome;
    k.leggi_fino("\r\n\r\n");
    EXPECT_EQ(k.letto().find("Access-Control"), std::string::npos) << c.nome;
    // Every answer, the refusals too.
    for (const char* intestazione :
         {"Cache-Control: no-store\r\n", "X-Content-Type-Options: nosniff\r\n",
          "Referrer-Policy: no-referrer\r\n"}) {
      EXPECT_NE(k.letto().find(intestazione), std::string::npos) << c.nome << ": " << k.letto();
    }
    // The server lives on.
    Connessione dopo(s.porta());
    dopo.invia(richiesta_http("GET", t, host));
    EXPECT_EQ(dopo.stato(), 200) << "after " << c.nome;
  }
}

TEST(ScenarioVivo, SixteenStreamsAtOnceTheSeventeenthRefusedUntilOneCloses) {
  const Scadenza scadenza(20, "sixteen streams and a seventeenth");
  Servizio s;
  std::string errore;
  ASSERT_TRUE(s.avvia(&errore)) << errore;
  s.pubblica({{"linea", "Calvetra"}});
  const std::string host = "127.0.0.1:" + std::to_string(s.porta());
  const std::string eventi = "/" + s.gettone() + "/eventi";
  std::vector<std::unique_ptr<Connessione>> flussi;
  for (int i = 0; i < 16; ++i) {
    flussi.push_back(std::make_unique<Connessione>(s.porta()));
    flussi.back()->invia(richiesta_http("GET", eventi, host));
    ASSERT_TRUE(flussi.back()->leggi_fino("event: modello\ndata: {\"linea\":\"Calvetra\"}"))
        << "stream " << i + 1 << " gets the state";
  }
  {
    Connessione diciassettesimo(s.porta());
    diciassettesimo.invia(richiesta_http("GET", eventi, host));
    EXPECT_EQ(diciassettesimo.stato(), 503);
  }
  // Every open stream gets the next state.
  s.pubblica({{"linea", "Nuova"}});
  for (auto& f : flussi) EXPECT_TRUE(f->leggi_fino("{\"linea\":\"Nuova\"}"));
  flussi.pop_back();
  // The server sees the stream gone at its next write.
  s.pubblica_fatale("sorgente mancante");
  for (auto& f : flussi) EXPECT_TRUE(f->leggi_fino("event: fatale\ndata: {\"messaggio\""));
  bool accolto = false;
  for (int prova = 0; prova < 50 && !accolto; ++prova) {
    Connessione k(s.porta());
    k.invia(richiesta_http("GET", eventi, host));
    accolto = k.stato() == 200;
    if (!accolto) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(accolto) << "a stream closed makes room for another";
}

// The checks of a request by themselves, at their edges: a Host that only
// begins like the loopback's, a token one character off at either end, a
// path one character off the three that exist.
TEST(ScenarioVivo, TheRequestChecksAtTheirEdges) {
  const std::string g = "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff";
  const std::string t = "/" + g + "/";
  const std::string prima = "/1" + g.substr(1) + "/";
  const std::string ultima = "/" + g.substr(0, g.size() - 1) + "e/";
  constexpr int kPorta = 8080;
  struct Caso {
    const char* metodo;
    std::string percorso;
    const char* host;
    int stato;
    vivo::Via via;
  };
  using vivo::Via;
  const Caso casi[] = {
      {"GET", t, "127.0.0.1:8080", 0, Via::pagina},
      {"GET", t, "localhost:8080", 0, Via::pagina},
      {"GET", t + "eventi", "127.0.0.1:8080", 0, Via::eventi},
      {"POST", t + "apri", "localhost:8080", 0, Via::apri},
      {"GET", t, "localhost.evil.example", 403, Via::pagina},
      {"GET", t, "127.0.0.1.evil.example", 403, Via::pagina},
      {"GET", t, "localhost:8080.evil", 403, Via::pagina},
      {"GET", t, "127.0.0.1:8080.evil.example", 403, Via::pagina},
      {"GET", t, "127.0.0.1:80800", 403, Via::pagina},
      {"GET", t, "127.0.0.1:808", 403, Via::pagina},
      {"GET", t, "evil.example:8080", 403, Via::pagina},
      {"GET", t, "127.0.0.1", 403, Via::pagina},
      {"GET", t, "", 403, Via::pagina},
      {"GET", prima, "127.0.0.1:8080", 404, Via::pagina},
      {"GET", ultima, "127.0.0.1:8080", 404, Via::pagina},
      {"GET", ultima + "eventi", "127.0.0.1:8080", 404, Via::pagina},
      {"POST", ultima + "apri", "127.0.0.1:8080", 404, Via::pagina},
      {"GET", "/" + g.substr(1) + "/", "127.0.0.1:8080", 404, Via::pagina},
      {"GET", "/" + g + "0/", "127.0.0.1:8080", 404, Via::pagina},
      {"GET", "/" + g, "127.0.0.1:8080", 404, Via::pagina},
      {"GET", t + "eventi/", "127.0.0.1:8080", 404, Via::pagina},
      {"GET", t + "event", "127.0.0.1:8080", 404, Via::pagina},
      {"GET", "/" + g + "//eventi", "127.0.0.1:8080", 404, Via::pagina},
      {"GET", t + "../" + g + "/", "127.0.0.1:8080", 404, Via::pagina},
      {"GET", t + "apri", "127.0.0.1:8080", 405, Via::apri},
      {"POST", t, "127.0.0.1:8080", 405, Via::pagina},
      {"POST", t + "eventi", "127.0.0.1:8080", 405, Via::eventi},
      {"get", t, "127.0.0.1:8080", 405, Via::pagina},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(std::string(k.metodo) + " " + k.percorso + " Host: " + k.host);
    const vivo::Verdetto v = vivo::esamina(k.metodo, k.percorso, k.host, g, kPorta);
    EXPECT_EQ(v.stato, k.stato);
    if (k.stato == 0 || k.stato == 405) {
      EXPECT_EQ(v.via, k.via);
    }
  }
}

// The place a click asks to open: a line and a column from 1, a file named;
// anything else is no place.
TEST(ScenarioVivo, APlaceToOpenHasALineAndAColumnFromOne) {
  struct Caso {
    const char* corpo;
    bool valido;
    int64_t riga;
    int64_t colonna;
  };
  const Caso casi[] = {
      {R"({"file":"a.txt","riga":1,"colonna":1})", true, 1, 1},
      {R"({"file":"a.txt","riga":7})", true, 7, 1},
      {R"({"file":"a.txt","riga":2147483648,"colonna":2147483648})", true, 2147483648, 2147483648},
      {R"({"file":"a.txt","riga":0,"colonna":1})", false, 0, 0},
      {R"({"file":"a.txt","riga":-1,"colonna":1})", false, 0, 0},
      {R"({"file":"a.txt","riga":-9223372036854775808})", false, 0, 0},
      {R"({"file":"a.txt","riga":18446744073709551615})", false, 0, 0},
      {R"({"file":"a.txt","riga":2147483649})", false, 0, 0},
      {R"({"file":"a.txt","riga":1,"colonna":0})", false, 0, 0},
      {R"({"file":"a.txt","riga":1,"colonna":-3})", false, 0, 0},
      {R"({"file":"a.txt","riga":1.5})", false, 0, 0},
      {R"({"file":"a.txt","riga":"1"})", false, 0, 0},
      {R"({"file":"a.txt","riga":1e300})", false, 0, 0},
      {R"({"file":"a.txt"})", false, 0, 0},
      {R"({"file":"","riga":1})", false, 0, 0},
      {R"({"file":3,"riga":1})", false, 0, 0},
      {R"({"riga":1})", false, 0, 0},
      {R"([{"file":"a.txt","riga":1}])", false, 0, 0},
      {R"({"file":"a.txt","riga":1)", false, 0, 0},
      {"", false, 0, 0},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.corpo);
    const std::optional<vivo::LuogoDaAprire> l = vivo::leggi_luogo(k.corpo);
    ASSERT_EQ(l.has_value(), k.valido);
    if (!l) continue;
    EXPECT_EQ(l->file, "a.txt");
    EXPECT_EQ(l->riga, k.riga);
    EXPECT_EQ(l->colonna, k.colonna);
  }
}

// A POST /apri over the loopback: a line of 0 or below never reaches the
// editor; a place that is one does, once.
TEST(ScenarioVivo, OpenRefusesLineZeroAndNegativeLinesBeforeTheEditorHearsOfThem) {
  const Scadenza scadenza(20, "the requests to open a place");
  std::atomic<int> aperti{0};
  Servizio s({}, [&](const vivo::LuogoDaAprire&) {
    ++aperti;
    return true;
  });
  std::string errore;
  ASSERT_TRUE(s.avvia(&errore)) << errore;
  const std::string host = "127.0.0.1:" + std::to_string(s.porta());
  const std::string apri = "/" + s.gettone() + "/apri";
  struct Caso {
    const char* corpo;
    int stato;
  };
  const Caso casi[] = {
      {R"({"file":"Calvetra_linea.txt","riga":0,"colonna":1})", 400},
      {R"({"file":"Calvetra_linea.txt","riga":-1,"colonna":1})", 400},
      {R"({"file":"Calvetra_linea.txt","riga":-2147483648})", 400},
      {R"({"file":"Calvetra_linea.txt","riga":1,"colonna":1})", 204},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.corpo);
    const int prima = aperti;
    Connessione c(s.porta());
    ASSERT_TRUE(c.connesso());
    c.invia(richiesta_apri(apri, host, Json::parse(k.corpo)));
    EXPECT_EQ(c.stato(), k.stato);
    EXPECT_EQ(aperti - prima, k.stato == 204 ? 1 : 0);
  }
}

// The watch of a real directory: a save closed, a save by rename and a
// deletion each wake it once, a burst of saves once in all, another file
// never; a signal ends it.
TEST(ScenarioVivo, TheWatchFollowsSavesRenamesAndDeletionsOnceABurstAndEndsOnASignal) {
  test::PiattaformaDiProva d;
  const std::string cartella = std::filesystem::path(d.file("x")).parent_path().string();
  vivo::Sorveglianza w;
  std::string errore;
  ASSERT_TRUE(w.apri(cartella, {"Calvetra_linea.txt"}, &errore)) << errore;
  using Evento = vivo::Sorveglianza::Evento;
  // Each wait has a deadline of its own: a watch that misses an event fails
  // here in seconds, naming the event.
  const auto attendi = [&](const char* cosa) {
    Scadenza s(5, std::string("the watch, waiting for ") + cosa);
    return w.attendi();
  };
  const auto fine = [&] {
    chiedi_fine(pthread_self());
    return attendi("the end asked");
  };

  d.scrivi_file("Calvetra_linea.txt", "[generale]\r\n");
  EXPECT_EQ(attendi("a save"), Evento::salvato);
  d.scrivi_file(".Calvetra_linea.txt.swp", "a");
  d.scrivi_file("altro.txt", "b");
  std::filesystem::rename(d.file(".Calvetra_linea.txt.swp"), d.file("Calvetra_linea.txt"));
  EXPECT_EQ(attendi("a save by rename"), Evento::salvato);
  std::filesystem::remove(d.file("Calvetra_linea.txt"));
  EXPECT_EQ(attendi("a deletion"), Evento::salvato);
  for (int k = 0; k < 20; ++k) d.scrivi_file("Calvetra_linea.txt", std::to_string(k));
  EXPECT_EQ(attendi("a burst of saves"), Evento::salvato);
  d.scrivi_file("altro.txt", "c");
  EXPECT_EQ(fine(), Evento::fine) << "the burst woke it once; another file never";
}

// ---- scenario lsp --vista, a client in process ----

std::string incornicia(const Json& m) {
  const std::string corpo = m.dump();
  return "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo;
}

// The server on a thread of its own, between two pipes; what it sends is
// read on another thread and kept in order.
class ClienteInProcesso {
 public:
  explicit ClienteInProcesso(const scenario::lsp::OpzioniServer& o) {
    banco_.scrivi(test::kSorgenteLinea, testo_righe(dati_linea()));
    banco_.scrivi(test::kSorgenteTreno, testo_righe(dati_treno()));
    int a[2], b[2];
    if (!test::tubo(a) || !test::tubo(b)) return;
    scrivi_ = a[1];
    server_ = std::thread([this, o, in = a[0], out = b[1]] {
      __gnu_cxx::stdio_filebuf<char> bin(in, std::ios::in);
      __gnu_cxx::stdio_filebuf<char> bout(out, std::ios::out);
      std::istream is(&bin);
      std::ostream os(&bout);
      std::ostringstream log;
      scenario::lsp::servi(is, os, log, &banco_.disco, o);
    });
    lettore_ = std::thread([this, in = b[0]] {
      __gnu_cxx::stdio_filebuf<char> bin(in, std::ios::in);
      std::istream is(&bin);
      std::ostringstream niente;
      scenario::lsp::Trasporto t(is, niente);
      std::string corpo, errore;
      while (t.leggi(&corpo, &errore) == scenario::lsp::Trasporto::Esito::messaggio) {
        const std::lock_guard<std::mutex> l(m_);
        arrivati_.push_back(Json::parse(corpo));
        c_.notify_all();
      }
    });
  }
  ~ClienteInProcesso() {
    invia({{"jsonrpc", "2.0"}, {"method", "exit"}});
    test::chiudi_estremo(scrivi_);
    server_.join();
    lettore_.join();
  }
  void invia(const Json& m) {
    const std::string s = incornicia(m);
    ASSERT_TRUE(test::scrivi_tutto(scrivi_, s));
  }
  // Sends request `id` and waits for its answer (null after 5 s).
  Json chiedi(int id, const std::string& metodo, Json parametri = Json::object()) {
    invia({{"jsonrpc", "2.0"}, {"id", id}, {"method", metodo}, {"params", std::move(parametri)}});
    return attendi([id](const Json& m) { return m.value("id", Json()) == id; });
  }
  // The page's address, asked by request `id`: its port, its path (with the
  // token) and the Host it takes.
  struct Pagina {
    int porta = 0;
    std::string percorso;
    std::string host;
  };
  Pagina pagina(int id) {
    const std::string url =
        chiedi(id, "workspace/executeCommand", {{"command", "scenario.vista"}})["result"]["url"];
    const std::string prefisso = "http://127.0.0.1:";
    Pagina p;
    p.porta = std::stoi(url.substr(prefisso.size()));
    p.percorso = url.substr(url.find('/', prefisso.size()));
    p.host = "127.0.0.1:" + std::to_string(p.porta);
    return p;
  }
  // The first message not yet taken that `vale` accepts; null after
  // `limite` (0: among those already come).
  template <typename F>
  Json attendi(F vale, std::chrono::milliseconds limite = std::chrono::seconds(5)) {
    std::unique_lock<std::mutex> l(m_);
    Json trovato;
    c_.wait_for(l, limite, [&] {
      for (auto i = arrivati_.begin(); i != arrivati_.end(); ++i) {
        if (vale(*i)) {
          trovato = *i;
          arrivati_.erase(i);
          return true;
        }
      }
      return false;
    });
    return trovato;
  }

 private:
  test::Banco banco_;
  int scrivi_ = -1;
  std::mutex m_;
  std::condition_variable c_;
  std::deque<Json> arrivati_;
  std::thread server_;
  std::thread lettore_;
};

TEST(ScenarioLspVista, AddressUnsavedTextOnThePageAndAClickOpensTheRecord) {
  const Scadenza scadenza(20, "lsp --vista, from initialize to shutdown");
  scenario::lsp::OpzioniServer o;
  o.vista = true;
  ClienteInProcesso c(o);
  Json capacita;
  capacita["window"]["showDocument"]["support"] = true;
  c.invia({{"jsonrpc", "2.0"},
           {"id", 1},
           {"method", "initialize"},
           {"params", {{"rootUri", "file:///prova"}, {"capabilities", capacita}}}});
  const Json iniziato = c.attendi([](const Json& m) { return m.value("id", Json()) == 1; });
  ASSERT_TRUE(iniziato.contains("result")) << iniziato.dump();
  EXPECT_EQ(iniziato["result"]["capabilities"]["executeCommandProvider"]["commands"][0],
            "scenario.vista");
  c.invia({{"jsonrpc", "2.0"}, {"method", "initialized"}, {"params", Json::object()}});
  // The client is asked to open the page in the browser.
  const Json mostra =
      c.attendi([](const Json& m) { return m.value("method", "") == "window/showDocument"; });
  ASSERT_FALSE(mostra.is_null());
  EXPECT_EQ(mostra["params"]["external"], true);

  c.invia({{"jsonrpc", "2.0"},
           {"id", 2},
           {"method", "workspace/executeCommand"},
           {"params", {{"command", "scenario.vista"}, {"arguments", Json::array()}}}});
  const Json risposta = c.attendi([](const Json& m) { return m.value("id", Json()) == 2; });
  const std::string url = risposta["result"]["url"].get<std::string>();
  EXPECT_EQ(url, mostra["params"]["uri"]);
  const std::string prefisso = "http://127.0.0.1:";
  ASSERT_EQ(url.compare(0, prefisso.size(), prefisso), 0) << url;
  const int porta = std::stoi(url.substr(prefisso.size()));
  const std::string percorso = url.substr(url.find('/', prefisso.size()));
  EXPECT_GE(percorso.size(), 2u + 32u) << "at least 128 bits of token";
  const std::string host = "127.0.0.1:" + std::to_string(porta);

  // The page's stream: first the sources from the disk.
  Connessione flusso(porta);
  flusso.invia(richiesta_http("GET", percorso + "eventi", host));
  ASSERT_TRUE(flusso.leggi_fino("SAN LORENZO"));

  // An unsaved edit reaches the page.
  std::string treno = utf8_da_1252(testo_righe(dati_treno()));
  const size_t stazione = treno.find("SAN LORENZO");
  ASSERT_NE(stazione, std::string::npos);
  treno.replace(stazione, 11, "SAN LORENZO NUOVO");
  const std::string uri_treno = "file:///prova/Calvetra_2718%20-%205340-.txt";
  const Json documento = {
      {"uri", uri_treno}, {"languageId", "scenario"}, {"version", 1}, {"text", treno}};
  c.invia({{"jsonrpc", "2.0"},
           {"method", "textDocument/didOpen"},
           {"params", {{"textDocument", documento}}}});
  EXPECT_TRUE(flusso.leggi_fino("SAN LORENZO NUOVO"));

  // A click on the station's place in the page: the editor shows its line.
  int riga = 1;
  for (size_t i = 0; i < stazione; ++i) riga += treno[i] == '\n' ? 1 : 0;
  Connessione clic(porta);
  clic.invia(
      richiesta_apri(percorso + "apri", host,
                     {{"file", "Calvetra_2718 - 5340-.txt"}, {"riga", riga}, {"colonna", 1}}));
  EXPECT_EQ(clic.stato(), 204);
  const Json apri = c.attendi([](const Json& m) {
    return m.value("method", "") == "window/showDocument" && !m["params"].contains("external");
  });
  ASSERT_FALSE(apri.is_null());
  EXPECT_EQ(apri["params"]["uri"], uri_treno);
  EXPECT_EQ(apri["params"]["takeFocus"], true);
  EXPECT_EQ(apri["params"]["selection"]["start"]["line"], riga - 1);
  EXPECT_EQ(apri["params"]["selection"]["end"]["line"], riga - 1);
  EXPECT_GT(apri["params"]["selection"]["end"]["character"].get<int>(), 40);

  // A place in neither source opens nothing.
  Connessione altro(porta);
  const std::string fuori = Json({{"file", "../../etc/passwd"}, {"riga", 1}}).dump();
  altro.invia(richiesta_http("POST", percorso + "apri", host,
                             "Content-Type: application/json\r\nContent-Length: " +
                                 std::to_string(fuori.size()) + "\r\n") +
              fuori);
  EXPECT_EQ(altro.stato(), 404);

  c.invia({{"jsonrpc", "2.0"}, {"id", 3}, {"method", "shutdown"}});
  EXPECT_FALSE(c.attendi([](const Json& m) { return m.value("id", Json()) == 3; }).is_null());
}

// The page draws from the check the editor's features read: an edit is
// compiled once with the page on, and a hover asks for no compile of its own.
TEST(ScenarioLspVista, AnEditIsCompiledOnceForTheDiagnosticsThePageAndTheHover) {
  const Scadenza scadenza(30, "lsp --vista, three edits");
  scenario::lsp::OpzioniServer o;
  o.vista = true;
  ClienteInProcesso c(o);
  c.invia({{"jsonrpc", "2.0"},
           {"id", 1},
           {"method", "initialize"},
           {"params", {{"rootUri", "file:///prova"}, {"capabilities", Json::object()}}}});
  ASSERT_FALSE(c.attendi([](const Json& m) { return m.value("id", Json()) == 1; }).is_null());
  c.invia({{"jsonrpc", "2.0"}, {"method", "initialized"}, {"params", Json::object()}});
  const ClienteInProcesso::Pagina pagina = c.pagina(2);
  Connessione flusso(pagina.porta);
  flusso.invia(richiesta_http("GET", pagina.percorso + "eventi", pagina.host));
  ASSERT_TRUE(flusso.leggi_fino("SAN LORENZO"));

  const std::string uri = "file:///prova/Calvetra_2718%20-%205340-.txt";
  const std::string treno = utf8_da_1252(testo_righe(dati_treno()));
  const size_t stazione = treno.find("SAN LORENZO");
  ASSERT_NE(stazione, std::string::npos);
  const auto con_nome = [&](int k) {
    return std::string(treno).replace(stazione, 11, "SAN LORENZO " + std::to_string(k));
  };
  const auto diagnosi = [](const Json& m) {
    return m.value("method", "") == "textDocument/publishDiagnostics";
  };
  c.invia(
      {{"jsonrpc", "2.0"},
       {"method", "textDocument/didOpen"},
       {"params",
        {{"textDocument",
          {{"uri", uri}, {"languageId", "scenario"}, {"version", 1}, {"text", con_nome(1)}}}}}});
  ASSERT_TRUE(flusso.leggi_fino("SAN LORENZO 1"));
  while (!c.attendi(diagnosi, std::chrono::milliseconds(500)).is_null()) {
  }
  const uint64_t prima = scenario::ScenarioCompilato::compilazioni();
  for (int k = 2; k <= 4; ++k) {
    c.invia({{"jsonrpc", "2.0"},
             {"method", "textDocument/didChange"},
             {"params",
              {{"textDocument", {{"uri", uri}, {"version", k}}},
               {"contentChanges", Json::array({{{"text", con_nome(k)}}})}}}});
    ASSERT_TRUE(flusso.leggi_fino("SAN LORENZO " + std::to_string(k)));
    ASSERT_FALSE(c.attendi(diagnosi).is_null());
    const Json hover =
        c.chiedi(10 + k, "textDocument/hover",
                 {{"textDocument", {{"uri", uri}}}, {"position", {{"line", 0}, {"character", 0}}}});
    ASSERT_TRUE(hover.contains("result")) << hover.dump();
    EXPECT_EQ(scenario::ScenarioCompilato::compilazioni() - prima, static_cast<uint64_t>(k - 1))
        << "after edit " << k;
  }
  c.invia({{"jsonrpc", "2.0"}, {"id", 3}, {"method", "shutdown"}});
  EXPECT_FALSE(c.attendi([](const Json& m) { return m.value("id", Json()) == 3; }).is_null());
}

TEST(ScenarioLspVista, WithoutItTheCommandSaysHowToTurnItOn) {
  const Scadenza scadenza(20, "lsp without --vista, from initialize to shutdown");
  ClienteInProcesso c({});
  c.invia({{"jsonrpc", "2.0"},
           {"id", 1},
           {"method", "initialize"},
           {"params", {{"rootUri", "file:///prova"}, {"capabilities", Json::object()}}}});
  c.attendi([](const Json& m) { return m.value("id", Json()) == 1; });
  c.invia({{"jsonrpc", "2.0"},
           {"id", 2},
           {"method", "workspace/executeCommand"},
           {"params", {{"command", "scenario.vista"}}}});
  const Json r = c.attendi([](const Json& m) { return m.value("id", Json()) == 2; });
  ASSERT_TRUE(r.contains("error")) << r.dump();
  EXPECT_NE(r["error"]["message"].get<std::string>().find("--vista"), std::string::npos);
  c.invia({{"jsonrpc", "2.0"}, {"id", 3}, {"method", "shutdown"}});
  c.attendi([](const Json& m) { return m.value("id", Json()) == 3; });
}

// A click on the page selects its line whole in the editor, whatever ends
// the source's lines (CR LF, a lone CR, a lone LF) and in either position
// encoding; a line past the end of the source opens nothing.
TEST(ScenarioLspVista, AClickSelectsExactlyItsLineWithEveryLineEnd) {
  const Scadenza scadenza(40, "the clicks on every kind of line end");
  // One line holds an accented letter: one UTF-16 unit, two UTF-8 bytes.
  const std::vector<std::string> righe = {
      "[generale]", "velocita, 0, 80",
      "[stazioni]", "stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, CITT\u00c0 ",
      "[fine]",     ""};
  const std::string uri_treno = "file:///prova/Calvetra_2718%20-%205340-.txt";
  for (const bool utf8 : {false, true}) {
    for (const std::string a_capo : {"\r\n", "\r", "\n"}) {
      SCOPED_TRACE(std::string(utf8 ? "utf-8, " : "utf-16, ") + (a_capo == "\r\n" ? "CR LF"
                                                                 : a_capo == "\r" ? "CR"
                                                                                  : "LF"));
      scenario::lsp::OpzioniServer o;
      o.vista = true;
      ClienteInProcesso c(o);
      Json capacita;
      capacita["window"]["showDocument"]["support"] = true;
      if (utf8) capacita["general"]["positionEncodings"] = {"utf-8"};
      c.chiedi(1, "initialize", {{"rootUri", "file:///prova"}, {"capabilities", capacita}});
      const ClienteInProcesso::Pagina pagina = c.pagina(2);
      const int porta = pagina.porta;
      const std::string& percorso = pagina.percorso;
      const std::string& host = pagina.host;

      std::string testo;
      for (size_t k = 0; k < righe.size(); ++k) {
        testo += righe[k] + (k + 1 < righe.size() ? a_capo : "");
      }
      const Json documento = {
          {"uri", uri_treno}, {"languageId", "scenario"}, {"version", 1}, {"text", testo}};
      c.invia({{"jsonrpc", "2.0"},
               {"method", "textDocument/didOpen"},
               {"params", {{"textDocument", documento}}}});
      // The click goes to the text the page shows.
      Connessione flusso(porta);
      flusso.invia(richiesta_http("GET", percorso + "eventi", host));
      ASSERT_TRUE(flusso.leggi_fino("CITT\u00c0"));

      const auto clic = [&](int riga) {
        Connessione k(porta);
        k.invia(richiesta_apri(
            percorso + "apri", host,
            {{"file", "Calvetra_2718 - 5340-.txt"}, {"riga", riga}, {"colonna", 1}}));
        return k.stato();
      };
      for (size_t k = 0; k < righe.size(); ++k) {
        const int riga = static_cast<int>(k) + 1;
        SCOPED_TRACE(riga);
        ASSERT_EQ(clic(riga), 204);
        const Json apri = c.attendi([](const Json& m) {
          return m.value("method", "") == "window/showDocument" &&
                 !m["params"].contains("external");
        });
        ASSERT_FALSE(apri.is_null());
        EXPECT_EQ(apri["params"]["uri"], uri_treno);
        const size_t larghezza =
            utf8 ? righe[k].size()
                 : static_cast<size_t>(std::count_if(righe[k].begin(), righe[k].end(), [](char x) {
                     return (static_cast<unsigned char>(x) & 0xC0) != 0x80;
                   }));
        EXPECT_EQ(apri["params"]["selection"],
                  Json({{"start", {{"line", k}, {"character", 0}}},
                        {"end", {{"line", k}, {"character", larghezza}}}}));
      }
      EXPECT_EQ(clic(static_cast<int>(righe.size()) + 1), 404) << "a line past the end";
      EXPECT_EQ(clic(1000), 404) << "a line far past the end";
      c.chiedi(3, "shutdown");
    }
  }
}

// The sockets this process holds open.
int prese_aperte() {
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code errore;
    const std::string bersaglio = std::filesystem::read_symlink(e.path(), errore).string();
    n += bersaglio.starts_with("socket:") ? 1 : 0;
  }
  return n;
}

// With the page forbidden (as the fuzzer runs the server), neither the
// option, nor initializationOptions, nor the command opens a port.
TEST(ScenarioLspVista, WithThePageForbiddenNoOptionOpensAPort) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no /proc/self/fd to count a process's sockets by";
#endif
  const Scadenza scadenza(20, "lsp with the page forbidden");
  const int prima = prese_aperte();
  scenario::lsp::OpzioniServer o;
  o.vista = true;
  o.vista_permessa = false;
  ClienteInProcesso c(o);
  Json capacita;
  capacita["window"]["showDocument"]["support"] = true;
  c.chiedi(1, "initialize",
           {{"rootUri", "file:///prova"},
            {"capabilities", capacita},
            {"initializationOptions", {{"vista", true}}}});
  c.invia({{"jsonrpc", "2.0"}, {"method", "initialized"}, {"params", Json::object()}});
  const Json r = c.chiedi(2, "workspace/executeCommand", {{"command", "scenario.vista"}});
  EXPECT_TRUE(r.contains("error")) << r.dump();
  EXPECT_EQ(prese_aperte(), prima);
  c.chiedi(3, "shutdown");
  // Nothing asked the editor to open a page (all it sent has come by the
  // answer to shutdown).
  EXPECT_TRUE(
      c.attendi([](const Json& m) { return m.value("method", "") == "window/showDocument"; },
                std::chrono::milliseconds(0))
          .is_null());
}

}  // namespace
}  // namespace calvetra
