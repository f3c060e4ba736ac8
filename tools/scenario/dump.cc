#include "dump.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "argomenti.h"
#include "model/costanti.h"
#include "testo.h"
#include "vista.h"

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
    "file, riga, colonna e offset della parola chiave di quel record.\n"
    "\n"
    "Un file troncato, con byte in eccesso o corrotto e' rifiutato con un\n"
    "messaggio che dice a quale byte.\n"
    "\n"
    "Uscita: 0 file letti, 1 file mancante o non valido, 2 uso errato.\n";

std::string ora(int32_t secondi) {
  if (secondi < 0) return "";
  char s[32];
  std::snprintf(s, sizeof s, "%02d:%02d:%02d", secondi / 3600, secondi / 60 % 60, secondi % 60);
  return s;
}

// What the header rows hold, in a few words.
const char* ruolo_intestazione(size_t r) {
  switch (r) {
    case 81:
    case 82:
    case 83: return "progressiva chilometrica (inizio, fine, flag)";
    case 84: return "massa frenata %, lunghezza del percorso m, vetture";
    case 85: return "sfondo uno, tre, due; nome linea; marchio 610; codice st";
    case 86: return "ripetizione segnali, codici; coppia treni; sabbia; orologio";
    default: return "";
  }
}

bool cella_da_mostrare(const tratto& t) {
  return t.tipo != kLibero || t.valore_a != 0 || t.valore_b != 0 || t.valore_c != 0 ||
         t.valore_d != 0;
}

std::string etichetta_cella(const tratto& t, size_t c) {
  if (c == 1 && t.tipo == kLibero) return "intestazione";
  const char* nome = nome_tipo_cella(t.tipo);
  return nome != nullptr ? nome : "tipo sconosciuto";
}

// Counts of each element kind and the last metre that holds a value.
struct RiassuntoCoordinata {
  int64_t vuoti = 0, interi = 0, reali = 0;
};
RiassuntoCoordinata riassumi(const std::vector<ElementoGeometria>& c) {
  RiassuntoCoordinata r;
  for (const ElementoGeometria& e : c) {
    switch (e.genere) {
      case Geometria::Genere::vuoto: ++r.vuoti; break;
      case Geometria::Genere::intero: ++r.interi; break;
      case Geometria::Genere::reale: ++r.reali; break;
    }
  }
  return r;
}

// Metres sampled: every `passo`, and the last metre with both coordinates.
std::vector<size_t> campioni(const PianoLetto& p, int32_t passo) {
  std::vector<size_t> m;
  size_t ultimo = 0;
  bool trovato = false;
  for (size_t i = 0; i < p.x.size(); ++i) {
    if (p.x[i].genere != Geometria::Genere::vuoto && p.y[i].genere != Geometria::Genere::vuoto) {
      ultimo = i;
      trovato = true;
      if (i % static_cast<size_t>(passo) == 0) m.push_back(i);
    }
  }
  if (trovato && (m.empty() || m.back() != ultimo)) m.push_back(ultimo);
  return m;
}

void testo_tabella(const ScenarioLetto& s, const OpzioniDump& o, std::ostream& out) {
  out << "tabella  " << nella_cartella(o.cartella, o.nomi.tabella()) << "  (" << s.byte_tabella
      << " byte, 87 righe)\n";
  const auto usi = usi_righe(s.tabella, s.tratti);
  size_t r = 0;
  while (r < s.tabella.size()) {
    if (usi[r] == UsoRiga::vuota) {
      size_t fine = r;
      while (fine + 1 < s.tabella.size() && usi[fine + 1] == UsoRiga::vuota) ++fine;
      if (fine == r) {
        out << "  riga " << r << ": vuota\n";
      } else {
        out << "  righe " << r << "-" << fine << ": vuote\n";
      }
      r = fine + 1;
      continue;
    }
    const voce& v = s.tabella[r];
    out << "  riga " << r << ": " << nome_uso(usi[r]);
    if (usi[r] == UsoRiga::intestazione) out << " (" << ruolo_intestazione(r) << ")";
    out << "\n   ";
    for (const Campo& c : campi_voce(v)) {
      out << " " << c.nome << "=";
      if (c.stringa) {
        out << "\"" << utf8_da_1252(c.testo) << "\"";
      } else {
        out << c.testo;
      }
    }
    if (usi[r] == UsoRiga::stazione) out << " (" << ora(v.orario) << ")";
    out << "\n";
    ++r;
  }
  const Integrita i = integrita(s.tabella, s.tratti);
  out << "  codici di integrita': st " << i.st_letto << " (atteso " << i.st_atteso << "), og "
      << i.og_letto << " (atteso " << i.og_atteso << ")" << (i.ok() ? "" : "  DIVERSI") << "\n";
}

