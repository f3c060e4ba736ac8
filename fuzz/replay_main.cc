// Runs a fuzz target over the files of its corpus (files or directories named
// on the command line), for builds without libFuzzer.
//
// `--richiede P1,P2,...` fails the run unless each named property has been
// checked on at least one input: a property that silently stops being
// checked then fails its test.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "proprieta.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione);

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> file;
  std::vector<std::string> richieste;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a == "--richiede" && i + 1 < argc) {
      std::string elenco = argv[++i];
      for (size_t da = 0; da <= elenco.size();) {
        const size_t virgola = std::min(elenco.find(',', da), elenco.size());
        richieste.push_back(elenco.substr(da, virgola - da));
        da = virgola + 1;
      }
      continue;
    }
    const std::filesystem::path p(a);
    if (std::filesystem::is_directory(p)) {
      for (const auto& e : std::filesystem::directory_iterator(p)) {
        if (e.is_regular_file()) file.push_back(e.path());
      }
    } else {
      file.push_back(p);
    }
  }
  for (const auto& p : file) {
    std::ifstream in(p, std::ios::binary);
    const std::string dati((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(dati.data()), dati.size());
  }
  std::printf("%zu inputs replayed\n", file.size());
  int stato = file.empty() ? 1 : 0;
  for (const auto& [nome, volte] : calvetra::fuzz::proprieta_controllate()) {
    std::printf("  %.*s: %llu\n", static_cast<int>(nome.size()), nome.data(),
                static_cast<unsigned long long>(volte));
  }
  for (const std::string& r : richieste) {
    if (calvetra::fuzz::proprieta_controllate().count(r) == 0) {
      std::printf("property %s was never checked\n", r.c_str());
      stato = 1;
    }
  }
  return stato;
}
