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

std::string linea_sintetica() {
  std::string s = "[generale]\r\nlunghezza percorso,  1000000\r\n[curve]\r\n";
  for (int i = 0; i < 2000; ++i) {
    s += std::string("curva") + (i % 3 == 0 ? "s" : "d") + std::to_string(1 + i % 6) + ",  " +
         std::to_string(500 * i + 100) + ",  300\r\n";
  }
  for (int i = 0; i < 2000; ++i) {
    s += "pendenza,  " + std::to_string(1900 + 450 * i) + ",   " + std::to_string(i % 13 - 6) +
         "\r\n";
  }
  for (int i = 0; i < 80; ++i) {
    s += "montagna,   " + std::to_string(5000 + 12000 * i) + ",  " +
         std::to_string(9000 + 12000 * i) + ",  11\r\n";
  }
  return s + "[fine]\r\n";
}

// Signals every 3000 m, slowdowns every 15000 m and stations every 12000 m,
// placed so that no two objects share a cell.
std::string treno_sintetico() {
  std::string s = "[generale]\r\nnumero vetture, 3\r\naderenza, 0, 100\r\n";
  for (int i = 0; i < 330; ++i) {
    s += "velocita, " + std::to_string(500 + 3000 * i) + ", " + std::to_string(60 + 5 * (i % 11)) +
         "\r\n";
  }
  for (int i = 0; i < 330; ++i) {
    s += "segnale, " + std::to_string(1000 + 3000 * i) + ", 2, 2, 3, 1, 0, 2, 3, 1, 1, 50\r\n";
  }
  for (int j = 0; j < 60; ++j) {
    s += "rallentamento, " + std::to_string(20000 + 15000 * j) + ", 60, 100, 1, 1, 0\r\n";
  }
  for (int k = 0; k < 70; ++k) {
    s += "stazione, " + std::to_string(10000 + 12000 * k) +
         ", 28, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0, LUOGO\r\n";
  }
  return s + "[fine]\r\n";
}

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
