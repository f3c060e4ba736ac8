#include "scenario/lsp/funzioni.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "fields/lettore_campi.h"
#include "line/catalogo_linea.h"
#include "model/numeri.h"
#include "model/significato.h"
#include "scenario/comune/testo.h"
#include "scenario/lsp/diagnosi.h"
#include "train/catalogo_treno.h"

namespace calvetra::scenario::lsp {

namespace {

std::vector<const DescrizioneRecord*> catalogo(FileSorgente f) {
  return f == FileSorgente::treno ? record_treno() : record_linea();
}

const DescrizioneRecord* descrizione(FileSorgente f, std::string_view nome) {
  for (const DescrizioneRecord* d : catalogo(f)) {
    if (d->nome == nome) return d;
  }
  return nullptr;
}

// A position in metres as railways write it: "km 13+250".
std::string km(int64_t metri) {
  const int64_t a = metri < 0 ? -metri : metri;
  std::string resto = std::to_string(a % 1000);
  resto.insert(0, 3 - resto.size(), '0');
  return std::string("km ") + (metri < 0 ? "-" : "") + std::to_string(a / 1000) + "+" + resto;
}

// The number the author wrote in the field `e`, as the reader takes it;
// nothing for a field that is not one.
std::optional<int64_t> numero_scritto(std::string_view testo, Estensione e) {
  if (e.inizio >= testo.size() || e.fine < e.inizio) return std::nullopt;
  const std::string_view campo = testo.substr(e.inizio, e.fine - e.inizio);
  try {
    if (!e_numero(campo)) return std::nullopt;
    return numero_da_campo(campo);
  } catch (const GuastoInatteso&) {
    return std::nullopt;
  }
}

// "velocita' massima (`speed`, km/h): da 0 a 1277".
std::string descrivi_campo(const CampoRecord& c) {
  std::string s(c.etichetta);
  s += " (`" + std::string(c.nome) + "`";
  if (!c.unita.empty()) s += ", " + std::string(c.unita);
  s += ")";
  if (!c.intervallo.empty()) s += ": " + std::string(c.intervallo);
  return s;
}

// The stretch of a byte field that a record starting at p metres filled:
// a record whose position begins a stretch of cells, and whose other field
// stores into that byte field of the cells.
std::string tratto_riempito(const Analisi& a, const DescrizioneRecord& d, int64_t p) {
  const std::vector<tratto>& tratti = a.compilazione.modello.tratti;
  std::string s;
  if (d.campi.empty() || d.campi[0].deposito.dove != Dove::celle_da) return s;
  for (const CampoNominato& b : campi_byte()) {
    bool suo = false;
    for (const CampoRecord& c : d.campi) {
      suo = suo || (c.deposito.dove == Dove::cella && c.deposito.campo == b.nome);
    }
    if (!suo) continue;
    const int64_t cella = cella_di_tratto(p);
    for (const Sequenza& q : sequenze(tratti, b.campo)) {
      if (cella < q.da || cella > q.a) continue;
      std::string valore = std::to_string(q.valore);
      if (b.campo == &tratto::velocita) {
        valore = std::to_string(kmh_da_velocita(q.valore)) + " km/h";
      } else if (b.campo == &tratto::pendenza) {
        // Byte 0 is -100 per mille to the simulator, written or not; the
        // compile's account of its writes, when it keeps one, tells which.
        valore = testo_pendenza(q.valore);
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
  return "stazione **" + utf8_da_1252(v.nome) + "**: " + km(v.posizione) +
         (ora.empty() ? ", senza orario" : ", orario " + ora) + ", zona da " +
         std::to_string(v.inizio) + " a " + std::to_string(v.fine) + " m (" + km(v.inizio) + " a " +
         km(v.fine) + "), tipo " + std::to_string(v.tipo);
}

// What the record at `r` left in the model.
std::string memorizzato(const Analisi& a, const RecordAlCursore& r) {
  const Modello& m = a.compilazione.modello;
  const Giornale& p = a.compilazione.giornale;
  const Luogo chiave = r.letto->chiave;
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
      s += " `" + std::string(c.nome) + "` " + (c.stringa ? utf8_da_1252(c.testo) : c.testo);
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
    const std::optional<int64_t> inizio = numero_scritto(a.testo(chiave.file), r.letto->campi[0]);
    if (inizio && r.record->campi[0].unita == "m") s += tratto_riempito(a, *r.record, *inizio);
  }
  return s;
}

// The sections of a source: every field that opens with '[', as the field
// reader splits them, with where it begins.
struct Sezione {
  size_t inizio;
  std::string nome;
};
std::vector<Sezione> sezioni(std::string_view testo) {
  std::vector<Sezione> s;
  LettoreCampi r;
  r.apri(testo);
  while (!r.fine()) {
    std::string campo = r.leggi_testo();
    const size_t primo = campo.find_first_not_of(" \t");
    if (primo != std::string::npos && campo[primo] == '[' && campo.find(']') != std::string::npos) {
      s.push_back({r.inizio_campo(), campo.substr(primo)});
    }
  }
  return s;
}

}  // namespace

std::optional<RecordAlCursore> record_al_cursore(const Analisi& a, FileSorgente file, size_t i) {
  std::optional<RecordAlCursore> trovato;
  for (const RecordRegistrato& r : a.compilazione.giornale.records()) {
    if (r.chiave.file != file || r.chiave.offset > i || !r.riconosciuto()) continue;
    const size_t fine = r.fine();
    if (i > fine) continue;
    RecordAlCursore c{&r, descrizione(file, r.nome), fine, -1};
    if (c.record == nullptr) continue;
    for (size_t k = 0; k < r.campi.size(); ++k) {
      if (r.campi[k].inizio <= i) c.campo = static_cast<int>(k);
    }
    if (c.campo >= 0 && i < r.campi[static_cast<size_t>(c.campo)].inizio && i <= r.fine_chiave) {
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
  size_t fine = r->letto->fine_chiave;
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
  const std::string dentro = memorizzato(a, *r);
  if (!dentro.empty()) s += "\nMemorizzato:\n" + dentro;
  return {{"contents", {{"kind", "markdown"}, {"value", s}}},
          {"range", intervallo(a.fonte(file), inizio, fine - inizio)}};
}

Json completamento(const Analisi& a, FileSorgente file, size_t i, bool snippet) {
  std::vector<const DescrizioneRecord*> validi;
  if (file == FileSorgente::treno) {
    validi = record_treno();
  } else {
    // The header records up to the first section after [generale], the body
    // records after it.
    bool corpo = false;
    bool generale = false;
    for (const Sezione& s : sezioni(a.testo(file))) {
      if (s.inizio >= i) break;
      if (generale && s.nome.front() == '[') corpo = true;
      if (contiene(s.nome, "[generale]")) generale = true;
    }
    validi =
        corpo ? descrizioni(catalogo_corpo_linea()) : descrizioni(catalogo_intestazione_linea());
  }
  Json voci = Json::array();
  for (const DescrizioneRecord* d : validi) {
    std::string dettaglio(d->nome);
    std::string inserito(d->nome);
    int n = 0;
    for (const CampoRecord& c : d->campi) {
      dettaglio += ", " + std::string(c.nome);
      inserito += ", ";
      if (snippet) inserito += "${" + std::to_string(++n) + ":" + std::string(c.nome) + "}";
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
  const std::optional<RecordAlCursore> r = record_al_cursore(a, file, i);
  if (!r) return nullptr;
  const DescrizioneRecord& d = *r->record;
  std::string etichetta(d.nome);
  Json parametri = Json::array();
  for (const CampoRecord& c : d.campi) {
    etichetta += ", " + std::string(c.nome);
    parametri.push_back({{"label", c.nome},
                         {"documentation", {{"kind", "markdown"}, {"value", descrivi_campo(c)}}}});
  }
  return {{"signatures", Json::array({{{"label", etichetta},
                                       {"documentation", std::string(d.effetto)},
                                       {"parameters", std::move(parametri)}}})},
          {"activeSignature", 0},
          {"activeParameter", std::max(r->campo, 0)}};
}

Json simboli(const Analisi& a, FileSorgente file) {
  const std::string_view testo = a.testo(file);
  const Fonte& f = a.fonte(file);
  const Modello& m = a.compilazione.modello;
  const Giornale& p = a.compilazione.giornale;
  // The kinds shown, with the symbol kind the protocol gives them.
  struct Genere {
    std::string_view nome;
    int tipo;
  };
  constexpr Genere kGeneri[] = {
      {"stazione", 23}, {"segnale", 24}, {"rallentamento", 14}, {"curva", 12}, {"montagna", 2}};
  const std::vector<Sezione> s = sezioni(testo);
  std::vector<Json> figli(s.size() + 1, Json::array());
  const auto sezione_di = [&](size_t offset) {
    size_t k = 0;
    while (k < s.size() && s[k].inizio <= offset) ++k;
    return k;  // 0: before the first section
  };
  for (const RecordRegistrato& r : p.records()) {
    if (r.chiave.file != file) continue;
    const Genere* g = nullptr;
    for (const Genere& x : kGeneri) g = x.nome == r.nome ? &x : g;
    if (g == nullptr) continue;
    const size_t fine = r.fine();
    std::string nome(r.nome);
    std::string dettaglio;
    const std::optional<int64_t> pos =
        r.campi.empty() ? std::nullopt : numero_scritto(testo, r.campi[0]);
    if (pos) dettaglio = km(*pos);
    if (g->nome == "stazione") {
      for (size_t riga = 0; riga < m.tabella.size(); ++riga) {
        if (p.record_riga(riga) != &r) continue;
        nome = utf8_da_1252(m.tabella[riga].nome);
        dettaglio = km(m.tabella[riga].posizione);
      }
    } else if (r.campi.size() > 1) {
      const std::optional<int64_t> secondo = numero_scritto(testo, r.campi[1]);
      if (pos && secondo && g->nome == "montagna") dettaglio += " a " + km(*secondo);
      if (secondo && g->nome == "curva") dettaglio += ", " + std::to_string(*secondo) + " m";
      if (secondo && g->nome == "rallentamento") {
        dettaglio += ", " + std::to_string(*secondo) + " km/h";
      }
    }
    if (nome.empty()) nome = std::string(r.nome);
    Json j = {{"name", nome},
              {"detail", dettaglio},
              {"kind", g->tipo},
              {"range", intervallo(f, r.chiave.offset, fine - r.chiave.offset)},
              {"selectionRange", intervallo(f, r.chiave.offset, r.fine_chiave - r.chiave.offset)}};
    figli[sezione_di(r.chiave.offset)].push_back(std::move(j));
  }
  Json lista = std::move(figli[0]);
  for (size_t k = 0; k < s.size(); ++k) {
    const size_t fine = k + 1 < s.size() ? s[k + 1].inizio : testo.size();
    // A section ends before the line of the next one begins.
    size_t ultimo = fine;
    while (ultimo > s[k].inizio && (testo[ultimo - 1] == '\r' || testo[ultimo - 1] == '\n')) {
      --ultimo;
    }
    lista.push_back({{"name", utf8_da_1252(s[k].nome)},
                     {"kind", 3},
                     {"range", intervallo(f, s[k].inizio, ultimo - s[k].inizio)},
                     {"selectionRange",
                      intervallo(f, s[k].inizio, fine_campo(testo, s[k].inizio) - s[k].inizio)},
                     {"children", std::move(figli[k + 1])}});
  }
  return lista;
}

}  // namespace calvetra::scenario::lsp
