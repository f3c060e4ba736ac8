#include "compile/conservati.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string_view>
#include <utility>

#include "fields/lettore_campi.h"
#include "fields/rilettura.h"
#include "model/numeri.h"
#include "model/significato.h"
#include "output/scrittura.h"

namespace calvetra {

namespace {

std::string n(int64_t v) { return std::to_string(v); }

std::string citato(std::string_view s) {
  std::string r = "`";
  r += s;
  r += '`';
  return r;
}

// The files of `c` are written: only they keep anything.
bool scrive(const Compilazione& c) {
  return c.con_giornale && c.scrive_file() && non_scrivibile(c.modello).empty();
}

std::string_view testo_di(FileSorgente f, const Sorgente& linea, const Sorgente& treno) {
  const Sorgente& s = f == FileSorgente::treno ? treno : linea;
  return s.stato == Sorgente::Stato::letta ? s.testo : std::string_view();
}

// The catalogue entries by the name a journal's record keeps (the
// catalogue's own text), looked up once a kind.
class Descrizioni {
 public:
  const DescrizioneRecord* di(const RecordRegistrato& r) {
    for (const auto& [chiave, d] : visti_) {
      if (chiave.first == r.chiave.file && chiave.second == r.nome.data()) return d;
    }
    const DescrizioneRecord* d = descrizione_record(r.chiave.file, r.nome);
    visti_.push_back({{r.chiave.file, r.nome.data()}, d});
    return d;
  }

 private:
  std::vector<std::pair<std::pair<FileSorgente, const char*>, const DescrizioneRecord*>> visti_;
};

bool stesso_genere(const RecordRegistrato& a, const RecordRegistrato& b) {
  return a.compilato && !a.passo() && a.chiave.file == b.chiave.file && a.nome == b.nome;
}

// The first table row a record wrote; -1 for none.
int64_t riga_scritta(const Giornale& g, const RecordRegistrato& r) {
  for (size_t k = r.prima_scrittura; k < r.prima_scrittura + r.scritture; ++k) {
    const Scrittura& s = g.scritture()[k];
    if (s.bersaglio == Scrittura::Bersaglio::riga) return s.indice;
  }
  return -1;
}

bool serve_riga(const DescrizioneRecord& d) {
  return std::any_of(d.campi.begin(), d.campi.end(), [](const CampoRecord& c) {
    return c.deposito.dove == Dove::riga && c.deposito.riga < 0;
  });
}

// A field's value in the author's words: the number and its unit, or the text.
std::string valore_in_parole(const CampoRecord& c, bool testo, int64_t v, const std::string& t) {
  if (testo) return citato(t);
  return n(v) + (c.unita.empty() ? "" : " " + std::string(c.unita));
}

// Where a diagnostic of a record places a field: its span as read.
Luogo luogo_campo(const RecordRegistrato& r, size_t campo) {
  if (campo >= r.campi.size()) return r.chiave;
  return {r.chiave.file, r.campi[campo].inizio, r.campi[campo].fine};
}

// What the journal tells about the records of one compile.
class Storia {
 public:
  explicit Storia(const Compilazione& c) : c_(c), g_(c.giornale) {}

  const RecordRegistrato& record(size_t i) const { return g_.records()[i]; }

  // The index of the first error recorded within record i's fields, or
  // SIZE_MAX: what stopped it half-way (or before it placed anything).
  size_t errore_nel_record(size_t i) const {
    const RecordRegistrato& r = record(i);
    const std::vector<Diagnostico>& v = c_.diagnostica.voci();
    for (size_t k = 0; k < v.size(); ++k) {
      const Diagnostico& d = v[k];
      if (d.gravita != Gravita::errore || d.fatale || d.luogo.file != r.chiave.file) continue;
      if (d.luogo.offset >= r.chiave.offset && d.luogo.offset <= r.fine()) return k;
    }
    return SIZE_MAX;
  }

