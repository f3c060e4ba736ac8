#include "scenario/lsp/funzioni.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fields/avvisi.h"
#include "fields/lettore_campi.h"
#include "line/catalogo_linea.h"
#include "model/numeri.h"
#include "model/significato.h"
#include "scenario/comune/compilato.h"
#include "scenario/comune/json.h"
#include "scenario/comune/testo.h"
#include "scenario/lsp/diagnosi.h"
#include "train/catalogo_treno.h"

namespace calvetra::scenario::lsp {

namespace {

// A position in metres as railways write it: "km 13+250".
std::string km(int64_t metri) { return "km " + testo_progressiva(metri); }

// The number the compile read in a record's field `c` (junk reads 0, as it
// did for the compile); nothing for a text or a field of no record.
std::optional<int64_t> numero_letto(const CampoRecord* c, const Estensione& e) {
  if (c == nullptr || c->formato == Formato::testo) return std::nullopt;
  return e.valore;
}
// Field k of the catalogue entry `d`, when it has one.
const CampoRecord* campo_k(const DescrizioneRecord* d, size_t k) {
  return d != nullptr && k < d->campi.size() ? &d->campi[k] : nullptr;
}

// "velocita' massima (`speed`, km/h): da 0 a 1277"; without the system's
// name, as signature help says it, "velocita' massima (km/h): da 0 a 1277".
std::string descrivi_campo(const CampoRecord& c, bool con_nome = true) {
  std::string s = nome_campo(c);
  std::string tra;
  if (con_nome) tra = "`" + std::string(c.nome) + "`";
  if (!c.unita.empty()) tra += (tra.empty() ? "" : ", ") + std::string(c.unita);
  if (!tra.empty()) s += " (" + tra + ")";
  if (!c.intervallo.empty()) s += ": " + std::string(c.intervallo);
  return s;
}

// The stretch of a byte field that a record starting at p metres filled:
// a record whose position begins a stretch of cells, and whose other field
// stores into that byte field of the cells.
std::string tratto_riempito(const Analisi& a, const DescrizioneRecord& d, int64_t p) {
  const std::vector<tratto>& tratti = a.compilazione().modello.tratti;
  std::string s;
  if (d.campi.empty() || d.campi[0].deposito.dove != Dove::celle_da) return s;
  for (const CampoNominato& b : campi_byte()) {
    bool suo = false;
    for (const CampoRecord& c : d.campi) {
      suo = suo || (c.deposito.dove == Dove::cella && c.deposito.campo == b.nome);
    }
    if (!suo) continue;
    const int64_t cella = cella_di_tratto(p);
    for (const Sequenza& q : sequenze(tratti, b.campo, &a.compilazione().giornale)) {
      if (cella < q.da || cella > q.a) continue;
      std::string valore = std::to_string(q.valore);
      if (b.campo == &tratto::velocita) {
        valore = std::to_string(kmh_da_velocita(q.valore)) + " km/h";
      } else if (b.campo == &tratto::pendenza) {
        // Byte 0 is -100 per mille to the simulator, reached or not; the
        // compile's account tells which.
        valore = testo_pendenza(q.valore, q.raggiunta);
      }
      s += "- `" + std::string(b.nome) + "` " + valore + " nelle celle " + std::to_string(q.da) +
           " a " + std::to_string(q.a) + " (metri " + std::to_string(q.da * kMetriCella) + " a " +
           std::to_string((q.a + 1) * kMetriCella) + ")";
      if (q.da != cella) s += ", dalla cella " + std::to_string(cella) + " di questo record";
      s += "\n";
    }
  }
  return s;
}

std::string stazione(const voce& v) {
  const std::string ora = testo_ora_stazione(v.orario);
  return "stazione **" + utf8_leggibile(v.nome) + "**: " + km(v.posizione) +
         (ora.empty() ? ", senza orario" : ", orario " + ora) + ", zona da " +
         std::to_string(v.inizio) + " a " + std::to_string(v.fine) + " m (" + km(v.inizio) + " a " +
         km(v.fine) + "), tipo " + std::to_string(v.tipo);
}

// What the record at `r` left in the model.
std::string memorizzato(const Analisi& a, const RecordAlCursore& r) {
  const Modello& m = a.compilazione().modello;
  const Giornale& p = a.compilazione().giornale;
  std::string s;
  if (!r.letto->compilato) {
    return "- niente: la compilazione si e' fermata prima di questo record, che non e' "
           "compilato\n";
  }
  const std::array<UsoRiga, kRigheTabella> usi = usi_righe(m.tabella, m.tratti);
  for (size_t riga = 0; riga < m.tabella.size(); ++riga) {
    if (p.record_riga(riga) != r.letto) continue;
    const voce& v = m.tabella[riga];
    if (usi[riga] == UsoRiga::stazione) {
      s += "- " + stazione(v) + " (riga " + std::to_string(riga) + ")\n";
      continue;
    }
    s += "- riga " + std::to_string(riga);
    const char* ruolo = ruolo_intestazione(riga);
    if (ruolo[0] != '\0') s += std::string(" (") + ruolo + ")";
    s += ":";
    for (const CampoVoce& c : campi_voce(v)) {
      s += " `" + std::string(c.nome) + "` " + (c.stringa ? utf8_leggibile(c.testo) : c.testo);
    }
    s += "\n";
  }
  constexpr int kCelleMostrate = 8;
  int mostrate = 0;
  int altre = 0;
  for (size_t c = 0; c < m.tratti.size(); ++c) {
    if (p.record_cella(c) != r.letto) continue;
    if (mostrate == kCelleMostrate) {
      ++altre;
      continue;
    }
    ++mostrate;
    const tratto& t = m.tratti[c];
    const char* tipo = nome_tipo_cella(t.tipo);
    s += "- cella " + std::to_string(c) + " (metro " +
         std::to_string(posizione_della_cella(m.tratti, m.tabella, c)) +
         "): " + (tipo != nullptr ? tipo : "tipo " + std::to_string(t.tipo));
    for (const ValoreNominato& v : significato_cella(oggetto_della_cella(t, c))) {
      s += ", " + v.nome + " " + v.valore;
    }
    s += "\n";
  }
  if (altre > 0) s += "- e altre " + std::to_string(altre) + " celle\n";
  if (!r.letto->campi.empty()) {
    const std::optional<int64_t> inizio = numero_letto(campo_k(r.record, 0), r.letto->campi[0]);
    if (inizio && r.record->campi[0].unita == "m") s += tratto_riempito(a, *r.record, *inizio);
  }
  return s;
}

// The record's values as the compile read them, from the journal, with its
// index there: the page's panel and `dump --json` show the same record by
// the same index.
std::string letto(const Analisi& a, const RecordAlCursore& r) {
  const auto indice = static_cast<size_t>(r.letto - a.compilazione().giornale.records().data());
  const std::optional<RecordLettoNelGiornale> v = a.scenario->valori(indice);
  if (!v || v->campi.empty()) return "";
  std::string s = "\nLetto (record " + std::to_string(indice) + "):";
  for (const ValoreLetto& x : v->campi) {
    s += " `" + std::string(x.campo) + "` " +
         (x.testo ? "\"" + utf8_leggibile(*x.testo) + "\"" : std::to_string(x.valore));
  }
  return s + "\n";
}

// The sections of a source, as the compile's journal met them: where each
// name begins and ends, and the name.
struct Sezione {
  size_t inizio;
  size_t fine;
  std::string_view nome;
};
std::vector<Sezione> sezioni(const Analisi& a, FileSorgente file) {
  const std::string_view testo = a.testo(file);
  std::vector<Sezione> s;
  for (const Luogo& l : a.compilazione().giornale.sezioni()) {
    if (l.file != file || l.fine > testo.size() || l.fine <= l.offset) continue;
    s.push_back({l.offset, l.fine, testo.substr(l.offset, l.fine - l.offset)});
  }
  std::sort(s.begin(), s.end(),
            [](const Sezione& x, const Sezione& y) { return x.inizio < y.inizio; });
  s.erase(std::unique(s.begin(), s.end(),
                      [](const Sezione& x, const Sezione& y) { return x.inizio == y.inizio; }),
          s.end());
  return s;
}

// Where the last section ends: at the line of the bracketed name that closes
// the source (`[fine]`), where the compile's reading of it ended; at the end
// of the text when there is none.
size_t fine_delle_sezioni(const Analisi& a, FileSorgente file, const std::vector<Sezione>& s) {
  const std::string_view testo = a.testo(file);
  if (s.empty()) return testo.size();
  const IndiceRighe& righe = a.scenario->righe(file);
  for (const Luogo& l : a.compilazione().giornale.chiusure()) {
    if (l.file != file || l.offset < s.back().fine || l.offset >= testo.size()) continue;
    return righe.inizio(righe.riga(l.offset));
  }
  return testo.size();
}

}  // namespace

Campo campo_prima(const Giornale& g, std::string_view testo, const RecordRegistrato& r) {
  const std::vector<RecordRegistrato>& v = g.records();
  const RecordRegistrato* base = v.data();
  if (&r > base && &r < base + v.size()) {
    const RecordRegistrato& p = *(&r - 1);
    const DescrizioneRecord* d = p.riconosciuto() && !p.passo() && !p.campi.empty()
                                     ? descrizione_record(p.chiave.file, p.nome)
                                     : nullptr;
    if (d != nullptr && p.chiave == r.chiave && p.campi.size() <= d->campi.size()) {
      return campo_a(testo, p.campi.back().inizio, modo_campo(d->campi[p.campi.size() - 1]));
    }
  }
  return campo_a(testo, r.chiave.offset, ModoCampo::testo);
}

std::optional<CampoAlCursore> campo_al_cursore(const Giornale& g, std::string_view testo,
                                               const RecordRegistrato& r,
                                               const DescrizioneRecord& d, size_t i) {
  if (i < r.chiave.offset) return std::nullopt;
  std::vector<Campo> c = campi_del_record(testo, campo_prima(g, testo, r), d);
  // Where the text ends before the record does, the next field is the
  // empty one that a character typed at the end begins.
  if (!c.empty() && c.size() <= d.campi.size() && c.back().seguente == testo.size()) {
    Campo vuoto;
    vuoto.modo = modo_campo(d.campi[c.size() - 1]);
    vuoto.da = vuoto.inizio = vuoto.fine = vuoto.limite = vuoto.seguente = testo.size();
    c.push_back(vuoto);
  }
  bool a_capo = false;
  for (size_t k = 0; k < c.size(); ++k) {
    // Past the fields the compile read, a record being typed reads nothing
    // from the lines after its own: there a new record is being typed.
    if (a_capo && k > r.campi.size()) return std::nullopt;
    if (i <= c[k].coda()) return CampoAlCursore{static_cast<int>(k) - 1, c[k], a_capo};
    a_capo = a_capo || c[k].separatore == Separatore::fine_riga;
  }
  return std::nullopt;
}

const RecordRegistrato* record_prima(const Analisi& a, FileSorgente file, size_t i) {
  const Giornale& g = a.compilazione().giornale;
  const RecordRegistrato* r = nullptr;
  for (const RecordRegistrato& x : g.records()) {
    if (x.chiave.file != file || x.passo() || !x.riconosciuto() || x.chiave.offset > i) continue;
    if (descrizione_record(file, x.nome) == nullptr) continue;
    // A record read from the keyword after another one begins past that
    // one's fields: up to there the cursor is the earlier record's.
    if (r != nullptr && r->chiave == x.chiave && i <= campo_prima(g, a.testo(file), x).coda()) {
      continue;
    }
    r = &x;
  }
  return r;
}

namespace {

// Whether a record's keyword can be typed at `i`: after the first section's
// header, and not in a section's name, nor where the record before the
// cursor reads a value, as the reader counts its fields: a text, or a
// number on the record's own line. A number the compile took from a line
// after (a short record) may still be the keyword being typed there: what
// decides is what it holds.
bool posto_di_chiave(const Analisi& a, FileSorgente file, size_t i) {
  const std::string_view testo = a.testo(file);
  const std::vector<Sezione> s = sezioni(a, file);
  if (s.empty() || i <= s.front().inizio) return false;
  for (const Sezione& x : s) {
    if (i >= x.inizio && i <= x.fine) return false;
  }
  const RecordRegistrato* r = record_prima(a, file, i);
  if (r == nullptr) return true;
  const std::optional<CampoAlCursore> c =
      campo_al_cursore(a.compilazione().giornale, testo, *r, *descrizione_record(file, r->nome), i);
  if (!c || c->indice < 0) return true;
  if (c->campo.modo == ModoCampo::testo || !c->riga_dopo) return false;
  const std::string_view v = c->campo.valore;
  return !c->campo.virgolette &&
         (v.empty() || std::string_view("0123456789+-.").find(v[0]) == std::string_view::npos);
}

// A record's name in the outline, with its values as written: some
// editors show the outline by names alone, and "segnale" forty times says
// nothing. A position reads as railways write it, a gradient with its sign
// and unit, a text as it stands.
std::string nome_con_valori(std::string_view testo, const RecordRegistrato& r,
                            const DescrizioneRecord* d) {
  std::string nome(r.nome);
  const auto campo = [&](size_t k) {
    return d != nullptr && k < d->campi.size() ? d->campi[k].nome : std::string_view();
  };
  const auto scritto = [&](size_t k) {
    const Estensione& e = r.campi[k];
    return utf8_leggibile(testo.substr(e.inizio, e.fine - e.inizio));
  };
  for (size_t k = 0; k < r.campi.size(); ++k) {
    const Estensione& e = r.campi[k];
    if (e.fine > testo.size() || e.fine < e.inizio) break;
    // A signal's side reads as its plate, `sx2 2-3-1`; a right side of
    // class 0 (none) and a ratio or time of 0 are left out.
    if ((campo(k) == "sx" || campo(k) == "dx") && k + 3 < r.campi.size()) {
      const std::string lato = scritto(k);
      if (campo(k) == "sx" || (lato != "0" && !lato.empty())) {
        nome += " " + std::string(campo(k)) + lato + " " + scritto(k + 1) + "-" + scritto(k + 2) +
                "-" + scritto(k + 3);
      }
      k += 3;
      continue;
    }
    if ((campo(k) == "rapp" || campo(k) == "tempo") && d != nullptr && d->nome == "segnale") {
      const std::string v = scritto(k);
      if (v != "0" && !v.empty()) nome += " " + std::string(campo(k)) + " " + v;
      continue;
    }
    const CampoRecord* c = campo_k(d, k);
    const std::optional<int64_t> n = numero_letto(c, e);
    nome += ' ';
    const size_t prima = nome.size();
    if (n && c != nullptr && k == 0 && c->unita == "m") {
      nome += testo_progressiva(*n);
    } else if (n && c != nullptr && c->unita == "per mille") {
      if (*n > 0) nome += '+';
      nome += std::to_string(*n);
      nome += " \u2030";
    } else {
      nome += utf8_leggibile(testo.substr(e.inizio, e.fine - e.inizio));
    }
    if (nome.size() == prima) nome += '_';
  }
  return nome;
}

}  // namespace

std::optional<RecordAlCursore> record_al_cursore(const Analisi& a, FileSorgente file, size_t i) {
  std::optional<RecordAlCursore> trovato;
  for (const RecordRegistrato& r : a.compilazione().giornale.records()) {
    if (r.chiave.file != file || r.chiave.offset > i || !r.riconosciuto()) continue;
    const size_t fine = r.fine();
    if (i > fine) continue;
    RecordAlCursore c{&r, descrizione_record(file, r.nome), fine, -1};
    if (c.record == nullptr) continue;
    for (size_t k = 0; k < r.campi.size(); ++k) {
      if (r.campi[k].inizio <= i) c.campo = static_cast<int>(k);
    }
    if (c.campo >= 0 && i < r.campi[static_cast<size_t>(c.campo)].inizio && i <= r.chiave.fine) {
      c.campo = -1;
    }
    trovato = c;
  }
  return trovato;
}

Json hover(const Analisi& a, FileSorgente file, size_t i) {
  const std::optional<RecordAlCursore> r = record_al_cursore(a, file, i);
  if (!r) return nullptr;
  const DescrizioneRecord& d = *r->record;
  std::string s = "**" + std::string(d.nome) + "**: " + std::string(d.effetto) + "\n\n";
  size_t inizio = r->letto->chiave.offset;
  size_t fine = r->letto->chiave.fine;
  if (r->campo < 0) {
    s += "Campi:\n";
    for (const CampoRecord& c : d.campi) s += "- " + descrivi_campo(c) + "\n";
  } else {
    const auto k = static_cast<size_t>(r->campo);
    const CampoRecord& c = d.campi[k];
    s += "Campo " + std::to_string(k + 1) + " di " + std::to_string(d.campi.size()) + ": " +
         descrivi_campo(c) + "\n\n" + std::string(c.spiegazione) + "; va in " +
         testo_deposito(c.deposito) + "\n";
    inizio = r->letto->campi[k].inizio;
    fine = r->letto->campi[k].fine;
  }
  s += letto(a, *r);
  const std::string dentro = memorizzato(a, *r);
  if (!dentro.empty()) s += "\nMemorizzato:\n" + dentro;
  return {{"contents", {{"kind", "markdown"}, {"value", s}}},
          {"range", intervallo(a.fonte(file), inizio, fine - inizio)}};
}

Json completamento(const Analisi& a, FileSorgente file, size_t i, bool snippet) {
  std::vector<const DescrizioneRecord*> validi;
  if (!posto_di_chiave(a, file, i)) return {{"isIncomplete", false}, {"items", Json::array()}};
  if (file == FileSorgente::treno) {
    validi = record_treno();
  } else {
    // The header records up to the first section after [generale], the body
    // records after it.
    bool corpo = false;
    bool generale = false;
    for (const Sezione& s : sezioni(a, file)) {
      if (s.inizio >= i) break;
      if (generale && s.nome.front() == '[') corpo = true;
      if (contiene(s.nome, "[generale]")) generale = true;
    }
    validi =
        corpo ? descrizioni(catalogo_corpo_linea()) : descrizioni(catalogo_intestazione_linea());
  }
  Json voci = Json::array();
  for (const DescrizioneRecord* d : validi) {
    std::string dettaglio(d->parola_nuova());
    std::string inserito(d->parola_nuova());
    int n = 0;
    for (const CampoRecord& c : d->campi) {
      dettaglio += ", " + nome_campo(c);
      // Without snippets the fields would be left empty, each a value the
      // author must find again: only the first separator is written.
      if (!snippet) {
        inserito += ", ";
        break;
      }
      inserito += ", ${" + std::to_string(++n) + ":" + nome_campo(c) + "}";
    }
    Json voce = {{"label", d->nome},
                 {"kind", 14},
                 {"detail", dettaglio},
                 {"documentation", {{"kind", "markdown"}, {"value", std::string(d->effetto)}}},
                 {"insertText", inserito},
                 {"insertTextFormat", snippet ? 2 : 1}};
    voci.push_back(std::move(voce));
  }
  return {{"isIncomplete", false}, {"items", std::move(voci)}};
}

Json firma(const Analisi& a, FileSorgente file, size_t i) {
  // The last record whose keyword stands before the cursor, and its field
  // there as the reader counts them, past the fields the compile read too
  // (a record being typed at the end of a source).
  const RecordRegistrato* r = record_prima(a, file, i);
  if (r == nullptr) return nullptr;
  const DescrizioneRecord& d = *descrizione_record(file, r->nome);
  const std::optional<CampoAlCursore> campo =
      campo_al_cursore(a.compilazione().giornale, a.testo(file), *r, d, i);
  if (!campo) return nullptr;
  // The fields by their Italian labels; each parameter is its place in the
  // label, as two labels may share words.
  std::string etichetta(d.nome);
  Json parametri = Json::array();
  for (const CampoRecord& c : d.campi) {
    etichetta += ", ";
    const size_t da = etichetta.size();
    etichetta += nome_campo(c);
    parametri.push_back(
        {{"label", {da, etichetta.size()}},
         {"documentation", {{"kind", "markdown"}, {"value", descrivi_campo(c, false)}}}});
  }
  return {{"signatures", Json::array({{{"label", etichetta},
                                       {"documentation", std::string(d.effetto)},
                                       {"parameters", std::move(parametri)}}})},
          {"activeSignature", 0},
          {"activeParameter", std::max(campo->indice, 0)}};
}

Json nomi_dei_campi(const Analisi& a, FileSorgente file, size_t da, size_t a_) {
  Json nomi = Json::array();
  const Fonte& f = a.fonte(file);
  for (const RecordRegistrato& r : a.compilazione().giornale.records()) {
    if (r.chiave.file != file || !r.riconosciuto() || r.chiave.offset < da) continue;
    if (r.chiave.offset >= a_) continue;
    const DescrizioneRecord* d = descrizione_record(file, r.nome);
    // A record of one or two fields reads plainly; beyond, the columns
    // (17 of a station, 11 of a signal) are counted by eye.
    if (d == nullptr || d->campi.size() <= 2) continue;
    for (size_t k = 0; k < r.campi.size() && k < d->campi.size(); ++k) {
      nomi.push_back({{"position", json_posizione(f.indice.posizione(r.campi[k].inizio))},
                      {"label", nome_campo(d->campi[k]) + ":"},
                      {"kind", 2},
                      {"paddingRight", true}});
    }
  }
  return nomi;
}

Json pieghe(const Analisi& a, FileSorgente file) {
  const std::string_view testo = a.testo(file);
  const Fonte& f = a.fonte(file);
  const std::vector<Sezione> s = sezioni(a, file);
  Json p = Json::array();
  const size_t fine_ultima = fine_delle_sezioni(a, file, s);
  for (size_t k = 0; k < s.size(); ++k) {
    size_t fine = k + 1 < s.size() ? s[k + 1].inizio : fine_ultima;
    while (fine > s[k].inizio &&
           std::string_view(" \t\r\n").find(testo[fine - 1]) != std::string_view::npos) {
      --fine;
    }
    const int64_t prima = f.indice.posizione(s[k].inizio).riga;
    const int64_t ultima = f.indice.posizione(fine).riga;
    if (ultima > prima)
      p.push_back({{"startLine", prima}, {"endLine", ultima}, {"kind", "region"}});
  }
  return p;
}

namespace {

// A symbol of the outline, by the offsets of the text it stands for.
struct Simbolo {
  std::string nome;
  std::string dettaglio;  // none for a section
  int tipo = 0;
  size_t inizio = 0, fine = 0;            // the whole record or section
  size_t nome_inizio = 0, nome_fine = 0;  // what the editor selects
  std::vector<Simbolo> figli;             // a section's records
};
constexpr int kTipoSezione = 3;

// The outline of a source: the records before its first section, then its
// sections, each with its records.
std::vector<Simbolo> schema(const Analisi& a, FileSorgente file) {
  const std::string_view testo = a.testo(file);
  const Modello& m = a.compilazione().modello;
  const Giornale& p = a.compilazione().giornale;
  // The kinds shown, with the symbol kind the protocol gives them.
  struct Genere {
    std::string_view nome;
    int tipo;
  };
  constexpr Genere kGeneri[] = {
      {"stazione", 23}, {"segnale", 24}, {"rallentamento", 14}, {"curva", 12}, {"montagna", 2}};
  const std::vector<Sezione> s = sezioni(a, file);
  std::vector<std::vector<Simbolo>> figli(s.size() + 1);
  const auto sezione_di = [&](size_t offset) {
    size_t k = 0;
    while (k < s.size() && s[k].inizio <= offset) ++k;
    return k;  // 0: before the first section
  };
  for (const RecordRegistrato& r : p.records()) {
    if (r.chiave.file != file) continue;
    if (r.passo() || !r.riconosciuto()) continue;
    constexpr Genere kAltro = {"", 13};
    const Genere* g = &kAltro;
    for (const Genere& x : kGeneri) g = x.nome == r.nome ? &x : g;
    const DescrizioneRecord* d = descrizione_record(file, r.nome);
    Simbolo y;
    y.nome = nome_con_valori(testo, r, d);
    const std::optional<int64_t> pos =
        r.campi.empty() ? std::nullopt : numero_letto(campo_k(d, 0), r.campi[0]);
    if (pos) y.dettaglio = km(*pos);
    if (g->nome == "stazione") {
      for (size_t riga = 0; riga < m.tabella.size(); ++riga) {
        if (p.record_riga(riga) != &r) continue;
        y.nome = utf8_leggibile(m.tabella[riga].nome);
        y.dettaglio = km(m.tabella[riga].posizione);
      }
    } else if (r.campi.size() > 1) {
      const std::optional<int64_t> secondo = numero_letto(campo_k(d, 1), r.campi[1]);
      if (pos && secondo && g->nome == "montagna") y.dettaglio += " a " + km(*secondo);
      if (secondo && g->nome == "curva") y.dettaglio += ", " + std::to_string(*secondo) + " m";
      if (secondo && g->nome == "rallentamento") {
        y.dettaglio += ", " + std::to_string(*secondo) + " km/h";
      }
    }
    if (y.nome.empty()) y.nome = std::string(r.nome);
    y.tipo = g->tipo;
    y.inizio = r.chiave.offset;
    y.fine = r.fine();
    y.nome_inizio = r.chiave.offset;
    y.nome_fine = r.chiave.fine;
    figli[sezione_di(r.chiave.offset)].push_back(std::move(y));
  }
  std::vector<Simbolo> lista = std::move(figli[0]);
  const size_t fine_ultima = fine_delle_sezioni(a, file, s);
  for (size_t k = 0; k < s.size(); ++k) {
    const size_t fine = k + 1 < s.size() ? s[k + 1].inizio : fine_ultima;
    // A section ends before the line of the next one begins.
    size_t ultimo = fine;
    while (ultimo > s[k].inizio && (testo[ultimo - 1] == '\r' || testo[ultimo - 1] == '\n')) {
      --ultimo;
    }
    Simbolo y;
    y.nome = utf8_leggibile(s[k].nome);
    y.tipo = kTipoSezione;
    y.inizio = s[k].inizio;
    y.fine = ultimo;
    y.nome_inizio = s[k].inizio;
    y.nome_fine = s[k].fine;
    y.figli = std::move(figli[k + 1]);
    lista.push_back(std::move(y));
  }
  return lista;
}

// A literal piece of the text, its length known where it is written: the
// outline of a long route is made of a hundred thousand of them.
template <size_t N>
void aggiungi(std::string* t, const char (&pezzo)[N]) {
  t->append(pezzo, N - 1);
}

void scrivi_numero(std::string* t, int64_t n) {
  char cifre[24];
  const std::to_chars_result r = std::to_chars(cifre, cifre + sizeof cifre, n);
  t->append(cifre, r.ptr);
}

void scrivi_posizione(std::string* t, Posizione p) {
  aggiungi(t, "{\"line\":");
  scrivi_numero(t, p.riga);
  aggiungi(t, ",\"character\":");
  scrivi_numero(t, p.carattere);
  t->push_back('}');
}

void scrivi_intervallo(std::string* t, const Fonte& f, size_t inizio, size_t fine) {
  aggiungi(t, "{\"start\":");
  scrivi_posizione(t, f.indice.posizione(inizio));
  aggiungi(t, ",\"end\":");
  scrivi_posizione(t, f.indice.posizione(fine));
  t->push_back('}');
}

// A symbol as the protocol's DocumentSymbol, written as the library would
// write it: a record with its detail, a section with its records.
void scrivi_simbolo(std::string* t, const Fonte& f, const Simbolo& y) {
  aggiungi(t, "{\"name\":");
  aggiungi_stringa_json(t, y.nome);
  if (y.tipo != kTipoSezione) {
    aggiungi(t, ",\"detail\":");
    aggiungi_stringa_json(t, y.dettaglio);
  }
  aggiungi(t, ",\"kind\":");
  scrivi_numero(t, y.tipo);
  aggiungi(t, ",\"range\":");
  scrivi_intervallo(t, f, y.inizio, y.fine);
  aggiungi(t, ",\"selectionRange\":");
  scrivi_intervallo(t, f, y.nome_inizio, y.nome_fine);
  if (y.tipo == kTipoSezione) {
    aggiungi(t, ",\"children\":[");
    for (size_t k = 0; k < y.figli.size(); ++k) {
      if (k > 0) t->push_back(',');
      scrivi_simbolo(t, f, y.figli[k]);
    }
    t->push_back(']');
  }
  t->push_back('}');
}

}  // namespace

std::string simboli(const Analisi& a, FileSorgente file) {
  const Fonte& f = a.fonte(file);
  const std::vector<Simbolo> lista = schema(a, file);
  // Written straight as text: a long route's outline holds thousands of
  // records, two ranges each, and as the library's objects they cost more
  // than the outline itself.
  size_t quanti = lista.size();
  for (const Simbolo& y : lista) quanti += y.figli.size();
  std::string t;
  t.reserve(256 * quanti + 2);  // a record's text is about 230 bytes
  t.push_back('[');
  for (size_t k = 0; k < lista.size(); ++k) {
    if (k > 0) t.push_back(',');
    scrivi_simbolo(&t, f, lista[k]);
  }
  t.push_back(']');
  return t;
}

Json simboli_dello_scenario(const Analisi& a, std::string_view cerca) {
  const auto minuscolo = [](std::string_view t) {
    std::string m(t);
    for (char& c : m) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return m;
  };
  const std::string cercato = minuscolo(cerca);
  Json trovati = Json::array();
  for (const FileSorgente file : {FileSorgente::linea, FileSorgente::treno}) {
    if (a.testo(file).empty()) continue;
    const Fonte& f = a.fonte(file);
    const auto trova = [&](const Simbolo& y, const Simbolo* sezione) {
      if (minuscolo(y.nome).find(cercato) == std::string::npos) return;
      Json j = {
          {"name", y.nome},
          {"kind", y.tipo},
          {"location", {{"uri", f.uri}, {"range", intervallo(f, y.inizio, y.fine - y.inizio)}}}};
      if (sezione != nullptr) j["containerName"] = sezione->nome;
      trovati.push_back(std::move(j));
    };
    for (const Simbolo& y : schema(a, file)) {
      if (y.tipo != kTipoSezione) {
        trova(y, nullptr);
        continue;
      }
      for (const Simbolo& r : y.figli) trova(r, &y);
    }
  }
  return trovati;
}

Json definizione(const Analisi& a, FileSorgente file, size_t i) {
  const Giornale& g = a.compilazione().giornale;
  Json luoghi = Json::array();
  for (const Diagnostico& d : a.compilazione().diagnostica.voci()) {
    if (d.luogo.file != file || i < d.luogo.offset || i > d.luogo.fine_estesa()) {
      continue;
    }
    for (const Nota& n : d.note) {
      if (n.luogo.file == FileSorgente::nessuno) continue;
      // Only a compiled record can stand in the way: the note of where the
      // compile stopped names one that never was.
      const RecordRegistrato* r = g.record_a(n.luogo);
      if (r == nullptr || r->passo() || !r->riconosciuto() || !r->compilato) continue;
      const Fonte& f = a.fonte(r->chiave.file);
      luoghi.push_back({{"uri", f.uri},
                        {"range", intervallo(f, r->chiave.offset, r->fine() - r->chiave.offset)}});
    }
  }
  if (luoghi.empty()) return nullptr;
  return luoghi;
}

Json gettoni(const Analisi& a, FileSorgente file) {
  struct Gettone {
    size_t inizio;
    size_t fine;
    TipoGettone tipo;
  };
  std::vector<Gettone> g;
  const std::string_view testo = a.testo(file);
  // A text that took the number meant for the column before it.
  std::vector<size_t> colonna_in_piu;
  for (const Diagnostico& d : a.compilazione().diagnostica.voci()) {
    if (d.luogo.file == file && d.nome == "colonna-in-piu")
      colonna_in_piu.push_back(d.luogo.offset);
  }
  // A value read after a field that ended its line (the keyword's, or any
  // value's before it from the same keyword) was read from a line after, in
  // the place of the one the record's own line lacks.
  bool a_capo = false;
  Luogo chiave{};
  for (const RecordRegistrato& r : a.compilazione().giornale.records()) {
    if (r.chiave.file != file || r.passo()) continue;
    if (!(r.chiave == chiave)) {
      chiave = r.chiave;
      a_capo =
          campo_a(testo, r.chiave.offset, ModoCampo::testo).separatore == Separatore::fine_riga;
    }
    // A keyword field that names no record is passed over: a misspelt
    // keyword, or a value more than its record takes.
    g.push_back({r.chiave.offset, r.chiave.fine,
                 r.riconosciuto() ? TipoGettone::parola_chiave : TipoGettone::ignorato});
    const DescrizioneRecord* d = r.riconosciuto() ? descrizione_record(file, r.nome) : nullptr;
    for (size_t k = 0; k < r.campi.size(); ++k) {
      TipoGettone t = TipoGettone::ignorato;
      ModoCampo modo = ModoCampo::testo;
      if (d != nullptr && k < d->campi.size()) {
        modo = modo_campo(d->campi[k]);
        t = d->campi[k].formato == Formato::testo ? TipoGettone::testo : TipoGettone::numero;
        if (a_capo || std::find(colonna_in_piu.begin(), colonna_in_piu.end(), r.campi[k].inizio) !=
                          colonna_in_piu.end()) {
          t = TipoGettone::spostato;
        }
      }
      g.push_back({r.campi[k].inizio, r.campi[k].fine, t});
      a_capo =
          a_capo || campo_a(testo, r.campi[k].inizio, modo).separatore == Separatore::fine_riga;
    }
  }
  std::stable_sort(g.begin(), g.end(),
                   [](const Gettone& x, const Gettone& y) { return x.inizio < y.inizio; });
  const IndicePosizioni& indice = a.fonte(file).indice;
  Json dati = Json::array();
  Posizione prima{};
  size_t fine = 0;
  for (const Gettone& x : g) {
    if (x.inizio < fine || x.fine <= x.inizio) continue;
    const Posizione p = indice.posizione(x.inizio);
    const Posizione q = indice.posizione(x.fine);
    if (q.riga != p.riga) continue;  // a quoted text across lines: not every client takes it
    dati.push_back(p.riga - prima.riga);
    dati.push_back(p.riga == prima.riga ? p.carattere - prima.carattere : p.carattere);
    dati.push_back(q.carattere - p.carattere);
    dati.push_back(static_cast<int>(x.tipo));
    dati.push_back(0);
    prima = p;
    fine = x.fine;
  }
  return {{"data", std::move(dati)}};
}

namespace {

// Whether record `r` (of kind `d`) stands alone on its line, keyword first,
// with its fields separated by single commas and nothing but blanks after
// it, as the reader takes them: then, since the reader skips the blanks
// before a field and after a number, its blanks may change and every value
// reads the same.
bool riscrivibile(std::string_view testo, const RecordRegistrato& r, const DescrizioneRecord& d) {
  if (r.campi.empty() || r.fine() > testo.size()) return false;
  const size_t k0 = r.chiave.offset;
  if (k0 > 0 && testo[k0 - 1] != '\n' && testo[k0 - 1] != '\r') return false;
  const std::vector<Campo> c = campi_del_record(testo, k0, d);
  if (c.size() != r.campi.size() + 1) return false;
  for (size_t k = 0; k < c.size(); ++k) {
    const bool ultimo = k + 1 == c.size();
    const bool a_capo =
        c[k].separatore == Separatore::fine_riga || c[k].separatore == Separatore::fine_testo;
    if (c[k].virgolette || c[k].valore.find('"') != std::string_view::npos ||
        (ultimo ? !a_capo : c[k].separatore != Separatore::virgola)) {
      return false;
    }
    // Read where the compile read it.
    if (k > 0 && (c[k].inizio != r.campi[k - 1].inizio || c[k].fine != r.campi[k - 1].fine)) {
      return false;
    }
  }
  return c[0].inizio == k0 && c[0].fine == r.chiave.fine;
}

}  // namespace

std::vector<Riscrittura> allinea(std::string_view testo, const Giornale& g, FileSorgente file) {
  // The records of one kind in one section share their columns.
  struct Riga {
    const RecordRegistrato* r;
    const DescrizioneRecord* d;
  };
  struct Gruppo {
    size_t chiave = 0;
    std::vector<size_t> larghezze;
    std::vector<Riga> righe;
  };
  std::map<std::pair<size_t, std::string_view>, Gruppo> gruppi;
  for (const RecordRegistrato& r : g.records()) {
    if (r.chiave.file != file || r.passo() || !r.riconosciuto()) continue;
    const DescrizioneRecord* d = descrizione_record(file, r.nome);
    if (d == nullptr || r.campi.size() > d->campi.size() || !riscrivibile(testo, r, *d)) continue;
    Gruppo& gr = gruppi[{r.sezione, r.nome}];
    gr.chiave = std::max(gr.chiave, r.chiave.fine - r.chiave.offset);
    if (gr.larghezze.size() < r.campi.size()) gr.larghezze.resize(r.campi.size(), 0);
    for (size_t k = 0; k < r.campi.size(); ++k) {
      gr.larghezze[k] = std::max(gr.larghezze[k], size_t{r.campi[k].fine - r.campi[k].inizio});
    }
    gr.righe.push_back({&r, d});
  }
  std::vector<Riscrittura> fatte;
  for (const auto& [chi, gr] : gruppi) {
    for (const Riga& x : gr.righe) {
      const RecordRegistrato& r = *x.r;
      std::string nuovo(testo.substr(r.chiave.offset, r.chiave.fine - r.chiave.offset));
      nuovo += ',';
      size_t colonna = gr.chiave + 2;
      for (size_t k = 0; k < r.campi.size(); ++k) {
        const std::string_view campo =
            testo.substr(r.campi[k].inizio, r.campi[k].fine - r.campi[k].inizio);
        // Numbers to the right of their column, texts to the left.
        const bool numero = x.d->campi[k].formato != Formato::testo;
        const size_t dove = numero ? colonna + gr.larghezze[k] - campo.size() : colonna;
        if (dove > nuovo.size()) nuovo.append(dove - nuovo.size(), ' ');
        nuovo += campo;
        if (k + 1 < r.campi.size()) nuovo += ',';
        colonna += gr.larghezze[k] + 2;
      }
      if (nuovo != testo.substr(r.chiave.offset, r.fine() - r.chiave.offset)) {
        fatte.push_back({r.chiave.offset, r.fine(), std::move(nuovo)});
      }
    }
  }
  std::sort(fatte.begin(), fatte.end(),
            [](const Riscrittura& a, const Riscrittura& b) { return a.inizio < b.inizio; });
  return fatte;
}

std::string applica(std::string_view testo, const std::vector<Riscrittura>& r) {
  std::string s;
  size_t da = 0;
  for (const Riscrittura& x : r) {
    s.append(testo.substr(da, x.inizio - da));
    s += x.testo;
    da = x.fine;
  }
  s.append(testo.substr(da));
  return s;
}

Json formatta(const Analisi& a, FileSorgente file) {
  const Fonte& f = a.fonte(file);
  Json modifiche = Json::array();
  for (const Riscrittura& x : allinea(a.testo(file), a.compilazione().giornale, file)) {
    // A character the buffer holds and Windows-1252 cannot is a `?` here:
    // such a record is left as the editor holds it.
    const bool intatto = std::none_of(f.non_rappresentabili.begin(), f.non_rappresentabili.end(),
                                      [&](size_t i) { return i >= x.inizio && i < x.fine; });
    if (!intatto) continue;
    modifiche.push_back({{"range", intervallo(f, x.inizio, x.fine - x.inizio)},
                         {"newText", utf8_da_1252(x.testo)}});
  }
  return modifiche;
}

}  // namespace calvetra::scenario::lsp
