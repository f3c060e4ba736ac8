// Signals: the signal's own cell with its four packed codes and time code, and
// the approach codes 100 to 400 m before it.
#include <cstdint>

#include "model/numeri.h"
#include "model/significato.h"
#include "train/voci_treno.h"

namespace calvetra {

namespace {

// Approach cells: every second cell before the signal, four of them.
constexpr int kCelleAvvicinamento = 4;

}  // namespace

void memo_segnale(Modello& m, Diagnostica& d, Luogo luogo, Segnale& s) {
  const int64_t i = cella_di_oggetto(s.posizione);
  if (!cella_libera(m.cella(i))) {
    d.errore(CodiceErrore::segnale_su_cella_occupata, luogo, s.posizione);
    return;
  }
  const CodiciSegnale k =
      codifica_segnale({s.sx, s.s1, s.s2, s.s3, s.rapp, s.dx, s.d1, s.d2, s.d3, s.tempo});
  m.scrivi_cella(i, CampoCella::tipo, kSegnale);
  m.scrivi_cella(i, CampoCella::valore_a, k.a);
  m.scrivi_cella(i, CampoCella::valore_b, k.b);
  m.scrivi_cella(i, CampoCella::valore_c, k.c);
  m.scrivi_cella(i, CampoCella::valore_d, k.d);
  m.scrivi_cella(i, CampoCella::tempo, k.tempo);
  // The entry sees its time raised, as the record keeps it.
  s.tempo = static_cast<int32_t>(tempo_alzato(s.tempo));
  const int64_t classe = classe_cabina(s.sx, s.dx);

  // Approach cells before the start of the route do not exist: skipped.
  const int64_t H = m.ultima_cella();
  for (int k = 1; k <= kCelleAvvicinamento; ++k) {
    const int64_t j = i - 2 * k;
    if (j >= 0 && j <= H) m.scrivi_cella(j, CampoCella::preavviso, codice_preavviso(classe, k));
  }
}

Seguito voce_segnale(LetturaRecord& r, CorpoTreno& c) {
  Segnale s;
  for (int32_t* v :
       {&s.posizione, &s.sx, &s.s1, &s.s2, &s.s3, &s.rapp, &s.dx, &s.d1, &s.d2, &s.d3, &s.tempo}) {
    *v = r.numero();
  }
  if (r.oltre_il_percorso(s.posizione, kMargineRecord)) return Seguito::fine_corpo;
  const CodiceErrore prima = r.diagnostica().codice_errore();
  memo_segnale(c.m, r.diagnostica(), r.luogo(0), s);
  if (prima == CodiceErrore::nessuno &&
      r.diagnostica().codice_errore() == CodiceErrore::segnale_su_cella_occupata) {
    r.nota_cella(cella_di_oggetto(s.posizione));
  }
  return dopo_posa(r.diagnostica(), prima, s.posizione, r.luogo(0));
}

}  // namespace calvetra