void testo_celle(const ScenarioLetto& s, const OpzioniDump& o, std::ostream& out) {
  const size_t n = s.tratti.size() - 1;
  out << "\ncelle  " << nella_cartella(o.cartella, o.nomi.celle()) << "  (" << s.byte_celle
      << " byte, " << s.tratti.size() << " celle: 0-" << n << ", metri 0-" << n * kMetriCella
      << ")\n";
  out << "  celle non libere (cella, metro d'inizio, tipo, valori a b c d, tempo):\n";
  for (size_t c = 0; c < s.tratti.size(); ++c) {
    const tratto& t = s.tratti[c];
    if (!cella_da_mostrare(t)) continue;
    char riga[160];
    std::snprintf(riga, sizeof riga, "    %6zu %8zu m  %-24s %6d %6d %6d %6d  %3d\n", c,
                  c * kMetriCella, etichetta_cella(t, c).c_str(), t.valore_a, t.valore_b,
                  t.valore_c, t.valore_d, t.tempo);
    out << riga;
  }
  out << "  campi a byte come sequenze (celle da-a: valore):\n";
  for (const CampoNominato& campo : campi_byte()) {
    out << "    " << campo.nome << ":\n";
    for (const Sequenza& q : sequenze(s.tratti, campo.campo)) {
      out << "      " << q.da << "-" << q.a << ": " << static_cast<int>(q.valore);
      if (campo.campo == &tratto::velocita) out << " (" << q.valore * 5 << " km/h)";
      if (campo.campo == &tratto::pendenza && q.valore != 0) {
        out << " (pendenza " << q.valore - 100 << ")";
      }
      out << "\n";
    }
  }
}

void testo_geometria(const ScenarioLetto& s, const OpzioniDump& o, std::ostream& out) {
  if (!s.geometria) {
    out << "\ngeometria  " << nella_cartella(o.cartella, o.nomi.geometria()) << "  assente\n";
    return;
  }
  const PianoLetto& p = *s.geometria;
  out << "\ngeometria  " << nella_cartella(o.cartella, o.nomi.geometria()) << "  ("
      << s.byte_geometria << " byte, 2 x " << p.x.size() << " elementi, metri 0-" << p.x.size() - 1
      << ")\n";
  for (int c = 0; c < 2; ++c) {
    const RiassuntoCoordinata r = riassumi(c == 0 ? p.x : p.y);
    out << "  " << (c == 0 ? "x" : "y") << ": " << r.interi << " interi (etichetta 2), " << r.reali
        << " reali (etichetta 5), " << r.vuoti << " vuoti (etichetta 0)\n";
  }
  out << "  campioni (metro: x y):\n";
  for (size_t m : campioni(p, o.passo_campioni)) {
    out << "    " << m << ": " << reale(p.x[m].valore) << " " << reale(p.y[m].valore) << "\n";
  }
}

// `, "sorgente": {...}` for an object that a source record placed: the row
// r or the cell r.
enum class Oggetto { riga, cella };
std::string campo_sorgente(const Origini* origini, Oggetto oggetto, size_t r) {
  if (origini == nullptr) return "";
  const Provenienze& p = origini->provenienze;
  const Luogo l = oggetto == Oggetto::riga ? p.riga(r) : p.cella(r);
  if (l.file == FileSorgente::nessuno) return "";
  return ", \"sorgente\": " + json_luogo(l, origini->sorgenti);
}

