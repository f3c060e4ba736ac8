// Speed-limit and adhesion profiles: each point sets the value that holds from
// its own cell on, so a point fills the cells behind it with the value of the
// point before.
#include <cstdint>

#include "model/numeri.h"
#include "model/significato.h"
#include "train/voci_treno.h"

namespace calvetra {

void punto_velocita(Modello& m, StatoTreno& s, const PuntoProfilo& p) {
  const int64_t W = cella_di_tratto(p.posizione);
  const int64_t H = m.ultima_cella();
  if (W > 0) {
    // The first cell is filled even when W is not ahead of the fill index.
    do {
      if (s.cella_velocita >= H) break;
      m.scrivi_cella(s.cella_velocita, CampoCella::velocita, velocita_da_kmh(s.velocita_corrente));
      ++s.cella_velocita;
    } while (s.cella_velocita < W);
  }
  s.velocita_corrente = p.valore;
}

void punto_aderenza(Modello& m, StatoTreno& s, const PuntoProfilo& p) {
  const int64_t W = cella_di_tratto(p.posizione);
  const int64_t H = m.ultima_cella();
  if (W > 0) {
    // Unlike the speed fill this one may reach the last cell; it stops only
    // once its index has passed it.
    do {
      if (s.cella_aderenza > H) break;
      m.scrivi_cella(s.cella_aderenza, CampoCella::aderenza, basso_8(s.aderenza_corrente));
      ++s.cella_aderenza;
    } while (s.cella_aderenza < W);
  }
  s.aderenza_corrente = p.valore;
}

void coda_velocita(Modello& m, StatoTreno& s) {
  const int64_t H = m.ultima_cella();
  // The last three cells keep what they have unless the tail starts there.
  do {
    m.scrivi_cella(s.cella_velocita, CampoCella::velocita, velocita_da_kmh(s.velocita_corrente));
    ++s.cella_velocita;
  } while (s.cella_velocita < H - 2);
}

void coda_aderenza(Modello& m, StatoTreno& s) {
  const int64_t H = m.ultima_cella();
  if (s.cella_aderenza > H) return;
  do {
    m.scrivi_cella(s.cella_aderenza, CampoCella::aderenza, basso_8(s.aderenza_corrente));
    ++s.cella_aderenza;
  } while (s.cella_aderenza < H - 2);
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
