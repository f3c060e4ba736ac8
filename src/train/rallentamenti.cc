// Slowdowns (warning, start, end and pre-warning cells) and code reductions
// ("abbattimento").
#include <cstdint>

#include "model/numeri.h"
#include "train/fase_treno.h"

namespace calvetra {

namespace {

// Below this start there is no room for a warning 1200 m ahead.
constexpr int32_t kInizioConAvviso = 1500;

}  // namespace

void Form1::memo_rallentamento(int32_t x, int32_t& v, int32_t& l, int32_t& f_tt, int32_t f_ta,
                               int32_t& d_v) {
  const bool con_avviso = x > kInizioConAvviso;
  const int64_t A = arrotonda_div(int64_t{x} - 1150, 50);
  const int64_t S = arrotonda_div(int64_t{x} + 50, 50);
  const int64_t E = arrotonda_div(int64_t{x} + l + 50, 50);
  const int64_t B = arrotonda_div(int64_t{x} - 1200, 50);

  // Every occupied-cell check comes before the first write.
  if (con_avviso) {
    if (!cella_libera(cella(A))) {
      registra_errore(17, file1.inizio_campo());
      return;
    }
  } else {
    f_ta = 0;
  }
  if (!cella_libera(cella(S))) {
    registra_errore(18, file1.inizio_campo());
    return;
  }
  if (!cella_libera(cella(E))) {
    registra_errore(19, file1.inizio_campo());
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
      registra_errore(20, file1.inizio_campo());
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

Seguito voce_rallentamento(Form1& f) {
  const int32_t x = f.file1.leggi_32();
  const size_t campo_posizione = f.file1.inizio_campo();
  int32_t v = f.file1.leggi_32();
  int32_t l = f.file1.leggi_32();
  int32_t f_tt = f.file1.leggi_32();
  const int32_t f_ta = f.file1.leggi_32();
  int32_t d_v = f.file1.leggi_32();
  if (oltre_il_percorso(f, x, 100, campo_posizione)) return Seguito::fine_corpo;
  const int32_t prima = f.codice_errore;
  f.memo_rallentamento(x, v, l, f_tt, f_ta, d_v);
  return dopo_posa(f, prima, campo_posizione, x);
}

Seguito voce_abbattimento(Form1& f) {
  const int32_t p = f.file1.leggi_32();
  const size_t campo_posizione = f.file1.inizio_campo();
  const int32_t w = f.file1.leggi_32();
  if (oltre_il_percorso(f, p, 100, campo_posizione)) return Seguito::fine_corpo;
  tratto& c = f.cella(arrotonda_div(p, 50));
  if (!cella_libera(c)) {
    f.chiudi_ed_elimina(f.nome_file_treno());
    f.registra_errore(7, campo_posizione);
    f.posizione_errore = p;
    return Seguito::esci;
  }
  if (w >= 1) {
    c.tipo = kAbbattimento;
    c.valore_a = in_campo<int16_t>(w, "abbattimento");
  } else {
    c.tipo = kAbbattimentoNullo;
  }
  return Seguito::avanti;
}

}  // namespace calvetra
