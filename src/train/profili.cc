// Speed-limit and adhesion profiles: each point sets the value that holds from
// its own cell on, so a point fills the cells behind it with the value of the
// point before.
#include <algorithm>
#include <cstdint>

#include "model/numeri.h"
#include "model/significato.h"
#include "train/voci_treno.h"

namespace calvetra {

namespace {

// Field `campo` of the cells from the fill index up to `a` - 1 takes the
// value `valore()` gives, as one range; the index moves on to `a`. The value
// is worked out only when a cell is written: a speed out of the cell's range
// fails only then.
template <typename Valore>
void riempi(Modello& m, int64_t* indice, int64_t a, CampoCella campo, Valore valore) {
  if (*indice >= a) return;
  m.riempi_celle(*indice, a, campo, valore());
  *indice = a;
}

}  // namespace

void punto_velocita(Modello& m, StatoTreno& s, const PuntoProfilo& p) {
  const int64_t W = cella_di_tratto(p.posizione);
  const int64_t H = m.ultima_cella();
  if (W > 0) {
    // The first cell is filled even when W is not ahead of the fill index;
    // the fill never reaches cell H.
    riempi(m, &s.cella_velocita, std::min(std::max(W, s.cella_velocita + 1), H),
           CampoCella::velocita, [&s] { return velocita_da_kmh(s.velocita_corrente); });
  }
  s.velocita_corrente = p.valore;
}

void punto_aderenza(Modello& m, StatoTreno& s, const PuntoProfilo& p) {
  const int64_t W = cella_di_tratto(p.posizione);
  const int64_t H = m.ultima_cella();
  if (W > 0) {
    // Unlike the speed fill this one may reach the last cell; it stops only
    // once its index has passed it.
    riempi(m, &s.cella_aderenza, std::min(std::max(W, s.cella_aderenza + 1), H + 1),
           CampoCella::aderenza, [&s] { return basso_8(s.aderenza_corrente); });
  }
  s.aderenza_corrente = p.valore;
}

void coda_velocita(Modello& m, StatoTreno& s) {
  const int64_t H = m.ultima_cella();
  // The last three cells keep what they have unless the tail starts there.
  riempi(m, &s.cella_velocita, std::max(H - 2, s.cella_velocita + 1), CampoCella::velocita,
         [&s] { return velocita_da_kmh(s.velocita_corrente); });
}

void coda_aderenza(Modello& m, StatoTreno& s) {
  const int64_t H = m.ultima_cella();
  if (s.cella_aderenza > H) return;
  riempi(m, &s.cella_aderenza, std::max(H - 2, s.cella_aderenza + 1), CampoCella::aderenza,
         [&s] { return basso_8(s.aderenza_corrente); });
}

namespace {

// A profile point: read, bound-tested, watched for order, placed.
Seguito punto(LetturaRecord& r, CorpoTreno& c,
              void (*metti)(Modello&, StatoTreno&, const PuntoProfilo&)) {
  PuntoProfilo p;
  p.posizione = r.numero();
  p.valore = r.numero();
  if (r.oltre_il_percorso(p.posizione, kMargineRecord)) return Seguito::fine_corpo;
  r.in_ordine(p.posizione);
  metti(c.m, c.s, p);
  return Seguito::avanti;
}

}  // namespace

Seguito voce_velocita(LetturaRecord& r, CorpoTreno& c) { return punto(r, c, punto_velocita); }
Seguito voce_aderenza(LetturaRecord& r, CorpoTreno& c) { return punto(r, c, punto_aderenza); }

}  // namespace calvetra
