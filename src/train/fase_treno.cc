// The train phase of the parser: opening the train source, the entry loop
// with its ten keyword tests, and the end-of-reading steps.
#include "train/fase_treno.h"

#include <string>
#include <utility>

#include "model/numeri.h"

namespace calvetra {

namespace {

// The general values are stored as read, with no check.
void voce_massa_frenata(Form1& f) { f.tabella[84].inizio = f.file1.leggi_32(); }
void voce_vetture(Form1& f) { f.tabella[84].posizione = f.file1.leggi_32(); }
void voce_sabbia(Form1& f) { f.tabella[86].cod_a = f.file1.leggi_16(); }
void voce_orologio(Form1& f) {
  f.tabella[86].cod_c = f.file1.leggi_16();
  f.tabella[86].cod_d = f.file1.leggi_16();
  f.tabella[86].cod_e = f.file1.leggi_16();
}

// The ten keyword tests, in their fixed order, on the same keyword field.
// Every matching test reads its own fields; an entry that ends the reading
// stops the remaining tests.
Seguito prova_parole_chiave(Form1& f, StatoTreno& s, size_t chiave) {
  const std::string& c = f.campo;
  if (contiene(c, "massa") && contiene(c, "frenata")) voce_massa_frenata(f);
  if (contiene(c, "vetture")) voce_vetture(f);
  Seguito esito = Seguito::avanti;
  if (contiene(c, "velocit")) esito = voce_velocita(f, s);
  if (esito != Seguito::avanti) return esito;
  if (contiene(c, "aderenza")) esito = voce_aderenza(f, s);
  if (esito != Seguito::avanti) return esito;
  if (contiene(c, "orologio")) voce_orologio(f);
  if (contiene(c, "sabbia")) voce_sabbia(f);
  if (contiene(c, "segnale")) esito = voce_segnale(f);
  if (esito != Seguito::avanti) return esito;
  if (contiene(c, "rallentamento")) esito = voce_rallentamento(f);
  if (esito != Seguito::avanti) return esito;
  if (contiene(c, "abbattimento")) esito = voce_abbattimento(f);
  if (esito != Seguito::avanti) return esito;
  if (contiene(c, "stazione")) esito = voce_stazione(f, s, chiave);
  return esito;
}

// Reads the next keyword field into `campo`, replacing up to two separator
// fields. False when the file has come to its end, in which case the field
// just read is not interpreted.
bool leggi_parola_chiave(Form1& f) {
  f.campo = f.file1.leggi_testo();
  if (f.file1.fine()) return false;
  for (int volta = 0; volta < 2 && contiene(f.campo, "-"); ++volta) {
    f.campo = f.file1.leggi_testo();
    if (f.file1.fine()) return false;
  }
  return true;
}

// Kilometre progressives must lie on 50 m boundaries.
bool progressive_allineate(const Tabella& t) {
  for (int riga = 81; riga <= 83; ++riga) {
    if (t[static_cast<size_t>(riga)].inizio % 50 != 0) return false;
    if (t[static_cast<size_t>(riga)].fine % 50 != 0) return false;
  }
  return true;
}

}  // namespace

bool oltre_il_percorso(Form1& f, int32_t p, int64_t margine, size_t campo_posizione) {
  if (!f.oltre_limite(p, margine)) return false;
  f.registra_errore(15, campo_posizione);
  f.posizione_errore = p;
  return true;
}

Seguito dopo_posa(Form1& f, int32_t codice_prima, size_t campo_posizione, int32_t posizione) {
  if (f.codice_errore <= 0) return Seguito::avanti;
  if (f.codice_errore != codice_prima) f.attribuisci_campo(campo_posizione);
  f.chiudi_ed_elimina(f.nome_file_treno());
  f.posizione_errore = posizione;
  return Seguito::esci;
}

void Form1::fase_treno() {
  // From here on a failure is charged to the train source, a missing one too.
  file_corrente = FileSorgente::treno;
  const std::string path = percorso(nome_file_treno());
  if (!piattaforma->esiste(path)) throw GuastoInatteso("manca il file del treno " + path);
  std::string testo;
  std::string motivo;
  if (!piattaforma->leggi(path, &testo, &motivo)) {
    throw GuastoInatteso("impossibile leggere " + path + ": " + motivo);
  }
  file1.apri(std::move(testo));

  // Everything before "[generale]" is passed over; a file without it simply
  // comes to its end here and yields no entries.
  do {
    campo = file1.leggi_testo();
  } while (!contiene(campo, "[generale]") && !file1.fine());

  StatoTreno stato;
  while (!file1.fine()) {
    if (!leggi_parola_chiave(*this)) break;
    const Seguito esito = prova_parole_chiave(*this, stato, file1.inizio_campo());
    if (esito == Seguito::esci) return;
    if (esito == Seguito::fine_corpo) break;
  }

  // End of the reading (end of file, or a position beyond the route).
  chiudi_ed_elimina(nome_file_treno());
  coda_velocita(*this, stato);
  coda_aderenza(*this, stato);
  if (!progressive_allineate(tabella)) registra_errore_senza_campo(2);
}

}  // namespace calvetra
