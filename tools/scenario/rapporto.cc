#include "rapporto.h"

#include <cstdio>

#include "diagnostica.h"
#include "fields/lettore_campi.h"
#include "model/messaggi.h"
#include "testo.h"

namespace calvetra::scenario {

namespace {

// The source a place points into; error 101 (no line source) points at the
// line source as a whole.
const SorgenteAutore* sorgente_di(const Luogo& l, int32_t codice, const SorgentiRapporto& s) {
  if (l.file == FileSorgente::linea) return &s.linea;
  if (l.file == FileSorgente::treno) return &s.treno;
  if (codice == 101) return &s.linea;
  return nullptr;
}

const IndiceRighe& righe_di(const SorgentiRapporto& s, const SorgenteAutore* f) {
  return f == &s.linea ? s.righe_linea : s.righe_treno;
}

std::string testo_nota(const Nota& n, const SorgentiRapporto& s, bool colore) {
  const SorgenteAutore* f = sorgente_di(n.luogo, 0, s);
  const std::string resto = ": " + n.testo;
  if (f == nullptr) return colora_parola("nota", colore) + utf8_da_1252(resto) + "\n";
  if (!f->testo) {
    return grassetto(f->percorso + ":", colore) + " " + colora_parola("nota", colore) +
           utf8_da_1252(resto) + "\n";
  }
  return localizzato(f->percorso, righe_di(s, f), n.luogo.offset, "nota", resto, colore);
}

std::string testo_errore(const Diagnostico& e, const SorgentiRapporto& s, bool colore) {
  const SorgenteAutore* f = sorgente_di(e.luogo, e.codice, s);
  const std::string riga = riga_errore(e.codice, e.posizione);
  const std::string resto = riga.substr(std::string("errore").size());
  if (f == nullptr) return colora_parola("errore", colore) + resto + "\n";
  if (!f->testo) {
    return grassetto(f->percorso + ":", colore) + " " + colora_parola("errore", colore) + resto +
           (e.codice == 101 ? "" : " (il file non esiste)") + "\n";
  }
  return localizzato(f->percorso, righe_di(s, f), e.luogo.offset, "errore", resto, colore);
}

// A JSON string for a text that is already UTF-8 (a path).
std::string stringa_json_utf8(const std::string& s) {
  std::string r = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') {
      r += '\\';
      r += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x",
                    static_cast<unsigned>(static_cast<unsigned char>(c)));
      r += esc;
    } else {
      r += c;
    }
  }
  return r + "\"";
}

// "file", "riga" and "colonna" of a place, null where there is none.
std::string luogo_json(const Luogo& l, int32_t codice, const SorgentiRapporto& s) {
  const SorgenteAutore* f = sorgente_di(l, codice, s);
  if (f == nullptr) return "\"file\": null, \"riga\": null, \"colonna\": null";
  std::string r = "\"file\": " + stringa_json_utf8(f->percorso);
  if (!f->testo || l.file == FileSorgente::nessuno)
    return r + ", \"riga\": null, \"colonna\": null";
  const PosizioneTesto p = righe_di(s, f).posizione(l.offset);
  return r + ", \"riga\": " + std::to_string(p.riga) +
         ", \"colonna\": " + std::to_string(p.colonna);
}

}  // namespace

std::string testo_diagnostico(const Diagnostico& d, const SorgentiRapporto& s, bool colore) {
  std::string r;
  if (d.gravita == Gravita::errore) {
    r = testo_errore(d, s, colore);
  } else {
    const std::string resto = ": " + d.messaggio + " [" + d.nome + "]";
    const SorgenteAutore* f = sorgente_di(d.luogo, 0, s);
    if (f != nullptr && f->testo) {
      r = localizzato(f->percorso, righe_di(s, f), d.luogo.offset, "avviso", resto, colore);
    } else {
      r = colora_parola("avviso", colore) + utf8_da_1252(resto) + "\n";
    }
  }
  for (const Nota& n : d.note) r += testo_nota(n, s, colore);
  return r;
}

std::string documento_json(const std::vector<Diagnostico>& diagnostici, const SorgentiRapporto& s,
                           const RiepilogoJson& r) {
  std::string j = "{\n";
  j += "  \"comando\": \"" + r.comando + "\",\n";
  j += "  \"linea\": " + stringa_json_utf8(s.linea.percorso) + ",\n";
  j += "  \"treno\": " + stringa_json_utf8(s.treno.percorso) + ",\n";
  j += "  \"stato\": " + std::to_string(r.stato) + ",\n";
  j += "  \"codice_errore\": " + std::to_string(r.codice_errore) + ",\n";
  j += "  \"posizione_errore\": " + std::to_string(r.posizione_errore) + ",\n";
  j += "  \"fine\": \"" + r.fine + "\",\n";
  j += "  \"errore_fatale\": " + std::to_string(r.errore_fatale) + ",\n";
  j += "  \"motivo\": " + (r.motivo.empty() ? "null" : stringa_json_utf8(r.motivo)) + ",\n";
  j += "  \"scritti\": [";
  for (size_t i = 0; i < r.scritti.size(); ++i) {
    j += (i == 0 ? "" : ", ") + stringa_json_utf8(r.scritti[i]);
  }
  j += "],\n  \"diagnostici\": [";
  for (size_t i = 0; i < diagnostici.size(); ++i) {
    const Diagnostico& d = diagnostici[i];
    const bool errore = d.gravita == Gravita::errore;
    j += i == 0 ? "\n" : ",\n";
    j += "    {\"gravita\": \"" + std::string(errore ? "errore" : "avviso") + "\", ";
    j += "\"codice\": " + (errore ? std::to_string(d.codice) : "null") + ", ";
    j += "\"nome\": " + (errore ? "null" : stringa_json(d.nome)) + ", ";
    j += luogo_json(d.luogo, d.codice, s) + ", ";
    j += "\"posizione\": " + (errore ? std::to_string(d.posizione) : "null") + ", ";
    j += "\"messaggio\": " +
         stringa_json(errore ? std::string(descrizione_errore(d.codice)) : d.messaggio) + ", ";
    j += "\"note\": [";
    for (size_t k = 0; k < d.note.size(); ++k) {
      j += (k == 0 ? "{" : ", {") + std::string("\"messaggio\": ") + stringa_json(d.note[k].testo) +
           ", " + luogo_json(d.note[k].luogo, 0, s) + "}";
    }
    j += "]}";
  }
  j += diagnostici.empty() ? "]\n}\n" : "\n  ]\n}\n";
  return j;
}

}  // namespace calvetra::scenario
