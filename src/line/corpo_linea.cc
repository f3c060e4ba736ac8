// Body records of the line source: placeholders until the route model lands.
#include "driver/form1.h"
#include "driver/numeri.h"

namespace calvetra {

void Form1::inizia_corpo() {
  numero_montagne = 0;
  riga_cartello = 80;
  cella_pendenza = 0;
  pendenza_in_vigore = 0;
  if (con_geometria != 0) {
    if (!geometria.esiste() || geometria.ultimo_metro() < 1) {
      throw GuastoInatteso("la geometria del percorso non esiste");
    }
    geometria.semina();
  }
}

Seguito Form1::corpo_pendenza() { return Seguito::avanti; }
Seguito Form1::corpo_curva() { return Seguito::avanti; }
Seguito Form1::corpo_montagna() { return Seguito::avanti; }
Seguito Form1::corpo_indicatori() { return Seguito::avanti; }
Seguito Form1::corpo_cartello() { return Seguito::avanti; }
void Form1::chiusura_corpo() {}
void Form1::memo_montagna(int32_t&, int32_t&, int32_t&) {}
void Form1::memo_indicatori_v_max(int32_t, int32_t&, int32_t&, int32_t&, int32_t&, int32_t&,
                                  int32_t&, int32_t&, int32_t&) {}

}  // namespace calvetra