  // The last compiled record of the same kind as record i after it; SIZE_MAX for none.
  size_t ultimo_dopo(size_t i) const {
    size_t trovato = SIZE_MAX;
    for (size_t k = i + 1; k < g_.records().size(); ++k) {
      if (stesso_genere(record(k), record(i))) trovato = k;
    }
    return trovato;
  }
  size_t primo_dopo(size_t i) const {
    for (size_t k = i + 1; k < g_.records().size(); ++k) {
      if (stesso_genere(record(k), record(i))) return k;
    }
    return SIZE_MAX;
  }
  // The last compiled record of the kind of record i before record w.
  size_t ultimo_prima(size_t i, size_t w) const {
    for (size_t k = std::min(w, g_.records().size()); k-- > 0;) {
      if (stesso_genere(record(k), record(i))) return k;
    }
    return SIZE_MAX;
  }

  // The error that stopped the reading of record i's source, index in the
  // diagnostics; SIZE_MAX for none.
  size_t arresto(size_t i) const {
    for (const Arresto& a : g_.arresti()) {
      if (a.file == record(i).chiave.file && a.errore != 0) return a.errore - 1;
    }
    return SIZE_MAX;
  }

  // The writes record i made to cell c, by field.
  std::vector<const Scrittura*> scritture_in_cella(size_t i, int64_t c) const {
    if (c < 0) return {};
    return g_.scritture_in_cella(i, static_cast<size_t>(c));
  }

  const Compilazione& c() const { return c_; }
  const Giornale& g() const { return g_; }

