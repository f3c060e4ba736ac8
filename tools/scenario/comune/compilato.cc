#include "scenario/comune/compilato.h"

#include <algorithm>
#include <atomic>
#include <iterator>

#include "fields/catalogo.h"

namespace calvetra::scenario {

namespace {

std::atomic<uint64_t> compilazioni_fatte{0};

bool fine_riga(char c) { return c == '\r' || c == '\n'; }

std::string_view testo_di(const SorgenteAutore& s) {
  return s.testo ? std::string_view(*s.testo) : std::string_view();
}

}  // namespace

ScenarioCompilato::ScenarioCompilato(SorgentiAutore sorgenti, const NomiScenario& nomi)
    : sorgenti_(std::move(sorgenti)),
      nomi_(nomi),
      righe_linea_(testo_di(sorgenti_.linea)),
      righe_treno_(testo_di(sorgenti_.treno)) {}

Compilato ScenarioCompilato::compila(SorgentiAutore sorgenti, const NomiScenario& nomi,
                                     const OpzioniCompilazione& opzioni) {
  std::shared_ptr<ScenarioCompilato> s(new ScenarioCompilato(std::move(sorgenti), nomi));
  s->compilazione_ = compila_sorgenti(s->sorgenti_, nomi, opzioni);
  compilazioni_fatte.fetch_add(1, std::memory_order_relaxed);
  return s;
}

uint64_t ScenarioCompilato::compilazioni() {
  return compilazioni_fatte.load(std::memory_order_relaxed);
}

const IndiceRighe& ScenarioCompilato::righe(FileSorgente f) const {
  if (f == FileSorgente::linea) return righe_linea_;
  if (f == FileSorgente::treno) return righe_treno_;
  return nessuna_;
}

std::optional<LuogoMostrato> ScenarioCompilato::mostra(Luogo l) const {
  const SorgenteAutore* a = sorgenti_.di(l.file);
  if (a == nullptr || !a->testo) return std::nullopt;
  const IndiceRighe& righe = this->righe(l.file);
  const std::string_view t = righe.testo();
  const size_t offset = std::min(l.offset, t.size());
  const PosizioneTesto p = righe.posizione(offset);
  size_t fine = offset;
  while (fine < t.size() && !fine_riga(t[fine])) ++fine;
  const size_t inizio = righe.inizio(righe.riga(offset));
  const size_t barra = a->percorso.rfind('/');
  return LuogoMostrato{barra == std::string::npos ? a->percorso : a->percorso.substr(barra + 1),
                       p.riga, p.colonna, offset, std::string(t.substr(inizio, fine - inizio))};
}

Json ScenarioCompilato::json_luogo(Luogo l) const {
  const std::optional<LuogoMostrato> m = mostra(l);
  if (!m) return nullptr;
  return {{"file", testo_json(m->file)},
          {"riga", m->riga},
          {"colonna", m->colonna},
          {"offset", m->offset}};
}

const RecordRegistrato* ScenarioCompilato::record(size_t i) const {
  const std::vector<RecordRegistrato>& r = giornale().records();
  return i < r.size() ? &r[i] : nullptr;
}

std::optional<RecordLettoNelGiornale> ScenarioCompilato::valori(size_t i) const {
  const RecordRegistrato* r = record(i);
  if (r == nullptr || r->passo() || !r->riconosciuto()) return std::nullopt;
  const DescrizioneRecord* d = descrizione_record(r->chiave.file, r->nome);
  if (d == nullptr) return std::nullopt;
  RecordLettoNelGiornale v{i, r->nome, r->chiave.file, r->compilato, {}};
  const std::string_view testo = righe(r->chiave.file).testo();
  for (size_t k = 0; k < r->campi.size() && k < d->campi.size(); ++k) {
    const Estensione& e = r->campi[k];
    ValoreLetto x{d->campi[k].nome, e.valore, std::nullopt};
    // A text as the compile read it: the reader takes it again from where it
    // begins (between its quotes, without its trailing blanks).
    if (d->campi[k].formato == Formato::testo && e.inizio <= e.fine && e.fine <= testo.size()) {
      x.testo = std::string(testo_a(testo, e.inizio));
    }
    v.campi.push_back(std::move(x));
  }
  return v;
}

Json ScenarioCompilato::json_valori(size_t i) const {
  const std::optional<RecordLettoNelGiornale> v = valori(i);
  if (!v) return nullptr;
  Json campi = Json::object();
  for (const ValoreLetto& x : v->campi) {
    campi[std::string(x.campo)] = x.testo ? testo_json(*x.testo) : Json(x.valore);
  }
  return {{"indice", i}, {"nome", std::string(v->nome)}, {"campi", std::move(campi)}};
}

std::optional<size_t> ScenarioCompilato::indice(const RecordRegistrato* r) const {
  if (r == nullptr) return std::nullopt;
  return static_cast<size_t>(r - giornale().records().data());
}

std::optional<size_t> ScenarioCompilato::record_cella(size_t c) const {
  return indice(giornale().record_cella(c));
}

std::optional<size_t> ScenarioCompilato::record_riga(size_t r) const {
  return indice(giornale().record_riga(r));
}

std::optional<size_t> ScenarioCompilato::record_in(Luogo l) const {
  std::call_once(ordinati_, [this] {
    const std::vector<RecordRegistrato>& r = giornale().records();
    for (size_t i = 0; i < r.size(); ++i) {
      if (r[i].passo()) continue;
      if (r[i].chiave.file == FileSorgente::linea) ordine_linea_.push_back(i);
      if (r[i].chiave.file == FileSorgente::treno) ordine_treno_.push_back(i);
    }
    for (auto* v : {&ordine_linea_, &ordine_treno_}) {
      std::stable_sort(v->begin(), v->end(), [&r](size_t a, size_t b) {
        return r[a].chiave.offset < r[b].chiave.offset;
      });
    }
  });
  const std::vector<size_t>* v = l.file == FileSorgente::linea   ? &ordine_linea_
                                 : l.file == FileSorgente::treno ? &ordine_treno_
                                                                 : nullptr;
  if (v == nullptr) return std::nullopt;
  const std::vector<RecordRegistrato>& r = giornale().records();
  // The last record that begins at or before the place, if its span holds it.
  const auto dopo = std::upper_bound(v->begin(), v->end(), l.offset,
                                     [&r](size_t o, size_t i) { return o < r[i].chiave.offset; });
  if (dopo == v->begin()) return std::nullopt;
  const size_t i = *std::prev(dopo);
  if (l.offset > r[i].fine()) return std::nullopt;
  return i;
}

Compilato origini_dei_file(Piattaforma* disco, const std::string& cartella,
                           const NomiScenario& nomi, const Tabella& tabella,
                           const std::vector<tratto>& tratti, bool con_geometria,
                           std::string* avviso) {
  SorgentiAutore sorgenti;
  if (!leggi_sorgenti(disco, cartella, nomi, &sorgenti, avviso) || !sorgenti.qualcuna()) {
    return nullptr;
  }
  Compilato c = ScenarioCompilato::compila(
      std::move(sorgenti), nomi,
      {.con_geometria = con_geometria, .con_giornale = true, .verifica_correzioni = false});
  if (c->modello().tabella != tabella || c->modello().tratti != tratti) {
    *avviso = "i sorgenti della cartella non danno questi file binari: nessun rimando ai sorgenti";
    return nullptr;
  }
  return c;
}

}  // namespace calvetra::scenario
