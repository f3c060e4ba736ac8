#include "scenario/comune/sorgenti.h"

#include <algorithm>

#include "fields/lettore_campi.h"

namespace calvetra::scenario {

namespace {

Sorgente come_sorgente(const SorgenteAutore& s) {
  return s.testo ? Sorgente::di(*s.testo) : Sorgente{};
}

bool fine_riga(char c) { return c == '\r' || c == '\n'; }

}  // namespace

const SorgenteAutore* SorgentiAutore::di(FileSorgente f) const {
  if (f == FileSorgente::linea) return &linea;
  if (f == FileSorgente::treno) return &treno;
  return nullptr;
}

bool leggi_sorgenti(Piattaforma* disco, const std::string& cartella, const NomiScenario& nomi,
                    SorgentiAutore* s, std::string* errore) {
  s->linea = {nella_cartella(cartella, nomi.sorgente_linea()), std::nullopt};
  s->treno = {nella_cartella(cartella, nomi.sorgente_treno()), std::nullopt};
  for (SorgenteAutore* a : {&s->linea, &s->treno}) {
    if (!disco->esiste(a->percorso)) continue;
    std::string testo;
    std::string motivo;
    if (!disco->leggi(a->percorso, &testo, &motivo)) {
      *errore = a->percorso + ": impossibile leggere: " + motivo;
      return false;
    }
    a->testo = std::move(testo);
  }
  return true;
}

Compilazione compila_sorgenti(const SorgentiAutore& s, const NomiScenario& nomi,
                              const OpzioniCompilazione& opzioni) {
  return compila(come_sorgente(s.linea), come_sorgente(s.treno), nomi, opzioni);
}

std::optional<Origini> origini_dei_file(Piattaforma* disco, const std::string& cartella,
                                        const NomiScenario& nomi, const Tabella& tabella,
                                        const std::vector<tratto>& tratti, bool con_geometria,
                                        std::string* avviso) {
  Origini o;
  if (!leggi_sorgenti(disco, cartella, nomi, &o.sorgenti, avviso) || !o.sorgenti.qualcuna()) {
    return std::nullopt;
  }
  Compilazione c =
      compila_sorgenti(o.sorgenti, nomi, {.con_geometria = con_geometria, .con_provenienze = true});
  if (c.modello.tabella != tabella || c.modello.tratti != tratti) {
    *avviso = "i sorgenti della cartella non danno questi file binari: nessun rimando ai sorgenti";
    return std::nullopt;
  }
  o.provenienze = std::move(c.provenienze);
  return o;
}

std::optional<LuogoMostrato> mostra(Luogo l, const SorgentiAutore& s) {
  const SorgenteAutore* a = s.di(l.file);
  if (a == nullptr || !a->testo) return std::nullopt;
  const std::string& t = *a->testo;
  const size_t offset = std::min(l.offset, t.size());
  const PosizioneTesto p = posizione_in(t, offset);
  size_t inizio = offset;
  while (inizio > 0 && !fine_riga(t[inizio - 1])) --inizio;
  size_t fine = offset;
  while (fine < t.size() && !fine_riga(t[fine])) ++fine;
  const size_t barra = a->percorso.rfind('/');
  return LuogoMostrato{barra == std::string::npos ? a->percorso : a->percorso.substr(barra + 1),
                       p.riga, p.colonna, offset, t.substr(inizio, fine - inizio)};
}

Json json_luogo(Luogo l, const SorgentiAutore& s) {
  const std::optional<LuogoMostrato> m = mostra(l, s);
  if (!m) return nullptr;
  return {{"file", testo_json(m->file)},
          {"riga", m->riga},
          {"colonna", m->colonna},
          {"offset", m->offset}};
}

namespace {

// The name without its extension, in lower case, hyphens and blanks left out.
std::string chiave(const std::string& nome) {
  const size_t punto = nome.rfind('.');
  const std::string stelo = punto == std::string::npos ? nome : nome.substr(0, punto);
  std::string k;
  for (char c : stelo) {
    if (c == '-' || c == ' ' || c == '\t') continue;
    k += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return k;
}

// The binary files of a scenario share their stems with the sources.
bool binario(const std::string& nome) {
  const size_t punto = nome.rfind('.');
  if (punto == std::string::npos) return false;
  std::string e = nome.substr(punto + 1);
  for (char& c : e) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return e == "dat" || e == "sim";
}

}  // namespace

std::string nome_vicino(Piattaforma* disco, const std::string& cartella, const std::string& nome) {
  const std::string cercata = chiave(nome);
  std::vector<std::string> vicini;
  for (const std::string& n : disco->elenco(cartella)) {
    if (n != nome && !binario(n) && chiave(n) == cercata &&
        disco->genere(nella_cartella(cartella, n)) == Piattaforma::Genere::file) {
      vicini.push_back(n);
    }
  }
  if (vicini.empty()) return "";
  // The directory's order is the system's: the first in name order is shown.
  return *std::min_element(vicini.begin(), vicini.end());
}

}  // namespace calvetra::scenario
