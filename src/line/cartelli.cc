// Sign records: a lineside sign takes a cell and a table row for its text;
// the rows are handed out from 80 downward, below them grow the stations.
#include "run/form1.h"
#include "model/numeri.h"
#include "line/corpo_linea.h"

namespace calvetra {

Seguito Form1::corpo_cartello() {
  const int32_t posizione = file1.leggi_32();
  const size_t campo_posizione = file1.inizio_campo();
  campo = file1.leggi_testo();
  if (oltre_limite(posizione, 100)) {
    registra_errore(15, campo_posizione);
    posizione_errore = posizione;
    return Seguito::fine_corpo;
  }
  tratto& t = cella(cella_di_oggetto(posizione));
  if (!cella_libera(t)) {
    chiudi_ed_elimina(nome_file_linea());
    registra_errore(6, campo_posizione);
    posizione_errore = posizione;
    return Seguito::esci;
  }
  // Rows 1 to 80 are the only ones a sign may take: an 81st sign has none.
  if (riga_cartello < 1 || riga_cartello > 80) {
    throw GuastoInatteso("nessuna riga libera per il cartello (riga " +
                         std::to_string(riga_cartello) + ")");
  }
  t.tipo = kCartello;
  t.valore_a = basso_16(riga_cartello);
  tabella[static_cast<size_t>(riga_cartello)].nome = campo;
  --riga_cartello;
  return Seguito::avanti;
}

}  // namespace calvetra
