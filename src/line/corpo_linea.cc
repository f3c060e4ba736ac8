// Body state of the line phase and the closing steps that finish the gradients
// and the plan once the body has been read.
#include "line/corpo_linea.h"

namespace calvetra {

void inizia_corpo(CorpoLinea& c) {
  c.s = StatoCorpoLinea{};
  if (c.con_geometria) {
    Geometria& g = c.m.geometria;
    if (!g.esiste() || g.ultimo_metro() < 1) {
      throw GuastoInatteso("la geometria del percorso non esiste");
    }
    g.semina();
  }
}

void chiusura_corpo(CorpoLinea& c) {
  // The last gradient runs up to cell n - 3; the three cells after it keep 0.
  riempi_pendenze(c.m, c.s, int64_t{c.m.ultima_cella()} - 2);
  // The plan goes straight on to T - 2; the last two metres stay empty.
  if (c.con_geometria) {
    Geometria& g = c.m.geometria;
    avanza_piano(g, g.ultimo_metro(), Andamento::rettilineo, 0.0, false);
  }
}

}  // namespace calvetra
