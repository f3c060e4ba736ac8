#include "compile/intestazione.h"

#include "model/costanti.h"
#include "model/significato.h"
#include "output/codici_gara.h"

namespace calvetra {

CodiceErrore finalizza_intestazione(Modello& m) {
  voce& linea = m.riga(kRigaLinea);
  tratto& cella = m.cella(kCellaIntestazione);
  if (linea.cod_a != 0 || cella.valore_a != 0) return CodiceErrore::marchio_occupato;
  linea.cod_a = kMarchioTabella;
  cella.valore_a = kMarchioCelle;
  if (linea.orario != 0 || cella.valore_b != 0) return CodiceErrore::codice_integrita_occupato;
  linea.orario = codice_gara_st(m.tabella);
  scrivi_slot_cella(cella, {kMarchioCelle, codice_gara_og(m.tabella)});
  return CodiceErrore::nessuno;
}

}  // namespace calvetra
