#include "fields/catalogo.h"

#include <algorithm>
#include <cstdint>

#include "fields/distanze.h"
#include "fields/lettore_campi.h"
#include "model/caratteri.h"

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
  return std::string(c.etichetta.empty() ? c.nome : c.etichetta);
}

Lessico::Lessico(const std::vector<const DescrizioneRecord*>& records) : records_(records) {
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

// The most edits a keyword takes to be read into a field: one for a short
// word, two from seven letters on, as "did you mean" reads them.
size_t soglia_parola(std::string_view parola) { return parola.size() >= 7 ? 2 : 1; }

// `campo` edited the least so that it contains `parola` (letter case
// ignored), and the edits; the rest of the field stays, and of two edits
// alike the one that keeps more of what was written wins.
struct Modifica {
  std::string testo;
  size_t distanza = SIZE_MAX;
};
// Whether byte `i` of `t` lies inside a UTF-8 character, past its first byte:
// an edit never cuts one, and so never leaves half a character behind.
bool dentro_un_carattere(std::string_view t, size_t i) {
  for (size_t k = 1; k <= 3 && k <= i; ++k) {
    if (sequenza_utf8(t, i - k) > k) return true;
  }
  return false;
}

Modifica con_parola(std::string_view campo, std::string_view parola, bool maiuscole) {
  if (maiuscole ? contiene_esatto(campo, parola) : contiene(campo, parola)) {
    return {std::string(campo), 0};
  }
  const size_t soglia = soglia_parola(parola);
  // Each letter of the word that the field does not hold at all costs an
  // edit of its own: past the threshold no stretch of it is worth comparing.
  std::bitset<256> lettere;
  for (const char c : campo) {
    const auto u = static_cast<unsigned char>(c);
    lettere.set(u >= 'A' && u <= 'Z' ? u - 'A' + 'a' : u);
  }
  size_t assenti = 0;
  for (const char c : parola) assenti += lettere[static_cast<unsigned char>(c)] ? 0 : 1;
  if (assenti > soglia) return {};
  // One table over the field (an edit distance in which the word may begin
  // anywhere, Sellers' way, with swaps of two neighbours as one edit): for
  // each end of a stretch of the field, the fewest edits that turn the
  // stretch into the word, and where the stretch begins; of two alike, the
  // shorter stretch, so more of the field is kept.
  const auto uguali = [maiuscole](char a, char b) {
    const auto minuscola = [](char c) {
      return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return maiuscole ? a == b : minuscola(a) == minuscola(b);
  };
  constexpr size_t kMai = SIZE_MAX / 4;
  struct Cella {
    size_t costo = kMai;
    size_t inizio = 0;
  };
  const size_t n = campo.size();
  const size_t m = parola.size();
  std::vector<std::vector<Cella>> t(m + 1, std::vector<Cella>(n + 1));
  for (size_t j = 0; j <= n; ++j) {
    // A stretch never begins inside a UTF-8 character.
    if (!dentro_un_carattere(campo, j)) t[0][j] = {0, j};
  }
  const auto meglio = [](Cella& c, size_t costo, size_t inizio) {
    if (costo < c.costo || (costo == c.costo && inizio > c.inizio)) c = {costo, inizio};
  };
  for (size_t i = 1; i <= m; ++i) {
    t[i][0] = {i, 0};
    for (size_t j = 1; j <= n; ++j) {
      Cella& c = t[i][j];
      const Cella& d = t[i - 1][j - 1];
      meglio(c, d.costo + (uguali(parola[i - 1], campo[j - 1]) ? 0 : 1), d.inizio);
      meglio(c, t[i - 1][j].costo + 1, t[i - 1][j].inizio);  // a letter of the word missing
      meglio(c, t[i][j - 1].costo + 1, t[i][j - 1].inizio);  // a letter too many
      if (i > 1 && j > 1 && uguali(parola[i - 1], campo[j - 2]) &&
          uguali(parola[i - 2], campo[j - 1])) {
        meglio(c, t[i - 2][j - 2].costo + 1, t[i - 2][j - 2].inizio);
      }
    }
  }
  Modifica migliore;
  size_t lungo_migliore = 0;
  for (size_t j = 0; j <= n; ++j) {
    const Cella& c = t[m][j];
    if (c.costo > soglia || dentro_un_carattere(campo, j)) continue;
    const size_t lungo = j - c.inizio;
    if (c.costo < migliore.distanza || (c.costo == migliore.distanza && lungo < lungo_migliore)) {
      migliore.testo = std::string(campo.substr(0, c.inizio)) + std::string(parola) +
                       std::string(campo.substr(j));
      migliore.distanza = c.costo;
      lungo_migliore = lungo;
    }
  }
  return migliore;
}

}  // namespace

namespace {

// Whether every byte of `scritto` stands in `testo`, in order: `testo` only
// adds to what was written.
bool solo_aggiunte(std::string_view scritto, std::string_view testo) {
  size_t i = 0;
  for (const char c : testo) {
    if (i < scritto.size() && c == scritto[i]) ++i;
  }
  return i == scritto.size();
}

}  // namespace

std::vector<Lessico::Candidato> Lessico::candidati(std::string_view campo, size_t quanti) const {
  struct Trovato {
    Candidato c;
    size_t distanza;
  };
  // Three kinds, tried in this order: a keyword completed where it stands,
  // every letter written kept (`curvs4`, `curvas4`); the name "did you
  // mean" finds and the keyword it is written with; any other keyword by the
  // edits it takes.
  std::vector<Trovato> completati;
  std::vector<Trovato> nomi;
  std::vector<Trovato> altri;
  // A field no name is close to is no keyword mistyped (and the edits of
  // every keyword are not worth working out for it); a long one is a
  // sentence.
  const std::string_view nome = suggerimento(campo);
  constexpr size_t kLunghezzaMassima = 40;
  if (nome.empty()) return {};
  if (campo.size() <= kLunghezzaMassima) {
    for (const DescrizioneRecord* r : records_) {
      const ProvaChiave& p = r->prova;
      const bool maiuscole = p.maiuscole == Maiuscole::contano;
      Modifica m{std::string(campo), 0};
      for (std::string_view parola : {p.parole[0], p.parole[1], p.qualificatore}) {
        if (parola.empty() || m.distanza == SIZE_MAX) continue;
        const Modifica passo = con_parola(m.testo, parola, maiuscole);
        m.testo = passo.testo;
        m.distanza = passo.distanza == SIZE_MAX ? SIZE_MAX : m.distanza + passo.distanza;
      }
      if (m.distanza == 0 || m.distanza == SIZE_MAX || !p.passa(m.testo)) continue;
      const bool completato = solo_aggiunte(campo, m.testo);
      (completato ? completati : altri).push_back({{std::move(m.testo), r}, m.distanza});
    }
    const auto per_distanza = [](const Trovato& a, const Trovato& b) {
      return a.distanza < b.distanza;
    };
    std::stable_sort(completati.begin(), completati.end(), per_distanza);
    std::stable_sort(altri.begin(), altri.end(), per_distanza);
  }
  for (const DescrizioneRecord* r : records_) {
    if (r->nome != nome) continue;
    nomi.push_back({{std::string(r->nome), r}, 0});
    nomi.push_back({{std::string(r->parola_nuova()), r}, 0});
  }
  std::vector<Candidato> c;
  for (std::vector<Trovato>* v : {&completati, &nomi, &altri}) {
    for (Trovato& t : *v) {
      const bool visto =
          std::any_of(c.begin(), c.end(), [&](const Candidato& x) { return x.testo == t.c.testo; });
      if (!visto && c.size() < quanti) c.push_back(std::move(t.c));
    }
  }
  return c;
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

std::vector<Campo> campi_del_record(std::string_view testo, const Campo& prima,
                                    const DescrizioneRecord& d) {
  std::vector<Campo> c;
  c.reserve(d.campi.size() + 1);
  for (Campo k = prima; k.esiste;) {
    c.push_back(k);
    if (c.size() > d.campi.size()) break;
    k = campo_a(testo, k.seguente, modo_campo(d.campi[c.size() - 1]));
  }
  return c;
}

std::vector<Campo> campi_del_record(std::string_view testo, size_t chiave,
                                    const DescrizioneRecord& d) {
  return campi_del_record(testo, campo_a(testo, chiave, ModoCampo::testo), d);
}

}  // namespace calvetra
