#include "train/avvisi_treno.h"

#include <string>

namespace calvetra {

void avvisa_voce(Lettura& l, size_t chiave) {
  if (!l.diagnostica.avvisi_attivi()) return;
  Avvisi& a = l.avvisi;
  const std::string& k = l.campo;
  a.chiave(chiave);
  // The entries whose values are stored once, as the entry loop tests them.
  const bool massa = contiene(k, "massa") && contiene(k, "frenata");
  const bool una_volta[] = {massa, contiene(k, "vetture"), contiene(k, "orologio"),
                            contiene(k, "sabbia")};
  const char* nomi[] = {"percentuale massa frenata", "numero vetture", "orologio", "sabbia"};
  bool riconosciuta = false;
  for (size_t i = 0; i < 4; ++i) {
    if (!una_volta[i]) continue;
    riconosciuta = true;
    a.una_volta("il record `" + std::string(nomi[i]) + "`");
  }
  for (const char* p :
       {"velocit", "aderenza", "segnale", "rallentamento", "abbattimento", "stazione"}) {
    riconosciuta = riconosciuta || contiene(k, p);
  }
  if (riconosciuta) {
    a.record_letto();
    if (tra_parentesi(k)) a.sezione_con_parola_chiave(k, chiave);
    return;
  }
  if (!tra_parentesi(k) && !contiene(k, "-") && k.find_first_not_of(" \t") != std::string::npos) {
    a.campo_ignorato(k, chiave);
  }
}

}  // namespace calvetra
