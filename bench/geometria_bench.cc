// The plan of the longest route: 1000000 m plus the 7000 m beyond it, bent by
// a thousand curve records of every class and both sides.
#include <benchmark/benchmark.h>

#include <string>

#include "compile/memorizza_dati.h"
#include "run/form1.h"
#include "support/cartella_temporanea.h"

namespace calvetra {
namespace {

std::string linea_lunga() {
  std::string s = "[generale]\r\nlunghezza percorso,  1000000\r\n[curve]\r\n";
  for (int i = 0; i < 1000; ++i) {
    s += std::string("curva") + (i % 2 == 0 ? "s" : "d") + std::to_string(1 + i % 6) + ",  " +
         std::to_string(1000 * i + 200) + ",  500\r\n";
  }
  s += "pendenza,  500000,  -12\r\n[fine]\r\n";
  return s;
}

constexpr char kTrenoVuoto[] = "[generale]\r\n[fine]\r\n";

void prepara(test::PiattaformaDiProva* p, const std::string& linea) {
  const NomiScenario nomi;
  p->scrivi_file(nomi.sorgente_linea(), linea);
  p->scrivi_file(nomi.sorgente_treno(), kTrenoVuoto);
}

// The parser alone: reading the line source and working out the plan's
// metres (which the compile leaves to the writer of the file).
void BM_GeometriaPercorsoMassimo(benchmark::State& state) {
  const std::string linea = linea_lunga();
  for (auto _ : state) {
    Modello m;
    Diagnostica d;
    memorizza_dati(Sorgente::di(linea), Sorgente::di(kTrenoVuoto), {}, true, {m, d});
    benchmark::DoNotOptimize(PuntiPiano(m.geometria).x(1006998));
    if (d.con_errore()) state.SkipWithError("compilazione fallita");
  }
}
BENCHMARK(BM_GeometriaPercorsoMassimo)->Unit(benchmark::kMillisecond);

// The whole compile driver, the geometry file (about 20 MB) included.
void BM_CompilazionePercorsoMassimo(benchmark::State& state) {
  const std::string linea = linea_lunga();
  test::PiattaformaDiProva p;
  for (auto _ : state) {
    state.PauseTiming();
    Form1 f(&p);
    prepara(&p, linea);
    state.ResumeTiming();
    const int stato = f.memorizza_percorso(1);
    if (stato != 0) state.SkipWithError("compilazione fallita");
  }
}
BENCHMARK(BM_CompilazionePercorsoMassimo)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace calvetra
