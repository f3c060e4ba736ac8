// Speed-board records: a pair of boards in one cell, the left and right
// values packed side by side as counts of 5 km/h.
#include "line/corpo_linea.h"

namespace calvetra {

namespace {

// vs * 20 + vd / 5, rounded: the two speeds as two-digit counts of 5.
int16_t coppia_velocita(int32_t vs, int32_t vd, const char* campo) {
  return in_campo<int16_t>(arrotonda_div(100 * int64_t{vs} + vd, 5), campo);
}

}  // namespace

Seguito corpo_indicatori(CorpoLinea& c) {
  LettoreCampi& file1 = c.l.file1;
  const int32_t posizione = file1.leggi_32();
  const size_t campo_posizione = file1.inizio_campo();
  int32_t vas = file1.leggi_32();
  int32_t vbs = file1.leggi_32();
  int32_t vcs = file1.leggi_32();
  int32_t strisces = file1.leggi_32();
  int32_t vad = file1.leggi_32();
  int32_t vbd = file1.leggi_32();
  int32_t vcd = file1.leggi_32();
  int32_t strisced = file1.leggi_32();
  if (c.l.oltre_il_percorso(c.m, posizione, kMargineRecord, campo_posizione))
    return Seguito::fine_corpo;
  memo_indicatori_v_max(c.m, c.l.diagnostica, c.l.a(campo_posizione), posizione, vas, vbs, vcs,
                        strisces, vad, vbd, vcd, strisced);
  // The body stops on any standing error, as after every placing procedure.
  return c.l.diagnostica.con_errore() ? Seguito::esci : Seguito::avanti;
}

void memo_indicatori_v_max(Modello& m, Diagnostica& d, Luogo luogo, int32_t posizione, int32_t& vas,
                           int32_t& vbs, int32_t& vcs, int32_t& strisces, int32_t& vad,
                           int32_t& vbd, int32_t& vcd, int32_t& strisced) {
  tratto& t = m.cella(cella_di_oggetto(posizione));
  if (!cella_libera(t)) {
    d.errore(CodiceErrore::indicatori_su_cella_occupata, luogo, posizione);
    return;
  }
  t.tipo = kIndicatori;
  t.valore_a = coppia_velocita(vas, vad, "valore_a");
  t.valore_b = coppia_velocita(vbs, vbd, "valore_b");
  t.valore_c = coppia_velocita(vcs, vcd, "valore_c");
  // 16-bit arithmetic: every operand and intermediate result must fit.
  const int16_t sinistra = in_campo<int16_t>(strisces, "strisces");
  const int16_t destra = in_campo<int16_t>(strisced, "strisced");
  const int16_t s10 = in_campo<int16_t>(int64_t{sinistra} * 10, "strisces * 10");
  t.valore_d = in_campo<int16_t>(int64_t{s10} + destra, "valore_d");
}

}  // namespace calvetra
