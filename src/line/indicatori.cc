// Speed-board records: a pair of boards in one cell, the left and right
// values packed side by side as counts of 5 km/h.
#include "run/form1.h"
#include "model/numeri.h"
#include "line/corpo_linea.h"

namespace calvetra {

namespace {

// vs * 20 + vd / 5, rounded: the two speeds as two-digit counts of 5.
int16_t coppia_velocita(int32_t vs, int32_t vd, const char* campo) {
  return in_campo<int16_t>(arrotonda_div(100 * int64_t{vs} + vd, 5), campo);
}

}  // namespace

Seguito Form1::corpo_indicatori() {
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
  if (oltre_limite(posizione, 100)) {
    registra_errore(15, campo_posizione);
    posizione_errore = posizione;
    return Seguito::fine_corpo;
  }
  memo_indicatori_v_max(posizione, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced);
  if (codice_errore > 0) {
    chiudi_ed_elimina(nome_file_linea());
    attribuisci_campo(campo_posizione);
    posizione_errore = posizione;
    return Seguito::esci;
  }
  return Seguito::avanti;
}

void Form1::memo_indicatori_v_max(int32_t posizione, int32_t& vas, int32_t& vbs, int32_t& vcs,
                                  int32_t& strisces, int32_t& vad, int32_t& vbd, int32_t& vcd,
                                  int32_t& strisced) {
  tratto& t = cella(cella_di_oggetto(posizione));
  if (!cella_libera(t)) {
    registra_errore_senza_campo(21);
    return;
  }
  t.tipo = kIndicatori;
  t.valore_a = coppia_velocita(vas, vad, "valore_a");
  t.valore_b = coppia_velocita(vbs, vbd, "valore_b");
  t.valore_c = coppia_velocita(vcs, vcd, "valore_c");
  // 16-bit arithmetic: every operand and intermediate result must fit.
  const int16_t s = in_campo<int16_t>(strisces, "strisces");
  const int16_t d = in_campo<int16_t>(strisced, "strisced");
  const int16_t s10 = in_campo<int16_t>(int64_t{s} * 10, "strisces * 10");
  t.valore_d = in_campo<int16_t>(int64_t{s10} + d, "valore_d");
}

}  // namespace calvetra
