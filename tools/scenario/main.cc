// scenario: the companion program for people who write scenarios. It
// compiles an author's own sources with the compiler of calvetra, decodes the
// binary files, draws the route and writes a page to explore it.
#include <cstring>
#include <iostream>

#include "compila.h"
#include "dump.h"
#include "model/costanti.h"
#include "plot.h"
#include "visore.h"

namespace {

constexpr const char* kAiuto =
    "uso: scenario COMANDO [OPZIONI] CARTELLA\n"
    "\n"
    "Strumenti per chi scrive scenari.\n"
    "\n"
    "  compile [--linea NOME] [--treni COPPIA] [--senza-geometria] CARTELLA\n"
    "      compila i sorgenti della CARTELLA nei file binari, con errori localizzati\n"
    "  dump [--json] [--linea NOME] [--treni COPPIA] CARTELLA\n"
    "      decodifica e controlla i file binari\n"
    "  plot [--linea NOME] [--treni COPPIA] CARTELLA -o FILE.svg\n"
    "      disegna pianta e profilo del percorso\n"
    "  view [--linea NOME] [--treni COPPIA] CARTELLA -o FILE.html\n"
    "      pagina per esplorare il percorso nel browser, con i rimandi ai sorgenti\n"
    "\n"
    "scenario COMANDO --help spiega ogni comando.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace calvetra::scenario;
  if (argc < 2) {
    std::cerr << kAiuto;
    return calvetra::kUscitaUso;
  }
  const char* comando = argv[1];
  const int n = argc - 2;
  const char* const* resto = argv + 2;
  if (std::strcmp(comando, "--help") == 0 || std::strcmp(comando, "-h") == 0 ||
      std::strcmp(comando, "help") == 0) {
    std::cout << kAiuto;
    return calvetra::kUscitaPulita;
  }
  if (std::strcmp(comando, "compile") == 0) return comando_compile(n, resto, std::cout, std::cerr);
  if (std::strcmp(comando, "dump") == 0) return comando_dump(n, resto, std::cout, std::cerr);
  if (std::strcmp(comando, "plot") == 0) return comando_plot(n, resto, std::cout, std::cerr);
  if (std::strcmp(comando, "view") == 0) return comando_view(n, resto, std::cout, std::cerr);
  std::cerr << "scenario: comando sconosciuto " << comando << "\n\n" << kAiuto;
  return calvetra::kUscitaUso;
}
