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
#include <string_view>

#include "platform/piattaforma.h"
#include "scenario/comandi/principale.h"

int main(int argc, char** argv) {
  calvetra::PiattaformaPosix disco(".");
  const bool colore = calvetra::scenario::colori_voluti(
      std::getenv("NO_COLOR"), std::getenv("TERM"), isatty(STDERR_FILENO) != 0);
  std::error_code errore;
  const std::filesystem::path qui = std::filesystem::current_path(errore);
  // The language server asks whether more input waits, so that it checks a
  // burst of edits once: the standard input must then be a stream of its
  // own, not the C library's. Every other command keeps its output in step
  // with the C library.
  if (argc > 1 && std::string_view(argv[1]) == "lsp") std::ios::sync_with_stdio(false);
  const calvetra::scenario::Contesto c{
      &disco, std::cout, std::cerr, colore, errore ? std::string() : qui.string(), &std::cin};
  return calvetra::scenario::esegui(c, calvetra::scenario::Argomenti(argv + 1, argv + argc));
}
