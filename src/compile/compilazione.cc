#include "compile/compilazione.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "compile/conservati.h"
#include "compile/correzioni.h"
#include "compile/intestazione.h"
#include "compile/passo_codici.h"
#include "line/catalogo_linea.h"
#include "line/fase_linea.h"
#include "output/file_tabella.h"
#include "train/catalogo_treno.h"
#include "train/fase_treno.h"

namespace calvetra {

namespace {

// "3 `pendenza`, 1 `curva`": the records of the journal from `da` on that
// were examined in `file` and not compiled, by kind in order of meeting; and
// the place of the first of them.
struct NonCompilati {
  std::string conteggio;
  size_t quanti = 0;
  Luogo primo;
};

NonCompilati non_compilati(const Giornale& g, size_t da, FileSorgente file) {
  NonCompilati n;
  std::vector<std::pair<std::string_view, size_t>> tipi;
  for (size_t i = da; i < g.records().size(); ++i) {
    const RecordRegistrato& r = g.records()[i];
    if (r.compilato || r.chiave.file != file) continue;
    if (n.quanti == 0 && n.primo.file == FileSorgente::nessuno) n.primo = r.chiave;
    if (!r.riconosciuto()) continue;
    ++n.quanti;
    auto t =
        std::find_if(tipi.begin(), tipi.end(), [&](const auto& x) { return x.first == r.nome; });
    if (t == tipi.end()) {
      tipi.emplace_back(r.nome, 1);
    } else {
      ++t->second;
    }
  }
  for (const auto& [nome, quanti] : tipi) {
    if (!n.conteggio.empty()) n.conteggio += ", ";
    n.conteggio += std::to_string(quanti) + " `" + std::string(nome) + "`";
  }
  return n;
}

// A record not compiled stores nothing: what its warnings say it would store,
// or the error it would end with, is said in the conditional.
void al_condizionale(std::string& messaggio) {
  static constexpr std::pair<std::string_view, std::string_view> kForme[] = {
      {"sara' ", "sarebbe "},       {"saranno ", "sarebbero "}, {"si fermera' ", "si fermerebbe "},
      {"mettera' ", "metterebbe "}, {"sara'", "sarebbe"},
  };
  for (const auto& [futuro, condizionale] : kForme) {
    for (size_t i = messaggio.find(futuro); i != std::string::npos;
         i = messaggio.find(futuro, i + condizionale.size())) {
      messaggio.replace(i, futuro.size(), condizionale);
    }
  }
}

// What the compile never reached: examined on its own for the warnings, and
// counted under the error that stopped it.
void esamina_non_compilati(Compilazione& c, const Sorgente& linea, const Sorgente& treno,
                           bool con_geometria, const std::atomic<bool>* annullo) {
  Giornale& g = c.giornale;
  Diagnostica& d = c.diagnostica;
  const size_t primo_avviso = d.voci().size();
  for (const Arresto& a : g.arresti()) {
    const size_t da = g.records().size();
    const bool della_linea = a.file == FileSorgente::linea;
    const Sorgente& s = della_linea ? linea : treno;
    if (s.stato != Sorgente::Stato::letta) continue;
    if (della_linea) {
      esamina_linea(s.testo, a.offset, a.fase, con_geometria, d, g, annullo);
    } else {
      esamina_treno(s.testo, a.offset, false, d, g, annullo);
    }
    const NonCompilati n = non_compilati(g, da, a.file);
    if (a.errore != 0 && n.quanti > 0) {
      d.annota_voce(a.errore, {"da qui in poi non e' compilato nulla: " + n.conteggio, n.primo});
    }
  }
  if (g.treno_non_letto() && treno.stato == Sorgente::Stato::letta) {
    const size_t da = g.records().size();
    esamina_treno(treno.testo, 0, true, d, g, annullo);
    const NonCompilati n = non_compilati(g, da, FileSorgente::treno);
    if (g.errore_treno() != 0 && n.quanti > 0) {
      d.annota_voce(g.errore_treno(),
                    {"il sorgente del treno non e' compilato: " + n.conteggio, n.primo});
    }
  }
  d.segna_non_compilati(primo_avviso);
  for (size_t k = primo_avviso; k < d.voci().size(); ++k) {
    al_condizionale(d.voci_da_rivedere()[k].messaggio);
  }
}

// A step of the compile begins: what the model is told from now on is its.
void passo(Modello& m, Giornale* g, std::string_view nome) {
  if (g != nullptr) {
    g->passo(nome);
  } else {
    m.osservatore.provenienza.apri({});
  }
}

// The record that last wrote the header slot `campo` of row 85, or the
// field `valore` of cell 1: the cause of a fatal end.
Luogo luogo_slot(const Giornale& g, CampoRiga campo, CampoCella valore) {
  const Scrittura* r = g.ultima_scrittura_riga(kRigaLinea, campo);
  const Scrittura* t = g.ultima_scrittura_cella(kCellaIntestazione, valore);
  const Scrittura* s = r == nullptr || (t != nullptr && t->record > r->record) ? t : r;
  if (s == nullptr) return {};
  // A code reduction of the cab-code pass: the slowdown that made it.
  if (g.records()[s->record].passo()) return g.causa(kCellaIntestazione);
  return g.records()[s->record].chiave;
}

}  // namespace

const char* nome_fine(FineCompilazione f) {
  switch (f) {
    case FineCompilazione::pronta: return "pronta";
    case FineCompilazione::senza_celle: return "senza_celle";
    case FineCompilazione::poche_celle: return "poche_celle";
    case FineCompilazione::fatale: return "fatale";
    case FineCompilazione::rifiutata: return "rifiutata";
  }
  return "";
}

const DescrizioneRecord* descrizione_record(FileSorgente f, std::string_view nome) {
  // Made once: the editor's features ask this of every record of a source.
  static const std::vector<const DescrizioneRecord*> kLinea = record_linea();
  static const std::vector<const DescrizioneRecord*> kTreno = record_treno();
  for (const DescrizioneRecord* d : f == FileSorgente::treno ? kTreno : kLinea) {
    if (d->nome == nome) return d;
  }
  return nullptr;
}

Compilazione compila(const Sorgente& linea_data, const Sorgente& treno_dato,
                     const NomiScenario& nomi, const OpzioniCompilazione& opzioni) {
  const Sorgente linea = entro_il_massimo(linea_data);
  const Sorgente treno = entro_il_massimo(treno_dato);
  Compilazione c;
  c.diagnostica.imposta(opzioni.avvisi);
  c.con_giornale = opzioni.con_giornale || opzioni.avvisi != ModoAvvisi::spenti;
  Giornale* g = c.con_giornale ? &c.giornale : nullptr;
  if (g != nullptr) {
    // Room made once for the records of both sources, not grown and copied
    // as they come: a record is a line of sixteen bytes or more, and no more
    // than a long route's worth is made ahead.
    constexpr size_t kRecordRiservati = 1 << 16;
    g->riserva(std::min((linea.testo.size() + treno.testo.size()) / 16 + 16, kRecordRiservati));
  }
  c.modello.osserva(g);
  if (!opzioni.coordinate) c.modello.geometria.senza_coordinate();
  c.consumate = memorizza_dati(linea, treno, nomi, opzioni.con_geometria,
                               {c.modello, c.diagnostica, g, opzioni.annullo});
  // The header slots live in cell 1: without it there is nothing to finish.
  if (c.modello.tratti.size() <= kCellaIntestazione) {
    c.fine =
        c.modello.tratti.empty() ? FineCompilazione::senza_celle : FineCompilazione::poche_celle;
  } else {
    passo(c.modello, g, "passo dei codici");
    passo_codici(c.modello, c.diagnostica, g);
    passo(c.modello, g, "intestazione");
    c.errore_fatale = finalizza_intestazione(c.modello);
    if (c.errore_fatale != CodiceErrore::nessuno) c.fine = FineCompilazione::fatale;
  }
  if (g != nullptr) {
    g->chiudi();
    c.modello.osserva(nullptr);
    if (g->fermata()) g->fermata_con(c.codice_errore());
    if (c.diagnostica.avvisi_attivi()) {
      rivedi_pretese(c);
      di_le_differenze(c, linea, treno);
      esamina_non_compilati(c, linea, treno, opzioni.con_geometria, opzioni.annullo);
    }
  }
  // The ends below are said at the record that caused them, found in the
  // journal or, for calvetra's run, where the model carried it.
  const Provenienza& p = c.modello.osservatore.provenienza;
  // A name the table file cannot hold ends the writing.
  for (size_t r = 0; r < c.modello.tabella.size(); ++r) {
    const size_t n = c.modello.tabella[r].nome.size();
    if (n <= formato_tabella::kNomeMassimo) continue;
    c.diagnostica.fatale(CodiceErrore::nessuno, g != nullptr ? g->riga(r) : p.luogo_riga(r),
                         "questo testo e' di " + std::to_string(n) +
                             " caratteri: il file della "
                             "tabella ne tiene al massimo " +
                             std::to_string(formato_tabella::kNomeMassimo) +
                             ", e nessun file puo' essere scritto");
    break;
  }
  if (c.fine == FineCompilazione::fatale) {
    const bool marchio = c.errore_fatale == CodiceErrore::marchio_occupato;
    const CampoRiga campo = marchio ? CampoRiga::cod_a : CampoRiga::orario;
    const CampoCella valore = marchio ? CampoCella::valore_a : CampoCella::valore_b;
    c.diagnostica.fatale(c.errore_fatale,
                         g != nullptr ? luogo_slot(*g, campo, valore)
                                      : p.ultima(kRigaLinea, campo, kCellaIntestazione, valore));
  }
  if (g != nullptr && c.diagnostica.avvisi_attivi() && opzioni.verifica_correzioni) {
    verifica_correzioni(c, {linea, treno, nomi, opzioni});
  }
  return c;
}

int stato_uscita(const Compilazione& c) {
  if (!c.scrive_file()) return kUscitaFatale;
  return c.diagnostica.con_errore() ? kUscitaConErrore : kUscitaPulita;
}

const char* senza_file(FineCompilazione f) {
  switch (f) {
    case FineCompilazione::senza_celle: return "nessuna cella creata";
    case FineCompilazione::poche_celle: return "troppo poche celle";
    case FineCompilazione::rifiutata: return "sorgente non in Windows-1252";
    case FineCompilazione::fatale:
    case FineCompilazione::pronta: break;
  }
  return nullptr;
}

Compilazione compila_testi(std::string_view linea, std::string_view treno, bool con_geometria,
                           const NomiScenario& nomi) {
  OpzioniCompilazione o;
  o.con_geometria = con_geometria;
  return compila(Sorgente::di(linea), Sorgente::di(treno), nomi, o);
}

}  // namespace calvetra
