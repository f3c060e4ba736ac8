#include "visore.h"

#include <algorithm>
#include <map>
#include <span>
#include <string_view>
#include <utility>

#include "documento.h"
#include "model/messaggi.h"
#include "testo.h"
#include "visore_risorse.h"
#include "vista.h"

namespace calvetra::scenario {

namespace {

constexpr const char* kAiuto =
    "uso: scenario view [--linea NOME] [--treni COPPIA] CARTELLA -o FILE.html\n"
    "\n"
    "Scrive una pagina HTML autonoma (nessun accesso alla rete) per esplorare il\n"
    "percorso in un browser: il profilo lungo il percorso con velocita',\n"
    "rallentamenti, pendenze, montagne, stazioni, segnali, cartelli e\n"
    "abbattimenti, da ingrandire fino alla singola cella da 50 m; la pianta con\n"
    "la parte mostrata; i valori di ogni oggetto; la ricerca di stazioni,\n"
    "cartelli e posizioni (27+250); errori e avvisi sull'asse.\n"
    "\n"
    "Con i sorgenti nella CARTELLA li compila in memoria (non scrive file\n"
    "binari) e collega ogni oggetto alla riga del record che lo ha posto;\n"
    "senza sorgenti legge i file binari.\n"
    "\n"
    "Uscita: 0 pagina scritta, 1 file mancanti o non validi o pagina non\n"
    "scrivibile, 2 uso errato.\n";

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
    json_ += json_.empty() ? "\n" : ",\n";
    json_ += '[';
    json_ += stringa_json(m->file) + "," + std::to_string(m->riga) + "," +
             std::to_string(m->colonna) + "," + stringa_json(m->testo) + "]";
    return i;
  }
  const std::string& json() const { return json_; }

 private:
  const std::optional<Origini>& origini_;
  std::map<std::pair<int, size_t>, int64_t> indici_;
  std::string json_;
};

std::string numeri(const std::vector<double>& v) {
  std::string s;
  for (size_t i = 0; i < v.size(); ++i) {
    if (i > 0) s += ',';
    s += decimali(v[i], 1);
  }
  return s;
}

