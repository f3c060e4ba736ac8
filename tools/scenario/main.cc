// scenario: the companion program for people who write scenarios. It
// compiles an author's own sources with the compiler of calvetra, decodes the
// binary files, draws the route and writes a page to explore it.
//
// The one place that meets the real process: the disk, the terminal and the
// environment, each through the platform. Every subcommand below works
// through what is handed to it.
#include <iostream>
#include <optional>
#include <string>

#include "platform/processo.h"
#include "platform/sistema.h"
#include "scenario/comandi/principale.h"

int main(int argc, char** argv) {
  const calvetra::scenario::Argomenti argomenti = calvetra::argomenti_processo(argc, argv);
  const bool lsp = !argomenti.empty() && argomenti[0] == "lsp";
  // The language server asks whether more input waits, so that it checks a
  // burst of edits once: the standard input must then be a stream of its
  // own, not the C library's. Every other command keeps its output in step
  // with the C library. (Before the streams are readied: this resets them.)
  if (lsp) std::ios::sync_with_stdio(false);
  const bool terminale = calvetra::prepara_flussi_standard();
  // The protocol counts bytes: nothing may stand between them and the pipe.
  if (lsp) calvetra::flussi_binari();
  calvetra::PiattaformaSistema disco(".");
  const std::optional<std::string> no_color = calvetra::variabile_ambiente("NO_COLOR");
  const std::optional<std::string> term = calvetra::variabile_ambiente("TERM");
  const bool colore = calvetra::scenario::colori_voluti(no_color ? no_color->c_str() : nullptr,
                                                        term ? term->c_str() : nullptr, terminale);
  const calvetra::scenario::Contesto c{
      &disco, std::cout, std::cerr, colore, calvetra::cartella_corrente(), &std::cin};
  return calvetra::scenario::esegui(c, argomenti);
}
