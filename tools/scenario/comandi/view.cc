#include "scenario/comandi/view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
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

constexpr const char* kAiuto =
    "uso: scenario view [--linea NOME] [--treni COPPIA] [--editor MODELLO] CARTELLA\n"
    "                   -o FILE.html\n"
    "\n"
    "Scrive una pagina HTML autonoma (nessun accesso alla rete) per esplorare il\n"
    "percorso in un browser: il profilo lungo il percorso con velocita',\n"
    "rallentamenti, pendenze, montagne, stazioni, segnali, cartelli e\n"
    "abbattimenti, da ingrandire fino alla singola cella da 50 m; la pianta con\n"
    "la parte mostrata; i valori di ogni oggetto con i nomi dei campi del suo\n"
    "record; la ricerca di stazioni e cartelli per una parola del nome o del\n"
    "testo e di posizioni (27+250, 27.250, 27250); errori e avvisi sull'asse.\n"
    "L'indirizzo della pagina segue la vista (#27250@2km): ricaricarla o\n"
    "passarla ad altri riapre la stessa vista.\n"
    "\n"
    "Con i sorgenti nella CARTELLA li compila in memoria (non scrive file\n"
    "binari) e collega ogni oggetto alla riga del record che lo ha posto;\n"
    "senza sorgenti legge i file binari.\n"
    "\n"
    "Con --editor il file e la riga di un record diventano un collegamento che lo\n"
    "apre nel proprio editor: MODELLO e' un indirizzo in cui {path}, {line} e\n"
    "{col} diventano il percorso assoluto del sorgente, la riga e la colonna, per\n"
    "esempio 'vscode://file/{path}:{line}:{col}' o 'file://{path}'.\n"
    "\n"
    "Uscita: 0 pagina scritta, 1 fine fatale come per check (il sorgente del\n"
    "treno manca accanto a quello della linea, nessuna cella, sorgenti\n"
    "illeggibili, file binari mancanti o non validi, pagina non scrivibile),\n"
    "2 uso errato.\n";

// Plan points kept at most, whatever the route length.
constexpr int64_t kPuntiPianta = 25000;

std::string unisci(std::span<const std::string_view> parti) {
  std::string s;
  for (std::string_view p : parti) s += p;
  return s;
}

