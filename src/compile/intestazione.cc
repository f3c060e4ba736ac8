#include "compile/intestazione.h"

#include "model/costanti.h"
#include "output/codici_gara.h"

namespace calvetra {

int32_t finalizza_intestazione(Modello& m) {
  voce& linea = m.tabella[kRigaLinea];
  tratto& cella = m.tratti[kCellaIntestazione];
  if (linea.cod_a != 0 || cella.valore_a != 0) return 1250;
  linea.cod_a = kMarchioTabella;
  cella.valore_a = kMarchioCelle;
  if (linea.orario != 0 || cella.valore_b != 0) return 1251;
  linea.orario = codice_gara_st(m.tabella);
  cella.valore_b = codice_gara_og(m.tabella);
  return 0;
}

}  // namespace calvetra
