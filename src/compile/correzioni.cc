#include "compile/correzioni.h"

#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>
#include <tuple>
#include <vector>

namespace calvetra {

namespace {

// A diagnostic as two compiles of nearly one text are compared: what it is
// and where it stands, its place taken back through the fix.
using Chiave = std::tuple<Gravita, CodiceErrore, std::string, FileSorgente, size_t>;

// Where a place of the text before the fix stands in the text after it: a
// place inside the replaced bytes goes to where they began.
size_t dopo_la_correzione(const Correzione& f, FileSorgente file, size_t o, size_t nuovi) {
  if (file != f.luogo.file || o < f.luogo.offset) return o;
  if (o >= f.luogo.offset + f.lunghezza) return o - f.lunghezza + nuovi;
  return f.luogo.offset;
}

Chiave chiave(const Diagnostico& d, size_t offset) {
  return {d.gravita, d.codice, d.nome, d.luogo.file, offset};
}

// The field that begins at `offset`, with the record that read it.
struct CampoTrovato {
  const RecordRegistrato* record = nullptr;
  size_t indice = 0;
};

CampoTrovato campo_a(const Giornale& g, FileSorgente file, size_t offset) {
  for (const RecordRegistrato& r : g.records()) {
    if (r.chiave.file != file || r.passo()) continue;
    for (size_t k = 0; k < r.campi.size(); ++k) {
      if (r.campi[k].inizio == offset) return {&r, k};
    }
  }
  return {};
}

// Why the compile `dopo` of the text `testo` does not read what `p`
// promises; "" when it does. A fix in a record the compile never reaches
// (`non_compilato`) promises the reading, not the compile.
std::string mantenuta(const Promessa& p, const Compilazione& dopo, FileSorgente file,
                      std::string_view testo, bool non_compilato) {
  const Giornale& g = dopo.giornale;
  switch (p.tipo) {
    case Promessa::Tipo::nessuna: return {};
    case Promessa::Tipo::record:
      for (const RecordRegistrato& r : g.records()) {
        if (r.chiave.file == file && r.chiave.offset == p.offset) {
          if (r.nome != p.testo) return "il campo apre un altro record";
          return r.compilato || non_compilato ? "" : "il record non e' compilato";
        }
      }
      return "nessun record comincia li'";
    case Promessa::Tipo::numeri: {
      const CampoTrovato c = campo_a(g, file, p.offset);
      if (c.record == nullptr) return "nessun campo comincia li'";
      for (size_t k = 0; k < p.numeri.size(); ++k) {
        const size_t i = c.indice + k;
        if (i >= c.record->campi.size() || c.record->campi[i].valore != p.numeri[k]) {
          return "il campo non legge " + std::to_string(p.numeri[k]);
        }
      }
      return {};
    }
    case Promessa::Tipo::testo: {
      const CampoTrovato c = campo_a(g, file, p.offset);
      if (c.record == nullptr) return "nessun campo comincia li'";
      const Estensione& e = c.record->campi[c.indice];
      if (e.fine > testo.size() || e.fine < e.inizio || testo_a(testo, e.inizio) != p.testo) {
        return "il campo non legge il testo promesso";
      }
      return {};
    }
  }
  return {};
}

}  // namespace

std::string applica(std::string_view testo, const Correzione& f) {
  std::string s(testo);
  if (f.luogo.offset <= s.size() && f.lunghezza <= s.size() - f.luogo.offset) {
    s.replace(f.luogo.offset, f.lunghezza, f.testo);
  }
  return s;
}

std::string prova_correzione(const Compilazione& prima, size_t risposto, const Correzione& f,
                             const DaCorreggere& s) {
  const bool della_linea = f.luogo.file == FileSorgente::linea;
  const Sorgente& toccata = della_linea ? s.linea : s.treno;
  if (f.luogo.file == FileSorgente::nessuno || toccata.stato != Sorgente::Stato::letta ||
      f.luogo.offset > toccata.testo.size() ||
      f.lunghezza > toccata.testo.size() - f.luogo.offset) {
    return "la correzione cade fuori dal sorgente";
  }
  const std::string corretto = applica(toccata.testo, f);
  const Sorgente nuova = Sorgente::di(corretto);
  OpzioniCompilazione o = s.opzioni;
  // Every diagnostic is the same with the plan only measured, and without
  // "did you mean" (it words messages, compared here only by kind and place).
  o.coordinate = false;
  o.verifica_correzioni = false;
  if (o.avvisi == ModoAvvisi::completi) o.avvisi = ModoAvvisi::senza_suggerimenti;
  // A compile that fails in the core's own way (an unexpected failure that
  // leaves the parser) is no compile a fix may lead to.
  std::optional<Compilazione> compilata;
  try {
    compilata.emplace(
        compila(della_linea ? nuova : s.linea, della_linea ? s.treno : nuova, s.nomi, o));
  } catch (const std::exception&) {
    return "la compilazione non arriva alla fine";
  }
  const Compilazione& dopo = *compilata;

  // Every diagnostic after the fix was there before it, at the same place;
  // the one answered is not among them.
  std::map<Chiave, int> conteggi;
  const std::vector<Diagnostico>& voci = prima.diagnostica.voci();
  for (size_t i = 0; i < voci.size(); ++i) {
    const Diagnostico& d = voci[i];
    ++conteggi[chiave(d, dopo_la_correzione(f, d.luogo.file, d.luogo.offset, f.testo.size()))];
  }
  if (risposto < voci.size()) {
    const Diagnostico& d = voci[risposto];
    const size_t o = dopo_la_correzione(f, d.luogo.file, d.luogo.offset, f.testo.size());
    --conteggi[chiave(d, o)];
  }
  for (const Diagnostico& d : dopo.diagnostica.voci()) {
    size_t o = d.luogo.offset;
    if (d.luogo.file == f.luogo.file && o >= f.luogo.offset &&
        o < f.luogo.offset + f.testo.size()) {
      o = f.luogo.offset;
    }
    if (--conteggi[chiave(d, o)] < 0) {
      if (risposto < voci.size() && chiave(d, o) == chiave(voci[risposto], o)) {
        return "l'avviso resta";
      }
      return d.gravita == Gravita::errore ? "porta un errore" : "porta l'avviso " + d.nome;
    }
  }
  if (dopo.fine != prima.fine && dopo.fine != FineCompilazione::pronta) {
    return "la compilazione non arriva piu' alla fine";
  }
  const bool non_compilato = risposto < voci.size() && voci[risposto].non_compilato;
  return mantenuta(f.promessa, dopo, f.luogo.file, corretto, non_compilato);
}

void verifica_correzioni(Compilazione& c, const DaCorreggere& s) {
  // One fix offered by two diagnostics is compiled once for each of them:
  // what it answers differs. Past the budget, a warning says what is wrong
  // without a fix.
  size_t compilazioni = 0;
  std::vector<Diagnostico>& voci = c.diagnostica.voci_da_rivedere();
  for (size_t i = 0; i < voci.size(); ++i) {
    if (voci[i].correzioni.empty()) continue;
    std::vector<Correzione> candidati = std::move(voci[i].correzioni);
    voci[i].correzioni.clear();
    for (Correzione& f : candidati) {
      if (compilazioni++ >= kCompilazioniPerCorreggere) break;
      if (!prova_correzione(c, i, f, s).empty()) continue;
      if (!f.messaggio.empty()) voci[i].messaggio = f.messaggio;
      voci[i].correzioni.push_back(std::move(f));
      break;
    }
    if (voci[i].correzioni.empty() && !voci[i].senza_correzione.empty()) {
      voci[i].messaggio = voci[i].senza_correzione;
    }
  }
}

}  // namespace calvetra
