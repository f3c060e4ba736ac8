// Gradient records: each spreads the gradient in force so far over the cells
// up to its own position, then puts its own gradient in force.
#include <algorithm>

#include "line/corpo_linea.h"
#include "model/significato.h"

namespace calvetra {

void riempi_pendenze(Modello& m, StatoCorpoLinea& s, int64_t fino) {
  // A fill pushed past the last cell fails inside `cella`.
  // The first cell is written even when `fino` is not ahead of it.
  const int64_t a = std::max(fino, s.cella_pendenza + 1);
  m.riempi_celle(s.cella_pendenza, a, CampoCella::pendenza,
                 pendenza_da_per_mille(s.pendenza_in_vigore));
  s.cella_pendenza = a;
}

void memo_pendenza(Modello& m, StatoCorpoLinea& s, const Pendenza& p) {
  const int64_t cella = cella_di_tratto(p.posizione);
  if (cella > 0) riempi_pendenze(m, s, cella);
  s.pendenza_in_vigore = p.per_mille;
}

Seguito corpo_pendenza(LetturaRecord& r, CorpoLinea& c) {
  Pendenza p;
  p.posizione = r.numero();
  p.per_mille = r.numero();
  if (r.oltre_il_percorso(p.posizione, kMargineRecord)) return Seguito::fine_corpo;
  r.in_ordine(p.posizione);
  memo_pendenza(c.m, c.s, p);
  return Seguito::avanti;
}

}  // namespace calvetra
