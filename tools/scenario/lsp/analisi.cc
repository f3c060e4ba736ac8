#include "scenario/lsp/analisi.h"

#include "compile/correzioni.h"
#include "model/caratteri.h"
#include "platform/percorsi.h"
#include "scenario/comune/testo.h"

namespace calvetra::scenario::lsp {

FileSorgente ruolo(const Scenario& s, std::string_view percorso) {
  if (stesso_percorso(percorso, nella_cartella(s.cartella, s.nomi.sorgente_linea()))) {
    return FileSorgente::linea;
  }
  if (stesso_percorso(percorso, nella_cartella(s.cartella, s.nomi.sorgente_treno()))) {
    return FileSorgente::treno;
  }
  return FileSorgente::nessuno;
}

FileSorgente Analisi::di(std::string_view uri) const {
  if (uri == linea.uri) return FileSorgente::linea;
  if (uri == treno.uri) return FileSorgente::treno;
  return FileSorgente::nessuno;
}

namespace {

// The characters of a buffer that Windows-1252 lacks and that stand for one it
// has: one that takes no room, left out, and a minus sign or a dash, the `-`
// of a number. Each fix is compiled before it is offered, as the compile's own
// are; a buffer full of them is not worth a compile each.
void correggi_mancanti(Analisi& a, const Scenario& s, const OpzioniCompilazione& opzioni) {
  constexpr size_t kMassimo = 16;
  if (a.compilazione().fine == FineCompilazione::rifiutata) return;
  const auto sorgente = [](const SorgenteAutore& x) {
    return x.testo ? Sorgente::di(*x.testo) : Sorgente{};
  };
  const Sorgente linea = sorgente(a.sorgenti().linea);
  const Sorgente treno = sorgente(a.sorgenti().treno);
  for (Fonte* f : {&a.linea, &a.treno}) {
    f->correzioni_mancanti.assign(f->mancanti.size(), std::nullopt);
    for (size_t k = 0; k < f->mancanti.size() && k < kMassimo; ++k) {
      const uint32_t cp = f->mancanti[k];
      const bool meno = cp == 0x2212 || (cp >= 0x2010 && cp <= 0x2015);
      if (!invisibile(cp) && !meno) continue;
      const Correzione c{meno ? "scrivi `-`" : "togli " + nome_carattere(cp),
                         {f->file, f->non_rappresentabili[k], f->non_rappresentabili[k] + 1},
                         1,
                         meno ? "-" : "",
                         {},
                         {}};
      if (prova_correzione(a.compilazione(), SIZE_MAX, c, {linea, treno, s.nomi, opzioni})
              .empty()) {
        f->correzioni_mancanti[k] = c;
      }
    }
  }
}

}  // namespace

Analisi analizza(Piattaforma* disco, const Scenario& s, const Documenti& documenti, Codifica c,
                 bool per_la_pagina) {
  Analisi a;
  SorgentiAutore sorgenti;
  a.linea.file = FileSorgente::linea;
  a.treno.file = FileSorgente::treno;
  sorgenti.linea.percorso = nella_cartella(s.cartella, s.nomi.sorgente_linea());
  sorgenti.treno.percorso = nella_cartella(s.cartella, s.nomi.sorgente_treno());
  for (auto [sorgente, fonte] :
       {std::pair{&sorgenti.linea, &a.linea}, std::pair{&sorgenti.treno, &a.treno}}) {
    fonte->uri = uri_da_percorso(sorgente->percorso);
    for (const auto& [uri, d] : documenti.tutti()) {
      if (!stesso_percorso(percorso_da_uri(uri), sorgente->percorso)) continue;
      Testo1252 t = utf8_a_1252(d.testo);
      sorgente->testo = std::move(t.testo);
      fonte->non_rappresentabili = std::move(t.non_rappresentabili);
      fonte->mancanti = std::move(t.mancanti);
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
  const OpzioniCompilazione opzioni{
      .con_geometria = true, .coordinate = per_la_pagina, .con_giornale = true};
  a.scenario = ScenarioCompilato::compila(std::move(sorgenti), s.nomi, opzioni);
  correggi_mancanti(a, s, opzioni);
  return a;
}

}  // namespace calvetra::scenario::lsp
