// Gradient records: each spreads the gradient in force so far over the cells
// up to its own position, then puts its own gradient in force.
#include "line/avvisi_linea.h"
#include "line/corpo_linea.h"

namespace calvetra {

void riempi_pendenze(Modello& m, StatoCorpoLinea& s, int64_t fino) {
  // Stored as gradient + 100, keeping the low 8 bits: -101 becomes 255. A
  // fill pushed past the last cell fails inside `cella`.
  const uint8_t valore = basso_8(int64_t{s.pendenza_in_vigore} + 100);
  do {
    m.cella(s.cella_pendenza).pendenza = valore;
    ++s.cella_pendenza;
  } while (s.cella_pendenza < fino);
}

Seguito corpo_pendenza(CorpoLinea& c) {
  LettoreCampi& file1 = c.l.file1;
  const int32_t P = file1.leggi_32();
  const size_t campo_P = file1.inizio_campo();
  const int32_t g = file1.leggi_32();
  if (c.l.oltre_il_percorso(c.m, P, kMargineRecord, campo_P)) return Seguito::fine_corpo;
  avvisa_pendenza(c, P);
  const int64_t cella = cella_di_tratto(P);
  if (cella > 0) riempi_pendenze(c.m, c.s, cella);
  c.s.pendenza_in_vigore = g;
  return Seguito::avanti;
}

}  // namespace calvetra
