#include "scenario/comandi/dump.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "model/giornale.h"
#include "model/significato.h"
#include "output/codici_gara.h"
#include "scenario/comune/testo.h"

namespace calvetra::scenario {

namespace {

constexpr const char* kAiuto =
    "uso: scenario dump [--json] [--linea NOME] [--treni COPPIA] [--passo METRI] CARTELLA\n"
    "\n"
    "Decodifica i file binari della CARTELLA (NOME_COPPIA.sim, NOME_COPPIA.dat e,\n"
    "se c'e', NOME_linea.dat) in testo leggibile o in JSON: ogni riga della\n"
    "tabella con i suoi campi, ogni cella non libera, i campi a byte delle celle\n"
    "come sequenze, i conteggi e le etichette della geometria e le coordinate\n"
    "ogni METRI metri (predefinito 1000).\n"
    "\n"
    "Con --json, se nella CARTELLA ci sono anche i sorgenti e danno proprio questi\n"
    "file, ogni cella non libera e ogni riga posta da un record ha \"sorgente\":\n"
    "file, riga, colonna e offset della parola chiave di quel record, e \"record\":\n"
    "il suo numero nel resoconto della compilazione (\"indice\"), il suo nome e i\n"
    "valori dei suoi campi come letti dal sorgente. Un\n"
    "abbattimento aggiunto (o abbassato) dal passo dei codici di cabina ha anche\n"
    "\"passo_codici\" (\"posta\" o \"abbassata\") e \"causa\": il record del\n"
    "rallentamento che lo ha reso necessario, che per uno aggiunto e' anche la\n"
    "sua \"sorgente\".\n"
    "\n"
    "Un file troncato, con byte in eccesso o corrotto e' rifiutato con un\n"
    "messaggio che dice a quale byte.\n"
    "\n"
    "Uscita: 0 file letti, 1 file mancante o non valido, 2 uso errato.\n";

// Metres sampled: every `passo`, and the last metre with both coordinates.
std::vector<size_t> campioni(const PianoLetto& p, int32_t passo) {
  const auto k = static_cast<size_t>(passo);
  std::vector<size_t> m;
  const std::vector<PianoLetto::Intervallo> pieni = p.pieni();
  for (const PianoLetto::Intervallo& i : pieni) {
    for (size_t metro = (i.da + k - 1) / k * k; metro <= i.a; metro += k) m.push_back(metro);
  }
  if (!pieni.empty() && (m.empty() || m.back() != pieni.back().a)) m.push_back(pieni.back().a);
  return m;
}

// A double in its shortest form that reads back to the same value.
std::string reale(double v) {
  char buffer[64];
  const auto [fine, errore] = std::to_chars(buffer, buffer + sizeof buffer, v);
  return errore == std::errc() ? std::string(buffer, fine) : "?";
}

std::string testo_riga(const voce& v, size_t r, UsoRiga uso) {
  std::string s = "  riga " + std::to_string(r) + ": " + nome_uso(uso);
  // Appended piece by piece: GCC 12 at -O3 takes literal + string for an overlap.
  if (uso == UsoRiga::intestazione) {
    s += " (";
    s += ruolo_intestazione(r);
    s += ')';
  }
  s += "\n   ";
  for (const CampoVoce& c : campi_voce(v)) {
    s += ' ';
    s += c.nome;
    s += '=';
    if (c.stringa) {
      s += '"';
      s += utf8_leggibile(c.testo);
      s += '"';
    } else {
      s += c.testo;
    }
  }
  if (uso == UsoRiga::stazione) {
    // A station without a time shows none.
    const std::string ora = testo_ora_stazione(v.orario);
    if (!ora.empty()) s += " (" + ora + ")";
  }
  return s + "\n";
}

std::string testo_tabella(const ScenarioLetto& s, const OpzioniDump& o) {
  std::string t = "tabella  " + nella_cartella(o.cartella, o.nomi.tabella()) + "  (" +
                  std::to_string(s.byte_tabella) + " byte, 87 righe)\n";
  const auto usi = usi_righe(s.tabella, s.tratti);
  for (size_t r = 0; r < s.tabella.size(); ++r) {
    if (usi[r] != UsoRiga::vuota) {
      t += testo_riga(s.tabella[r], r, usi[r]);
      continue;
    }
    size_t fine = r;
    while (fine + 1 < s.tabella.size() && usi[fine + 1] == UsoRiga::vuota) ++fine;
    t += fine == r ? "  riga " + std::to_string(r) + ": vuota\n"
                   : "  righe " + std::to_string(r) + "-" + std::to_string(fine) + ": vuote\n";
    r = fine;
  }
  const Integrita i = integrita(s.tabella, s.tratti);
  return t + "  codici di integrita': st " + std::to_string(i.st_letto) + " (atteso " +
         std::to_string(i.st_atteso) + "), og " + std::to_string(i.og_letto) + " (atteso " +
         std::to_string(i.og_atteso) + ")" + (i.ok() ? "" : "  DIVERSI") + "\n";
}

// What a run of a byte field means, when it means more than its number.
std::string significato_sequenza(CampoByte campo, uint8_t valore) {
  if (campo == &tratto::velocita) return " (" + std::to_string(kmh_da_velocita(valore)) + " km/h)";
  // Byte 0 too: the simulator reads it as -100 per mille. (Whether a record
  // wrote it is for the compile's account of its writes to say.)
  if (campo == &tratto::pendenza) {
    return " (pendenza " + std::to_string(per_mille_da_pendenza(valore)) + ")";
  }
  return "";
}

std::string testo_celle(const ScenarioLetto& s, const OpzioniDump& o) {
  const size_t n = s.tratti.size() - 1;
  std::string t = "\ncelle  " + nella_cartella(o.cartella, o.nomi.celle()) + "  (" +
                  std::to_string(s.byte_celle) + " byte, " + std::to_string(s.tratti.size()) +
                  " celle: 0-" + std::to_string(n) + ", metri 0-" +
                  std::to_string(n * kMetriCella) + ")\n";
  t += "  celle non libere (cella, metro d'inizio, tipo, valori a b c d, tempo):\n";
  for (size_t c = 0; c < s.tratti.size(); ++c) {
    const tratto& k = s.tratti[c];
    if (!cella_con_contenuto(k)) continue;
    char riga[160];
    std::snprintf(riga, sizeof riga, "    %6zu %8zu m  %-24s %6d %6d %6d %6d  %3d\n", c,
                  c * kMetriCella, nome_cella(k, c).c_str(), k.valore_a, k.valore_b, k.valore_c,
                  k.valore_d, k.tempo);
    t += riga;
  }
  t += "  campi a byte come sequenze (celle da-a: valore):\n";
  for (const CampoNominato& campo : campi_byte()) {
    t += std::string("    ") + campo.nome + ":\n";
    for (const Sequenza& q : sequenze(s.tratti, campo.campo)) {
      t += "      " + std::to_string(q.da) + "-" + std::to_string(q.a) + ": " +
           std::to_string(q.valore) + significato_sequenza(campo.campo, q.valore) + "\n";
    }
  }
  return t;
}

std::string testo_geometria(const ScenarioLetto& s, const OpzioniDump& o) {
  const std::string file = nella_cartella(o.cartella, o.nomi.geometria());
  if (!s.geometria) return "\ngeometria  " + file + "  assente\n";
  const PianoLetto& p = *s.geometria;
  std::string t = "\ngeometria  " + file + "  (" + std::to_string(s.byte_geometria) +
                  " byte, 2 x " + std::to_string(p.metri()) + " elementi, metri 0-" +
                  std::to_string(p.metri() - 1) + ")\n";
  for (int c = 0; c < 2; ++c) {
    const PianoLetto::Conteggio r = p.conteggio(c);
    t += std::string("  ") + (c == 0 ? "x" : "y") + ": " + std::to_string(r.interi) +
         " interi (etichetta 2), " + std::to_string(r.reali) + " reali (etichetta 5), " +
         std::to_string(r.vuoti) + " vuoti (etichetta 0)\n";
  }
  t += "  campioni (metro: x y):\n";
  for (size_t m : campioni(p, o.passo_campioni)) {
    t += "    " + std::to_string(m) + ": " + reale(p.x(m).valore) + " " + reale(p.y(m).valore) +
         "\n";
  }
  return t;
}

// "sorgente" for an object that a source record placed, at `l`.
void metti_sorgente(Json* j, const ScenarioCompilato* origini, Luogo l) {
  if (origini == nullptr || l.file == FileSorgente::nessuno) return;
  (*j)["sorgente"] = origini->json_luogo(l);
}

// "record" the record of the journal behind it, with its values as read.
void metti_record(Json* j, const ScenarioCompilato* origini, std::optional<size_t> record) {
  if (!record) return;
  if (Json v = origini->json_valori(*record); !v.is_null()) (*j)["record"] = std::move(v);
}

// What the cab-code pass did to cell c: "passo_codici" ("posta": placed, its
// "sorgente" the slowdown that caused it; "abbassata": lowered) and "causa",
// where the record of that slowdown is.
void metti_derivazione(Json* j, const ScenarioCompilato* origini, size_t c) {
  const Giornale::Derivazione come = origini->giornale().derivazione(c);
  if (come == Giornale::Derivazione::nessuna) return;
  (*j)["passo_codici"] = nome_derivazione(come);
  const Luogo causa = origini->giornale().causa(c);
  if (causa.file != FileSorgente::nessuno) (*j)["causa"] = origini->json_luogo(causa);
}

Json json_tabella(const ScenarioLetto& s, const OpzioniDump& o, const ScenarioCompilato* origini) {
  const auto usi = usi_righe(s.tabella, s.tratti);
  Json righe = Json::array();
  for (size_t r = 0; r < s.tabella.size(); ++r) {
    Json riga = oggetto_json(24);
    metti_membro(&riga, "riga", r);
    metti_membro(&riga, "uso", nome_uso(usi[r]));
    metti_campi_voce(&riga, s.tabella[r]);
    if (origini != nullptr) {
      metti_sorgente(&riga, origini, origini->giornale().riga(r));
      metti_record(&riga, origini, origini->record_riga(r));
    }
    righe.push_back(std::move(riga));
  }
  const Integrita i = integrita(s.tabella, s.tratti);
  return {{"file", nella_cartella(o.cartella, o.nomi.tabella())},
          {"byte", s.byte_tabella},
          {"righe", std::move(righe)},
          {"integrita",
           {{"st", i.st_letto},
            {"st_atteso", i.st_atteso},
            {"og", i.og_letto},
            {"og_atteso", i.og_atteso},
            {"ok", i.ok()}}}};
}

// The runs of one byte field, with what they mean where they mean more.
Json json_sequenze(const std::vector<tratto>& tratti, CampoByte campo,
                   const ScenarioCompilato* origini) {
  Json j = Json::array();
  for (const Sequenza& q :
       sequenze(tratti, campo, origini != nullptr ? &origini->giornale() : nullptr)) {
    Json run = {{"da", q.da}, {"a", q.a}, {"valore", q.valore}};
    if (campo == &tratto::velocita) run["kmh"] = kmh_da_velocita(q.valore);
    if (campo == &tratto::pendenza) run["per_mille"] = per_mille_da_pendenza(q.valore);
    if (q.raggiunta) run["raggiunta"] = *q.raggiunta;
    j.push_back(std::move(run));
  }
  return j;
}

Json json_celle(const ScenarioLetto& s, const OpzioniDump& o, const ScenarioCompilato* origini) {
  Json non_libere = Json::array();
  for (size_t c = 0; c < s.tratti.size(); ++c) {
    if (!cella_con_contenuto(s.tratti[c])) continue;
    Json cella = json_cella(s.tratti[c], c, posizione_della_cella(s.tratti, s.tabella, c));
    if (origini != nullptr) {
      metti_sorgente(&cella, origini, origini->giornale().cella(c));
      metti_record(&cella, origini, origini->record_cella(c));
      metti_derivazione(&cella, origini, c);
    }
    non_libere.push_back(std::move(cella));
  }
  Json seq = Json::object();
  for (const CampoNominato& campo : campi_byte()) {
    seq[campo.nome] = json_sequenze(s.tratti, campo.campo, origini);
  }
  return {{"file", nella_cartella(o.cartella, o.nomi.celle())},
          {"byte", s.byte_celle},
          {"numero", s.tratti.size()},
          {"non_libere", std::move(non_libere)},
          {"sequenze", std::move(seq)}};
}

Json json_geometria(const ScenarioLetto& s, const OpzioniDump& o) {
  if (!s.geometria) return nullptr;
  const PianoLetto& p = *s.geometria;
  Json etichette = Json::object();
  for (int c = 0; c < 2; ++c) {
    const PianoLetto::Conteggio r = p.conteggio(c);
    etichette[c == 0 ? "x" : "y"] = {{"0", r.vuoti}, {"2", r.interi}, {"5", r.reali}};
  }
  Json punti = Json::array();
  for (size_t m : campioni(p, o.passo_campioni)) {
    Json punto = oggetto_json(3);
    metti_membro(&punto, "metro", m);
    metti_membro(&punto, "x", p.x(m).valore);
    metti_membro(&punto, "y", p.y(m).valore);
    punti.push_back(std::move(punto));
  }
  return {{"file", nella_cartella(o.cartella, o.nomi.geometria())},
          {"byte", s.byte_geometria},
          {"metri", p.metri()},
          {"etichette", std::move(etichette)},
          {"campioni", std::move(punti)}};
}

}  // namespace

std::string testo_dump(const ScenarioLetto& s, const OpzioniDump& o) {
  return testo_tabella(s, o) + testo_celle(s, o) + testo_geometria(s, o);
}

Json json_dump(const ScenarioLetto& s, const OpzioniDump& o, const ScenarioCompilato* origini) {
  // Member by member: a list of pairs would copy each part whole.
  Json j = oggetto_json(3);
  metti_membro(&j, "tabella", json_tabella(s, o, origini));
  metti_membro(&j, "celle", json_celle(s, o, origini));
  metti_membro(&j, "geometria", json_geometria(s, o));
  return j;
}

int dump(const Contesto& c, const OpzioniDump& o) {
  if (!cartella_da_leggere(c, o.cartella)) return kUscitaFatale;
  ScenarioLetto s;
  const StatoLettura letto = leggi_scenario(c.disco, o.cartella, o.nomi, &s);
  if (!letto.ok()) {
    c.err << "scenario: " << letto.messaggio() << "\n";
    return kUscitaFatale;
  }
  if (o.json) {
    // Sources beside the files lead each object back to its record.
    std::string avviso;
    const Compilato origini = origini_dei_file(c.disco, o.cartella, o.nomi, s.tabella, s.tratti,
                                               s.geometria.has_value(), &avviso);
    if (!avviso.empty()) c.err << "scenario: attenzione: " << avviso << "\n";
    c.out << scrivi_json(json_dump(s, o, origini.get()), 3);
  } else {
    c.out << testo_dump(s, o);
  }
  if (!integrita(s.tabella, s.tratti).ok()) {
    c.err << "scenario: attenzione: i codici di integrita' non corrispondono ai nomi della linea "
             "e dei treni (file modificati o di compilazioni diverse)\n";
  }
  return kUscitaPulita;
}

int comando_dump(const Contesto& c, const Argomenti& a) {
  OpzioniDump o;
  Sintassi s("dump", kAiuto);
  s.bandiera("--json", &o.json)
      .nomi_scenario(&o.nomi)
      .numero("--passo", "METRI", 1, 1000000, &o.passo_campioni)
      .cartella(&o.cartella);
  if (const std::optional<int> fine = s.leggi(a, c.out, c.err)) return *fine;
  return dump(c, o);
}

}  // namespace calvetra::scenario
