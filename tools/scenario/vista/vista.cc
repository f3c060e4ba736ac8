#include "scenario/vista/vista.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <span>
#include <string_view>
#include <utility>

#include "compile/compilazione.h"
#include "fields/catalogo.h"
#include "fields/lettore_campi.h"
#include "line/catalogo_linea.h"
#include "model/errori.h"
#include "model/giornale.h"
#include "model/significato.h"
#include "output/lettura.h"
#include "scenario/comune/documento.h"
#include "scenario/comune/rapporto.h"
#include "scenario/comune/testo.h"
#include "train/catalogo_treno.h"
#include "visore_risorse.h"

namespace calvetra::scenario {

namespace {

// Plan points kept at most, whatever the route length.
constexpr int64_t kPuntiPianta = 25000;

std::string unisci(std::span<const std::string_view> parti) {
  std::string s;
  for (std::string_view p : parti) s += p;
  return s;
}

// Samples metres 0 to `ultimo`, the last of those that hold both coordinates
// from metre 0 on (-1 for none).
template <typename X, typename Y>
PiantaCampionata campiona_con(int64_t ultimo, X x, Y y) {
  PiantaCampionata p;
  p.passo = std::max<int64_t>(10, (ultimo + kPuntiPianta - 1) / kPuntiPianta);
  for (int64_t m = 0; m <= ultimo; m += p.passo) {
    p.xy.push_back(x(m));
    p.xy.push_back(y(m));
  }
  if (ultimo > 0 && ultimo % p.passo != 0) {
    p.xy.push_back(x(ultimo));
    p.xy.push_back(y(ultimo));
  }
  return p;
}

// The source places the page refers to, each once, in order of first use.
class Luoghi {
 public:
  explicit Luoghi(const Compilato& o) : origini_(o) {}

  // The index of the place, or -1 when it is in no source that was read.
  int64_t indice(Luogo l) {
    if (!origini_ || l.file == FileSorgente::nessuno) return -1;
    const auto chiave = std::make_pair(static_cast<int>(l.file), l.offset);
    const auto trovato = indici_.find(chiave);
    if (trovato != indici_.end()) return trovato->second;
    const std::optional<LuogoMostrato> m = origini_->mostra(l);
    if (!m) return -1;
    const auto i = static_cast<int64_t>(indici_.size());
    indici_.emplace(chiave, i);
    // In room for its four elements, each moved in: a page of a hundred
    // thousand warnings holds as many places.
    Json luogo = Json::array();
    Json::array_t& elementi = luogo.get_ref<Json::array_t&>();
    elementi.reserve(4);
    elementi.emplace_back(testo_json(m->file));
    elementi.emplace_back(m->riga);
    elementi.emplace_back(m->colonna);
    elementi.emplace_back(testo_json(m->testo));
    json_.push_back(std::move(luogo));
    return i;
  }
  // The places, moved out: a page of a hundred thousand warnings holds as
  // many, and a copy would cost as much as making them.
  Json prendi() { return std::move(json_); }

