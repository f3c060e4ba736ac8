// The train phase of the parser: opening the train source, the entry loop
// with its ten keyword tests, and the end-of-reading steps.
#include "train/fase_treno.h"

#include <string>

#include "model/numeri.h"
#include "train/avvisi_treno.h"
#include "train/voci_treno.h"

namespace calvetra {

namespace {

// The general values are stored as read, with no check.
void voce_massa_frenata(CorpoTreno& c) { c.m.tabella[kRigaPercorso].inizio = c.l.file1.leggi_32(); }
void voce_vetture(CorpoTreno& c) { c.m.tabella[kRigaPercorso].posizione = c.l.file1.leggi_32(); }
void voce_sabbia(CorpoTreno& c) { c.m.tabella[kRigaTreni].cod_a = c.l.file1.leggi_16(); }
void voce_orologio(CorpoTreno& c) {
  voce& r = c.m.tabella[kRigaTreni];
  r.cod_c = c.l.file1.leggi_16();
  r.cod_d = c.l.file1.leggi_16();
  r.cod_e = c.l.file1.leggi_16();
}

// The ten keyword tests, in their fixed order, on the same keyword field.
// Every matching test reads its own fields; an entry that ends the reading
// stops the remaining tests.
Seguito prova_parole_chiave(CorpoTreno& c, size_t chiave) {
  const std::string& k = c.l.campo;
  if (contiene(k, "massa") && contiene(k, "frenata")) voce_massa_frenata(c);
  if (contiene(k, "vetture")) voce_vetture(c);
  Seguito esito = Seguito::avanti;
  if (contiene(k, "velocit")) esito = voce_velocita(c);
  if (esito != Seguito::avanti) return esito;
  if (contiene(k, "aderenza")) esito = voce_aderenza(c);
  if (esito != Seguito::avanti) return esito;
  if (contiene(k, "orologio")) voce_orologio(c);
  if (contiene(k, "sabbia")) voce_sabbia(c);
  if (contiene(k, "segnale")) esito = voce_segnale(c);
  if (esito != Seguito::avanti) return esito;
  if (contiene(k, "rallentamento")) esito = voce_rallentamento(c);
  if (esito != Seguito::avanti) return esito;
  if (contiene(k, "abbattimento")) esito = voce_abbattimento(c);
  if (esito != Seguito::avanti) return esito;
  if (contiene(k, "stazione")) esito = voce_stazione(c, chiave);
  return esito;
}

// Reads the next keyword field, replacing up to two separator fields. False
// when the file has come to its end, in which case the field just read is
// not interpreted.
bool leggi_parola_chiave(Lettura& l) {
  l.campo = l.file1.leggi_testo();
  if (l.file1.fine()) return false;
  for (int volta = 0; volta < 2 && contiene(l.campo, "-"); ++volta) {
    l.campo = l.file1.leggi_testo();
    if (l.file1.fine()) return false;
  }
  return true;
}

// Kilometre progressives must lie on 50 m boundaries.
bool progressive_allineate(const Tabella& t) {
  for (size_t riga = kRigaProgressivaTre; riga <= kRigaProgressivaUno; ++riga) {
    if (t[riga].inizio % kMetriCella != 0) return false;
    if (t[riga].fine % kMetriCella != 0) return false;
  }
  return true;
}

FineFase leggi_treno(Lettura& l, const Sorgente& sorgente, int32_t riga_cartello, Modello& m) {
  if (!sorgente.esiste()) throw GuastoInatteso("manca il file del treno");
  if (sorgente.stato == Sorgente::Stato::illeggibile) {
    throw GuastoInatteso("il file del treno non si puo' leggere");
  }
  l.file1.apri(sorgente.testo);

  // Everything before "[generale]" is passed over; a file without it simply
  // comes to its end here and yields no entries.
  do {
    l.campo = l.file1.leggi_testo();
  } while (!contiene(l.campo, "[generale]") && !l.file1.fine());

  StatoTreno stato;
  CorpoTreno c{l, m, stato, riga_cartello};
  l.osserva(m);
  while (!l.file1.fine()) {
    if (!leggi_parola_chiave(l)) break;
    const size_t chiave = l.file1.inizio_campo();
    avvisa_voce(l, chiave);
    const Seguito esito = prova_parole_chiave(c, chiave);
    l.accredita(m, chiave);
    if (esito == Seguito::esci) return FineFase::interrotta;
    if (esito == Seguito::fine_corpo) break;
  }

  // End of the reading (end of file, or a position beyond the route).
  l.file1.chiudi();
  coda_velocita(m, stato);
  coda_aderenza(m, stato);
  if (!progressive_allineate(m.tabella))
    l.diagnostica.errore(CodiceErrore::progressiva_fuori_passo, Luogo{});
  return FineFase::completa;
}

}  // namespace

Seguito dopo_posa(CorpoTreno& c, CodiceErrore codice_prima, int32_t posizione) {
  Diagnostica& d = c.l.diagnostica;
  if (!d.con_errore()) return Seguito::avanti;
  // A new error carries this position already; a standing one takes it.
  if (d.codice_errore() == codice_prima) d.riposiziona(posizione);
  return Seguito::esci;
}

FineFase fase_treno(const Sorgente& sorgente, int32_t riga_cartello, Destinazione dest) {
  Modello& m = dest.modello;
  Diagnostica& d = dest.diagnostica;
  Lettura l(FileSorgente::treno, &d);
  l.provenienze = dest.provenienze;
  try {
    return leggi_treno(l, sorgente, riga_cartello, m);
  } catch (const GuastoInatteso&) {
    d.errore(CodiceErrore::guasto_inatteso, l.qui());
    return FineFase::guasto;
  }
}

}  // namespace calvetra
