// The cab-code pass over the cells.
#ifndef CALVETRA_COMPILE_PASSO_CODICI_H_
#define CALVETRA_COMPILE_PASSO_CODICI_H_

#include <vector>

#include "model/diagnostica.h"
#include "model/giornale.h"
#include "model/records.h"

namespace calvetra {

// One forward walk over the cells of `m` that adds code reductions of 180 km/h around
// every slowdown; a reduction with no free cell records 11, 12 or 13 at the
// cell concerned. With a journal, every cell it marks or lowers is written
// there, and told with the slowdown cell that caused it; its errors then
// point at that slowdown's record.
void passo_codici(Modello& m, Diagnostica& d, Giornale* giornale = nullptr);

// `minimo`: y when x > y, otherwise x (the first on a tie).
template <typename T>
T minimo(const T& x, const T& y) {
  return x > y ? y : x;
}

}  // namespace calvetra

#endif  // CALVETRA_COMPILE_PASSO_CODICI_H_
