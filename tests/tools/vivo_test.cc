// The live page's server: the refusals of its table of requests over real
// sockets on the loopback (the server lives on after each), the bound on
// event streams, and `scenario lsp --vista` driven by a client in process
// through pipes while a browser's requests reach its page.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

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
#include "scenario/comune/json.h"
#include "scenario/comune/testo.h"
#include "scenario/lsp/server.h"
#include "scenario/lsp/trasporto.h"
#include "scenario/vivo/servizio.h"
#include "scenario/vivo/sorveglia.h"
#include "support/cartella_temporanea.h"
#include "tools/http_prova.h"
#include "tools/scenario_prova.h"

namespace calvetra {
namespace {

using scenario::Json;
using scenario::vivo::Servizio;
using test::Connessione;
using test::richiesta_http;
namespace vivo = scenario::vivo;

TEST(ScenarioVivo, EveryRequestOutsideThePageIsRefusedAndTheServerLivesOn) {
  Servizio s;
  std::string errore;
  ASSERT_TRUE(s.avvia(&errore)) << errore;
  s.pubblica({{"linea", "Calvetra"}});
  const std::string host = "127.0.0.1:" + std::to_string(s.porta());
  const std::string t = "/" + s.gettone() + "/";
  std::string altro_gettone = s.gettone();
  altro_gettone[0] = altro_gettone[0] == 'a' ? 'b' : 'a';
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
      {"a wrong token", richiesta_http("GET", "/" + altro_gettone + "/", host), 404},
      {"the token without its slash", richiesta_http("GET", "/" + s.gettone(), host), 404},
      {"Host: evil.example", richiesta_http("GET", t, "evil.example"), 403},
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
  const auto fine = [&] {
    pthread_kill(pthread_self(), SIGTERM);
    return w.attendi();
  };

  d.scrivi_file("Calvetra_linea.txt", "[generale]\r\n");
  EXPECT_EQ(w.attendi(), Evento::salvato);
  d.scrivi_file(".Calvetra_linea.txt.swp", "a");
  d.scrivi_file("altro.txt", "b");
  std::filesystem::rename(d.file(".Calvetra_linea.txt.swp"), d.file("Calvetra_linea.txt"));
  EXPECT_EQ(w.attendi(), Evento::salvato) << "a save by rename";
  std::filesystem::remove(d.file("Calvetra_linea.txt"));
  EXPECT_EQ(w.attendi(), Evento::salvato) << "a deletion";
  for (int k = 0; k < 20; ++k) d.scrivi_file("Calvetra_linea.txt", std::to_string(k));
  EXPECT_EQ(w.attendi(), Evento::salvato) << "a burst";
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
    if (pipe(a) != 0 || pipe(b) != 0) return;
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
    close(scrivi_);
    server_.join();
    lettore_.join();
  }
  void invia(const Json& m) {
    const std::string s = incornicia(m);
    ASSERT_EQ(write(scrivi_, s.data(), s.size()), static_cast<ssize_t>(s.size()));
  }
  // The first message not yet taken that `vale` accepts; null after 5 s.
  template <typename F>
  Json attendi(F vale) {
    std::unique_lock<std::mutex> l(m_);
    Json trovato;
    c_.wait_for(l, std::chrono::seconds(5), [&] {
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
  std::string treno = scenario::utf8_da_1252(testo_righe(dati_treno()));
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
  const std::string corpo =
      Json({{"file", "Calvetra_2718 - 5340-.txt"}, {"riga", riga}, {"colonna", 1}}).dump();
  clic.invia(richiesta_http("POST", percorso + "apri", host,
                            "Content-Type: application/json\r\nContent-Length: " +
                                std::to_string(corpo.size()) + "\r\n") +
             corpo);
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

TEST(ScenarioLspVista, WithoutItTheCommandSaysHowToTurnItOn) {
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

}  // namespace
}  // namespace calvetra
