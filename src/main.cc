// calvetra: writes the scenario sources and driver documents beside itself,
// compiles them and writes the three binary scenario files.
#include <iostream>
#include <string>
#include <vector>

#include "platform/processo.h"
#include "platform/sistema.h"
#include "run/form1.h"
#include "versione.h"

namespace {

constexpr const char* kAiuto =
    "uso: calvetra [--help | --version]\n"
    "\n"
    "Compila lo scenario della linea Calvetra e dei treni 2718 - 5340.\n"
    "Nella cartella del programma scrive i tre documenti per il macchinista\n"
    "(scheda treno, ordine di rallentamento, note) e i tre file binari per il\n"
    "simulatore (Calvetra_linea.dat, Calvetra_2718 - 5340.sim,\n"
    "Calvetra_2718 - 5340.dat). I sorgenti di testo esistono solo durante la\n"
    "compilazione.\n"
    "\n"
    "Uscita: 0 compilazione pulita, 1 fine fatale, 2 uso errato,\n"
    "3 file scritti con un codice di errore registrato.\n";

}  // namespace

int main(int argc, char** argv) {
  calvetra::prepara_flussi_standard();
  const std::vector<std::string> argomenti = calvetra::argomenti_processo(argc, argv);
  // Any mix of --help and --version is answered (the help first, which names
  // the version's option too); anything else is refused by name.
  bool aiuto = false;
  bool versione = false;
  for (const std::string& a : argomenti) {
    if (a == "--help" || a == "-h") {
      aiuto = true;
    } else if (a == "--version") {
      versione = true;
    } else {
      std::cerr << "calvetra: argomento non accettato " << a << "\n"
                << "uso: calvetra [--help | --version]" << std::endl;
      return calvetra::kUscitaUso;
    }
  }
  if (aiuto) std::cout << kAiuto;
  if (versione && !aiuto) std::cout << "calvetra " << CALVETRA_VERSIONE << "\n";
  if (aiuto || versione) return calvetra::kUscitaPulita;
  const std::string cartella = calvetra::cartella_eseguibile();
  if (cartella.empty()) {
    std::cerr << "calvetra: impossibile trovare la cartella del programma" << std::endl;
    return calvetra::kUscitaFatale;
  }
  calvetra::PiattaformaSistema piattaforma(cartella, calvetra::NomiFile::windows_1252);
  calvetra::Form1 form(&piattaforma);
  return form.Form_Load();
}