 private:
  const Compilazione& c_;
  const Giornale& g_;
};

// An error in the author's words: "l'errore 25".
std::string errore_in_parole(const Diagnostico& e) { return "l'errore " + n(numero(e.codice)); }

// A record in a note: "qui il record `velocita` che ...".
Nota nota_record(const RecordRegistrato& r, const std::string& che) {
  return {"qui il record " + citato(r.nome) + " " + che, r.chiave};
}

// Why a difference is there, and the notes that name who made it.
struct Spiegazione {
  std::string perche;
  std::vector<Nota> note;
};

// The cell fields record i wrote to cell c and that the cell still holds:
// "`tipo` 6 e `valore_a` 2222".
std::string restano(const Storia& s, size_t i, int64_t c) {
  const std::vector<tratto>& t = s.c().modello.tratti;
  if (c < 0 || c >= static_cast<int64_t>(t.size())) return "";
  std::string r;
  for (const Scrittura* w : s.scritture_in_cella(i, c)) {
    const auto campo = static_cast<CampoCella>(w->campo);
    if (valore_campo(t[static_cast<size_t>(c)], campo) != w->nuovo) continue;
    r += (r.empty() ? "" : ", ") + citato(nome_campo(campo)) + " " + n(w->nuovo);
  }
  return r;
}

Spiegazione perche_tratto(const Storia& s, const DescrizioneRecord& d, size_t i, size_t campo,
                          const Differenza& x) {
  const RecordRegistrato& r = s.record(i);
  const CampoRecord& cr = d.campi[campo];
  const std::optional<CampoCella> f = campo_cella_di(cr);
  const int64_t c = x.conservato.cella;
  const std::string cella = "cella " + n(c) + " (" + n(c * kMetriCella) + " m)";
  if (!f || !x.conservato.presente) return {"la " + cella + " non c'e'", {}};
  // A stretch's value reaches its cells when the next record of its kind is
  // read, or its phase closes: the fill that wrote the cell carried the value
  // of the record of the kind before it.
  const Scrittura* w = s.g().ultima_scrittura_cella(static_cast<size_t>(c), *f);
  if (w != nullptr && w->record < i) {
    return {"la " + cella + " e' gia' riempita quando il record e' letto: un record " +
                citato(r.nome) +
                " precedente sta piu' avanti sulla linea, e questo vale solo "
                "dopo le sue celle",
            {nota_record(s.record(w->record), "che riempie prima la " + cella)}};
  }
  if (w != nullptr) {
    const size_t p = s.ultimo_prima(i, w->record);
    if (p == i) return {perche_modo(cr.deposito.modo, x.letto, x.conservato.valore), {}};
    if (p != SIZE_MAX) {
      return {"il record " + citato(r.nome) + " successivo lo sostituisce: la " + cella +
                  " ne tiene il valore",
              {nota_record(s.record(p), "il cui valore tiene la " + cella)}};
    }
  }
  // No value of the kind reached the cell after this record was read.
  const size_t dopo = s.primo_dopo(i);
  if (dopo != SIZE_MAX && !s.g().raggiunta(static_cast<size_t>(c), *f)) {
    return {
        "il record " + citato(r.nome) + " successivo lo sostituisce prima che arrivi alla " + cella,
        {nota_record(s.record(dopo), "che lo sostituisce")}};
  }
  const size_t a = s.arresto(i);
  if (a != SIZE_MAX) {
    const Diagnostico& e = s.c().diagnostica.voci()[a];
    return {"la lettura si ferma con " + errore_in_parole(e) + " prima che arrivi alla " + cella,
            {{"qui " + errore_in_parole(e) + " che ferma la lettura", e.luogo}}};
  }
  return {"la " + cella + " tiene il valore di partenza, che nessun record " + citato(r.nome) +
              " vi ha messo",
          {}};
}

// Why the step `nome` of the compile changed what cell c or the row keeps.
Spiegazione perche_passo(const Storia& s, const RecordRegistrato& passo, int64_t c) {
  if (passo.nome == "passo dei codici" && c >= 0 &&
      s.g().derivazione(static_cast<size_t>(c)) == Giornale::Derivazione::abbassata) {
    Spiegazione e{"il passo dei codici lo abbassa a " + n(kKmhAbbattimento) +
                      " km/h: sta davanti a un segnale che ha l'avviso di un rallentamento nei "
                      "1000 m dopo",
                  {}};
    const Luogo causa = s.g().causa(static_cast<size_t>(c));
    if (causa.file != FileSorgente::nessuno) {
      e.note.push_back({"qui il rallentamento per il cui avviso e' abbassato", causa});
    }
    return e;
  }
  if (passo.nome == "ordine delle progressive") {
    return {
        "l'ordine delle progressive mette nelle righe 81, 82 e 83 le tre progressive dal "
        "primo numero piu' grande, aggiunge 100 al secondo numero di quelle col segno 1, e "
        "le azzera tutte quando il primo numero piu' grande e' di due",
        {}};
  }
  return {"la compilazione (" +
              (passo.nome.empty() ? std::string("fuori da ogni record") : std::string(passo.nome)) +
              ") lo riscrive",
          {}};
}

// The cell or row field that keeps field `campo` of a record, as the journal
// names its writes, and its last write (nullptr for none).
struct Deposito {
  std::optional<CampoCella> cella;
  std::optional<CampoRiga> riga;
  const Scrittura* ultima = nullptr;
};

Deposito deposito_di(const Storia& s, const CampoRecord& cr, const Riletto& x) {
  Deposito d{campo_cella_di(cr), campo_riga_di(cr), nullptr};
  if (d.cella && x.cella >= 0) {
    d.ultima = s.g().ultima_scrittura_cella(static_cast<size_t>(x.cella), *d.cella);
  } else if (d.riga && x.riga >= 0) {
    d.ultima = s.g().ultima_scrittura_riga(static_cast<size_t>(x.riga), *d.riga);
  }
  return d;
}

// Whether record i was stopped by its own error before it wrote what keeps
// field `campo`: the field holds what was there before it.
bool interrotto(const Storia& s, const DescrizioneRecord& d, const Differenza& x) {
  if (!x.conservato.presente || d.conservazione == Conservazione::tratto) return false;
  if (s.errore_nel_record(x.record) == SIZE_MAX) return false;
  const Deposito dep = deposito_di(s, d.campi[x.campo], x.conservato);
  return dep.ultima == nullptr || dep.ultima->record < x.record;
}

// Why a record stopped half-way keeps the fields of `gruppo` as they were:
// what of its writes stay, and what the unwritten fields hold.
Spiegazione perche_interrotto(const Storia& s, const DescrizioneRecord& d,
                              const std::vector<const Differenza*>& gruppo) {
  const Differenza& x = *gruppo.front();
  const Diagnostico& errore = s.c().diagnostica.voci()[s.errore_nel_record(x.record)];
  std::vector<std::string_view> campi;
  for (const Differenza* y : gruppo) {
    const std::string_view c = d.campi[y->campo].deposito.campo;
    if (std::find(campi.begin(), campi.end(), c) == campi.end()) campi.push_back(c);
  }
  std::string elenco;
  std::string tengono;
  for (size_t k = 0; k < campi.size(); ++k) {
    elenco += (k == 0 ? "" : k + 1 == campi.size() ? " e " : ", ") + citato(campi[k]);
  }
  std::string m = errore_in_parole(errore) + " ferma il record prima che scriva " + elenco;
  if (x.conservato.cella >= 0 &&
      x.conservato.cella < static_cast<int64_t>(s.c().modello.tratti.size())) {
    const auto c = static_cast<size_t>(x.conservato.cella);
    const tratto& t = s.c().modello.tratti[c];
    const char* tipo = nome_tipo_cella(t.tipo);
    m += ": la cella " + n(x.conservato.cella) + " resta `" + (tipo != nullptr ? tipo : "?") + "`";
    const std::string scritti = restano(s, x.record, x.conservato.cella);
    if (!scritti.empty()) m += ", con " + scritti + " di questo record,";
    for (size_t k = 0; k < campi.size(); ++k) {
      const std::optional<CampoCella> f = campo_cella(campi[k]);
      if (!f) continue;
      tengono += (tengono.empty() ? "" : ", ") + citato(campi[k]) + " " +
                 n(valore_campo(oggetto_della_cella(t, c), *f));
    }
    if (!tengono.empty()) m += " e " + tengono + " come prima";
  } else if (x.conservato.riga >= 0 && x.conservato.riga < kRigheTabella) {
    const voce& v = s.c().modello.tabella[static_cast<size_t>(x.conservato.riga)];
    for (size_t k = 0; k < campi.size(); ++k) {
      const std::optional<CampoRiga> f = campo_riga(campi[k]);
      if (!f) continue;
      tengono += (tengono.empty() ? "" : ", ") + citato(campi[k]) + " " + n(valore_campo(v, *f));
    }
    if (!tengono.empty()) m += ": la riga " + n(x.conservato.riga) + " tiene " + tengono;
  }
  return {m, {}};
}

Spiegazione spiega(const Storia& s, const DescrizioneRecord& d,
                   const std::vector<const Differenza*>& gruppo, const DaRileggere& contesto) {
  const Differenza& x = *gruppo.front();
  const size_t i = x.record;
  const RecordRegistrato& r = s.record(i);
  const CampoRecord& cr = d.campi[x.campo];
  // A record stored once, given again later: the later one's values stand.
  if (d.controllo == Controllo::una_volta) {
    const size_t dopo = s.ultimo_dopo(i);
    if (dopo != SIZE_MAX) {
      return {"il record " + citato(r.nome) + " ripetuto piu' avanti ne prende il posto",
              {nota_record(s.record(dopo), "che lo sostituisce")}};
    }
  }
  if (!x.conservato.presente) {
    for (const Cancellazione& k : s.g().cancellazioni()) {
      if (k.erasa != i) continue;
      return {"la cella " + n(static_cast<int64_t>(k.cella)) +
                  " tiene ora l'oggetto di un record successivo",
              {nota_record(s.record(k.da), "che lo cancella")}};
    }
    const size_t a = s.arresto(i);
    if (a != SIZE_MAX) {
      const Diagnostico& e = s.c().diagnostica.voci()[a];
      return {"la compilazione si ferma con " + errore_in_parole(e) + " prima che lo conservi",
              {{"qui " + errore_in_parole(e), e.luogo}}};
    }
    return {"nessuna cella lo tiene", {}};
  }
  if (d.conservazione == Conservazione::tratto) return perche_tratto(s, d, i, x.campo, x);
  if (interrotto(s, d, x)) return perche_interrotto(s, d, gruppo);
  const Deposito dep = deposito_di(s, cr, x.conservato);
  if (dep.ultima != nullptr && dep.ultima->record > i) {
    const RecordRegistrato& chi = s.record(dep.ultima->record);
    if (chi.passo()) return perche_passo(s, chi, x.conservato.cella);
    return {"il record " + citato(chi.nome) + " piu' avanti lo riscrive",
            {nota_record(chi, "che lo riscrive")}};
  }
  std::string m = d.perche != nullptr ? d.perche(contesto, x.campo, x.conservato) : "";
  if (m.empty()) m = perche_modo(cr.deposito.modo, x.letto, x.conservato.valore);
  if (m.empty()) m = "il record lo conserva cosi'";
  return {m, {}};
}

// The diagnostics that make claims about a record, by the place of its keyword.
using Indice = std::multimap<std::pair<int, size_t>, size_t>;

Indice indice_dichiarazioni(const Compilazione& c) {
  Indice i;
  const std::vector<Diagnostico>& v = c.diagnostica.voci();
  for (size_t k = 0; k < v.size(); ++k) {
    for (const Dichiarazione& d : v[k].dichiarazioni) {
      i.insert({{static_cast<int>(d.record.file), d.record.offset}, k});
    }
  }
  return i;
}

bool dice(const Dichiarazione& k, const RecordRegistrato& r, const Differenza& x, bool testo) {
  if (!(k.record == r.chiave) || k.campo != x.campo || k.presente != x.conservato.presente) {
    return false;
  }
  if (!k.presente) return true;
  return testo ? k.testo == x.conservato.testo : k.valore == x.conservato.valore;
}

bool detta_in(const Compilazione& c, const Indice& indice, const Differenza& x, bool testo) {
  const RecordRegistrato& r = c.giornale.records()[x.record];
  const auto [da, a] = indice.equal_range({static_cast<int>(r.chiave.file), r.chiave.offset});
  for (auto k = da; k != a; ++k) {
    for (const Dichiarazione& d : c.diagnostica.voci()[k->second].dichiarazioni) {
      if (dice(d, r, x, testo)) return true;
    }
  }
  return false;
}

Dichiarazione dichiarazione(const RecordRegistrato& r, const Differenza& x) {
  return {r.chiave, static_cast<uint8_t>(x.campo), x.conservato.presente, x.conservato.valore,
          x.conservato.testo};
}

// "velocita' massima (`speed`) scritto 73 km/h, il file conserva 75 km/h";
// without the field's name for a message that has just named it.
std::string detto(const DescrizioneRecord& d, const std::vector<const Differenza*>& gruppo,
                  bool con_nome) {
  if (!gruppo.front()->conservato.presente) return "il file non conserva " + std::string(d.frase);
  std::string m;
  for (const Differenza* y : gruppo) {
    const CampoRecord& cr = d.campi[y->campo];
    const bool testo = cr.formato == Formato::testo;
    if (!m.empty()) m += "; ";
    if (con_nome) {
      m += nome_campo(cr) + " scritto " + valore_in_parole(cr, testo, y->letto, y->testo_letto) +
           ", ";
    }
    m += "il file conserva " +
         valore_in_parole(cr, testo, y->conservato.valore, y->conservato.testo);
  }
  return m;
}

// What groups the differences of one record into one statement: nothing kept
// at all, a record stopped half-way, or the cell or row field that keeps them
// (a signal's s1 and d1 share `valore_a`).
std::string chiave_gruppo(const Storia& s, const DescrizioneRecord& d, const Differenza& x) {
  if (!x.conservato.presente) return "-assente";
  if (interrotto(s, d, x)) return "-interrotto";
  return std::string(d.campi[x.campo].deposito.campo);
}

// Whether the value record i read reached a cell: a stretch's when the next
// record of its kind, or the closing step of its phase, filled a cell with
// it; any other record's while it was read.
bool raggiunge_le_celle(const Giornale& g, size_t i) {
  const RecordRegistrato& r = g.records()[i];
  const DescrizioneRecord* d = descrizione_record(r.chiave.file, r.nome);
  if (d == nullptr || d->conservazione == Conservazione::propria) return r.toccati > 0;
  for (size_t k = i + 1; k < g.records().size(); ++k) {
    const RecordRegistrato& e = g.records()[k];
    const bool chiusura = e.passo() && e.nome.starts_with("chiusura");
    if (chiusura || stesso_genere(e, r)) return e.toccati > 0;
  }
  return false;
}

}  // namespace

namespace {

// Hands each difference of the compile to `f`, record by record, with
// whether its field is a text.
template <typename F>
void per_differenza(const Compilazione& c, const Sorgente& linea, const Sorgente& treno, F&& f) {
  if (!scrive(c)) return;
  const Giornale& g = c.giornale;
  Descrizioni descrizioni;
  // The last record of each kind met so far, by the catalogue's name (a few
  // kinds: looked for in order).
  std::vector<std::pair<const char*, size_t>> ultimi;
  std::vector<int64_t> letti;
  std::vector<Riletto> riletti;
  for (size_t i = 0; i < g.records().size(); ++i) {
    const RecordRegistrato& r = g.records()[i];
    if (r.passo() || !r.compilato || !r.riconosciuto()) continue;
    const DescrizioneRecord* d = descrizioni.di(r);
    // A record that stores none of its fields as read (a curve bends the
    // plan) has nothing to hold against them, nor has any record of its kind.
    if (d == nullptr || std::none_of(d->campi.begin(), d->campi.end(), campo_conservato)) {
      continue;
    }
    auto u = std::find_if(ultimi.begin(), ultimi.end(),
                          [&r](const auto& x) { return x.first == r.nome.data(); });
    if (u == ultimi.end()) u = ultimi.insert(u, {r.nome.data(), SIZE_MAX});
    const size_t precedente = u->second;
    u->second = i;
    letti.clear();
    for (const Estensione& e : r.campi) letti.push_back(e.valore);
    // Each is set anew by the reading back.
    riletti.resize(d->campi.size());
    const int64_t riga = serve_riga(*d) ? riga_scritta(g, r) : -1;
    rileggi_record(*d, {c.modello, g, i, letti, riga, precedente}, riletti);
    const size_t campi = std::min(r.campi.size(), d->campi.size());
    for (size_t k = 0; k < campi; ++k) {
      const Riletto& x = riletti[k];
      if (!x.confrontato) continue;
      // Most fields are kept as read: a difference is made only for one that is not.
      const bool testo = d->campi[k].formato == Formato::testo;
      const std::string_view testo_letto =
          testo ? testo_a(testo_di(r.chiave.file, linea, treno), r.campi[k].inizio)
                : std::string_view();
      if (x.presente && (testo ? x.testo == testo_letto : x.valore == letti[k])) continue;
      f(Differenza{i, k, letti[k], std::string(testo_letto), x}, testo);
    }
  }
}

}  // namespace

std::vector<Differenza> differenze(const Compilazione& c, const Sorgente& linea,
                                   const Sorgente& treno) {
  std::vector<Differenza> out;
  per_differenza(c, linea, treno, [&out](Differenza&& d, bool) { out.push_back(std::move(d)); });
  return out;
}

bool detta(const Compilazione& c, const Differenza& d) {
  const Indice indice = indice_dichiarazioni(c);
  const RecordRegistrato& r = c.giornale.records()[d.record];
  const DescrizioneRecord* x = descrizione_record(r.chiave.file, r.nome);
  const bool testo =
      x != nullptr && d.campo < x->campi.size() && x->campi[d.campo].formato == Formato::testo;
  return detta_in(c, indice, d, testo);
}

std::vector<Differenza> non_dette(const Compilazione& c, const Sorgente& linea,
                                  const Sorgente& treno) {
  // Each difference is held against the diagnostics as it is found, and
  // only those no diagnostic says are kept: most often every one is said.
  std::vector<Differenza> out;
  std::optional<Indice> indice;
  per_differenza(c, linea, treno, [&](Differenza&& d, bool testo) {
    if (!indice) indice = indice_dichiarazioni(c);
    if (!detta_in(c, *indice, d, testo)) out.push_back(std::move(d));
  });
  return out;
}

void di_le_differenze(Compilazione& c, const Sorgente& linea, const Sorgente& treno) {
  if (!c.diagnostica.avvisi_attivi()) return;
  const std::vector<Differenza> tutte = non_dette(c, linea, treno);
  if (tutte.empty()) return;
  const Storia storia(c);
  Descrizioni descrizioni;
  Diagnostica& diagnostica = c.diagnostica;
  std::vector<int64_t> letti;
  for (size_t i = 0; i < tutte.size();) {
    size_t fine = i;
    while (fine < tutte.size() && tutte[fine].record == tutte[i].record) ++fine;
    const size_t k = tutte[i].record;
    const RecordRegistrato& r = c.giornale.records()[k];
    const DescrizioneRecord& d = *descrizioni.di(r);
    letti.clear();
    for (const Estensione& e : r.campi) letti.push_back(e.valore);
    size_t precedente = SIZE_MAX;
    for (size_t p = k; p-- > 0;) {
      if (stesso_genere(c.giornale.records()[p], r)) {
        precedente = p;
        break;
      }
    }
    const int64_t riga = serve_riga(d) ? riga_scritta(c.giornale, r) : -1;
    const DaRileggere contesto{c.modello, c.giornale, k, letti, riga, precedente};
    // One statement a group, in the order of the record's fields.
    std::vector<std::pair<std::string, std::vector<const Differenza*>>> gruppi;
    for (size_t a = i; a < fine; ++a) {
      std::string chiave = chiave_gruppo(storia, d, tutte[a]);
      auto g = std::find_if(gruppi.begin(), gruppi.end(),
                            [&](const auto& x) { return x.first == chiave; });
      if (g == gruppi.end()) {
        gruppi.push_back({std::move(chiave), {}});
        g = gruppi.end() - 1;
      }
      g->second.push_back(&tutte[a]);
    }
    for (const auto& [chiave, gruppo] : gruppi) {
      const Differenza& x = *gruppo.front();
      // A record that placed nothing because of its own error: the error
      // says so, and keeps what the files hold of it.
      if (chiave == "-assente") {
        const size_t e = storia.errore_nel_record(k);
        if (e != SIZE_MAX) {
          for (const Differenza* y : gruppo) {
            diagnostica.voci_da_rivedere()[e].dichiarazioni.push_back(dichiarazione(r, *y));
          }
          continue;
        }
      }
      const Spiegazione s = spiega(storia, d, gruppo, contesto);
      // A claim made while reading that the files do not bear out is
      // corrected where it was made.
      Diagnostico* pretesa = nullptr;
      for (Diagnostico& v : diagnostica.voci_da_rivedere()) {
        if (v.pretesa.tipo != Pretesa::Tipo::conservato || !(v.pretesa.record == r.chiave) ||
            v.pretesa.da > v.messaggio.size()) {
          continue;
        }
        for (const Dichiarazione& dd : v.dichiarazioni) {
          if (dd.campo == x.campo && dd.record == r.chiave) pretesa = &v;
        }
      }
      // A value said out of its cell, at its own field, with the error 25 it
      // brings: that warning already says the files do not keep it.
      if (pretesa == nullptr && gruppo.size() == 1 && x.conservato.presente) {
        Diagnostico* fuori = nullptr;
        for (Diagnostico& v : diagnostica.voci_da_rivedere()) {
          if (v.pretesa.tipo == Pretesa::Tipo::errore_25 && v.pretesa.record == r.chiave &&
              v.luogo == luogo_campo(r, x.campo)) {
            fuori = &v;
          }
        }
        if (fuori != nullptr && storia.arresto(k) != SIZE_MAX) {
          fuori->dichiarazioni.push_back(dichiarazione(r, x));
          continue;
        }
      }
      if (pretesa != nullptr && gruppo.size() == 1) {
        pretesa->messaggio.resize(pretesa->pretesa.da);
        pretesa->messaggio += ": " + detto(d, gruppo, false) + ": " + s.perche;
        std::erase_if(pretesa->dichiarazioni,
                      [&](const Dichiarazione& dd) { return dd.campo == x.campo; });
        pretesa->dichiarazioni.push_back(dichiarazione(r, x));
        for (const Nota& nota : s.note) pretesa->note.push_back(nota);
        continue;
      }
      diagnostica.avviso("conservato-diversamente",
                         citato(r.nome) + ": " + detto(d, gruppo, true) + ": " + s.perche,
                         x.conservato.presente ? luogo_campo(r, x.campo) : r.chiave, s.note);
      for (const Differenza* y : gruppo) diagnostica.dichiara(dichiarazione(r, *y));
    }
    i = fine;
  }
}

void rivedi_pretese(Compilazione& c) {
  bool con_25 = false;
  for (const Diagnostico& d : c.diagnostica.voci()) {
    con_25 = con_25 || (d.gravita == Gravita::errore && d.codice == CodiceErrore::guasto_inatteso);
  }
  if (con_25) return;
  const Storia storia(c);
  const std::vector<RecordRegistrato>& records = c.giornale.records();
  for (Diagnostico& d : c.diagnostica.voci_da_rivedere()) {
    if (d.pretesa.tipo != Pretesa::Tipo::errore_25 || d.non_compilato) continue;
    const RecordRegistrato* r = c.giornale.record_a(d.pretesa.record);
    if (r == nullptr || !r->compilato || d.pretesa.da > d.messaggio.size()) continue;
    const auto i = static_cast<size_t>(r - records.data());
    d.messaggio.resize(d.pretesa.da);
    if (raggiunge_le_celle(c.giornale, i)) {
      d.messaggio += ": non entra nella cella";
      continue;
    }
    // Why no cell keeps it, from the journal: the next record of its kind,
    // or the error that stopped the reading.
    const size_t dopo = storia.primo_dopo(i);
    const size_t a = storia.arresto(i);
    if (dopo != SIZE_MAX) {
      d.messaggio += ": nessuna cella lo conserva (il record " + citato(r->nome) +
                     " successivo lo sostituisce prima) e la compilazione non si ferma";
      d.note.push_back(nota_record(records[dopo], "che lo sostituisce"));
    } else if (a != SIZE_MAX) {
      const Diagnostico& e = c.diagnostica.voci()[a];
      d.messaggio += ": nessuna cella lo conserva (la lettura si ferma prima con " +
                     errore_in_parole(e) + ") e la compilazione non si ferma per lui";
      d.note.push_back({"qui " + errore_in_parole(e) + " che ferma la lettura", e.luogo});
    } else {
      d.messaggio += ": nessuna cella lo conserva e la compilazione non si ferma";
    }
  }
}

}  // namespace calvetra
