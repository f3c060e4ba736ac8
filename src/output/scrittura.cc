#include "output/scrittura.h"

#include <vector>

#include "output/file_celle.h"
#include "output/file_geometria.h"
#include "output/file_tabella.h"
#include "platform/sostituzione.h"

namespace calvetra {

std::string non_scrivibile(const Modello& m) {
  size_t lunghezza = 0;
  if (nomi_codificabili(m.tabella, &lunghezza)) return {};
  return "un nome della tabella supera " + std::to_string(formato_tabella::kNomeMassimo) +
         " caratteri (" + std::to_string(lunghezza) + "); nessun file scritto";
}

bool scrivi_file_binari(Piattaforma* piattaforma, const std::string& cartella,
                        const NomiScenario& nomi, const Modello& m, bool con_geometria,
                        std::string* motivo) {
  *motivo = non_scrivibile(m);
  if (!motivo->empty()) return false;
  // The simulator reads the three as one scenario: all new or all old.
  std::vector<FileDaSostituire> file;
  if (con_geometria) {
    file.push_back({nella_cartella(cartella, nomi.geometria()),
                    [&m](Uscita* u) { codifica_geometria(m.geometria, u); }});
  }
  file.push_back({nella_cartella(cartella, nomi.tabella()),
                  [&m](Uscita* u) { codifica_tabella(m.tabella, u); }});
  file.push_back(
      {nella_cartella(cartella, nomi.celle()), [&m](Uscita* u) { codifica_celle(m.tratti, u); }});
  return sostituisci_insieme(piattaforma, file, motivo);
}

}  // namespace calvetra