void json_tabella(const ScenarioLetto& s, const OpzioniDump& o, std::ostream& out,
                  const Origini* origini) {
  const auto usi = usi_righe(s.tabella, s.tratti);
  out << "  \"tabella\": {\n    \"file\": "
      << stringa_json(nella_cartella(o.cartella, o.nomi.tabella()))
      << ",\n    \"byte\": " << s.byte_tabella << ",\n    \"righe\": [\n";
  for (size_t r = 0; r < s.tabella.size(); ++r) {
    out << "      {\"riga\": " << r << ", \"uso\": \"" << nome_uso(usi[r]) << "\"";
    for (const Campo& c : campi_voce(s.tabella[r])) {
      out << ", \"" << c.nome << "\": " << (c.stringa ? stringa_json(c.testo) : c.testo);
    }
    out << campo_sorgente(origini, Oggetto::riga, r);
    out << "}" << (r + 1 < s.tabella.size() ? "," : "") << "\n";
  }
  const Integrita i = integrita(s.tabella, s.tratti);
  out << "    ],\n    \"integrita\": {\"st\": " << i.st_letto << ", \"st_atteso\": " << i.st_atteso
      << ", \"og\": " << i.og_letto << ", \"og_atteso\": " << i.og_atteso
      << ", \"ok\": " << (i.ok() ? "true" : "false") << "}\n  },\n";
}

void json_celle(const ScenarioLetto& s, const OpzioniDump& o, std::ostream& out,
                const Origini* origini) {
  out << "  \"celle\": {\n    \"file\": "
      << stringa_json(nella_cartella(o.cartella, o.nomi.celle()))
      << ",\n    \"byte\": " << s.byte_celle << ",\n    \"numero\": " << s.tratti.size()
      << ",\n    \"non_libere\": [";
  bool primo = true;
  for (size_t c = 0; c < s.tratti.size(); ++c) {
    const tratto& t = s.tratti[c];
    if (!cella_da_mostrare(t)) continue;
    out << (primo ? "\n" : ",\n") << "      {\"cella\": " << c
        << ", \"tipo\": " << static_cast<int>(t.tipo)
        << ", \"nome_tipo\": " << stringa_json(etichetta_cella(t, c))
        << ", \"valore_a\": " << t.valore_a << ", \"valore_b\": " << t.valore_b
        << ", \"valore_c\": " << t.valore_c << ", \"valore_d\": " << t.valore_d
        << ", \"tempo\": " << static_cast<int>(t.tempo);
    out << campo_sorgente(origini, Oggetto::cella, c);
    out << "}";
    primo = false;
  }
  out << "\n    ],\n    \"sequenze\": {";
  for (size_t k = 0; k < campi_byte().size(); ++k) {
    const CampoNominato& campo = campi_byte()[k];
    out << (k == 0 ? "\n" : ",\n") << "      \"" << campo.nome << "\": [";
    const std::vector<Sequenza> seq = sequenze(s.tratti, campo.campo);
    for (size_t j = 0; j < seq.size(); ++j) {
      out << (j == 0 ? "" : ", ") << "{\"da\": " << seq[j].da << ", \"a\": " << seq[j].a
          << ", \"valore\": " << static_cast<int>(seq[j].valore) << "}";
    }
    out << "]";
  }
  out << "\n    }\n  },\n";
}

