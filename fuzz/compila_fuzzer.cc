// Fuzz target: the whole compile driver over a line source and a train source
// taken from one input. The two sources are separated by the first NUL byte
// (no NUL: the whole input is the line source and the train source is empty).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "compile/compilazione.h"
#include "output/scrittura.h"
#include "platform/piattaforma_memoria.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione) {
  const std::string_view input(reinterpret_cast<const char*>(dati), dimensione);
  const size_t separatore = input.find('\0');
  const std::string_view linea = input.substr(0, separatore);
  const std::string_view treno =
      separatore == std::string_view::npos ? std::string_view() : input.substr(separatore + 1);

  const calvetra::Compilazione c = calvetra::compila_testi(linea, treno, 1);
  // The parser is always done with a line source it has found.
  if (!c.consumate.linea) __builtin_trap();
  if (c.fine == calvetra::FineCompilazione::pronta) {
    calvetra::PiattaformaMemoria p;
    std::string motivo;
    // Writing a finished model fails only for a name of over 65535 bytes.
    if (!calvetra::scrivi_file_binari(&p, {}, c.modello, 1, &motivo) &&
        motivo.find("65535") == std::string::npos) {
      __builtin_trap();
    }
  }
  return 0;
}
