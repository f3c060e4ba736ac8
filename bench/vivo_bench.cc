// The live page's side of a save or an edit: the sources handed to the feed
// (as the watch of the directory and the language server hand them), the
// compile with the plan and the record behind every object, the page's data
// as one event, and that event read whole by a page's stream on the
// loopback. On the embedded scenario and on the synthetic longest route; the
// browser's part (parsing the event and drawing) is timed by vivo_browser.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "content/righe.h"
#include "content/testi.h"
#include "scenario/vivo/alimentatore.h"
#include "scenario/vivo/servizio.h"
#include "support/percorso_sintetico.h"

namespace calvetra {
namespace {

namespace vivo = scenario::vivo;

// Reads the stream until `n` events have come whole; false on a closed one.
bool leggi_eventi(int fd, std::string* letto, size_t* visti, size_t n) {
  char b[1 << 16];
  for (;;) {
    size_t k = 0;
    for (size_t i = letto->find("\n\n"); i != std::string::npos; i = letto->find("\n\n", i + 2)) {
      ++k;
    }
    if (k >= *visti + n) {
      *visti = k;
      return true;
    }
    const ssize_t r = recv(fd, b, sizeof b, 0);
    if (r <= 0) return false;
    letto->append(b, static_cast<size_t>(r));
  }
}

void dal_salvataggio_all_evento(benchmark::State& state, const std::string& linea,
                                const std::string& treno) {
  vivo::Servizio servizio;
  std::string errore;
  if (!servizio.avvia(&errore)) {
    state.SkipWithError(errore.c_str());
    return;
  }
  vivo::Alimentatore feed(&servizio);
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(servizio.porta()));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  const std::string r = "GET /" + servizio.gettone() +
                        "/eventi HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(servizio.porta()) +
                        "\r\n\r\n";
  send(fd, r.data(), r.size(), 0);
  std::string letto;
  size_t visti = 1;  // the header block ends in a blank line too
  bool blank = false;
  for (auto _ : state) {
    vivo::Istantanea i;
    i.sorgenti.linea = {"/prova/Calvetra_linea.txt", linea + (blank ? " " : "")};
    i.sorgenti.treno = {"/prova/Calvetra_2718 - 5340-.txt", treno};
    i.cartella = "/prova";
    blank = !blank;
    letto.clear();
    visti = 0;
    feed.nuove(std::move(i));
    if (!leggi_eventi(fd, &letto, &visti, 1)) state.SkipWithError("stream closed");
  }
  state.counters["byte"] = static_cast<double>(letto.size());
  close(fd);
}

void BM_VivoScenarioPredefinito(benchmark::State& state) {
  dal_salvataggio_all_evento(state, testo_righe(dati_linea()), testo_righe(dati_treno()));
}
BENCHMARK(BM_VivoScenarioPredefinito)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VivoPercorsoSintetico1000000(benchmark::State& state) {
  dal_salvataggio_all_evento(state, linea_sintetica(), treno_sintetico());
}
BENCHMARK(BM_VivoPercorsoSintetico1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace calvetra
