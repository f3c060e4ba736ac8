// The record handlers of the line body and the helpers they share.
#ifndef CALVETRA_LINE_CORPO_LINEA_H_
#define CALVETRA_LINE_CORPO_LINEA_H_

#include <cstdint>

#include "fields/lettura.h"
#include "line/fase_linea.h"
#include "model/costanti.h"
#include "model/numeri.h"
#include "model/records.h"

namespace calvetra {

// One reading of the line body: the reader, the model it fills and the body state.
struct CorpoLinea {
  Lettura& l;
  Modello& m;
  StatoCorpoLinea& s;
  bool con_geometria;
};

// Beyond this metre a curve record or its run-in may not compute the plan.
inline constexpr int32_t kMetroMassimo = 1000000;

// Cell of a point object (board, sign) at p metres: p / 50 + 1, rounded.
inline int64_t cella_di_oggetto(int32_t p) {
  return arrotonda_div(int64_t{p} + kMetriCella, kMetriCella);
}
// First cell of a stretch (gradient, mountain) beginning at p metres.
inline int64_t cella_di_tratto(int32_t p) { return arrotonda_div(p, kMetriCella); }

// The body state as the body starts; seeds the plan when it is wanted.
void inizia_corpo(CorpoLinea& c);
// Closing steps: the last gradient and the straight end of the plan.
void chiusura_corpo(CorpoLinea& c);

// The handlers, each called right after its keyword field.
Seguito corpo_pendenza(CorpoLinea& c);
Seguito corpo_curva(CorpoLinea& c);
Seguito corpo_montagna(CorpoLinea& c);
Seguito corpo_indicatori(CorpoLinea& c);
Seguito corpo_cartello(CorpoLinea& c);

// The placing procedures of mountains and boards. A board in a taken cell
// records 21 at `luogo` and `posizione`.
void memo_montagna(Modello& m, StatoCorpoLinea& s, int32_t& inizio, int32_t& fine, int32_t& tipo);
void memo_indicatori_v_max(Modello& m, Diagnostica& d, Luogo luogo, int32_t posizione, int32_t& vas,
                           int32_t& vbs, int32_t& vcs, int32_t& strisces, int32_t& vad,
                           int32_t& vbd, int32_t& vcd, int32_t& strisced);

// Fills the gradient in force into the next cell and the following ones while
// the next cell stays below `fino`. The first cell is always filled, even when
// the next cell is already at `fino` or past it: the gradient records and the
// closing step both rely on that.
void riempi_pendenze(Modello& m, StatoCorpoLinea& s, int64_t fino);

// How a stretch of the plan turns.
enum class Andamento { rettilineo, curva };

// Computes the plan from the next metre up to metre `fino`, but never beyond
// T - 2, turning each metre by k when `andamento` is curva. When
// `con_limite` is set it stops right after computing metre kMetroMassimo and
// returns false; otherwise it returns true.
bool avanza_piano(Geometria& g, int64_t fino, Andamento andamento, double k, bool con_limite);

}  // namespace calvetra

#endif  // CALVETRA_LINE_CORPO_LINEA_H_
