// scenario: the companion program for people who write scenarios. It
// compiles an author's own sources with the compiler of calvetra, decodes the
// binary files, draws the route and writes a page to explore it.
#include <cstring>
#include <iostream>

#include "compila.h"
#include "dump.h"
#include "inizia.h"
#include "model/costanti.h"
#include "plot.h"
#include "versione.h"
#include "visore.h"

namespace {

constexpr const char* kAiuto =
    "uso: scenario COMANDO [OPZIONI] CARTELLA\n"
    "     scenario --version\n"
    "\n"
    "Strumenti per chi scrive scenari.\n"
    "\n"
    "  init [--linea NOME] [--treni COPPIA] CARTELLA\n"
    "      scrive i sorgenti di esempio (quelli di calvetra), senza sovrascrivere\n"
    "  compile [--linea NOME] [--treni COPPIA] [--senza-geometria] [--json]\n"
    "          [--rigoroso] CARTELLA\n"
    "      compila i sorgenti della CARTELLA nei file binari, con errori e avvisi\n"
    "      localizzati\n"
    "  check [le opzioni di compile] CARTELLA\n"
    "      gli stessi controlli di compile, senza scrivere nessun file\n"
    "  dump [--json] [--linea NOME] [--treni COPPIA] CARTELLA\n"
    "      decodifica e controlla i file binari\n"
    "  plot [--linea NOME] [--treni COPPIA] CARTELLA -o FILE.svg\n"
    "      disegna pianta e profilo del percorso\n"
    "  view [--linea NOME] [--treni COPPIA] CARTELLA -o FILE.html\n"
    "      pagina per esplorare il percorso nel browser, con i rimandi ai sorgenti\n"
    "\n"
    "scenario COMANDO --help spiega ogni comando.\n"
    "\n"
    "Uscita: 0 pulita, 1 fine fatale, 2 uso errato, 3 errore registrato (file\n"
    "scritti), 4 avvisi con --rigoroso (file scritti).\n";

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
  if (std::strcmp(comando, "--version") == 0) {
    std::cout << "scenario " << CALVETRA_VERSIONE << "\n";
    return calvetra::kUscitaPulita;
  }
  if (std::strcmp(comando, "init") == 0) return comando_init(n, resto, std::cout, std::cerr);
  if (std::strcmp(comando, "compile") == 0) return comando_compile(n, resto, std::cout, std::cerr);
  if (std::strcmp(comando, "check") == 0) return comando_check(n, resto, std::cout, std::cerr);
  if (std::strcmp(comando, "dump") == 0) return comando_dump(n, resto, std::cout, std::cerr);
  if (std::strcmp(comando, "plot") == 0) return comando_plot(n, resto, std::cout, std::cerr);
  if (std::strcmp(comando, "view") == 0) return comando_view(n, resto, std::cout, std::cerr);
  std::cerr << "scenario: comando sconosciuto " << comando << "\n\n" << kAiuto;
  return calvetra::kUscitaUso;
}
