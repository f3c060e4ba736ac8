// Mountain records: a stretch of cells takes a mountain class, and a marked
// stretch puts a mountain marker on every fourth free cell (one in 200 m).
#include <algorithm>

#include "run/form1.h"
#include "model/numeri.h"
#include "line/corpo_linea.h"

namespace calvetra {

namespace {

constexpr int32_t kMassimoMontagne = 80;
// A stretch starting this close after the previous one's end is class 3.
constexpr int64_t kDistaccoMinimo = 150;

}  // namespace

Seguito Form1::corpo_montagna() {
  int32_t inizio = file1.leggi_32();
  const size_t campo_inizio = file1.inizio_campo();
  int32_t fine = file1.leggi_32();
  int32_t tipo = file1.leggi_32();
  if (oltre_limite(inizio, 100)) {
    registra_errore(15, campo_inizio);
    posizione_errore = inizio;
    return Seguito::fine_corpo;
  }
  const int32_t posizione = inizio;
  memo_montagna(inizio, fine, tipo);
  if (codice_errore > 0) {
    chiudi_ed_elimina(nome_file_linea());
    attribuisci_campo(campo_inizio);
    posizione_errore = posizione;
    return Seguito::esci;
  }
  return Seguito::avanti;
}

void Form1::memo_montagna(int32_t& inizio, int32_t& fine, int32_t& tipo) {
  bool con_segni = false;
  if (tipo > 10) {
    tipo = tipo - 10;
    con_segni = true;
  }
  if (numero_montagne >= kMassimoMontagne) {
    throw GuastoInatteso("oltre " + std::to_string(kMassimoMontagne) + " montagne");
  }
  ++numero_montagne;
  const auto j = static_cast<size_t>(numero_montagne);
  inizi_montagne[j] = inizio;
  fini_montagne[j] = fine;
  // Two stretches too close together read as one continuous class 3 stretch.
  if (numero_montagne > 1 && int64_t{inizio} - fini_montagne[j - 1] <= kDistaccoMinimo) tipo = 3;

  const int64_t primo = cella_di_tratto(inizio);
  const int64_t ultimo = arrotonda_div(int64_t{fine} - 50, 50);
  // Only the cells that exist are touched; the markers still count from the
  // stretch's own first cell.
  const int64_t da = std::max<int64_t>(primo, 0);
  const int64_t a = std::min<int64_t>(ultimo, ultima_cella());
  const uint8_t classe = basso_8(tipo);
  for (int64_t c = da; c <= a; ++c) {
    tratto& t = cella(c);
    t.montagna = classe;
    if (con_segni && (c - primo + 1) % 4 == 0 && t.tipo == kLibero) t.tipo = kSegnoMontagna;
  }
}

}  // namespace calvetra
