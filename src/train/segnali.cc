// Signals: the signal's own cell with its four packed codes and time code, and
// the approach codes 100 to 400 m before it.
#include <cstdint>

#include "model/numeri.h"
#include "train/voci_treno.h"

namespace calvetra {

void memo_segnale(Modello& m, Diagnostica& d, Luogo luogo, int32_t posizione, int32_t& sx,
                  int32_t& s1, int32_t& s2, int32_t& s3, int32_t& rapp, int32_t& dx, int32_t& d1,
                  int32_t& d2, int32_t& d3, int32_t& tempo) {
  const int64_t i = arrotonda_div(int64_t{posizione} + kMetriCella, kMetriCella);
  tratto& c = m.cella(i);
  if (!cella_libera(c)) {
    d.errore(CodiceErrore::segnale_su_cella_occupata, luogo, posizione);
    return;
  }
  // The packed codes keep their low 16 bits.
  c.tipo = kSegnale;
  c.valore_a = basso_16(int64_t{10} * s1 + d1);
  c.valore_b = basso_16(int64_t{10} * s2 + d2);
  c.valore_c = basso_16(int64_t{10} * s3 + d3);
  const int64_t classe = int64_t{3} * sx + dx;
  c.valore_d = basso_16(int64_t{10} * rapp + classe);

  // A short time is raised to 101, and the caller sees the raised value.
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  c.tempo = sx == 2 ? basso_8(tempo) : uint8_t{0};

  // Approach cells before the start of the route do not exist: skipped.
  const int64_t H = m.ultima_cella();
  for (int k = 1; k <= 4; ++k) {
    const int64_t j = i - 2 * k;
    if (j >= 0 && j <= H) m.cella(j).preavviso = basso_8(classe * 10 + k);
  }
}

Seguito voce_segnale(CorpoTreno& c) {
  LettoreCampi& file1 = c.l.file1;
  const int32_t posizione = file1.leggi_32();
  const size_t campo_posizione = file1.inizio_campo();
  int32_t sx = file1.leggi_32();
  int32_t s1 = file1.leggi_32();
  int32_t s2 = file1.leggi_32();
  int32_t s3 = file1.leggi_32();
  int32_t rapp = file1.leggi_32();
  int32_t dx = file1.leggi_32();
  int32_t d1 = file1.leggi_32();
  int32_t d2 = file1.leggi_32();
  int32_t d3 = file1.leggi_32();
  int32_t tempo = file1.leggi_32();
  if (c.l.oltre_il_percorso(c.m, posizione, kMargineRecord, campo_posizione))
    return Seguito::fine_corpo;
  c.l.avvisi.in_ordine("il segnale", posizione);
  const CodiceErrore prima = c.l.diagnostica.codice_errore();
  memo_segnale(c.m, c.l.diagnostica, c.l.a(campo_posizione), posizione, sx, s1, s2, s3, rapp, dx,
               d1, d2, d3, tempo);
  return dopo_posa(c, prima, posizione);
}

}  // namespace calvetra
