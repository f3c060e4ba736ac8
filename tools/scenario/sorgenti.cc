#include "sorgenti.h"

#include <filesystem>

#include "fields/lettore_campi.h"
#include "platform/piattaforma.h"
#include "testo.h"

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

bool leggi_sorgenti(const std::string& cartella, const NomiScenario& nomi, SorgentiAutore* s,
                    std::string* errore) {
  PiattaformaPosix fs(cartella);
  s->linea = {nella_cartella(cartella, nomi.sorgente_linea()), std::nullopt};
  s->treno = {nella_cartella(cartella, nomi.sorgente_treno()), std::nullopt};
  for (SorgenteAutore* a : {&s->linea, &s->treno}) {
    if (!fs.esiste(a->percorso)) continue;
    std::string testo;
    std::string motivo;
    if (!fs.leggi(a->percorso, &testo, &motivo)) {
      *errore = a->percorso + ": impossibile leggere: " + motivo;
      return false;
    }
    a->testo = std::move(testo);
  }
  return true;
}

Compilazione compila_sorgenti(const SorgentiAutore& s, const NomiScenario& nomi, bool con_geometria,
                              bool con_provenienze) {
  return calvetra::compila(come_sorgente(s.linea), come_sorgente(s.treno), nomi,
                           con_geometria ? 1 : 0, con_provenienze);
}

std::optional<Origini> origini_dei_file(const std::string& cartella, const NomiScenario& nomi,
                                        const Tabella& tabella, const std::vector<tratto>& tratti,
                                        bool con_geometria, std::string* avviso) {
  Origini o;
  if (!leggi_sorgenti(cartella, nomi, &o.sorgenti, avviso) || !o.sorgenti.qualcuna()) {
    return std::nullopt;
  }
  Compilazione c = compila_sorgenti(o.sorgenti, nomi, con_geometria, true);
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
  return LuogoMostrato{std::filesystem::path(a->percorso).filename().string(), p.riga, p.colonna,
                       offset, t.substr(inizio, fine - inizio)};
}

std::string json_luogo(Luogo l, const SorgentiAutore& s) {
  const std::optional<LuogoMostrato> m = mostra(l, s);
  if (!m) return "null";
  return "{\"file\": " + stringa_json(m->file) + ", \"riga\": " + std::to_string(m->riga) +
         ", \"colonna\": " + std::to_string(m->colonna) +
         ", \"offset\": " + std::to_string(m->offset) + "}";
}

}  // namespace calvetra::scenario
