#include "scenario/lsp/analisi.h"

#include "scenario/comune/testo.h"

namespace calvetra::scenario::lsp {

FileSorgente ruolo(const Scenario& s, std::string_view percorso) {
  if (percorso == nella_cartella(s.cartella, s.nomi.sorgente_linea())) return FileSorgente::linea;
  if (percorso == nella_cartella(s.cartella, s.nomi.sorgente_treno())) return FileSorgente::treno;
  return FileSorgente::nessuno;
}

FileSorgente Analisi::di(std::string_view uri) const {
  if (uri == linea.uri) return FileSorgente::linea;
  if (uri == treno.uri) return FileSorgente::treno;
  return FileSorgente::nessuno;
}

Analisi analizza(Piattaforma* disco, const Scenario& s, const Documenti& documenti, Codifica c) {
  Analisi a;
  a.linea.file = FileSorgente::linea;
  a.treno.file = FileSorgente::treno;
  a.sorgenti.linea.percorso = nella_cartella(s.cartella, s.nomi.sorgente_linea());
  a.sorgenti.treno.percorso = nella_cartella(s.cartella, s.nomi.sorgente_treno());
  for (auto [sorgente, fonte] :
       {std::pair{&a.sorgenti.linea, &a.linea}, std::pair{&a.sorgenti.treno, &a.treno}}) {
    fonte->uri = uri_da_percorso(sorgente->percorso);
    for (const auto& [uri, d] : documenti.tutti()) {
      if (percorso_da_uri(uri) != sorgente->percorso) continue;
      Testo1252 t = utf8_a_1252(d.testo);
      sorgente->testo = std::move(t.testo);
      fonte->non_rappresentabili = std::move(t.non_rappresentabili);
      fonte->uri = uri;
      fonte->versione = d.versione;
      fonte->indice = IndicePosizioni::da_utf8(d.testo, c);
      break;
    }
    if (fonte->versione) continue;
    // Not open: the file as it stands, if it can be read.
    std::string testo;
    std::string motivo;
    if (disco->esiste(sorgente->percorso) && disco->leggi(sorgente->percorso, &testo, &motivo)) {
      fonte->indice = IndicePosizioni::da_1252(testo, c);
      sorgente->testo = std::move(testo);
    } else if (!disco->esiste(sorgente->percorso)) {
      fonte->mancante = true;
      fonte->note_mancante = note_mancante(disco, s.cartella, s.nomi, fonte->file);
    }
  }
  a.compilazione = compila_sorgenti(
      a.sorgenti, s.nomi, {.con_geometria = true, .coordinate = false, .con_giornale = true});
  return a;
}

}  // namespace calvetra::scenario::lsp
