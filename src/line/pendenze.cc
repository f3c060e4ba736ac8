// Gradient records: each spreads the gradient in force so far over the cells
// up to its own position, then puts its own gradient in force.
#include "run/form1.h"
#include "model/numeri.h"
#include "line/corpo_linea.h"

namespace calvetra {

void riempi_pendenze(Form1& f, int64_t fino) {
  // Stored as gradient + 100, keeping the low 8 bits: -101 becomes 255. A
  // fill pushed past the last cell fails inside `cella`.
  const uint8_t valore = basso_8(int64_t{f.pendenza_in_vigore} + 100);
  do {
    f.cella(f.cella_pendenza).pendenza = valore;
    ++f.cella_pendenza;
  } while (f.cella_pendenza < fino);
}

Seguito Form1::corpo_pendenza() {
  const int32_t P = file1.leggi_32();
  const size_t campo_P = file1.inizio_campo();
  const int32_t g = file1.leggi_32();
  if (oltre_limite(P, 100)) {
    registra_errore(15, campo_P);
    posizione_errore = P;
    return Seguito::fine_corpo;
  }
  const int64_t c = cella_di_tratto(P);
  if (c > 0) riempi_pendenze(*this, c);
  pendenza_in_vigore = g;
  return Seguito::avanti;
}

}  // namespace calvetra
