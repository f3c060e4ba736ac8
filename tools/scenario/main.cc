// scenario: the companion program for people who write scenarios. It
// compiles an author's own sources with the compiler of calvetra, decodes the
// binary files, draws the route and writes a page to explore it.
//
// The one place that meets the real process: the disk, the terminal and the
// environment. Every subcommand below works through what is handed to it.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "platform/piattaforma.h"
#include "scenario/comandi/principale.h"

int main(int argc, char** argv) {
  calvetra::PiattaformaPosix disco(".");
  const bool colore = calvetra::scenario::colori_voluti(
      std::getenv("NO_COLOR"), std::getenv("TERM"), isatty(STDERR_FILENO) != 0);
  std::error_code errore;
  const std::filesystem::path qui = std::filesystem::current_path(errore);
  const calvetra::scenario::Contesto c{&disco, std::cout, std::cerr, colore,
                                       errore ? std::string() : qui.string()};
  return calvetra::scenario::esegui(c, calvetra::scenario::Argomenti(argv + 1, argv + argc));
}
