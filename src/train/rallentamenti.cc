// Slowdowns (warning, start, end and pre-warning cells) and code reductions
// ("abbattimento").
#include <cstdint>

#include "model/numeri.h"
#include "train/voci_treno.h"

namespace calvetra {

namespace {

// Below this start there is no room for a warning 1200 m ahead.
constexpr int32_t kInizioConAvviso = 1500;

}  // namespace

void memo_rallentamento(Modello& m, Diagnostica& d, Luogo luogo, int32_t x, int32_t& v, int32_t& l,
                        int32_t& f_tt, int32_t f_ta, int32_t& d_v) {
  const bool con_avviso = x > kInizioConAvviso;
  const int64_t A = arrotonda_div(int64_t{x} - 1150, kMetriCella);
  const int64_t S = arrotonda_div(int64_t{x} + kMetriCella, kMetriCella);
  const int64_t E = arrotonda_div(int64_t{x} + l + kMetriCella, kMetriCella);
  const int64_t B = arrotonda_div(int64_t{x} - 1200, kMetriCella);
  const auto cella = [&m](int64_t i) -> tratto& { return m.cella(i); };
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
  cella(E).tipo = kFineRallentamento;
  if (d_v != 0) cella(E).valore_b = in_campo<int16_t>(d_v, "d_v");
  cella(S).tipo = kInizioRallentamento;
  if (d_v != 0) cella(S).valore_b = in_campo<int16_t>(d_v, "d_v");
  if (con_avviso) {
    tratto& avviso = cella(A);
    avviso.tipo = kAvvisoRallentamento;
    if (d_v != 0) avviso.valore_b = in_campo<int16_t>(d_v, "d_v");
    avviso.valore_a = in_campo<int16_t>(v, "v");
  }
  cella(S).valore_a = in_campo<int16_t>(v, "v");
  cella(E).valore_a = in_campo<int16_t>(v, "v");
  cella(S).valore_c = in_campo<int16_t>(f_tt, "f_tt");
  cella(E).valore_c = in_campo<int16_t>(f_tt, "f_tt");

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
    tratto& t = cella(B - k);
    t.tipo = kPreavvisoRallentamento;
    t.valore_a = static_cast<int16_t>(k + 1);
    if (d_v != 0) t.valore_b = static_cast<int16_t>(k + 1);
  }
}

Seguito voce_rallentamento(CorpoTreno& c) {
  LettoreCampi& file1 = c.l.file1;
  const int32_t x = file1.leggi_32();
  const size_t campo_posizione = file1.inizio_campo();
  int32_t v = file1.leggi_32();
  int32_t l = file1.leggi_32();
  int32_t f_tt = file1.leggi_32();
  const int32_t f_ta = file1.leggi_32();
  int32_t d_v = file1.leggi_32();
  if (c.l.oltre_il_percorso(c.m, x, kMargineRecord, campo_posizione)) return Seguito::fine_corpo;
  const CodiceErrore prima = c.l.diagnostica.codice_errore();
  memo_rallentamento(c.m, c.l.diagnostica, c.l.a(campo_posizione), x, v, l, f_tt, f_ta, d_v);
  return dopo_posa(c, prima, x);
}

Seguito voce_abbattimento(CorpoTreno& c) {
  const int32_t p = c.l.file1.leggi_32();
  const size_t campo_posizione = c.l.file1.inizio_campo();
  const int32_t w = c.l.file1.leggi_32();
  if (c.l.oltre_il_percorso(c.m, p, kMargineRecord, campo_posizione)) return Seguito::fine_corpo;
  tratto& t = c.m.cella(arrotonda_div(p, kMetriCella));
  if (!cella_libera(t)) {
    c.l.diagnostica.errore(CodiceErrore::abbattimento_su_cella_occupata, c.l.a(campo_posizione), p);
    return Seguito::esci;
  }
  if (w >= 1) {
    t.tipo = kAbbattimento;
    t.valore_a = in_campo<int16_t>(w, "abbattimento");
  } else {
    t.tipo = kAbbattimentoNullo;
  }
  return Seguito::avanti;
}

}  // namespace calvetra
