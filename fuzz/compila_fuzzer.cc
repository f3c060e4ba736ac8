// Fuzz target: the whole compile driver over a line source and a train source
// taken from one input. The two sources are separated by the first NUL byte
// (no NUL: the whole input is the line source and the train source is empty).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "run/form1.h"
#include "platform/piattaforma_memoria.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione) {
  const std::string_view input(reinterpret_cast<const char*>(dati), dimensione);
  const size_t separatore = input.find('\0');
  const std::string_view linea = input.substr(0, separatore);
  const std::string_view treno =
      separatore == std::string_view::npos ? std::string_view() : input.substr(separatore + 1);

  calvetra::PiattaformaMemoria p;
  calvetra::Form1 f(&p);
  f.nome_linea = "Calvetra";
  f.nome_treni = "2718 - 5340";
  p.file[p.percorso(f.nome_file_linea())] = std::string(linea);
  p.file[p.percorso(f.nome_file_treno())] = std::string(treno);
  const int stato = f.memorizza_percorso(1);
  if (stato != calvetra::kUscitaPulita && stato != calvetra::kUscitaConErrore &&
      stato != calvetra::kUscitaFatale) {
    __builtin_trap();
  }
  // The sources are always gone once the parser has found them, and a run that
  // wrote files wrote all of them.
  if (p.esiste(p.percorso(f.nome_file_linea())) && f.codice_errore != 101) __builtin_trap();
  return 0;
}
