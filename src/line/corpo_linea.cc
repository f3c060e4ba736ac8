// Body state of the line phase and the closing steps that finish the gradients
// and the plan once the body has been read.
#include "line/corpo_linea.h"

#include "run/form1.h"
#include "model/numeri.h"

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

void Form1::chiusura_corpo() {
  // The last gradient runs up to cell n - 3; the three cells after it keep 0.
  riempi_pendenze(*this, int64_t{ultima_cella()} - 2);
  // The plan goes straight on to T - 2; the last two metres stay empty.
  if (con_geometria != 0) {
    avanza_piano(geometria, geometria.ultimo_metro(), Andamento::rettilineo, 0.0, false);
  }
}

}  // namespace calvetra
