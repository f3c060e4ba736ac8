// Whole runs in memory: the embedded scenario end to end, a synthetic
// longest route with a train file of hundreds of entries, and the field
// reader alone in bytes per second.
#include <benchmark/benchmark.h>

#include <string>

#include "compile/compilazione.h"
#include "fields/lettore_campi.h"
#include "output/scrittura.h"
#include "platform/piattaforma_memoria.h"
#include "run/form1.h"
#include "support/percorso_sintetico.h"

namespace calvetra {
namespace {

void BM_ScenarioPredefinito(benchmark::State& state) {
  for (auto _ : state) {
    PiattaformaMemoria p;
    Form1 f(&p);
    if (f.Form_Load() != kUscitaPulita) state.SkipWithError("esecuzione fallita");
    benchmark::DoNotOptimize(p.file.size());
  }
}
BENCHMARK(BM_ScenarioPredefinito)->Unit(benchmark::kMillisecond);

// The in-memory compile of `check`, the viewer and the fuzz target: the
// string entry point, then the three files written into memory.
void BM_PercorsoSintetico1000000(benchmark::State& state) {
  const std::string linea = linea_sintetica();
  const std::string treno = treno_sintetico();
  for (auto _ : state) {
    const Compilazione c = compila_testi(linea, treno);
    PiattaformaMemoria p;
    std::string motivo;
    if (stato_uscita(c) != kUscitaPulita ||
        !scrivi_file_binari(&p, p.cartella(), {}, c.modello, true, &motivo)) {
      state.SkipWithError(("codice " + std::to_string(numero(c.codice_errore())) + motivo).c_str());
    }
    benchmark::DoNotOptimize(p.file.size());
  }
}
BENCHMARK(BM_PercorsoSintetico1000000)->Unit(benchmark::kMillisecond);

void BM_LettoreCampi(benchmark::State& state) {
  std::string testo;
  while (testo.size() < (8u << 20)) {
    testo += "pendenza,  1900,   -10\r\ncartello_indicatore,  2500,   (      )( P.L. )(      )\r\n";
  }
  for (auto _ : state) {
    LettoreCampi f;
    f.apri(testo);
    int64_t somma = 0;
    while (!f.fine()) {
      const std::string chiave = f.leggi_testo();
      if (chiave[0] == 'p') {
        somma += f.leggi_32();
        somma += f.leggi_32();
      } else {
        somma += f.leggi_32();
        somma += static_cast<int64_t>(f.leggi_testo().size());
      }
    }
    benchmark::DoNotOptimize(somma);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(testo.size()));
}
BENCHMARK(BM_LettoreCampi)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace calvetra
