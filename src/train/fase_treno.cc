// The train phase of the parser: opening the train source, the entry loop
// over the catalogue, and the end-of-reading steps.
#include "train/fase_treno.h"

#include <array>
#include <optional>
#include <string>

#include "model/numeri.h"
#include "train/avvisi_treno.h"
#include "train/catalogo_treno.h"
#include "train/voci_treno.h"

namespace calvetra {

namespace {

// Separator fields a keyword field may stand in for, in a row.
constexpr int kSeparatori = 2;

// Kilometre progressives must lie on 50 m boundaries: the first row that
// does not, if any.
std::optional<size_t> progressiva_fuori_passo(const Tabella& t) {
  for (size_t riga = kRigaProgressivaTre; riga <= kRigaProgressivaUno; ++riga) {
    if (t[riga].inizio % kMetriCella != 0 || t[riga].fine % kMetriCella != 0) return riga;
  }
  return std::nullopt;
}

// The field of the progressive whose numbers went to row `riga` with a
// number off the 50 m step (the ordering moves the numbers between the rows,
// and a flag of 1 adds 100 to the second number, so the value stored may be
// no value read); and, when the flag made it, a note at the flag.
struct LuogoProgressiva {
  Luogo luogo;
  std::optional<Nota> nota;
};

LuogoProgressiva luogo_riga(const ProgressiveLette& p, const Tabella& t, size_t riga) {
  const voce& v = t[riga];
  const std::array<Luogo, 3>& campi = p.campi(riga - kRigaProgressivaTre);
  const bool inizio = v.inizio % kMetriCella != 0;
  LuogoProgressiva l{campi[inizio ? 0 : 1], std::nullopt};
  if (!inizio && p.ordinate() && v.posizione == 1 && campi[2].file != FileSorgente::nessuno) {
    const int64_t secondo = int64_t{v.fine} - kAggiuntaSegno;
    l.nota = Nota{"qui il segno 1, che aggiunge " + std::to_string(kAggiuntaSegno) +
                      " al secondo numero: " + std::to_string(secondo) + " + " +
                      std::to_string(kAggiuntaSegno) + " = " + std::to_string(v.fine) +
                      ", che non e' un multiplo di " + std::to_string(kMetriCella),
                  campi[2]};
  }
  return l;
}

FineFase leggi_treno(Lettura& l, const Sorgente& sorgente, int32_t riga_cartello) {
  if (!sorgente.esiste()) throw GuastoInatteso("manca il file del treno");
  if (sorgente.stato == Sorgente::Stato::illeggibile) {
    throw GuastoInatteso("il file del treno non si puo' leggere");
  }
  if (sorgente.stato == Sorgente::Stato::troppo_grande) {
    throw GuastoInatteso("il file del treno supera i 4 GiB, e non e' letto");
  }
  l.apri(sorgente.testo);

  // Everything before "[generale]" is passed over; a file without it simply
  // comes to its end here and yields no entries.
  do {
    l.leggi_campo();
  } while (!contiene(l.campo(), "[generale]") && !l.fine());

  if (!contiene(l.campo(), "[generale]")) {
    l.avvisi().generale_mancante(sorgente.testo.size());
  } else if (Giornale* g = l.giornale()) {
    g->sezione(l.qui());
  }

  Modello& m = l.modello();
  StatoTreno stato;
  CorpoTreno c{m, stato, riga_cartello};
  l.fase(Fase::treno);
  while (!l.fine()) {
    if (!l.leggi_parola_chiave(kSeparatori, true)) break;
    const size_t chiave = l.inizio_campo();
    const Riconosciuti trovati = riconosci(catalogo_treno(), l.campo(), c);
    avvisa_voce(l, trovati, chiave);
    const Seguito esito = leggi_record(l, catalogo_treno(), trovati, c, chiave);
    if (esito == Seguito::esci) {
      l.ferma_lettura();
      return FineFase::interrotta;
    }
    if (esito == Seguito::fine_corpo) {
      l.ferma_lettura();
      break;
    }
  }

  // End of the reading (end of file, or a position beyond the route).
  l.chiudi();
  l.passo("chiusura del treno");
  coda_velocita(m, stato);
  coda_aderenza(m, stato);
  if (const std::optional<size_t> riga = progressiva_fuori_passo(m.tabella)) {
    const LuogoProgressiva dove = luogo_riga(m.osservatore.progressive, m.tabella, *riga);
    l.diagnostica().errore(CodiceErrore::progressiva_fuori_passo, dove.luogo);
    if (dove.nota && l.avvisi_attivi()) l.diagnostica().annota(*dove.nota);
  }
  return FineFase::completa;
}

}  // namespace

// The general values are stored as read, with no check.
Seguito voce_massa_frenata(LetturaRecord& r, CorpoTreno& c) {
  c.m.scrivi_riga(kRigaPercorso, CampoRiga::inizio, r.numero());
  return Seguito::avanti;
}

Seguito voce_vetture(LetturaRecord& r, CorpoTreno& c) {
  c.m.scrivi_riga(kRigaPercorso, CampoRiga::posizione, r.numero());
  return Seguito::avanti;
}

Seguito voce_orologio(LetturaRecord& r, CorpoTreno& c) {
  c.m.riga(kRigaTreni);
  for (const CampoRiga campo : {CampoRiga::cod_c, CampoRiga::cod_d, CampoRiga::cod_e}) {
    c.m.scrivi_riga(kRigaTreni, campo, r.numero<int16_t>());
  }
  return Seguito::avanti;
}

Seguito voce_sabbia(LetturaRecord& r, CorpoTreno& c) {
  c.m.scrivi_riga(kRigaTreni, CampoRiga::cod_a, r.numero<int16_t>());
  return Seguito::avanti;
}

Seguito dopo_posa(Diagnostica& d, CodiceErrore codice_prima, int32_t posizione,
                  const Luogo& luogo) {
  if (!d.con_errore()) return Seguito::avanti;
  // A new error carries this position already; a standing one takes it, and
  // says whose it is.
  if (d.codice_errore() == codice_prima) d.riposiziona(posizione, luogo);
  return Seguito::esci;
}

void esamina_treno(std::string_view testo, size_t da, bool dal_preambolo, Diagnostica& d,
                   Giornale& g, const std::atomic<bool>* annullo) {
  Modello vuoto;
  Lettura l(FileSorgente::treno, lessico_treno(), {vuoto, d, &g, annullo});
  l.fase(Fase::treno);
  l.apri(testo);
  l.file1().salta_a(ripresa_esame(testo, da));
  StatoTreno stato;
  CorpoTreno c{vuoto, stato, kUltimaRigaCartello};
  try {
    if (dal_preambolo) {
      do {
        l.leggi_campo();
      } while (!contiene(l.campo(), "[generale]") && !l.fine());
      if (contiene(l.campo(), "[generale]")) g.sezione(l.qui());
    }
    while (!l.fine()) {
      if (!l.leggi_parola_chiave(kSeparatori, true)) return;
      const size_t chiave = l.inizio_campo();
      const Riconosciuti trovati = riconosci(catalogo_treno(), l.campo(), c);
      avvisa_voce(l, trovati, chiave);
      esamina_record(l, trovati, chiave);
    }
  } catch (const GuastoInatteso&) {
    // The file ends inside a record: nothing more to examine.
  }
}

FineFase fase_treno(const Sorgente& sorgente, int32_t riga_cartello, Destinazione dest) {
  Lettura l(FileSorgente::treno, lessico_treno(), dest);
  try {
    return leggi_treno(l, sorgente, riga_cartello);
  } catch (const GuastoInatteso& e) {
    l.diagnostica().errore(CodiceErrore::guasto_inatteso, l.qui());
    l.ferma_lettura();
    // For authors, what failed: the error's own sentence says only "unexpected".
    if (l.avvisi_attivi()) l.diagnostica().annota({e.what(), l.qui()});
    return FineFase::guasto;
  }
}

}  // namespace calvetra
