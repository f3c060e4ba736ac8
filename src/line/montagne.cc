// Mountain records: a stretch of cells takes a mountain class, and a marked
// stretch puts a mountain marker on every fourth free cell (one in 200 m).
#include <algorithm>

#include "line/corpo_linea.h"
#include "model/significato.h"

namespace calvetra {

Seguito corpo_montagna(LetturaRecord& r, CorpoLinea& c) {
  Montagna montagna;
  montagna.inizio = r.numero();
  montagna.fine = r.numero();
  montagna.tipo = r.numero();
  if (r.oltre_il_percorso(montagna.inizio, kMargineRecord)) return Seguito::fine_corpo;
  r.senza_sovrapposizione(montagna.inizio, montagna.fine);
  // A mountain records no error of its own: only an unexpected failure stops it.
  memo_montagna(c.m, c.s, montagna);
  return Seguito::avanti;
}

void memo_montagna(Modello& m, StatoCorpoLinea& s, Montagna& montagna) {
  int32_t& tipo = montagna.tipo;
  bool con_segni = false;
  if (tipo > 10) {
    tipo = tipo - 10;
    con_segni = true;
  }
  if (s.numero_montagne >= kMassimoMontagne) {
    throw GuastoInatteso("oltre " + std::to_string(kMassimoMontagne) + " montagne");
  }
  ++s.numero_montagne;
  const auto j = static_cast<size_t>(s.numero_montagne);
  s.inizi_montagne[j] = montagna.inizio;
  s.fini_montagne[j] = montagna.fine;
  // Two stretches too close together read as one continuous class 3 stretch.
  if (s.numero_montagne > 1 &&
      int64_t{montagna.inizio} - s.fini_montagne[j - 1] <= kDistaccoMontagne) {
    tipo = 3;
  }

  const int64_t primo = cella_di_tratto(montagna.inizio);
  const int64_t ultimo = cella_di_tratto(int64_t{montagna.fine} - kMetriCella);
  // Only the cells that exist are touched; the markers still count from the
  // stretch's own first cell.
  const int64_t da = std::max<int64_t>(primo, 0);
  const int64_t a = std::min<int64_t>(ultimo, m.ultima_cella());
  const uint8_t classe = basso_8(tipo);
  // The class as one range, then the markers: the journal puts a cell's
  // fields in their order whatever order they came in.
  m.riempi_celle(da, a + 1, CampoCella::montagna, classe);
  if (!con_segni) return;
  for (int64_t c = da; c <= a; ++c) {
    if ((c - primo + 1) % kPassoSegniMontagna == 0 &&
        m.tratti[static_cast<size_t>(c)].tipo == kLibero)
      m.scrivi_cella(c, CampoCella::tipo, kSegnoMontagna);
  }
}

}  // namespace calvetra
