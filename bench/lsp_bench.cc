// The language server's work after an edit: the check of the scenario as the
// editor holds it (the buffers converted to Windows-1252, the compile of
// `check` with the record behind every object) and the diagnostics of both
// sources as the protocol carries them. On the embedded scenario and on the
// synthetic longest route, after a one-character edit; and the compile of
// `check` on the longest route with the plan measured against the plan kept.
#include <benchmark/benchmark.h>

#include <string>

#include "compile/compilazione.h"
#include "content/righe.h"
#include "content/testi.h"
#include "platform/piattaforma_memoria.h"
#include "scenario/comune/testo.h"
#include "scenario/lsp/analisi.h"
#include "scenario/lsp/diagnosi.h"
#include "scenario/lsp/funzioni.h"
#include "support/percorso_sintetico.h"

namespace calvetra {
namespace {

namespace lsp = scenario::lsp;

// Both buffers open; each iteration types or deletes one blank at the end
// of the first line of the line source, then checks and publishes. Argument
// 0: the check of the diagnostics after an edit; 1: the same and a hover on
// the last record of the train source, as the first hover after an edit; 2:
// the same and the outline of the line source.
void ricontrolla(benchmark::State& state, const std::string& linea, const std::string& treno,
                 int64_t modo, size_t correzioni = 0) {
  PiattaformaMemoria disco("/prova");
  const lsp::Scenario s{"/prova", {}};
  lsp::Documenti d;
  const std::string uri_linea = "file:///prova/Calvetra_linea.txt";
  d.apri(uri_linea, utf8_da_1252(linea), 1);
  d.apri("file:///prova/Calvetra_2718%20-%205340-.txt", utf8_da_1252(treno), 1);
  int64_t versione = 1;
  for (auto _ : state) {
    const bool scrivi = versione % 2 == 1;
    std::string motivo;
    d.cambia(uri_linea,
             {{std::pair{lsp::Posizione{0, 10}, lsp::Posizione{0, scrivi ? 10 : 11}},
               scrivi ? " " : ""}},
             ++versione, lsp::Codifica::utf16, &motivo);
    const lsp::Analisi a = lsp::analizza(&disco, s, d, lsp::Codifica::utf16);
    const std::vector<scenario::Json> p = lsp::pubblicazioni(a);
    if (modo == 1) {
      benchmark::DoNotOptimize(lsp::hover(a, FileSorgente::treno, treno.size() - 8));
    } else if (modo == 2) {
      benchmark::DoNotOptimize(lsp::simboli(a, FileSorgente::linea));
    }
    if (a.compilazione().codice_errore() != CodiceErrore::nessuno) state.SkipWithError("errore");
    size_t offerte = 0;
    for (const Diagnostico& x : a.compilazione().diagnostica.voci()) offerte += x.correzioni.size();
    if (offerte != correzioni) state.SkipWithError("correzioni inattese");
    benchmark::DoNotOptimize(p.size());
  }
}

void BM_LspScenarioPredefinito(benchmark::State& state) {
  ricontrolla(state, testo_righe(dati_linea()), testo_righe(dati_treno()), state.range(0));
}
BENCHMARK(BM_LspScenarioPredefinito)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_LspPercorsoSintetico1000000(benchmark::State& state) {
  ricontrolla(state, linea_sintetica(), treno_sintetico(), state.range(0));
}
BENCHMARK(BM_LspPercorsoSintetico1000000)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The train source with `n` mistakes whose fixes are each compiled before
// they are offered (a unit glued to a speed, in speed limits from `da`
// metres on, past its last one), before its `[fine]`.
std::string con_correzioni(std::string treno, int n, int da) {
  std::string righe;
  for (int k = 0; k < n; ++k) {
    righe += "velocita, " + std::to_string(da + 100 * k) + ", " + std::to_string(60 + 5 * k) +
             "km/h\r\n";
  }
  treno.insert(treno.rfind("[fine]"), righe);
  return treno;
}

// The check after an edit where warnings carry fixes: argument `n`, the
// number of them, each a compile more.
void BM_LspScenarioConCorrezioni(benchmark::State& state) {
  const auto n = static_cast<int>(state.range(0));
  ricontrolla(state, testo_righe(dati_linea()),
              con_correzioni(testo_righe(dati_treno()), n, 100000), 0, static_cast<size_t>(n));
}
BENCHMARK(BM_LspScenarioConCorrezioni)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_LspPercorsoSinteticoConCorrezioni(benchmark::State& state) {
  ricontrolla(state, linea_sintetica(), con_correzioni(treno_sintetico(), 1, 990000), 0, 1);
}
BENCHMARK(BM_LspPercorsoSinteticoConCorrezioni)->Unit(benchmark::kMillisecond);

// `scenario check` in memory: 1, the plan kept as `compile` keeps it; 0, only
// measured.
void BM_CheckPercorsoSintetico1000000(benchmark::State& state) {
  const std::string linea = linea_sintetica();
  const std::string treno = treno_sintetico();
  OpzioniCompilazione o;
  o.coordinate = state.range(0) != 0;
  for (auto _ : state) {
    const Compilazione c = compila(Sorgente::di(linea), Sorgente::di(treno), {}, o);
    if (c.codice_errore() != CodiceErrore::nessuno) state.SkipWithError("errore");
    benchmark::DoNotOptimize(c.diagnostica.voci().size());
  }
}
BENCHMARK(BM_CheckPercorsoSintetico1000000)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace calvetra
