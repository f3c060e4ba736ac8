#include "fields/catalogo.h"

#include <algorithm>

#include "fields/distanze.h"
#include "fields/lettore_campi.h"

namespace calvetra {

const char* nome_formato(Formato f) {
  switch (f) {
    case Formato::u8: return "8 bit";
    case Formato::i16: return "16 bit";
    case Formato::i32: return "32 bit";
    case Formato::testo: return "testo";
  }
  return "";
}

std::string testo_deposito(const Deposito& d) {
  std::string s;
  const std::string campo = d.campo.empty() ? "" : " `" + std::string(d.campo) + "`";
  switch (d.dove) {
    case Dove::nessuno: s = d.campo.empty() ? "nessun campo da solo" : "entra in" + campo; break;
    case Dove::celle_da: s = "le celle da p / 50 in poi"; break;
    case Dove::cella: s = "cella" + campo; break;
    case Dove::riga:
      s = (d.riga >= 0 ? "riga " + std::to_string(d.riga) : std::string("riga della tabella")) +
          campo;
      break;
    case Dove::piano: s = "piano metro per metro"; break;
  }
  switch (d.modo) {
    case Modo::come_letto: break;
    case Modo::passi_5_kmh: s += ", in km/h a passi di 5 km/h (valore / 5)"; break;
    case Modo::per_mille_100: s += ", per mille + 100 in 8 bit"; break;
    case Modo::basso_8: s += ", 8 bit bassi"; break;
    case Modo::bit_16: s += ", 16 bit"; break;
    case Modo::con_altri: s += ", in un solo numero con altri campi"; break;
    case Modo::secondi: s += ", secondi dopo la mezzanotte"; break;
  }
  return s;
}

std::string nome_campo(const CampoRecord& c) {
  std::string s(c.etichetta.empty() ? c.nome : c.etichetta);
  if (!c.etichetta.empty()) s += " (`" + std::string(c.nome) + "`)";
  return s;
}

Lessico::Lessico(const std::vector<const DescrizioneRecord*>& records) {
  std::vector<std::string_view> tutte;
  for (const DescrizioneRecord* r : records) {
    if (r->suggerito) nomi_.push_back(r->nome);
    for (std::string_view p : r->prova.parole) {
      if (!p.empty() && std::find(tutte.begin(), tutte.end(), p) == tutte.end()) tutte.push_back(p);
    }
  }
  for (std::string_view p : tutte) {
    const bool ne_contiene_una = std::any_of(tutte.begin(), tutte.end(), [p](std::string_view q) {
      return q.size() < p.size() && p.find(q) != std::string_view::npos;
    });
    if (!ne_contiene_una) parole_.push_back(p);
  }
  for (std::string_view nome : nomi_) {
    size_t j = 0;
    while (j < nome.size()) {
      size_t k = nome.find(' ', j);
      if (k == std::string_view::npos) k = nome.size();
      VoceNome v{nome, nome.substr(j, k - j), {}};
      j = k + 1;
      if (v.voce.size() < 5) continue;
      for (char c : v.voce) {
        v.lettere.set(static_cast<unsigned char>(c));
        if (c >= 'a' && c <= 'z') v.lettere.set(static_cast<unsigned char>(c - 'a' + 'A'));
      }
      voci_.push_back(v);
    }
  }
}

std::string_view Lessico::parola_contenuta(std::string_view campo) const {
  for (std::string_view p : parole_) {
    if (contiene(campo, p)) return p;
  }
  return {};
}

namespace {

bool separa(char c) { return c == ' ' || c == '\t' || c == ','; }

}  // namespace

std::string_view Lessico::suggerimento(std::string_view campo) const {
  std::string_view migliore;
  size_t distanza_migliore = 3;
  size_t i = 0;
  while (i < campo.size()) {
    while (i < campo.size() && separa(campo[i])) ++i;
    size_t fine = i;
    while (fine < campo.size() && !separa(campo[fine])) ++fine;
    const std::string_view parola = campo.substr(i, fine - i);
    i = fine;
    if (parola.size() < 4) continue;
    for (const VoceNome& v : voci_) {
      const std::string_view voce = v.voce;
      const size_t soglia = voce.size() >= 7 ? 2 : 1;
      // Each letter of the word's start (what every comparison below reads)
      // that the name's word lacks costs an edit of its own: past the
      // threshold no table is worth building. Junk text stops here.
      size_t assenti = 0;
      const size_t inizio = std::min(parola.size(), voce.size());
      for (size_t c = 0; c < inizio && assenti <= soglia; ++c) {
        if (!v.lettere[static_cast<unsigned char>(parola[c])]) ++assenti;
      }
      if (assenti > soglia) continue;
      // Lengths further apart than the threshold are never close, and a
      // long field is compared by its start alone: the cost stays small.
      const size_t scarto =
          parola.size() > voce.size() ? parola.size() - voce.size() : voce.size() - parola.size();
      // Only distances below 3 can be suggested, so none is computed further.
      constexpr size_t kTetto = 3;
      size_t dist = scarto <= 2 ? distanza_entro(parola, voce, kTetto) : scarto;
      if (parola.size() > voce.size()) {
        dist = std::min(dist, distanza_entro(parola.substr(0, voce.size()), voce, kTetto));
      } else if (parola.size() >= 5) {
        // A keyword cut short: one edit more than its start.
        dist = std::min(dist, distanza_entro(parola, voce.substr(0, parola.size()), kTetto) + 1);
      }
      if (dist <= soglia && dist < distanza_migliore) {
        distanza_migliore = dist;
        migliore = v.nome;
      }
    }
  }
  return migliore;
}

namespace {

// Appended piece by piece: GCC 12 at -O3 takes literal + string for an overlap.
std::string codice(std::string_view s) {
  std::string r = "`";
  r += s;
  r += '`';
  return r;
}

std::string prova_in_parole(const ProvaChiave& p) {
  std::string s;
  for (std::string_view parola : p.parole) {
    if (parola.empty()) continue;
    s += (s.empty() ? "" : " and ") + codice(parola);
  }
  if (!p.qualificatore.empty()) s += " and " + codice(p.qualificatore);
  if (p.maiuscole == Maiuscole::contano) s += " (exact)";
  return s;
}

std::string nomi_campi(const DescrizioneRecord& r) {
  std::string s;
  for (const CampoRecord& c : r.campi) s += (s.empty() ? "" : ", ") + std::string(c.nome);
  return s.empty() ? "none" : s;
}

// A cell of a Markdown table: a bar inside it would end the cell.
std::string cella(std::string_view s) {
  std::string r;
  for (char c : s) {
    if (c == '|') r += '\\';
    r += c;
  }
  return r;
}

}  // namespace

std::string tabelle_record(const std::vector<const DescrizioneRecord*>& records) {
  std::string s =
      "| Record | Keyword field contains | Values | What it does (as authors read it) "
      "|\n|---|---|---|---|\n";
  for (const DescrizioneRecord* r : records) {
    s += "| " + codice(r->nome) + " | " + prova_in_parole(r->prova) + " | " +
         cella(nomi_campi(*r)) + " | " + cella(r->effetto) + " |\n";
  }
  s += "\n| Record | Field | Label | Read as | Unit | Values | Stored | Explanation "
       "|\n|---|---|---|---|---|---|---|---|\n";
  for (const DescrizioneRecord* r : records) {
    for (const CampoRecord& c : r->campi) {
      s += "| " + codice(r->nome) + " | " + cella(c.nome) + " | " + cella(c.etichetta) + " | " +
           nome_formato(c.formato) + " | " + cella(c.unita) + " | " + cella(c.intervallo) + " | " +
           cella(testo_deposito(c.deposito)) + " | " + cella(c.spiegazione) + " |\n";
    }
  }
  return s;
}

}  // namespace calvetra