void json_geometria(const ScenarioLetto& s, const OpzioniDump& o, std::ostream& out) {
  if (!s.geometria) {
    out << "  \"geometria\": null\n";
    return;
  }
  const PianoLetto& p = *s.geometria;
  out << "  \"geometria\": {\n    \"file\": "
      << stringa_json(nella_cartella(o.cartella, o.nomi.geometria()))
      << ",\n    \"byte\": " << s.byte_geometria << ",\n    \"metri\": " << p.x.size()
      << ",\n    \"etichette\": {";
  for (int c = 0; c < 2; ++c) {
    const RiassuntoCoordinata r = riassumi(c == 0 ? p.x : p.y);
    out << (c == 0 ? "" : ", ") << "\"" << (c == 0 ? "x" : "y") << "\": {\"0\": " << r.vuoti
        << ", \"2\": " << r.interi << ", \"5\": " << r.reali << "}";
  }
  out << "},\n    \"campioni\": [";
  const std::vector<size_t> m = campioni(p, o.passo_campioni);
  for (size_t j = 0; j < m.size(); ++j) {
    out << (j == 0 ? "\n" : ",\n") << "      {\"metro\": " << m[j]
        << ", \"x\": " << reale(p.x[m[j]].valore) << ", \"y\": " << reale(p.y[m[j]].valore) << "}";
  }
  out << "\n    ]\n  }\n";
}

}  // namespace

void scrivi_testo(const ScenarioLetto& s, const OpzioniDump& o, std::ostream& out) {
  testo_tabella(s, o, out);
  testo_celle(s, o, out);
  testo_geometria(s, o, out);
}

void scrivi_json(const ScenarioLetto& s, const OpzioniDump& o, std::ostream& out,
                 const Origini* origini) {
  out << "{\n";
  json_tabella(s, o, out, origini);
  json_celle(s, o, out, origini);
  json_geometria(s, o, out);
  out << "}\n";
}

int dump(const OpzioniDump& o, std::ostream& out, std::ostream& err) {
  ScenarioLetto s;
  std::string errore;
  if (!leggi_scenario(o.cartella, o.nomi, &s, &errore)) {
    err << "scenario: " << errore << "\n";
    return kUscitaFatale;
  }
  if (o.json) {
    // Sources beside the files lead each object back to its record.
    std::string avviso;
    const std::optional<Origini> origini =
        origini_dei_file(o.cartella, o.nomi, s.tabella, s.tratti, s.geometria.has_value(), &avviso);
    if (!avviso.empty()) err << "scenario: attenzione: " << avviso << "\n";
    scrivi_json(s, o, out, origini ? &*origini : nullptr);
  } else {
    scrivi_testo(s, o, out);
  }
  const Integrita i = integrita(s.tabella, s.tratti);
  if (!i.ok()) {
    err << "scenario: attenzione: i codici di integrita' non corrispondono ai nomi della linea "
           "e dei treni (file modificati o di compilazioni diverse)\n";
  }
  return kUscitaPulita;
}

int comando_dump(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  OpzioniDump o;
  Argomenti a(argc, argv);
  std::vector<std::string> posizionali;
  std::string passo;
  while (!a.finiti()) {
    if (a.opzione("--help") || a.opzione("-h")) {
      out << kAiuto;
      return kUscitaPulita;
    }
    if (a.opzione("--json")) {
      o.json = true;
      continue;
    }
    if (a.nome("--linea", &o.nomi.linea) || a.nome("--treni", &o.nomi.treni)) continue;
    if (a.valore("--passo", &passo)) {
      o.passo_campioni = 0;
      for (char c : passo) {
        if (c < '0' || c > '9' || o.passo_campioni > 1000000) {
          o.passo_campioni = 0;
          break;
        }
        o.passo_campioni = o.passo_campioni * 10 + (c - '0');
      }
      if (o.passo_campioni > 0) continue;
      err << "scenario dump: --passo vuole un numero di metri da 1 in su\n";
      return kUscitaUso;
    }
    if (a.errore() || !a.posizionale(&posizionali)) break;
  }
  if (a.errore() || posizionali.size() != 1) {
    err << "scenario dump: " << (a.errore() ? a.messaggio() : motivo_cartella(posizionali)) << "\n"
        << "uso: scenario dump [--json] [--linea NOME] [--treni COPPIA] [--passo METRI] CARTELLA\n";
    return kUscitaUso;
  }
  o.cartella = posizionali[0];
  return dump(o, out, err);
}

}  // namespace calvetra::scenario
