// The train phase of the parser: opening the train source, the entry loop
// over the catalogue, and the end-of-reading steps.
#include "train/fase_treno.h"

#include <string>

#include "model/numeri.h"
#include "train/avvisi_treno.h"
#include "train/catalogo_treno.h"
#include "train/voci_treno.h"

namespace calvetra {

namespace {

// Separator fields a keyword field may stand in for, in a row.
constexpr int kSeparatori = 2;

// Kilometre progressives must lie on 50 m boundaries.
bool progressive_allineate(const Tabella& t) {
  for (size_t riga = kRigaProgressivaTre; riga <= kRigaProgressivaUno; ++riga) {
    if (t[riga].inizio % kMetriCella != 0) return false;
    if (t[riga].fine % kMetriCella != 0) return false;
  }
  return true;
}

FineFase leggi_treno(Lettura& l, const Sorgente& sorgente, int32_t riga_cartello) {
  if (!sorgente.esiste()) throw GuastoInatteso("manca il file del treno");
  if (sorgente.stato == Sorgente::Stato::illeggibile) {
    throw GuastoInatteso("il file del treno non si puo' leggere");
  }
  l.apri(sorgente.testo);

  // Everything before "[generale]" is passed over; a file without it simply
  // comes to its end here and yields no entries.
  do {
    l.leggi_campo();
  } while (!contiene(l.campo(), "[generale]") && !l.fine());

  Modello& m = l.modello();
  StatoTreno stato;
  CorpoTreno c{m, stato, riga_cartello};
  l.osserva();
  while (!l.fine()) {
    if (!l.leggi_parola_chiave(kSeparatori, true)) break;
    const size_t chiave = l.inizio_campo();
    const Riconosciuti trovati = riconosci(catalogo_treno(), l.campo(), c);
    avvisa_voce(l, trovati, chiave);
    const Seguito esito = leggi_record(l, catalogo_treno(), trovati, c, chiave);
    l.accredita(chiave);
    if (esito == Seguito::esci) return FineFase::interrotta;
    if (esito == Seguito::fine_corpo) break;
  }

  // End of the reading (end of file, or a position beyond the route).
  l.chiudi();
  coda_velocita(m, stato);
  coda_aderenza(m, stato);
  if (!progressive_allineate(m.tabella)) {
    l.diagnostica().errore(CodiceErrore::progressiva_fuori_passo, Luogo{});
  }
  return FineFase::completa;
}

}  // namespace

// The general values are stored as read, with no check.
Seguito voce_massa_frenata(LetturaRecord& r, CorpoTreno& c) {
  c.m.tabella[kRigaPercorso].inizio = r.numero();
  return Seguito::avanti;
}

Seguito voce_vetture(LetturaRecord& r, CorpoTreno& c) {
  c.m.tabella[kRigaPercorso].posizione = r.numero();
  return Seguito::avanti;
}

Seguito voce_orologio(LetturaRecord& r, CorpoTreno& c) {
  voce& v = c.m.tabella[kRigaTreni];
  v.cod_c = r.numero<int16_t>();
  v.cod_d = r.numero<int16_t>();
  v.cod_e = r.numero<int16_t>();
  return Seguito::avanti;
}

Seguito voce_sabbia(LetturaRecord& r, CorpoTreno& c) {
  c.m.tabella[kRigaTreni].cod_a = r.numero<int16_t>();
  return Seguito::avanti;
}

Seguito dopo_posa(Diagnostica& d, CodiceErrore codice_prima, int32_t posizione) {
  if (!d.con_errore()) return Seguito::avanti;
  // A new error carries this position already; a standing one takes it.
  if (d.codice_errore() == codice_prima) d.riposiziona(posizione);
  return Seguito::esci;
}

FineFase fase_treno(const Sorgente& sorgente, int32_t riga_cartello, Destinazione dest) {
  Lettura l(FileSorgente::treno, lessico_treno(), dest);
  try {
    return leggi_treno(l, sorgente, riga_cartello);
  } catch (const GuastoInatteso& e) {
    l.diagnostica().errore(CodiceErrore::guasto_inatteso, l.qui());
    // For authors, what failed: the error's own sentence says only "unexpected".
    if (l.avvisi_attivi()) l.diagnostica().annota({e.what(), l.qui()});
    return FineFase::guasto;
  }
}

}  // namespace calvetra
