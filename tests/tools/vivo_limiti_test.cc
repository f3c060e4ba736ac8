// The live page's server against clients that break the rules on purpose,
// over real sockets on the loopback: each is refused or cut off, and the
// page is still answered within a second after it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ext/stdio_filebuf.h>
#include <filesystem>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/sorveglianza.h"
#include "scenario/comandi/view.h"
#include "scenario/vivo/servizio.h"
#include "support/cartella_temporanea.h"
#include "support/margine.h"
#include "support/tubo.h"
#include "tools/http_prova.h"
#include "tools/scenario_prova.h"

namespace calvetra {
namespace {

using scenario::vivo::OpzioniServizio;
using scenario::vivo::Servizio;
using test::Connessione;
using test::richiesta_http;
using Orologio = std::chrono::steady_clock;

std::string host_di(const Servizio& s) { return "127.0.0.1:" + std::to_string(s.porta()); }

// The page, asked for now, comes within a second.
void la_pagina_entro_un_secondo(const Servizio& s, const char* dopo) {
  const auto inizio = Orologio::now();
  Connessione k(s.porta());
  ASSERT_TRUE(k.connesso()) << dopo;
  k.invia(richiesta_http("GET", "/" + s.gettone() + "/", host_di(s)));
  EXPECT_EQ(k.stato(), 200) << dopo;
  EXPECT_LT(Orologio::now() - inizio, test::con_margine(std::chrono::seconds(1))) << dopo;
}

// A server with a state published, whose clicks are counted.
struct Banco {
  explicit Banco(OpzioniServizio o = {})
      : s(o, [this](const scenario::vivo::LuogoDaAprire&) {
          ++aperti;
          return true;
        }) {
    std::string errore;
    avviato = s.avvia(&errore);
    EXPECT_TRUE(avviato) << errore;
    s.pubblica({{"linea", "Calvetra"}});
  }
  std::string base() const { return "/" + s.gettone() + "/"; }