template <typename Valida, typename X, typename Y>
PiantaCampionata campiona_con(int64_t metri, Valida valida, X x, Y y) {
  PiantaCampionata p;
  int64_t ultimo = -1;
  while (ultimo + 1 < metri && valida(ultimo + 1)) ++ultimo;
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
  explicit Luoghi(const std::optional<Origini>& o) : origini_(o) {}

  // The index of the place, or -1 when it is in no source that was read.
  int64_t indice(Luogo l) {
    if (!origini_ || l.file == FileSorgente::nessuno) return -1;
    const auto chiave = std::make_pair(static_cast<int>(l.file), l.offset);
    const auto trovato = indici_.find(chiave);
    if (trovato != indici_.end()) return trovato->second;
    const std::optional<LuogoMostrato> m = mostra(l, origini_->sorgenti);
    if (!m) return -1;
    const auto i = static_cast<int64_t>(indici_.size());
    indici_.emplace(chiave, i);
    json_.push_back({testo_json(m->file), m->riga, m->colonna, testo_json(m->testo)});
    return i;
  }
  const Json& json() const { return json_; }

 private:
  const std::optional<Origini>& origini_;
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

// 27250 -> "27+250", as authors and the timetable write positions.
std::string progressiva(int64_t m) {
  const int64_t a = m < 0 ? -m : m;
  char s[32];
  std::snprintf(s, sizeof s, "%s%lld+%03lld", m < 0 ? "-" : "", static_cast<long long>(a / 1000),
                static_cast<long long>(a % 1000));
  return s;
}

// A record's fields as the author wrote them, named and with the units of
// the record catalogue: [name, value] and, when the unit adds to it, the
// value as the page shows it (a position, a record's first field in metres,
// reads as 27+250).
Json json_record(const RecordLetto& r) {
  if (r.record == nullptr) return nullptr;
  const DescrizioneRecord* d = record_catalogo(r.record);
  Json campi = Json::array();
  for (const CampoLetto& c : r.campi) {
    const CampoRecord* k = nullptr;
    for (size_t i = 0; d != nullptr && i < d->campi.size(); ++i) {
      if (d->campi[i].nome == c.campo) k = &d->campi[i];
    }
    const std::string_view unita = k != nullptr ? k->unita : std::string_view();
    std::string testo = std::to_string(c.valore);
    if (unita == "m" && k == d->campi.data()) {
      testo = progressiva(c.valore);
    } else if (unita == "per mille") {
      testo.append(" \x89");
    } else if (!unita.empty()) {
      testo.append(" ").append(unita);
    }
    // The text only where it says more than the number: the page is smaller.
    Json campo = {c.campo, c.valore};
    if (testo != std::to_string(c.valore)) campo.push_back(testo_json(testo));
    campi.push_back(std::move(campo));
  }
  return {{"nome", r.record}, {"campi", std::move(campi)}};
}

// A text field of a record (a station's name, a sign's text), kept in a row.
void aggiungi_testo(Json* record, const char* campo, const std::string& testo) {
  (*record)["campi"].push_back({campo, nullptr, testo_json(testo)});
}

// The place on the route of the record a diagnostic is in, when the record
// begins with one (its first field in metres, as json_record shows it) and
// the author wrote a number there: a warning about a speed limit or a
// gradient that knows no position of its own still leads the view to it.
std::optional<int64_t> posizione_del_record(const std::optional<Origini>& o, Luogo l) {
  if (!o || l.file == FileSorgente::nessuno) return std::nullopt;
  const SorgenteAutore* s = o->sorgenti.di(l.file);
  if (s == nullptr || !s->testo) return std::nullopt;
  const std::string_view testo = *s->testo;
  const RecordRegistrato* trovato = nullptr;
  for (const RecordRegistrato& r : o->giornale.records()) {
    if (r.chiave.file == l.file && r.chiave.offset <= l.offset && r.riconosciuto()) trovato = &r;
  }
  if (trovato == nullptr || trovato->campi.empty()) return std::nullopt;
  const Estensione primo = trovato->campi.front();
  // A place past the record's last field is in no record.
  if (trovato->fine() > testo.size() || l.offset > trovato->fine()) return std::nullopt;
  const DescrizioneRecord* d = record_catalogo(trovato->nome);
  if (d == nullptr || d->campi.empty() || d->campi.front().unita != "m") return std::nullopt;
  const std::string_view campo = testo.substr(primo.inizio, primo.fine - primo.inizio);
  try {
    if (!e_numero(campo)) return std::nullopt;
    return numero_da_campo(campo);
  } catch (const GuastoInatteso&) {
    return std::nullopt;
  }
}

Json json_diagnostico(const Diagnostico& d, Luoghi& luoghi,
                      std::optional<int64_t> posizione_record) {
  const bool errore = d.gravita == Gravita::errore;
  const bool con_posizione = errore || d.con_posizione;
  Json note = Json::array();
  for (const Nota& n : d.note) {
    note.push_back({{"testo", testo_json(n.testo)}, {"luogo", luoghi.indice(n.luogo)}});
  }
  return {{"gravita", errore ? "errore" : "avviso"},
          {"codice", numero(d.codice)},
          {"nome", testo_json(d.nome)},
          {"messaggio", testo_json(errore ? descrizione_errore(d.codice) : d.messaggio)},
          {"posizione", con_posizione || !posizione_record ? d.posizione : *posizione_record},
          // Errors always locate a place; a warning when it concerns one or
          // its record begins with one.
          {"con_posizione", con_posizione || posizione_record.has_value()},
          {"luogo", luoghi.indice(d.luogo)},
          {"note", std::move(note)}};
}

// Objects: every cell that holds one, decoded, with the source place.
Json json_oggetti(const ScenarioVisto& v, Luoghi& luoghi) {
  Json oggetti = Json::array();
  for (size_t c = 0; c < v.tratti.size(); ++c) {
    const tratto& t = v.tratti[c];
    if (t.tipo == kLibero) continue;
    Json o = json_cella(t, c, posizione_oggetto(t.tipo, static_cast<int64_t>(c)));
    const std::optional<int32_t> riga = riga_puntata(t);
    o["riga"] = riga ? Json(*riga) : Json(nullptr);
    o["luogo"] = v.origini ? luoghi.indice(v.origini->giornale.cella(c)) : -1;
    Json record = json_record(record_della_cella(v.tratti, c));
    if (t.tipo == kSegnale) {
      // The approach codes 100 and 400 m before it as stored: another
      // signal or a stop may have written over the signal's own.
      const auto prima = [&](size_t k) { return k <= c ? v.tratti[c - k].preavviso : uint8_t{0}; };
      o["preavviso"] = {prima(2), prima(8)};
    }
    o["record"] = std::move(record);
    // A code reduction of the cab-code pass, and the record that caused it.
    const Giornale::Derivazione come =
        v.origini ? v.origini->giornale.derivazione(c) : Giornale::Derivazione::nessuna;
    if (come != Giornale::Derivazione::nessuna) {
      o["passo_codici"] = nome_derivazione(come);
      o["causa"] = luoghi.indice(v.origini->giornale.causa(c));
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
    Json riga = {{"riga", r}, {"uso", nome_uso(usi[r])}};
    metti_campi_voce(&riga, v.tabella[r]);
    // A station's time of day; a time of 0 is one its source never gave.
    const std::string ora = testo_ora_stazione(v.tabella[r].orario);
    riga["ora"] = usi[r] == UsoRiga::stazione && !ora.empty() ? Json(ora) : Json(nullptr);
    // Whether a station marks cells: the page sets the others apart.
    riga["con_celle"] = usi[r] == UsoRiga::stazione && stazione_con_celle(v.tabella[r].tipo);
    riga["sorgente"] = v.origini ? luoghi.indice(v.origini->giornale.riga(r)) : -1;
    if (usi[r] == UsoRiga::stazione) {
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
// speeds in km/h and gradients in per mille (null where never filled).
Json json_sequenze(const std::vector<tratto>& tratti) {
  Json j = Json::object();
  for (const CampoNominato& campo : campi_byte()) {
    Json da = Json::array(), a = Json::array(), valore = Json::array();
    for (const Sequenza& q : sequenze(tratti, campo.campo)) {
      da.push_back(q.da);
      a.push_back(q.a);
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
  const auto valida = [&](int64_t m) {
    const auto i = static_cast<size_t>(m);
    return p.x[i].genere != Geometria::Genere::vuoto && p.y[i].genere != Geometria::Genere::vuoto;
  };
  return campiona_con(
      static_cast<int64_t>(std::min(p.x.size(), p.y.size())), valida,
      [&](int64_t m) { return p.x[static_cast<size_t>(m)].valore; },
      [&](int64_t m) { return p.y[static_cast<size_t>(m)].valore; });
}

PiantaCampionata campiona(const Geometria& g) {
  return campiona_con(
      g.esiste() ? int64_t{g.ultimo_metro()} + 1 : 0,
      [&](int64_t m) { return g.genere(static_cast<int32_t>(m)) != Geometria::Genere::vuoto; },
      [&](int64_t m) { return g.x(static_cast<int32_t>(m)); },
      [&](int64_t m) { return g.y(static_cast<int32_t>(m)); });
}

Json json_vista(const ScenarioVisto& v) {
  Luoghi luoghi(v.origini);
  const Intestazione intestazione(v.tabella);
  Json j;
  j["linea"] = testo_json(intestazione.nome_linea());
  j["treni"] = testo_json(intestazione.nome_treni());
  j["lunghezza"] = intestazione.lunghezza_percorso();
  j["metri_cella"] = kMetriCella;
  j["celle"] = v.tratti.size();
  j["fonte"] = v.origini ? "sorgenti" : "binari";
  j["oggetti"] = json_oggetti(v, luoghi);
  j["righe"] = json_righe(v, luoghi);
  j["sequenze"] = json_sequenze(v.tratti);
  j["rallentamenti"] = json_rallentamenti(v.tratti);
  j["pianta"] = json_pianta(v.pianta);
  // The records the compile never reached: none of their objects is drawn.
  j["non_compilati"] = v.origini ? v.origini->giornale.non_compilati() : 0;
  j["diagnostica"] = Json::array();
  for (const Diagnostico& d : v.diagnostica) {
    j["diagnostica"].push_back(
        json_diagnostico(d, luoghi, posizione_del_record(v.origini, d.luogo)));
  }
  j["luoghi"] = luoghi.json();
  // The author's editor: a link template and the folder of the sources.
  j["editor"] = v.editor.empty() ? Json(nullptr) : Json(v.editor);
  j["cartella"] = v.editor.empty() ? Json(nullptr) : Json(v.cartella);
  return j;
}

std::string pagina_vista(const ScenarioVisto& v) {
  std::string dati = scrivi_json(json_vista(v), 2);
  // The data sits in a script element: no "</" may close it early.
  for (size_t i = dati.find("</"); i != std::string::npos; i = dati.find("</", i + 3)) {
    dati.replace(i, 2, "<\\/");
  }
  std::string pagina = unisci(kPagina_html);
  const auto metti = [&](std::string_view segno, const std::string& testo) {
    const size_t i = pagina.find(segno);
    if (i != std::string::npos) pagina.replace(i, segno.size(), testo);
  };
  const Intestazione intestazione(v.tabella);
  metti("<!--TITOLO-->", testo_xml("Linea " + intestazione.nome_linea() + " \x97 treni " +
                                   intestazione.nome_treni()));
  metti("/*STILE*/", unisci(kVisore_css));
  metti("/*DATI*/", dati);
  metti("/*CODICE*/", unisci(kVisore_js));
  return pagina;
}

namespace {

// The scenario compiled from the sources, in memory; false with a message
// on `c.err` when there is nothing to show.
bool da_sorgenti(const Contesto& c, const OpzioniView& o, SorgentiAutore sorgenti,
                 ScenarioVisto* v) {
  Compilazione comp =
      compila_sorgenti(sorgenti, o.nomi, {.con_geometria = true, .con_giornale = true});
  if (comp.modello.tratti.size() <= kCellaIntestazione) {
    c.err << "scenario: nessuna cella creata, niente da mostrare\n";
    return false;
  }
  v->tabella = std::move(comp.modello.tabella);
  v->tratti = std::move(comp.modello.tratti);
  if (comp.modello.geometria.esiste()) v->pianta = campiona(comp.modello.geometria);
  v->diagnostica = comp.diagnostica.voci();
  // A reserved header slot taken ends the run with no file: shown as an error.
  if (comp.fine == FineCompilazione::fatale) {
    Diagnostico fatale;
    fatale.codice = comp.errore_fatale;
    v->diagnostica.push_back(fatale);
  }
  v->origini = Origini{std::move(sorgenti), std::move(comp.giornale)};
  return true;
}

// The scenario read from its binary files; false with a message on `c.err`.
bool da_binari(const Contesto& c, const OpzioniView& o, ScenarioVisto* v) {
  ScenarioLetto s;
  const StatoLettura stato = leggi_scenario(c.disco, o.cartella, o.nomi, &s);
  if (!stato.ok()) {
    c.err << "scenario: " << stato.messaggio() << "\n";
    return false;
  }
  v->tabella = std::move(s.tabella);
  v->tratti = std::move(s.tratti);
  if (s.geometria) v->pianta = campiona(*s.geometria);
  return true;
}

}  // namespace

int view(const Contesto& c, const OpzioniView& o) {
  SorgentiAutore sorgenti;
  std::string errore;
  if (!leggi_sorgenti(c.disco, o.cartella, o.nomi, &sorgenti, &errore)) {
    c.err << "scenario: " << errore << "\n";
    return kUscitaFatale;
  }
  // Shown from its line source alone, the page would be a route with no
  // station, signal or slowdown, as if nothing were wrong.
  if (treno_mancante(c.disco, o.cartella, o.nomi, sorgenti, c.err)) return kUscitaFatale;
  ScenarioVisto v;
  v.editor = o.editor;
  std::filesystem::path cartella(o.cartella);
  if (cartella.is_relative() && !c.cartella_lavoro.empty()) {
    cartella = std::filesystem::path(c.cartella_lavoro) / cartella;
  }
  v.cartella = cartella.lexically_normal().string();
  while (v.cartella.size() > 1 && v.cartella.back() == '/') v.cartella.pop_back();
  const bool letto =
      sorgenti.qualcuna() ? da_sorgenti(c, o, std::move(sorgenti), &v) : da_binari(c, o, &v);
  if (!letto) return kUscitaFatale;
  return scrivi_documento(c, o.uscita, pagina_vista(v));
}

int comando_view(const Contesto& c, const Argomenti& a) {
  OpzioniView o;
  Sintassi s("view", kAiuto);
  s.nomi_scenario(&o.nomi).cartella(&o.cartella);
  s.valore("-o", "FILE.html", &o.uscita).alias("--output").obbligatoria();
  s.valore("--editor", "MODELLO", &o.editor);
  if (const std::optional<int> fine = s.leggi(a, c.out, c.err)) return *fine;
  return view(c, o);
}

}  // namespace calvetra::scenario
