// Helpers shared by the handlers of the line body and its closing steps.
#ifndef CALVETRA_LINE_CORPO_LINEA_H_
#define CALVETRA_LINE_CORPO_LINEA_H_

#include <cstdint>

#include "run/form1.h"
#include "model/numeri.h"
#include "model/records.h"

namespace calvetra {

// Beyond this metre a curve record or its run-in may not compute the plan.
inline constexpr int32_t kMetroMassimo = 1000000;

// Cell of a point object (board, sign) at p metres: p / 50 + 1, rounded.
inline int64_t cella_di_oggetto(int32_t p) { return arrotonda_div(int64_t{p} + 50, 50); }
// First cell of a stretch (gradient, mountain) beginning at p metres.
inline int64_t cella_di_tratto(int32_t p) { return arrotonda_div(p, 50); }

// Fills the gradient in force into the next cell and the following ones while
// the next cell stays below `fino`. The first cell is always filled, even when
// the next cell is already at `fino` or past it: the gradient records and the
// closing step both rely on that.
void riempi_pendenze(Form1& f, int64_t fino);

// How a stretch of the plan turns.
enum class Andamento { rettilineo, curva };

// Computes the plan from the next metre up to metre `fino`, but never beyond
// T - 2, turning each metre by k when `andamento` is curva. When
// `con_limite` is set it stops right after computing metre kMetroMassimo and
// returns false; otherwise it returns true.
bool avanza_piano(Geometria& g, int64_t fino, Andamento andamento, double k, bool con_limite);

}  // namespace calvetra

#endif  // CALVETRA_LINE_CORPO_LINEA_H_
