// Nothing unsaid, over every input the compile is tried on: the committed
// fuzz corpus of the compile and its regressions, and the generated
// scenarios of the byte-identity check. For every compiled record and every
// field it stores, the files keep the value as read, or a diagnostic of that
// record says what they keep.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "compile/compilazione.h"
#include "compile/conservati.h"
#include "genera/scenari.h"

namespace calvetra {
namespace {

// The seed and the number of the scenarios of tests/identita/identita.sh.
constexpr uint64_t kSeme = 2718;
constexpr uint64_t kScenari = 300;

// What the property found over a set of inputs.
struct Bilancio {
  size_t compilati = 0;
  size_t differenze = 0;  // every stored field kept otherwise than read
  std::vector<std::string> non_dette;
};

// One input compiled as `check` compiles it (the plan only measured: the
// same diagnostics), its differences counted and the unsaid ones kept.
void controlla(const std::string& nome, const Sorgente& linea, const Sorgente& treno, Bilancio* b) {
  OpzioniCompilazione o;
  o.coordinate = false;
  o.avvisi = ModoAvvisi::senza_suggerimenti;
  const Compilazione c = compila(linea, treno, {}, o);
  ++b->compilati;
  b->differenze += differenze(c, linea, treno).size();
  for (const Differenza& d : non_dette(c, linea, treno)) {
    const RecordRegistrato& r = c.giornale.records()[d.record];
    b->non_dette.push_back(
        nome + ": `" + std::string(r.nome) + "` a " + std::to_string(r.chiave.offset) + ", campo " +
        std::to_string(d.campo) + " letto " + std::to_string(d.letto) + ", conservato " +
        (d.conservato.presente ? std::to_string(d.conservato.valore) : std::string("nulla")));
  }
}

std::string leggi(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// Under the sanitizers a compile costs ten times as much: the test takes one
// input in four there, and the compile fuzz target's replay, which holds the
// same property, still takes every one.
#if defined(__SANITIZE_ADDRESS__)
constexpr size_t kUnoOgni = 4;
#else
constexpr size_t kUnoOgni = 1;
#endif

TEST(NullaDiNonDetto, OverTheCompileFuzzCorpus) {
  Bilancio b;
  size_t visti = 0;
  for (const char* cartella : {"/fuzz/corpus/compila", "/fuzz/regressioni/compila"}) {
    for (const auto& e :
         std::filesystem::directory_iterator(std::string(CALVETRA_RADICE) + cartella)) {
      if (!e.is_regular_file() || visti++ % kUnoOgni != 0) continue;
      // Split as the fuzz target splits it: the train source after the first NUL.
      const std::string dati = leggi(e.path());
      const size_t nul = dati.find('\0');
      const std::string linea = dati.substr(0, nul);
      const std::string treno = nul == std::string::npos ? "" : dati.substr(nul + 1);
      controlla(e.path().filename().string(), Sorgente::di(linea), Sorgente::di(treno), &b);
    }
  }
  EXPECT_GT(b.compilati, 2000u / kUnoOgni);
  // Not vacuous: the corpus stores many fields otherwise than written.
  EXPECT_GT(b.differenze, 100u / kUnoOgni);
  EXPECT_TRUE(b.non_dette.empty())
      << b.non_dette.size()
      << " non dette, la prima: " << (b.non_dette.empty() ? "" : b.non_dette.front());
}

TEST(NullaDiNonDetto, OverTheGeneratedScenarios) {
  Bilancio b;
  for (uint64_t k = 0; k < kScenari; ++k) {
    const genera::ScenarioGenerato s = genera::scenario(kSeme, k);
    const auto sorgente = [](const std::optional<std::string>& t) {
      return t ? Sorgente::di(*t) : Sorgente{};
    };
    controlla("scenario " + std::to_string(k), sorgente(s.linea), sorgente(s.treno), &b);
  }
  EXPECT_EQ(b.compilati, kScenari);
  EXPECT_GT(b.differenze, 10u);
  EXPECT_TRUE(b.non_dette.empty())
      << b.non_dette.size()
      << " non dette, la prima: " << (b.non_dette.empty() ? "" : b.non_dette.front());
}

}  // namespace
}  // namespace calvetra