 private:
  const Compilato& origini_;
  std::map<std::pair<int, size_t>, int64_t> indici_;
  Json json_ = Json::array();
};

// The catalogue description of the record named `record`; nullptr for none.
const DescrizioneRecord* record_catalogo(std::string_view record) {
  static const std::vector<const DescrizioneRecord*> tutti = [] {
    std::vector<const DescrizioneRecord*> l = record_linea();
    for (const DescrizioneRecord* d : record_treno()) l.push_back(d);
    return l;
  }();
  for (const DescrizioneRecord* d : tutti) {
    if (d->nome == record) return d;
  }
  return nullptr;
}

// A record's field as the author wrote it, named and with the unit of the
// record catalogue: [name, value] and, when the unit adds to it, the value
// as the page shows it (a position, a record's first field in metres, reads
// as 27+250). Made in room for its three elements: a page holds thousands.
Json json_campo(const DescrizioneRecord* d, std::string_view campo, int64_t valore) {
  const CampoRecord* k = nullptr;
  for (size_t i = 0; d != nullptr && i < d->campi.size(); ++i) {
    if (d->campi[i].nome == campo) k = &d->campi[i];
  }
  const std::string_view unita = k != nullptr ? k->unita : std::string_view();
  Json j = Json::array();
  Json::array_t& elementi = j.get_ref<Json::array_t&>();
  elementi.reserve(3);
  elementi.emplace_back(campo);
  elementi.emplace_back(valore);
  // The text only where it says more than the number: the page is smaller.
  if (unita == "m" && k == d->campi.data()) {
    elementi.emplace_back(testo_json(testo_progressiva(valore)));
  } else if (unita == "per mille") {
    elementi.emplace_back(testo_json(std::to_string(valore) + " \x89"));
  } else if (!unita.empty()) {
    elementi.emplace_back(testo_json(std::to_string(valore).append(" ").append(unita)));
  }
  return j;
}

// A record's fields as the author wrote them, each as json_campo gives it.
Json json_record(std::string_view nome, const std::vector<CampoLetto>& letti) {
  const DescrizioneRecord* d = record_catalogo(nome);
  Json campi = Json::array();
  campi.get_ref<Json::array_t&>().reserve(letti.size());
  for (const CampoLetto& c : letti) campi.push_back(json_campo(d, c.campo, c.valore));
  Json j = oggetto_json(3);  // and the index of a record of the journal
  metti_membro(&j, "nome", nome);
  metti_membro(&j, "campi", std::move(campi));
  return j;
}

// The record decoded from the stored bytes: the files are all there is.
Json json_record(const RecordLetto& r) {
  if (r.record == nullptr) return nullptr;
  return json_record(r.record, r.campi);
}

// The record of the journal at index `i`, with its values as read (a text
// as written); null for none. Its index goes with it: the page, the hover
// and `dump --json` know a record by it.
Json json_record_letto(const ScenarioCompilato& s, std::optional<size_t> i) {
  if (!i) return nullptr;
  const std::optional<RecordLettoNelGiornale> v = s.valori(*i);
  if (!v) return nullptr;
  // The numbers first, then the texts, each in the order read.
  const DescrizioneRecord* d = record_catalogo(v->nome);
  Json campi = Json::array();
  campi.get_ref<Json::array_t&>().reserve(v->campi.size());
  for (const ValoreLetto& x : v->campi) {
    if (!x.testo) campi.push_back(json_campo(d, x.campo, x.valore));
  }
  for (const ValoreLetto& x : v->campi) {
    if (x.testo) campi.push_back({x.campo, nullptr, testo_json(*x.testo)});
  }
  Json j = oggetto_json(3);
  metti_membro(&j, "nome", v->nome);
  metti_membro(&j, "campi", std::move(campi));
  metti_membro(&j, "indice", *i);
  return j;
}

// A text field of a record (a station's name, a sign's text), kept in a row.
void aggiungi_testo(Json* record, const char* campo, const std::string& testo) {
  (*record)["campi"].push_back({campo, nullptr, testo_json(testo)});
}

// The place on the route of the record a diagnostic is in, when the record
// begins with one (its first field in metres, as the compile read it): a
// warning about a speed limit or a gradient that knows no position of its
// own still leads the view to it.
std::optional<int64_t> posizione_record(const Compilato& origini, Luogo l) {
  if (!origini) return std::nullopt;
  const std::optional<size_t> i = origini->record_in(l);
  if (!i) return std::nullopt;
  const RecordRegistrato& r = *origini->record(*i);
  if (!r.riconosciuto() || r.campi.empty()) return std::nullopt;
  const DescrizioneRecord* d = record_catalogo(r.nome);
  if (d == nullptr || d->campi.empty() || d->campi.front().unita != "m") return std::nullopt;
  return r.campi.front().valore;  // as the compile read it
}

Json json_diagnostico(const Diagnostico& d, Luoghi& luoghi,
                      std::optional<int64_t> posizione_record) {
  const bool errore = d.gravita == Gravita::errore;
  const bool con_posizione = errore || d.con_posizione;
  Json note = Json::array();
  for (const Nota& n : d.note) {
    Json nota = oggetto_json(2);
    metti_membro(&nota, "testo", testo_json(n.testo));
    metti_membro(&nota, "luogo", luoghi.indice(n.luogo));
    note.push_back(std::move(nota));
  }
  // Member by member at the end of room made once: a page may hold a
  // hundred thousand of these.
  Json j = oggetto_json(8);
  metti_membro(&j, "gravita", errore ? "errore" : "avviso");
  metti_membro(&j, "codice", numero(d.codice));
  metti_membro(&j, "nome", testo_json(d.nome));
  metti_membro(&j, "messaggio",
               testo_json(errore && d.codice != CodiceErrore::nessuno ? descrizione_errore(d.codice)
                                                                      : d.messaggio));
  metti_membro(&j, "posizione",
               con_posizione || !posizione_record ? d.posizione : *posizione_record);
  // Errors always locate a place; a warning when it concerns one or its
  // record begins with one.
  metti_membro(&j, "con_posizione", con_posizione || posizione_record.has_value());
  metti_membro(&j, "luogo", luoghi.indice(d.luogo));
  metti_membro(&j, "note", std::move(note));
  return j;
}

// Whether the build is to be given up, looked at every `kOgni` steps of a
// loop: often enough to end within a fraction of a second, seldom enough to
// cost nothing.
constexpr size_t kOgni = 1024;
bool annullata(const Annullo& a, size_t passo) {
  return passo % kOgni == 0 && a.load(std::memory_order_relaxed);
}

// Objects: every cell that holds one, decoded, with the source place.
Json json_oggetti(const ScenarioVisto& v, Luoghi& luoghi, const Annullo& annullo) {
  Json oggetti = Json::array();
  for (size_t c = 0; c < v.tratti.size(); ++c) {
    if (annullata(annullo, c)) return nullptr;
    const tratto& t = v.tratti[c];
    if (t.tipo == kLibero) continue;
    Json o = json_cella(t, c, posizione_oggetto(t.tipo, static_cast<int64_t>(c)));
    const std::optional<int32_t> riga = riga_puntata(t);
    o["riga"] = riga ? Json(*riga) : Json(nullptr);
    o["luogo"] = v.origini ? luoghi.indice(v.origini->giornale().cella(c)) : -1;
    Json record = v.origini ? json_record_letto(*v.origini, v.origini->record_cella(c))
                            : json_record(record_della_cella(v.tratti, c));
    if (t.tipo == kSegnale) {
      // The approach codes 100 and 400 m before it as stored: another
      // signal or a stop may have written over the signal's own.
      const auto prima = [&](size_t k) { return k <= c ? v.tratti[c - k].preavviso : uint8_t{0}; };
      o["preavviso"] = {prima(2), prima(8)};
    }
    o["record"] = std::move(record);
    // A code reduction of the cab-code pass, and the record that caused it.
    const Giornale::Derivazione come =
        v.origini ? v.origini->giornale().derivazione(c) : Giornale::Derivazione::nessuna;
    if (come != Giornale::Derivazione::nessuna) {
      o["passo_codici"] = nome_derivazione(come);
      o["causa"] = luoghi.indice(v.origini->giornale().causa(c));
    }
    oggetti.push_back(std::move(o));
  }
  return oggetti;
}

// Table rows in use, with the fields named as in the table file.
Json json_righe(const ScenarioVisto& v, Luoghi& luoghi) {
  const auto usi = usi_righe(v.tabella, v.tratti);
  Json righe = Json::array();
  for (size_t r = 0; r < v.tabella.size(); ++r) {
    if (usi[r] == UsoRiga::vuota) continue;
    Json riga = oggetto_json(24);
    metti_membro(&riga, "riga", r);
    metti_membro(&riga, "uso", nome_uso(usi[r]));
    metti_campi_voce(&riga, v.tabella[r]);
    // A station's time of day; a time of 0 is one its source never gave.
    const std::string ora = testo_ora_stazione(v.tabella[r].orario);
    riga["ora"] = usi[r] == UsoRiga::stazione && !ora.empty() ? Json(ora) : Json(nullptr);
    // Whether a station marks cells: the page sets the others apart.
    riga["con_celle"] = usi[r] == UsoRiga::stazione && stazione_con_celle(v.tabella[r].tipo);
    riga["sorgente"] = v.origini ? luoghi.indice(v.origini->giornale().riga(r)) : -1;
    if (v.origini && (usi[r] == UsoRiga::stazione || usi[r] == UsoRiga::cartello)) {
      riga["record"] = json_record_letto(*v.origini, v.origini->record_riga(r));
    } else if (usi[r] == UsoRiga::stazione) {
      riga["record"] = json_record(record_della_stazione(v.tabella[r]));
      aggiungi_testo(&riga["record"], "name", v.tabella[r].nome);
    } else if (usi[r] == UsoRiga::cartello) {
      riga["record"] = {{"nome", "cartello_indicatore"}, {"campi", Json::array()}};
      aggiungi_testo(&riga["record"], "text", v.tabella[r].nome);
    }
    righe.push_back(std::move(riga));
  }
  return righe;
}

// The byte fields as runs, in columns: first cells, last cells, values;
// speeds in km/h and gradients in per mille, with whether a gradient reached
// the cells when the compile's journal is at hand.
Json json_sequenze(const std::vector<tratto>& tratti, const Giornale* g) {
  Json j = Json::object();
  for (const CampoNominato& campo : campi_byte()) {
    Json da = Json::array(), a = Json::array(), valore = Json::array(), raggiunta = Json::array();
    for (const Sequenza& q : sequenze(tratti, campo.campo, g)) {
      da.push_back(q.da);
      a.push_back(q.a);
      if (q.raggiunta) raggiunta.push_back(*q.raggiunta);
      if (campo.campo == &tratto::velocita) {
        valore.push_back(kmh_da_velocita(q.valore));
      } else if (campo.campo == &tratto::pendenza) {
        valore.push_back(per_mille_da_pendenza(q.valore));
      } else {
        valore.push_back(q.valore);
      }
    }
    const std::string nome = campo.campo == &tratto::velocita   ? "velocita_kmh"
                             : campo.campo == &tratto::pendenza ? "pendenza_per_mille"
                                                                : campo.nome;
    j[nome] = {{"da", std::move(da)}, {"a", std::move(a)}, {"valore", std::move(valore)}};
    if (!raggiunta.empty()) j[nome]["raggiunta"] = std::move(raggiunta);
  }
  return j;
}

Json json_rallentamenti(const std::vector<tratto>& tratti) {
  Json j = Json::array();
  for (const TrattoRallentato& r : rallentamenti(tratti)) {
    j.push_back({{"cella_inizio", r.cella_inizio},
                 {"cella_fine", r.cella_fine},
                 {"da", r.da()},
                 {"a", r.a()},
                 {"kmh", r.kmh}});
  }
  return j;
}

// The plan to a tenth of a metre, enough for any screen.
Json json_pianta(const std::optional<PiantaCampionata>& p) {
  if (!p) return nullptr;
  Json xy = Json::array();
  for (double v : p->xy) xy.push_back(std::round(v * 10) / 10);
  return {{"passo", p->passo}, {"xy", std::move(xy)}};
}

}  // namespace

PiantaCampionata campiona(const PianoLetto& p) {
  const std::vector<PianoLetto::Intervallo> pieni = p.pieni();
  const int64_t ultimo =
      !pieni.empty() && pieni.front().da == 0 ? static_cast<int64_t>(pieni.front().a) : -1;
  return campiona_con(
      ultimo, [&](int64_t m) { return p.x(static_cast<size_t>(m)).valore; },
      [&](int64_t m) { return p.y(static_cast<size_t>(m)).valore; });
}

PiantaCampionata campiona(const Geometria& g) {
  // The samples go forward: the metres are worked out once, a window at a time.
  PuntiPiano punti(g);
  return campiona_con(
      g.ultimo_pieno(), [&](int64_t m) { return punti.x(static_cast<int32_t>(m)); },
      [&](int64_t m) { return punti.y(static_cast<int32_t>(m)); });
}

Json json_vista(const ScenarioVisto& v) {
  const Annullo mai{false};
  return *json_vista(v, mai);
}

std::optional<Json> json_vista(const ScenarioVisto& v, const Annullo& annullo) {
  Luoghi luoghi(v.origini);
  const Intestazione intestazione(v.tabella);
  // Room for every member at once: a growth would copy the objects whole.
  Json j = oggetto_json(20);
  j["linea"] = testo_json(intestazione.nome_linea());
  j["treni"] = testo_json(intestazione.nome_treni());
  j["lunghezza"] = intestazione.lunghezza_percorso();
  j["metri_cella"] = kMetriCella;
  j["celle"] = v.tratti.size();
  j["fonte"] = v.origini ? "sorgenti" : "binari";
  j["oggetti"] = json_oggetti(v, luoghi, annullo);
  if (annullo) return std::nullopt;
  j["righe"] = json_righe(v, luoghi);
  j["sequenze"] = json_sequenze(v.tratti, v.origini ? &v.origini->giornale() : nullptr);
  j["rallentamenti"] = json_rallentamenti(v.tratti);
  j["pianta"] = json_pianta(v.pianta);
  // The inspector names a record's fields as the catalogue does to authors:
  // record -> field -> label.
  Json etichette = Json::object();
  for (const std::vector<const DescrizioneRecord*>& l : {record_linea(), record_treno()}) {
    for (const DescrizioneRecord* d : l) {
      Json campi = Json::object();
      for (const CampoRecord& c : d->campi) campi[std::string(c.nome)] = std::string(c.etichetta);
      etichette[std::string(d->nome)] = std::move(campi);
    }
  }
  j["etichette"] = std::move(etichette);
  // The records the compile never reached: none of their objects is drawn.
  j["non_compilati"] = v.origini ? v.origini->giornale().non_compilati() : 0;
  Json& diagnostica = j["diagnostica"] = Json::array();
  static const std::vector<Diagnostico> nessuna;
  const std::vector<Diagnostico>& voci =
      v.origini ? v.origini->compilazione().diagnostica.voci() : nessuna;
  diagnostica.get_ref<Json::array_t&>().reserve(voci.size());
  for (size_t i = 0; i < voci.size(); ++i) {
    if (annullata(annullo, i)) return std::nullopt;
    const Diagnostico& d = voci[i];
    diagnostica.push_back(json_diagnostico(d, luoghi, posizione_record(v.origini, d.luogo)));
  }
  j["luoghi"] = luoghi.prendi();
  // The author's editor: a link template and the folder of the sources.
  j["editor"] = v.editor.empty() ? Json(nullptr) : Json(v.editor);
  j["cartella"] = v.editor.empty() ? Json(nullptr) : Json(v.cartella);
  if (v.apri_dal_server) j["apri"] = true;
  return j;
}

namespace {

// The page's template with each slot filled once, in one pass: what a
// filling brings in (a sign's text that reads "/*CODICE*/", say) is never
// searched for slots again.
std::string riempi(std::string_view modello,
                   std::initializer_list<std::pair<std::string_view, std::string_view>> pezzi) {
  std::string pagina;
  size_t tutto = modello.size();
  for (const auto& p : pezzi) tutto += p.second.size();
  pagina.reserve(tutto);
  size_t da = 0;
  for (;;) {
    size_t primo = std::string_view::npos;
    const std::pair<std::string_view, std::string_view>* quale = nullptr;
    for (const auto& p : pezzi) {
      const size_t i = modello.find(p.first, da);
      if (i < primo) {
        primo = i;
        quale = &p;
      }
    }
    if (quale == nullptr) break;
    pagina.append(modello.substr(da, primo - da)).append(quale->second);
    da = primo + quale->first.size();
  }
  pagina.append(modello.substr(da));
  return pagina;
}

// `dati` the text of json_in_pagina: the data's value can be gone before
// the page is put together, and a page of a hundred thousand warnings never
// holds both.
std::string pagina_con(const std::string& titolo, const std::string& dati, std::string_view vivo) {
  return riempi(unisci(kPagina_html), {{"<!--TITOLO-->", titolo},
                                       {"/*STILE*/", unisci(kVisore_css)},
                                       {"/*DATI*/", dati},
                                       {"/*CODICE*/", unisci(kVisore_js)},
                                       {"/*VIVO*/", vivo}});
}

}  // namespace

std::string json_in_pagina(const Json& dati) {
  std::string testo = scrivi_json(dati, 2);
  // A "<" stands only inside JSON strings, where \u003c reads the same: no
  // "</script" nor "<!--" can reach the page's markup.
  if (testo.find('<') == std::string::npos) return testo;
  std::string sicuro;
  sicuro.reserve(testo.size() + testo.size() / 64);
  for (size_t da = 0;;) {
    const size_t minore = testo.find('<', da);
    sicuro.append(testo, da, minore == std::string::npos ? std::string::npos : minore - da);
    if (minore == std::string::npos) return sicuro;
    sicuro.append("\\u003c");
    da = minore + 1;
  }
}

std::string pagina_vista(const ScenarioVisto& v) {
  const Intestazione intestazione(v.tabella);
  return pagina_con(
      testo_xml("Linea " + intestazione.nome_linea() + " \x97 treni " + intestazione.nome_treni()),
      json_in_pagina(json_vista(v)), "");
}

std::string pagina_viva(const Json& dati) {
  return pagina_con("Percorso dal vivo", json_in_pagina(dati), unisci(kVivo_js));
}

std::string politica_pagina_viva() {
  // The data travel in a block of type application/json, which is never run
  // and needs no place in the policy; the favicon is an empty data: address.
  return "default-src 'none'; script-src '" + std::string(kImpronta_copione_vivo) +
         "'; style-src '" + std::string(kImpronta_stile_vivo) +
         "'; img-src data:; connect-src 'self'; base-uri 'none'; form-action 'none'; "
         "frame-ancestors 'none'";
}

std::optional<ScenarioVisto> vista_da_sorgenti(SorgentiAutore sorgenti, const NomiScenario& nomi,
                                               std::string* fatale, const Annullo* annullo) {
  Compilato c = ScenarioCompilato::compila(
      std::move(sorgenti), nomi, {.con_geometria = true, .con_giornale = true, .annullo = annullo});
  if (annullo != nullptr && *annullo) {
    fatale->clear();
    return std::nullopt;
  }
  return vista_da_compilato(std::move(c), fatale);
}

std::optional<ScenarioVisto> vista_da_compilato(Compilato compilato, std::string* fatale) {
  const Compilazione& comp = compilato->compilazione();
  if (comp.fine == FineCompilazione::rifiutata) {
    // The fatal diagnostic names the source, at its first line.
    const Diagnostico& d = comp.diagnostica.voci().front();
    const SorgenteAutore* a = compilato->sorgenti().di(d.luogo.file);
    *fatale = (a != nullptr ? a->percorso + ":1: " : std::string()) + d.messaggio;
    return std::nullopt;
  }
  if (comp.modello.tratti.size() <= kCellaIntestazione) {
    *fatale = "nessuna cella creata, niente da mostrare";
    return std::nullopt;
  }
  ScenarioVisto v;
  v.tabella = comp.modello.tabella;
  v.tratti = comp.modello.tratti;
  if (comp.modello.geometria.esiste()) v.pianta = campiona(comp.modello.geometria);
  v.origini = std::move(compilato);
  return v;
}

}  // namespace calvetra::scenario
