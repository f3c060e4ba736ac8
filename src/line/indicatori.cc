// Speed-board records: a pair of boards in one cell, the left and right
// values packed side by side as counts of 5 km/h.
#include <optional>

#include "line/corpo_linea.h"
#include "model/significato.h"

namespace calvetra {

namespace {

// A pair that does not fit its 16 bits is an unexpected failure, told as
// every field that does not fit is.
int16_t coppia(int32_t vs, int32_t vd, const char* campo) {
  if (const std::optional<int16_t> v = codifica_coppia(vs, vd)) return *v;
  return in_campo<int16_t>(valore_coppia(vs, vd), campo);
}

}  // namespace

Seguito corpo_indicatori(LetturaRecord& r, CorpoLinea& c) {
  Indicatori i;
  for (int32_t* v :
       {&i.posizione, &i.vas, &i.vbs, &i.vcs, &i.strisces, &i.vad, &i.vbd, &i.vcd, &i.strisced}) {
    *v = r.numero();
  }
  if (r.oltre_il_percorso(i.posizione, kMargineRecord)) return Seguito::fine_corpo;
  memo_indicatori_v_max(c.m, r.diagnostica(), r.luogo(0), i);
  // The body stops on any standing error, as after every placing procedure.
  return r.diagnostica().con_errore() ? Seguito::esci : Seguito::avanti;
}

void memo_indicatori_v_max(Modello& m, Diagnostica& d, Luogo luogo, const Indicatori& i) {
  const int64_t c = cella_di_oggetto(i.posizione);
  if (!cella_libera(m.cella(c))) {
    d.errore(CodiceErrore::indicatori_su_cella_occupata, luogo, i.posizione);
    return;
  }
  m.scrivi_cella(c, CampoCella::tipo, kIndicatori);
  m.scrivi_cella(c, CampoCella::valore_a, coppia(i.vas, i.vad, "valore_a"));
  m.scrivi_cella(c, CampoCella::valore_b, coppia(i.vbs, i.vbd, "valore_b"));
  m.scrivi_cella(c, CampoCella::valore_c, coppia(i.vcs, i.vcd, "valore_c"));
  // 16-bit arithmetic: every operand and intermediate result must fit.
  const int16_t sinistra = in_campo<int16_t>(i.strisces, "strisce a sinistra");
  const int16_t destra = in_campo<int16_t>(i.strisced, "strisce a destra");
  const int16_t s10 = in_campo<int16_t>(int64_t{sinistra} * 10, "10 volte le strisce a sinistra");
  m.scrivi_cella(c, CampoCella::valore_d, in_campo<int16_t>(int64_t{s10} + destra, "valore_d"));
}

}  // namespace calvetra
