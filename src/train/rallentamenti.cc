// Slowdowns (warning, start, end and pre-warning cells) and code reductions
// ("abbattimento").
#include <cstdint>

#include "model/numeri.h"
#include "model/significato.h"
#include "train/voci_treno.h"

namespace calvetra {

namespace {

// The warning board stands this far before the start; a slowdown starting
// at or below kInizioConAvviso has none.
constexpr int32_t kDistanzaAvviso = 1200;
constexpr int32_t kInizioConAvviso = 1500;

}  // namespace

void memo_rallentamento(Modello& m, Diagnostica& d, Luogo luogo, const Rallentamento& r) {
  const int32_t x = r.x;
  const int32_t d_v = r.d_v;
  int32_t f_ta = r.f_ta;
  const bool con_avviso = x > kInizioConAvviso;
  // Warning, start and end are point objects; the pre-warnings end in the
  // cell of the warning's position.
  const int64_t A = cella_di_oggetto(int64_t{x} - kDistanzaAvviso);
  const int64_t S = cella_di_oggetto(x);
  const int64_t E = cella_di_oggetto(int64_t{x} + r.l);
  const int64_t B = cella_di_tratto(int64_t{x} - kDistanzaAvviso);
  const auto cella = [&m](int64_t i) -> const tratto& { return m.cella(i); };
  const auto scrivi = [&m](int64_t i, CampoCella campo, int64_t v) { m.scrivi_cella(i, campo, v); };
  const auto errore = [&](CodiceErrore codice) { d.errore(codice, luogo, x); };

  // Every occupied-cell check comes before the first write.
  if (con_avviso) {
    if (!cella_libera(cella(A))) {
      errore(CodiceErrore::avviso_su_cella_occupata);
      return;
    }
  } else {
    f_ta = 0;
  }
  if (!cella_libera(cella(S))) {
    errore(CodiceErrore::inizio_su_cella_occupata);
    return;
  }
  if (!cella_libera(cella(E))) {
    errore(CodiceErrore::fine_su_cella_occupata);
    return;
  }

  // A slowdown shorter than 25 m has S = E: the start wins.
  scrivi(E, CampoCella::tipo, kFineRallentamento);
  if (d_v != 0) scrivi(E, CampoCella::valore_b, in_campo<int16_t>(d_v, "valore di ogni cella"));
  scrivi(S, CampoCella::tipo, kInizioRallentamento);
  if (d_v != 0) scrivi(S, CampoCella::valore_b, in_campo<int16_t>(d_v, "valore di ogni cella"));
  if (con_avviso) {
    scrivi(A, CampoCella::tipo, kAvvisoRallentamento);
    if (d_v != 0) scrivi(A, CampoCella::valore_b, in_campo<int16_t>(d_v, "valore di ogni cella"));
    scrivi(A, CampoCella::valore_a, in_campo<int16_t>(r.v, "velocita' del rallentamento"));
  }
  scrivi(S, CampoCella::valore_a, in_campo<int16_t>(r.v, "velocita' del rallentamento"));
  scrivi(E, CampoCella::valore_a, in_campo<int16_t>(r.v, "velocita' del rallentamento"));
  scrivi(S, CampoCella::valore_c, in_campo<int16_t>(r.f_tt, "segno di fine"));
  scrivi(E, CampoCella::valore_c, in_campo<int16_t>(r.f_tt, "segno di fine"));

  if (f_ta == 0) return;
  // The pre-warning cells are checked only after the slowdown itself has
  // been written, and those writes stay.
  for (int64_t k = 0; k <= 3; ++k) {
    if (!cella_libera(cella(B - k))) {
      errore(CodiceErrore::preavviso_su_cella_occupata);
      return;
    }
  }
  for (int64_t k = 0; k <= 3; ++k) {
    scrivi(B - k, CampoCella::tipo, kPreavvisoRallentamento);
    scrivi(B - k, CampoCella::valore_a, k + 1);
    if (d_v != 0) scrivi(B - k, CampoCella::valore_b, k + 1);
  }
}

Seguito voce_rallentamento(LetturaRecord& r, CorpoTreno& c) {
  Rallentamento ra;
  for (int32_t* v : {&ra.x, &ra.v, &ra.l, &ra.f_tt, &ra.f_ta, &ra.d_v}) *v = r.numero();
  if (r.oltre_il_percorso(ra.x, kMargineRecord)) return Seguito::fine_corpo;
  const CodiceErrore prima = r.diagnostica().codice_errore();
  memo_rallentamento(c.m, r.diagnostica(), r.luogo(0), ra);
  if (prima == CodiceErrore::nessuno &&
      r.diagnostica().codice_errore() == CodiceErrore::preavviso_su_cella_occupata) {
    // The first pre-warning cell, from the warning's own backwards, that
    // holds an object.
    const int64_t B = cella_di_tratto(int64_t{ra.x} - kDistanzaAvviso);
    for (int64_t k = 0; k <= 3; ++k) {
      if (B - k >= 0 && !cella_libera(c.m.cella(B - k))) {
        r.nota_cella(B - k);
        break;
      }
    }
  }
  return dopo_posa(r.diagnostica(), prima, ra.x, r.luogo(0));
}

Seguito voce_abbattimento(LetturaRecord& r, CorpoTreno& c) {
  Abbattimento a;
  a.posizione = r.numero();
  a.valore = r.numero();
  if (r.oltre_il_percorso(a.posizione, kMargineRecord)) return Seguito::fine_corpo;
  const int64_t cella = cella_di_tratto(a.posizione);
  if (!cella_libera(c.m.cella(cella))) {
    r.errore(CodiceErrore::abbattimento_su_cella_occupata, r.luogo(0), a.posizione);
    return Seguito::esci;
  }
  if (a.valore >= 1) {
    c.m.scrivi_cella(cella, CampoCella::tipo, kAbbattimento);
    c.m.scrivi_cella(cella, CampoCella::valore_a,
                     in_campo<int16_t>(a.valore, "valore dell'abbattimento"));
  } else {
    c.m.scrivi_cella(cella, CampoCella::tipo, kAbbattimentoNullo);
  }
  return Seguito::avanti;
}

}  // namespace calvetra
