// Ordering of the three kilometre-progressive definitions of the header rows
// 81 to 83: largest first number in row 81, smallest in row 83, and the flag 1
// adding 100 to the second number.
#include <array>
#include <optional>

#include "line/fase_linea.h"
#include "model/numeri.h"

namespace calvetra {

namespace {

struct Definizione {
  int32_t primo = 0;
  int32_t secondo = 0;
  int32_t flag = 0;
  std::optional<size_t> da;  // the row it was read into (0 to 2 from row 81)
};

Definizione leggi(const Tabella& t, size_t k) {
  const voce& v = t[kRigaProgressivaTre + k];
  return {v.inizio, v.fine, v.posizione, k};
}

}  // namespace

OrigineProgressive progressive_ordina(Tabella& tabella) {
  const Definizione r81 = leggi(tabella, 0);
  const Definizione r82 = leggi(tabella, 1);
  const Definizione r83 = leggi(tabella, 2);
  std::array<Definizione, 3> nuove{};  // rows 81, 82, 83; all zero unless chosen

  const int64_t somma = static_cast<int64_t>(r81.primo) + r82.primo + r83.primo;
  if (somma != 0) {
    if (r81.primo > r82.primo && r81.primo > r83.primo) {
      nuove = r82.primo > r83.primo ? std::array{r81, r82, r83} : std::array{r81, r83, r82};
    } else if (r82.primo > r81.primo && r82.primo > r83.primo) {
      nuove = r81.primo > r83.primo ? std::array{r82, r81, r83} : std::array{r82, r83, r81};
    } else if (r83.primo > r81.primo && r83.primo > r82.primo) {
      nuove = r81.primo > r82.primo ? std::array{r83, r81, r82} : std::array{r83, r82, r81};
    }
  } else {
    if (r83.secondo > 0) {
      nuove = {r83, r82, r81};
    } else if (r82.secondo > 0) {
      nuove = {r82, r81, r83};
    } else if (r81.secondo > 0) {
      nuove = {r81, r82, r83};
    }
  }

  for (Definizione& d : nuove) {
    if (d.flag == 1)
      d.secondo = in_campo<int32_t>(int64_t{d.secondo} + kAggiuntaSegno, "progressiva");
  }
  OrigineProgressive da{};
  for (size_t i = 0; i < 3; ++i) {
    const Definizione& d = nuove[i];
    voce& riga = tabella[kRigaProgressivaTre + i];
    riga.inizio = d.primo;
    riga.fine = d.secondo;
    riga.posizione = d.flag;
    da[i] = d.da;
  }
  return da;
}

}  // namespace calvetra
