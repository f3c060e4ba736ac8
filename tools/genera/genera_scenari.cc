// genera_scenari SEME N CARTELLA: writes N scenario directories CARTELLA/000,
// CARTELLA/001, ... each with a line source and a train source (genera/scenari.h),
// for the byte-identity check of the compiler (tests/identita/identita.sh).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "genera/scenari.h"
#include "model/costanti.h"

namespace {

void scrivi_file(const std::filesystem::path& percorso, const std::string& testo) {
  std::ofstream f(percorso, std::ios::binary);
  f << testo;
  if (!f) {
    std::cerr << "genera_scenari: impossibile scrivere " << percorso.string() << "\n";
    std::exit(1);
  }
}

// A scenario's sources into `cartella`, under the names calvetra reads.
void scrivi(const calvetra::genera::ScenarioGenerato& s, const std::filesystem::path& cartella) {
  std::filesystem::create_directories(cartella);
  const calvetra::NomiScenario nomi;
  if (s.linea) scrivi_file(cartella / nomi.sorgente_linea(), *s.linea);
  if (s.treno) scrivi_file(cartella / nomi.sorgente_treno(), *s.treno);
}

bool leggi_numero(const char* testo, uint64_t* v) {
  char* fine = nullptr;
  *v = std::strtoull(testo, &fine, 10);
  return *testo != '\0' && *fine == '\0';
}

// A fuzz input as a scenario directory, split as the compile fuzz target
// splits it: the line source up to the first NUL byte, the train source after
// it (no NUL: an empty train source).
int da_input(const std::filesystem::path& input, const std::filesystem::path& cartella) {
  std::ifstream f(input, std::ios::binary);
  if (!f.is_open()) {
    std::cerr << "genera_scenari: impossibile leggere " << input.string() << "\n";
    return 1;
  }
  const std::string testo((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  const size_t separatore = testo.find('\0');
  calvetra::genera::ScenarioGenerato s;
  s.linea = testo.substr(0, separatore);
  s.treno = separatore == std::string::npos ? std::string() : testo.substr(separatore + 1);
  scrivi(s, cartella);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--da-input") return da_input(argv[2], argv[3]);
  uint64_t seme = 0;
  uint64_t quanti = 0;
  if (argc != 4 || !leggi_numero(argv[1], &seme) || !leggi_numero(argv[2], &quanti)) {
    std::cerr << "uso: genera_scenari SEME N CARTELLA\n"
                 "     genera_scenari --da-input INPUT CARTELLA\n"
                 "La prima forma scrive N cartelle di scenario CARTELLA/000 ... con sorgenti di\n"
                 "linea e di treno; la seconda divide un input del fuzzer di compilazione nei\n"
                 "due sorgenti al primo byte NUL.\n";
    return 2;
  }
  const std::filesystem::path cartella = argv[3];
  const size_t cifre = std::max<size_t>(3, std::to_string(quanti > 0 ? quanti - 1 : 0).size());
  for (uint64_t k = 0; k < quanti; ++k) {
    std::string nome = std::to_string(k);
    nome.insert(0, cifre - nome.size(), '0');
    scrivi(calvetra::genera::scenario(seme, k), cartella / nome);
  }
  return 0;
}