  std::atomic<int> aperti{0};
  Servizio s;
  bool avviato = false;
};

TEST(ScenarioVivoLimiti, ASecondServerOnThePortIsRefusedWithTheReason) {
  Banco b;
  ASSERT_TRUE(b.avviato);
  OpzioniServizio stessa;
  stessa.porta = b.s.porta();
  Servizio secondo(stessa);
  std::string errore;
  ASSERT_FALSE(secondo.avvia(&errore));
  EXPECT_NE(errore.find("porta " + std::to_string(b.s.porta()) +
                        " di 127.0.0.1 non disponibile (gia' in uso)"),
            std::string::npos)
      << errore;

  // The command ends with status 1 and the message, and prints no address.
  test::PiattaformaDiProva d;
  d.scrivi_file(test::kSorgenteLinea, "[generale]\r\n");
  d.scrivi_file(test::kSorgenteTreno, "[generale]\r\n");
  const std::string cartella = std::filesystem::path(d.file("x")).parent_path().string();
  test::Esito e{};
  std::atomic<bool> finito{false};
  std::thread comando([&] {
    e = test::esegui(&d, scenario::comando_view,
                     {"--serve", "--porta", std::to_string(b.s.porta()), cartella});
    finito = true;
  });
  // Were it to serve, it would wait for a signal: one ends it.
  const auto inizio = Orologio::now();
  while (!finito && Orologio::now() - inizio < std::chrono::seconds(3)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!finito) chiedi_fine(comando.native_handle());
  comando.join();
  EXPECT_EQ(e.stato, 1);
  EXPECT_EQ(e.uscita, "");
  EXPECT_NE(e.errori.find("gia' in uso"), std::string::npos) << e.errori;
  la_pagina_entro_un_secondo(b.s, "a second server");
}

TEST(ScenarioVivoLimiti, SixtyMegabytesOfHeadersEndAt16KB) {
  Banco b;
  ASSERT_TRUE(b.avviato);
  Connessione k(b.s.porta());
  std::atomic<size_t> inviati{0};
  std::thread invio([&] {
    if (!k.invia("GET " + b.base() + " HTTP/1.1\r\nHost: " + host_di(b.s) + "\r\n")) return;
    const std::string blocco = [] {
      std::string r;
      while (r.size() < 65536) r += "X-Riempitivo: " + std::string(100, 'a') + "\r\n";
      return r;
    }();
    while (inviati < (size_t{60} << 20) && k.invia(blocco)) inviati += blocco.size();
  });
  EXPECT_EQ(k.stato(), 431);
  EXPECT_TRUE(k.leggi_fino_alla_chiusura()) << "the server closes, whatever is still sent";
  invio.join();
  la_pagina_entro_un_secondo(b.s, "60 MB of headers");
}

// 24 clients trickle a byte at a time and never end their heads: the page is
// answered as if they were not there, and each is cut off at the one
// deadline of its whole request, however steadily it sends.
TEST(ScenarioVivoLimiti, SlowClientsNeitherHoldThePageNorOutliveTheirDeadline) {
  OpzioniServizio o;
  o.secondi_richiesta = 1;
  Banco b(o);
  ASSERT_TRUE(b.avviato);
  std::vector<std::unique_ptr<Connessione>> lenti;
  for (int i = 0; i < 24; ++i) {
    lenti.push_back(std::make_unique<Connessione>(b.s.porta()));
    ASSERT_TRUE(lenti.back()->invia("GET " + b.base() + " HTTP/1.1\r\n"));
  }
  std::atomic<bool> basta{false};
  std::atomic<int> rifiutati{0};
  std::thread goccia([&] {
    std::vector<bool> chiuso(lenti.size());
    while (!basta) {
      for (size_t i = 0; i < lenti.size(); ++i) {
        if (!chiuso[i] && !lenti[i]->invia("X")) {
          chiuso[i] = true;
          ++rifiutati;
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  });
  la_pagina_entro_un_secondo(b.s, "24 slow clients");
  // Each is closed near its deadline though it never stopped sending.
  const auto inizio = Orologio::now();
  for (auto& k : lenti) EXPECT_TRUE(k->leggi_fino_alla_chiusura());
  EXPECT_LT(Orologio::now() - inizio, test::con_margine(std::chrono::milliseconds(2500)));
  basta = true;
  goccia.join();
  EXPECT_EQ(lenti.front()->letto(), "") << "cut off, not answered";
  la_pagina_entro_un_secondo(b.s, "the slow clients cut off");
}

std::string blocchi(size_t byte) {
  std::string corpo;
  const std::string pezzo(4000, 'a');
  while (corpo.size() < byte) corpo += "fa0\r\n" + pezzo + "\r\n";
  return corpo + "0\r\n\r\n";
}

TEST(ScenarioVivoLimiti, AChunkedBodyCountsAgainstTheLimit) {
  Banco b;
  ASSERT_TRUE(b.avviato);
  const std::string testa = "POST " + b.base() + "apri HTTP/1.1\r\nHost: " + host_di(b.s) +
                            "\r\nContent-Type: application/json\r\n"
                            "Transfer-Encoding: chunked\r\n\r\n";
  struct Caso {
    const char* nome;
    std::string corpo;
  };
  for (const Caso& c : {Caso{"1 MB in chunks of 4000 bytes", blocchi(size_t{1} << 20)},
                        Caso{"one chunk said to be of 1 MB", "100000\r\n" + std::string(4096, 'a')},
                        Caso{"two chunks of 2049 bytes", blocchi(4098)}}) {
    Connessione k(b.s.porta());
    std::thread invio([&] { k.invia(testa + c.corpo); });
    EXPECT_EQ(k.stato(), 413) << c.nome;
    invio.join();
  }
  EXPECT_EQ(b.aperti, 0);
  la_pagina_entro_un_secondo(b.s, "chunked bodies");
}

// What a page of another site can send without asking first (a form, or a
// fetch "no-cors") opens nothing; the page's own request does.
TEST(ScenarioVivoLimiti, ACrossSiteFormOpensNothing) {
  Banco b;
  ASSERT_TRUE(b.avviato);
  const std::string json = R"({"file":"Calvetra_linea.txt","riga":3})";
  struct Caso {
    const char* nome;
    std::string tipo;
    std::string origine;
    std::string corpo;
    int stato;
  };
  const std::vector<Caso> casi = {
      {"a form", "application/x-www-form-urlencoded", "http://evil.example",
       "file=Calvetra_linea.txt&riga=3", 415},
      {"a form of JSON as text", "text/plain", "http://evil.example", json, 415},
      {"a multipart form", "multipart/form-data; boundary=x", "http://evil.example", json, 415},
      {"JSON from another site", "application/json", "http://evil.example", json, 403},
      {"JSON from a page opened from disk", "application/json", "null", json, 403},
      {"JSON from the page itself", "application/json", "http://" + host_di(b.s), json, 204},
  };
  for (const Caso& c : casi) {
    Connessione k(b.s.porta());
    k.invia(richiesta_http("POST", b.base() + "apri", host_di(b.s),
                           "Content-Type: " + c.tipo + "\r\nOrigin: " + c.origine +
                               "\r\nContent-Length: " + std::to_string(c.corpo.size()) + "\r\n") +
            c.corpo);
    EXPECT_EQ(k.stato(), c.stato) << c.nome;
  }
  EXPECT_EQ(b.aperti, 1) << "only the page's own request";
  la_pagina_entro_un_secondo(b.s, "cross-site forms");
}

// A reader that leaves frees its stream's place at once, with no state
// published to find it gone: quick reloads never lock the page out.
TEST(ScenarioVivoLimiti, AStreamClosedFreesItsPlaceAtOnce) {
  Banco b;
  ASSERT_TRUE(b.avviato);
  const std::string eventi = richiesta_http("GET", b.base() + "eventi", host_di(b.s));
  const auto apri_flusso = [&](Connessione* k) {
    k->invia(eventi);
    return k->leggi_fino("event: modello");
  };
  std::vector<std::unique_ptr<Connessione>> flussi;
  for (int i = 0; i < 16; ++i) {
    flussi.push_back(std::make_unique<Connessione>(b.s.porta()));
    ASSERT_TRUE(apri_flusso(flussi.back().get())) << "stream " << i + 1;
  }
  {
    Connessione diciassettesimo(b.s.porta());
    diciassettesimo.invia(eventi);
    EXPECT_EQ(diciassettesimo.stato(), 503);
  }
  flussi.clear();
  // 17 reloads, each a stream opened and closed.
  for (int i = 0; i < 17; ++i) {
    bool aperto = false;
    const auto inizio = Orologio::now();
    while (!aperto && Orologio::now() - inizio < std::chrono::seconds(1)) {
      Connessione k(b.s.porta());
      aperto = apri_flusso(&k);
    }
    ASSERT_TRUE(aperto) << "reload " << i + 1 << " within a second";
  }
  const auto inizio = Orologio::now();
  bool aperto = false;
  std::vector<std::unique_ptr<Connessione>> tenuti;
  while (!aperto && Orologio::now() - inizio < std::chrono::seconds(1)) {
    tenuti.push_back(std::make_unique<Connessione>(b.s.porta()));
    aperto = apri_flusso(tenuti.back().get());
  }
  EXPECT_TRUE(aperto) << "one more accepted at once";
  la_pagina_entro_un_secondo(b.s, "streams opened and closed");
}

// The page may run only its own inline script and style, named by their
// hash (the browser tests run it so), and reach only its own server; its
// data ride in a block that is never run.
TEST(ScenarioVivoLimiti, ThePageRunsOnlyItsOwnScriptAndStyle) {
  Banco b;
  ASSERT_TRUE(b.avviato);
  Connessione k(b.s.porta());
  k.invia(richiesta_http("GET", b.base(), host_di(b.s)));
  ASSERT_EQ(k.stato(), 200);
  ASSERT_TRUE(k.leggi_fino("</html>"));
  const std::string& r = k.letto();
  const size_t politica = r.find("\r\nContent-Security-Policy: ");
  ASSERT_NE(politica, std::string::npos);
  const std::string p = r.substr(politica + 2, r.find("\r\n", politica + 2) - politica - 2);
  EXPECT_NE(p.find("default-src 'none'; script-src 'sha256-"), std::string::npos) << p;
  EXPECT_NE(p.find("; style-src 'sha256-"), std::string::npos) << p;
  EXPECT_NE(p.find("; connect-src 'self'"), std::string::npos) << p;
  EXPECT_EQ(p.find("unsafe"), std::string::npos) << p;
  const auto conta = [&](const std::string& t) {
    size_t n = 0;
    for (size_t i = r.find(t); i != std::string::npos; i = r.find(t, i + 1)) ++n;
    return n;
  };
  EXPECT_EQ(conta("<script>"), 1u) << "one script that runs";
  EXPECT_EQ(conta("<script"), 2u) << "and the data's block";
  EXPECT_EQ(conta("<style>"), 1u);
  EXPECT_EQ(conta(" style=\""), 0u) << "no style attribute: the policy would refuse it";
}

// The end waits for no client: not for a head half sent, nor a stream open.
TEST(ScenarioVivoLimiti, TheEndWaitsForNoClient) {
  Banco b;
  ASSERT_TRUE(b.avviato);
  Connessione lento(b.s.porta());
  lento.invia("GET " + b.base() + " HTTP/1.1\r\nHo");
  Connessione flusso(b.s.porta());
  flusso.invia(richiesta_http("GET", b.base() + "eventi", host_di(b.s)));
  ASSERT_TRUE(flusso.leggi_fino("event: modello"));
  const auto inizio = Orologio::now();
  b.s.ferma();
  EXPECT_LT(Orologio::now() - inizio, test::con_margine(std::chrono::milliseconds(500)));
}

// A line source of `righe` warning lines (gradients written with a unit)
// on the 1000000 m route, and a train source with stations and speeds.
void scrivi_sorgenti_di_avvisi(test::PiattaformaDiProva& d, int righe) {
  std::string linea = "[generale]\r\nlunghezza percorso,  1000000\r\n[pendenze]\r\n";
  for (int i = 0; i < righe; ++i) {
    linea += "pendenza,  " + std::to_string(1900 + 9 * i) + ",   2 m\r\n";
  }
  d.scrivi_file(test::kSorgenteLinea, linea + "[fine]\r\n");
  std::string treno = "[generale]\r\nnumero vetture, 3\r\naderenza, 0, 100\r\n";
  for (int i = 0; i < 330; ++i) {
    treno += "velocita, " + std::to_string(500 + 3000 * i) + ", 80\r\n";
  }
  for (int k = 0; k < 70; ++k) {
    treno += "stazione, " + std::to_string(10000 + 12000 * k) +
             ", 28, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0, LUOGO\r\n";
  }
  d.scrivi_file(test::kSorgenteTreno, treno + "[fine]\r\n");
}

std::string cartella_di(const test::PiattaformaDiProva& d) {
  return std::filesystem::path(d.file("x")).parent_path().string();
}

// `scenario view --serve` on a thread of its own, its first line (the
// address) read from a pipe as it comes.
class ServizioInProcesso {
 public:
  explicit ServizioInProcesso(test::PiattaformaDiProva& d) {
    int p[2];
    if (!test::tubo(p)) return;
    lettura_ = fdopen(p[0], "r");
    filo_ = std::thread([this, &d, scrittura = p[1]] {
      __gnu_cxx::stdio_filebuf<char> buffer(scrittura, std::ios::out);
      std::ostream out(&buffer);
      std::ostringstream err;
      stato_ = scenario::comando_view({&d, out, err, false, ""}, {"--serve", cartella_di(d)});
      finito_ = Orologio::now();
    });
    char riga[512] = {};
    if (lettura_ != nullptr && std::fgets(riga, sizeof riga, lettura_) != nullptr)
      indirizzo_ = riga;
  }
  ~ServizioInProcesso() {
    if (filo_.joinable()) {
      chiedi_fine(filo_.native_handle());
      filo_.join();
    }
    if (lettura_ != nullptr) std::fclose(lettura_);
  }
  const std::string& indirizzo() const { return indirizzo_; }
  // The end asked of the command's thread (SIGTERM on POSIX); how long it
  // took to end.
  Orologio::duration termina() {
    const auto inizio = Orologio::now();
    chiedi_fine(filo_.native_handle());
    filo_.join();
    return finito_ - inizio;
  }
  int stato() const { return stato_; }

 private:
  std::FILE* lettura_ = nullptr;
  std::string indirizzo_;
  std::thread filo_;
  int stato_ = -1;
  Orologio::time_point finito_;
};

// 100,000 warning lines: the page comes in time (its data are made in one
// pass, not a search of the whole journal for each warning), and the
// server answers the page while they are made.
TEST(ScenarioVivoLimiti, AHundredThousandWarningLinesGiveThePage) {
  test::PiattaformaDiProva d;
  scrivi_sorgenti_di_avvisi(d, 100000);
  ServizioInProcesso servizio(d);
  const std::string& indirizzo = servizio.indirizzo();
  ASSERT_EQ(indirizzo.rfind("http://127.0.0.1:", 0), 0u) << indirizzo;
  const int porta = std::stoi(indirizzo.substr(17));
  const std::string percorso = indirizzo.substr(indirizzo.find('/', 17), 66);
  const std::string host = "127.0.0.1:" + std::to_string(porta);
  Connessione flusso(porta);
  // Its time is held by bench/pagina_avvisi.sh; here, under a sanitizer or
  // beside other tests, it only has to come.
  flusso.attesa_massima(120);
  flusso.invia(richiesta_http("GET", percorso + "eventi", host));
  {
    const auto inizio = Orologio::now();
    Connessione pagina(porta);
    pagina.invia(richiesta_http("GET", percorso, host));
    EXPECT_EQ(pagina.stato(), 200);
    EXPECT_LT(Orologio::now() - inizio, test::con_margine(std::chrono::seconds(1)))
        << "while the page is built";
  }
  // The state comes whole, with every line's diagnostic in it (the line
  // where the compile stops has its error in place of its warning).
  // The heartbeats (":" and a blank line) that come while it is built end
  // no event: the state ends at the blank line after its own data.
  const std::string inizio_stato = "event: modello\ndata: ";
  ASSERT_TRUE(flusso.leggi_fino(inizio_stato));
  ASSERT_TRUE(flusso.leggi_fino("\n\n", flusso.letto().find(inizio_stato)));
  size_t diagnostici = 0;
  for (size_t i = flusso.letto().find("\"gravita\":"); i != std::string::npos;
       i = flusso.letto().find("\"gravita\":", i + 1)) {
    ++diagnostici;
  }
  EXPECT_EQ(diagnostici, 100000u);
#if defined(__SANITIZE_ADDRESS__)
  // The end frees the compile and the state of 100,000 diagnostics, and under
  // AddressSanitizer every block freed passes through its quarantine: a
  // second alone, seven beside builds, all of it the sanitizer's. There it
  // only has to end; the end within a second while a build is under way is
  // held in both builds by the test below.
  constexpr auto kFine = std::chrono::seconds(60);
#else
  constexpr auto kFine = std::chrono::seconds(1);
#endif
  EXPECT_LT(servizio.termina(), test::con_margine(kFine));
  EXPECT_EQ(servizio.stato(), 0);
}

// SIGTERM while the page of 100,000 warnings is still being built: the
// compile and the page are given up, and the command ends within a second
// with status 0.
TEST(ScenarioVivoLimiti, SigtermDuringALongBuildEndsWithinASecond) {
  test::PiattaformaDiProva d;
  scrivi_sorgenti_di_avvisi(d, 100000);
  ServizioInProcesso servizio(d);
  ASSERT_FALSE(servizio.indirizzo().empty());
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the compile under way
  EXPECT_LT(servizio.termina(), test::con_margine(std::chrono::seconds(1)));
  EXPECT_EQ(servizio.stato(), 0);
}

}  // namespace
}  // namespace calvetra