std::string json_diagnostico(const Diagnostico& d, Luoghi& luoghi) {
  const bool errore = d.gravita == Gravita::errore;
  std::string s = "{\"gravita\":\"" + std::string(errore ? "errore" : "avviso") + "\"";
  s += ",\"codice\":" + std::to_string(d.codice) + ",\"nome\":" + stringa_json(d.nome);
  s += ",\"messaggio\":" +
       stringa_json(errore ? std::string(descrizione_errore(d.codice)) : d.messaggio);
  s += ",\"posizione\":" + std::to_string(d.posizione);
  s += ",\"luogo\":" + std::to_string(luoghi.indice(d.luogo)) + ",\"note\":[";
  for (size_t i = 0; i < d.note.size(); ++i) {
    if (i > 0) s += ',';
    s += "{\"testo\":" + stringa_json(d.note[i].testo) +
         ",\"luogo\":" + std::to_string(luoghi.indice(d.note[i].luogo)) + "}";
  }
  return s + "]}";
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

std::string json_vista(const ScenarioVisto& v) {
  Luoghi luoghi(v.origini);
  const Provenienze* prov = v.origini ? &v.origini->provenienze : nullptr;
  const voce& percorso = v.tabella[kRigaPercorso];
  std::string s = "{\"linea\":" + stringa_json(v.tabella[kRigaLinea].nome);
  s += ",\"treni\":" + stringa_json(v.tabella[kRigaTreni].nome);
  s += ",\"lunghezza\":" + std::to_string(percorso.fine);
  s += ",\"metri_cella\":" + std::to_string(kMetriCella);
  s += ",\"celle\":" + std::to_string(v.tratti.size());
  s += std::string(",\"fonte\":\"") + (v.origini ? "sorgenti" : "binari") + "\"";

  // Objects: cell, kind, four values, time, source place.
  s += ",\n\"oggetti\":[";
  bool primo = true;
  for (size_t c = 0; c < v.tratti.size(); ++c) {
    const tratto& t = v.tratti[c];
    if (t.tipo == kLibero) continue;
    s += primo ? "\n[" : ",\n[";
    primo = false;
    for (int64_t n :
         {int64_t{static_cast<int64_t>(c)}, int64_t{t.tipo}, int64_t{t.valore_a},
          int64_t{t.valore_b}, int64_t{t.valore_c}, int64_t{t.valore_d}, int64_t{t.tempo}}) {
      s += std::to_string(n) + ",";
    }
    s += std::to_string(prov != nullptr ? luoghi.indice(prov->cella(c)) : -1) + "]";
  }

  // Table rows in use, with the fields named as in the table file.
  s += "],\n\"righe\":[";
  const auto usi = usi_righe(v.tabella, v.tratti);
  primo = true;
  for (size_t r = 0; r < v.tabella.size(); ++r) {
    if (usi[r] == UsoRiga::vuota) continue;
    s += primo ? "\n{" : ",\n{";
    primo = false;
    s += "\"riga\":" + std::to_string(r) + ",\"uso\":\"" + nome_uso(usi[r]) + "\"";
    for (const Campo& c : campi_voce(v.tabella[r])) {
      s += ",\"" + std::string(c.nome) + "\":" + (c.stringa ? stringa_json(c.testo) : c.testo);
    }
    s += ",\"sorgente\":" + std::to_string(prov != nullptr ? luoghi.indice(prov->riga(r)) : -1);
    s += "}";
  }

  // The byte fields as runs: from, to, value, ...
  s += "],\n\"sequenze\":{";
  for (size_t k = 0; k < campi_byte().size(); ++k) {
    const CampoNominato& campo = campi_byte()[k];
    s += (k > 0 ? ",\n\"" : "\n\"") + std::string(campo.nome) + "\":[";
    const std::vector<Sequenza> seq = sequenze(v.tratti, campo.campo);
    for (size_t j = 0; j < seq.size(); ++j) {
      if (j > 0) s += ',';
      s += std::to_string(seq[j].da) + "," + std::to_string(seq[j].a) + "," +
           std::to_string(seq[j].valore);
    }
    s += "]";
  }
  s += "},\n\"pianta\":";
  if (v.pianta) {
    s +=
        "{\"passo\":" + std::to_string(v.pianta->passo) + ",\"xy\":[" + numeri(v.pianta->xy) + "]}";
  } else {
    s += "null";
  }

  s += ",\n\"diagnostica\":[";
  for (size_t i = 0; i < v.diagnostica.size(); ++i) {
    s += (i > 0 ? ",\n" : "\n") + json_diagnostico(v.diagnostica[i], luoghi);
  }
  s += "],\n\"luoghi\":[" + luoghi.json() + "]}\n";
  return s;
}

std::string pagina_vista(const ScenarioVisto& v) {
  std::string dati = json_vista(v);
  // The data sits in a script element: no "</" may close it early.
  for (size_t i = dati.find("</"); i != std::string::npos; i = dati.find("</", i + 3)) {
    dati.replace(i, 2, "<\\/");
  }
  std::string pagina = unisci(kPagina_html);
  const auto metti = [&](std::string_view segno, const std::string& testo) {
    const size_t i = pagina.find(segno);
    if (i != std::string::npos) pagina.replace(i, segno.size(), testo);
  };
  metti("<!--TITOLO-->", testo_xml("Linea " + v.tabella[kRigaLinea].nome + " \x97 treni " +
                                   v.tabella[kRigaTreni].nome));
  metti("/*STILE*/", unisci(kVisore_css));
  metti("/*DATI*/", dati);
  metti("/*CODICE*/", unisci(kVisore_js));
  return pagina;
}

int view(const OpzioniView& o, std::ostream& out, std::ostream& err) {
  ScenarioVisto v;
  SorgentiAutore sorgenti;
  std::string errore;
  if (!leggi_sorgenti(o.cartella, o.nomi, &sorgenti, &errore)) {
    err << "scenario: " << errore << "\n";
    return kUscitaFatale;
  }
  if (sorgenti.qualcuna()) {
    Compilazione c = compila_sorgenti(sorgenti, o.nomi, true, true);
    if (c.modello.tratti.size() <= kCellaIntestazione) {
      err << "scenario: nessuna cella creata, niente da mostrare\n";
      return kUscitaFatale;
    }
    v.tabella = std::move(c.modello.tabella);
    v.tratti = std::move(c.modello.tratti);
    if (c.modello.geometria.esiste()) v.pianta = campiona(c.modello.geometria);
    v.diagnostica = c.diagnostica.voci();
    // A reserved header slot taken ends the run with no file: shown as an error.
    if (c.fine == FineCompilazione::fatale) {
      Diagnostico fatale;
      fatale.codice = c.errore_fatale;
      v.diagnostica.push_back(fatale);
    }
    v.origini = Origini{std::move(sorgenti), std::move(c.provenienze)};
  } else {
    ScenarioLetto s;
    if (!leggi_scenario(o.cartella, o.nomi, &s, &errore)) {
      err << "scenario: " << errore << "\n";
      return kUscitaFatale;
    }
    v.tabella = std::move(s.tabella);
    v.tratti = std::move(s.tratti);
    if (s.geometria) v.pianta = campiona(*s.geometria);
  }
  return scrivi_documento(o.uscita, pagina_vista(v), out, err);
}

int comando_view(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  OpzioniView o;
  const int stato = argomenti_documento("view", "html", kAiuto, argc, argv, out, err, &o);
  return stato >= 0 ? stato : view(o, out, err);
}

}  // namespace calvetra::scenario
