#include "scenario/comandi/principale.h"

#include <string_view>

#include "scenario/comandi/compile.h"
#include "scenario/comandi/dump.h"
#include "scenario/comandi/init.h"
#include "scenario/comandi/lsp.h"
#include "scenario/comandi/plot.h"
#include "scenario/comandi/view.h"
#include "versione.h"

namespace calvetra::scenario {

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
    "  dump [--json] [--linea NOME] [--treni COPPIA] [--passo METRI] CARTELLA\n"
    "      decodifica e controlla i file binari\n"
    "  plot [--linea NOME] [--treni COPPIA] CARTELLA -o FILE.svg\n"
    "      disegna pianta e profilo del percorso (dai sorgenti, se ci sono)\n"
    "  view [--linea NOME] [--treni COPPIA] CARTELLA -o FILE.html\n"
    "      pagina per esplorare il percorso nel browser, con i rimandi ai sorgenti\n"
    "  lsp [--linea NOME] [--treni COPPIA]\n"
    "      server del Language Server Protocol (stdin e stdout) per l'editor:\n"
    "      errori e avvisi mentre si scrive, valori, completamento, correzioni\n"
    "\n"
    "scenario COMANDO --help spiega ogni comando.\n"
    "\n"
    "Uscita: 0 pulita, 1 fine fatale, 2 uso errato, 3 errore registrato (file\n"
    "scritti), 4 avvisi con --rigoroso (file scritti).\n";

struct Comando {
  std::string_view nome;
  int (*esegui)(const Contesto&, const Argomenti&);
};
constexpr Comando kComandi[] = {
    {"init", comando_init}, {"compile", comando_compile}, {"check", comando_check},
    {"dump", comando_dump}, {"plot", comando_plot},       {"view", comando_view},
    {"lsp", comando_lsp},
};

}  // namespace

int esegui(const Contesto& c, const Argomenti& argomenti) {
  if (argomenti.empty()) {
    c.err << kAiuto;
    return kUscitaUso;
  }
  const std::string& nome = argomenti[0];
  const bool aiuto = nome == "--help" || nome == "-h" || nome == "help";
  if ((aiuto || nome == "--version") && argomenti.size() > 1) {
    c.err << "scenario: argomento non accettato dopo " << nome << ": " << argomenti[1] << "\n";
    return kUscitaUso;
  }
  if (aiuto) {
    c.out << kAiuto;
    return kUscitaPulita;
  }
  if (nome == "--version") {
    c.out << "scenario " << CALVETRA_VERSIONE << "\n";
    return kUscitaPulita;
  }
  const Argomenti resto(argomenti.begin() + 1, argomenti.end());
  for (const Comando& k : kComandi) {
    if (k.nome == nome) return k.esegui(c, resto);
  }
  c.err << "scenario: comando sconosciuto " << nome << "\n\n" << kAiuto;
  return kUscitaUso;
}

}  // namespace calvetra::scenario
