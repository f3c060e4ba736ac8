#include "train/avvisi_treno.h"

#include <string>

#include "train/catalogo_treno.h"

namespace calvetra {

void avvisa_voce(Lettura& l, const Riconosciuti& trovati, size_t chiave) {
  if (!l.avvisi_attivi()) return;
  const std::string& k = l.campo();
  Avvisi& a = l.avvisi();
  a.chiave(l.a(chiave));
  const bool dopo_un_numero = a.chiave_letta(k, chiave);
  if (!trovati.nessuno()) {
    // Every entry the field names reads its own values, and is watched (a
    // word after a number is no record meant: said as such).
    if (!dopo_un_numero) {
      for (const DescrizioneRecord* r : trovati.attivi) a.ripetizione(*r);
    }
    a.record_trovati(trovati);
    a.parola_chiave_nascosta(k, chiave);
    return;
  }
  if (!tra_parentesi(k) && !contiene(k, "-") && k.find_first_not_of(" \t") != std::string::npos) {
    a.campo_ignorato(k, chiave);
  }
}

}  // namespace calvetra
