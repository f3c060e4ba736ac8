// Sign records: a lineside sign takes a cell and a table row for its text;
// the rows are handed out from 80 downward, below them grow the stations.
#include "line/corpo_linea.h"

namespace calvetra {

Seguito corpo_cartello(CorpoLinea& c) {
  LettoreCampi& file1 = c.l.file1;
  const int32_t posizione = file1.leggi_32();
  const size_t campo_posizione = file1.inizio_campo();
  c.l.campo = file1.leggi_testo();
  c.l.avvisi.testo_letto(c.l.campo, file1.inizio_campo());
  if (c.l.oltre_il_percorso(c.m, posizione, kMargineRecord, campo_posizione))
    return Seguito::fine_corpo;
  tratto& t = c.m.cella(cella_di_oggetto(posizione));
  if (!cella_libera(t)) {
    c.l.diagnostica.errore(CodiceErrore::cartello_su_cella_occupata, c.l.a(campo_posizione),
                           posizione);
    return Seguito::esci;
  }
  // Rows 1 to 80 are the only ones a sign may take: an 81st sign has none.
  int32_t& riga = c.s.riga_cartello;
  if (riga < kPrimaRigaStazione || riga > kUltimaRigaCartello) {
    throw GuastoInatteso("nessuna riga libera per il cartello (riga " + std::to_string(riga) + ")");
  }
  t.tipo = kCartello;
  t.valore_a = basso_16(riga);
  c.m.tabella[static_cast<size_t>(riga)].nome = c.l.campo;
  --riga;
  return Seguito::avanti;
}

}  // namespace calvetra
