#include "compile/intestazione.h"

#include "model/costanti.h"
#include "model/significato.h"
#include "output/codici_gara.h"

namespace calvetra {

CodiceErrore finalizza_intestazione(Modello& m) {
  const voce& linea = m.riga(kRigaLinea);
  const tratto& cella = m.cella(kCellaIntestazione);
  if (linea.cod_a != 0 || cella.valore_a != 0) return CodiceErrore::marchio_occupato;
  m.scrivi_riga(kRigaLinea, CampoRiga::cod_a, kMarchioTabella);
  m.scrivi_cella(kCellaIntestazione, CampoCella::valore_a, kMarchioCelle);
  if (linea.orario != 0 || cella.valore_b != 0) return CodiceErrore::codice_integrita_occupato;
  m.scrivi_riga(kRigaLinea, CampoRiga::orario, codice_gara_st(m.tabella));
  scrivi_slot_cella(m, kCellaIntestazione, {kMarchioCelle, codice_gara_og(m.tabella)});
  return CodiceErrore::nessuno;
}

}  // namespace calvetra
