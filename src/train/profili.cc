// Speed-limit and adhesion profiles: each point sets the value that holds from
// its own cell on, so a point fills the cells behind it with the value of the
// point before.
#include <cstdint>

#include "model/numeri.h"
#include "train/voci_treno.h"

namespace calvetra {

namespace {

// Speed limits are kept in steps of 5 km/h.
constexpr int64_t kPassoVelocita = 5;
uint8_t passo_velocita(int32_t kmh) {
  return in_campo<uint8_t>(arrotonda_div(kmh, kPassoVelocita), "velocita");
}

}  // namespace

void punto_velocita(Modello& m, StatoTreno& s, int32_t p, int32_t v) {
  const int64_t W = arrotonda_div(p, kMetriCella);
  const int64_t H = m.ultima_cella();
  if (W > 0) {
    // The first cell is filled even when W is not ahead of the fill index.
    do {
      if (s.cella_velocita >= H) break;
      m.cella(s.cella_velocita).velocita = passo_velocita(s.velocita_corrente);
      ++s.cella_velocita;
    } while (s.cella_velocita < W);
  }
  s.velocita_corrente = v;
}

void punto_aderenza(Modello& m, StatoTreno& s, int32_t p, int32_t a) {
  const int64_t W = arrotonda_div(p, kMetriCella);
  const int64_t H = m.ultima_cella();
  if (W > 0) {
    // Unlike the speed fill this one may reach the last cell; it stops only
    // once its index has passed it.
    do {
      if (s.cella_aderenza > H) break;
      m.cella(s.cella_aderenza).aderenza = basso_8(s.aderenza_corrente);
      ++s.cella_aderenza;
    } while (s.cella_aderenza < W);
  }
  s.aderenza_corrente = a;
}

void coda_velocita(Modello& m, StatoTreno& s) {
  const int64_t H = m.ultima_cella();
  // The last three cells keep what they have unless the tail starts there.
  do {
    m.cella(s.cella_velocita).velocita = passo_velocita(s.velocita_corrente);
    ++s.cella_velocita;
  } while (s.cella_velocita < H - 2);
}

void coda_aderenza(Modello& m, StatoTreno& s) {
  const int64_t H = m.ultima_cella();
  if (s.cella_aderenza > H) return;
  do {
    m.cella(s.cella_aderenza).aderenza = basso_8(s.aderenza_corrente);
    ++s.cella_aderenza;
  } while (s.cella_aderenza < H - 2);
}

Seguito voce_velocita(CorpoTreno& c) {
  const int32_t p = c.l.file1.leggi_32();
  const size_t campo_posizione = c.l.file1.inizio_campo();
  const int32_t v = c.l.file1.leggi_32();
  if (c.l.oltre_il_percorso(c.m, p, kMargineRecord, campo_posizione)) return Seguito::fine_corpo;
  c.l.avvisi.in_ordine("il limite di velocita", p);
  punto_velocita(c.m, c.s, p, v);
  return Seguito::avanti;
}

Seguito voce_aderenza(CorpoTreno& c) {
  const int32_t p = c.l.file1.leggi_32();
  const size_t campo_posizione = c.l.file1.inizio_campo();
  const int32_t a = c.l.file1.leggi_32();
  if (c.l.oltre_il_percorso(c.m, p, kMargineRecord, campo_posizione)) return Seguito::fine_corpo;
  c.l.avvisi.in_ordine("l'aderenza", p);
  punto_aderenza(c.m, c.s, p, a);
  return Seguito::avanti;
}

}  // namespace calvetra
