// documenta FILE: writes the record tables of FILE (doc/formats.md) anew from
// the compiler's record catalogues, between their "<!-- catalogo NAME -->"
// and "<!-- fine catalogo -->" lines; everything else stays as it is.
#include <iostream>
#include <string>

#include "compile/documentazione.h"
#include "platform/sistema.h"
#include "platform/sostituzione.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "uso: documenta FILE\n";
    return 2;
  }
  calvetra::PiattaformaSistema fs(".");
  const std::string percorso = argv[1];
  std::string testo;
  std::string motivo;
  if (!fs.leggi(percorso, &testo, &motivo)) {
    std::cerr << "documenta: " << percorso << ": impossibile leggere: " << motivo << "\n";
    return 1;
  }
  const std::string nuovo = calvetra::aggiorna_documentazione(testo);
  if (nuovo == testo) return 0;
  if (!calvetra::sostituisci_file(
          &fs, percorso, [&nuovo](calvetra::Uscita* u) { u->buffer()->append(nuovo); }, &motivo)) {
    std::cerr << "documenta: impossibile scrivere " << percorso << ": " << motivo << "\n";
    return 1;
  }
  std::cout << "documenta: tabelle scritte in " << percorso << "\n";
  return 0;
}
