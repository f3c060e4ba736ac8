// Sign records: a lineside sign takes a cell and a table row for its text;
// the rows are handed out from 80 downward, below them grow the stations.
#include "line/corpo_linea.h"
#include "model/significato.h"

namespace calvetra {

Seguito corpo_cartello(LetturaRecord& r, CorpoLinea& c) {
  Cartello cartello;
  cartello.posizione = r.numero();
  cartello.testo = r.testo();
  if (r.oltre_il_percorso(cartello.posizione, kMargineRecord)) return Seguito::fine_corpo;
  const int64_t cella = cella_di_oggetto(cartello.posizione);
  if (!cella_libera(c.m.cella(cella))) {
    r.errore(CodiceErrore::cartello_su_cella_occupata, r.luogo(0), cartello.posizione);
    return Seguito::esci;
  }
  // Rows 1 to 80 are the only ones a sign may take: an 81st sign has none.
  int32_t& riga = c.s.riga_cartello;
  if (riga < kPrimaRigaStazione || riga > kUltimaRigaCartello) {
    throw GuastoInatteso("nessuna riga libera per il cartello (riga " + std::to_string(riga) + ")");
  }
  c.m.scrivi_cella(cella, CampoCella::tipo, kCartello);
  c.m.scrivi_cella(cella, CampoCella::valore_a, basso_16(riga));
  c.m.scrivi_nome(static_cast<size_t>(riga), std::move(cartello.testo));
  --riga;
  return Seguito::avanti;
}

}  // namespace calvetra
