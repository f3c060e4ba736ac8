// Fuzz target: the field reader alone, text in, fields out, with the
// invariants that hold for any text:
// - every byte is consumed exactly once: each read takes the blanks before
//   its field, the field, and at most one separator (a comma or one line
//   end), and the reads together take the whole text, nothing twice;
// - outside double quotes no field spans a line end: a line end is only ever
//   the separator at the end of what a read takes;
// - looking ahead (`guarda`) sees what the read then takes: the same value,
//   places and place to go on from;
// - a number read agrees with the number rule computed a second, simpler way
//   (the digits as one 128-bit integer scaled by a power of ten, rounded half
//   to even), including whether the value fits its target;
// - the "did you mean" of a text field (the warning for a passed-over field)
//   is the one its rule gives, computed a second way with whole edit tables
//   and none of its shortcuts, and the edit distance it uses, which stops at
//   a ceiling, agrees with the whole table; on the first kCampiSuggeriti
//   text fields of an input only, since each costs dozens of edit tables
//   while a read costs next to nothing.
//
// A read that fails (a number too large for its target) ends the reading, as
// it ends a parser phase.
//
// Input: the first byte chooses how the fields are read, two bits a field in
// turn (text, 32-, 16- or 8-bit number); the rest is the text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fields/avvisi.h"
#include "fields/distanze.h"
#include "fields/lettore_campi.h"
#include "line/catalogo_linea.h"
#include "model/numeri.h"
#include "proprieta.h"
#include "train/catalogo_treno.h"

namespace calvetra::fuzz {
namespace {

bool spazio(char c) { return c == ' ' || c == '\t'; }
bool fine_riga(char c) { return c == '\r' || c == '\n'; }
bool cifra(char c) { return c >= '0' && c <= '9'; }

// The value of a field by the number rule, or nothing when the field lies
// outside what this simpler computation covers (more than 36 significant
// digits or an exponent of over four digits on a non-zero number). A value
// too large for any field is reported as kTroppoGrande.
constexpr int64_t kTroppoGrande = std::numeric_limits<int64_t>::min();

std::optional<int64_t> numero_di_riferimento(std::string_view campo) {
  size_t i = 0;
  size_t f = campo.size();
  while (i < f && spazio(campo[i])) ++i;
  while (f > i && spazio(campo[f - 1])) --f;
  campo = campo.substr(i, f - i);
  bool negativo = false;
  if (!campo.empty() && (campo[0] == '+' || campo[0] == '-')) {
    negativo = campo[0] == '-';
    campo.remove_prefix(1);
  }
  // Mantissa digits with the point taken out, and the power of ten.
  std::string cifre;
  int64_t scala = 0;
  bool punto = false;
  size_t k = 0;
  for (; k < campo.size(); ++k) {
    if (cifra(campo[k])) {
      cifre += campo[k];
      if (punto) --scala;
    } else if (campo[k] == '.' && !punto) {
      punto = true;
    } else {
      break;
    }
  }
  if (cifre.empty()) return 0;  // not a number
  if (k < campo.size()) {
    if (campo[k] != 'e' && campo[k] != 'E') return 0;
    ++k;
    bool esponente_negativo = false;
    if (k < campo.size() && (campo[k] == '+' || campo[k] == '-')) {
      esponente_negativo = campo[k++] == '-';
    }
    std::string_view esponente = campo.substr(k);
    if (esponente.empty()) return 0;
    for (char c : esponente) {
      if (!cifra(c)) return 0;
    }
    while (esponente.size() > 1 && esponente[0] == '0') esponente.remove_prefix(1);
    if (esponente.size() > 4) {
      if (cifre.find_first_not_of('0') == std::string::npos) return 0;
      return std::nullopt;
    }
    const int64_t e = std::stoll(std::string(esponente));
    scala += esponente_negativo ? -e : e;
  }
  const size_t primo = cifre.find_first_not_of('0');
  if (primo == std::string::npos) return 0;
  cifre.erase(0, primo);
  if (cifre.size() > 36) return std::nullopt;

  __extension__ typedef unsigned __int128 U;
  U n = 0;
  for (char c : cifre) n = n * 10 + static_cast<unsigned>(c - '0');
  const auto potenza = [](int64_t p) {
    U v = 1;
    for (int64_t j = 0; j < p; ++j) v *= 10;
    return v;
  };
  constexpr U kLimite = std::numeric_limits<int64_t>::max() / 2;
  U q = 0;
  if (scala >= 0) {
    if (static_cast<int64_t>(cifre.size()) + scala > 20) return kTroppoGrande;
    q = n * potenza(scala);
  } else if (-scala > 37) {
    q = 0;  // under 10^-1: 36 digits at most
  } else {
    const U d = potenza(-scala);
    q = n / d;
    const U r = n % d;
    if (2 * r > d || (2 * r == d && q % 2 != 0)) ++q;
  }
  if (q > kLimite) return kTroppoGrande;
  const auto v = static_cast<int64_t>(q);
  return negativo ? -v : v;
}

// What a read of one kind gives: a value, or a failure (GuastoInatteso).
template <typename F>
std::optional<int64_t> prova(F leggi) {
  try {
    return leggi();
  } catch (const GuastoInatteso&) {
    return std::nullopt;
  }
}

// The number read agrees with the rule: the same value when it fits the
// target, a failure when it does not.
void verifica_numero(std::string_view campo, int tipo, const std::optional<int64_t>& letto) {
  const std::optional<int64_t> atteso = numero_di_riferimento(campo);
  if (!atteso) return;
  controllata(*atteso == kTroppoGrande ? "numeri_troppo_grandi" : "numeri");
  bool entra = false;
  if (*atteso != kTroppoGrande) {
    switch (tipo) {
      case 1: entra = sta_in<int32_t>(*atteso); break;
      case 2: entra = sta_in<int16_t>(*atteso); break;
      default: entra = sta_in<uint8_t>(*atteso); break;
    }
  }
  verifica(entra ? letto == atteso : !letto);
}

// What follows a field up to the end of a read: blanks (for a number; none
// after a text field, whose trailing blanks belong to the read before the
// separator), then one comma or one line end, or nothing at the end of the
// text or, for a number, before the next field.
void verifica_coda(std::string_view testo, size_t da, size_t a, bool numero) {
  size_t i = da;
  while (i < a && spazio(testo[i])) ++i;
  if (i == a) {
    verifica(a == testo.size() ||
             (numero && !spazio(testo[a]) && testo[a] != ',' && !fine_riga(testo[a])));
    return;
  }
  if (testo[i] == ',') {
    verifica(i + 1 == a);
  } else if (testo[i] == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n') {
    verifica(i + 2 == a);
  } else {
    verifica(fine_riga(testo[i]) && i + 1 == a);
  }
}

// A quoted field: its value is the text up to the closing quote (or the end
// of the text), line ends included; whatever stands after the quote before
// the next comma or line end is dropped. Returns the value's text.
std::string_view verifica_virgolettato(std::string_view testo, size_t inizio, size_t a) {
  const size_t chiusa = testo.find('"', inizio + 1);
  const size_t fine_valore = chiusa == std::string_view::npos ? testo.size() : chiusa;
  const std::string_view valore = testo.substr(inizio + 1, fine_valore - inizio - 1);
  if (chiusa == std::string_view::npos) {
    verifica(a == testo.size());
    return valore;
  }
  size_t i = chiusa + 1;
  while (i < a && testo[i] != ',' && !fine_riga(testo[i])) ++i;
  if (i == a) {
    verifica(a == testo.size());
  } else {
    verifica_coda(testo, i, a, false);
  }
  return valore;
}

constexpr int kCampiSuggeriti = 4;

// The record name suggested for `campo` by the rule itself, with whole edit
// tables and no shortcut: the words of the field (blanks and commas part
// them) of four letters or more against the words of the names of five or
// more; the whole word, its start as long as the name's word, or the word as
// the name's word cut short (one edit more); a distance of at most 1 counts
// (2 for a name's word of seven letters or more), the least wins, the first
// of equals.
std::string_view suggerimento_di_riferimento(const Lessico& lessico, std::string_view campo) {
  const auto parole = [](std::string_view t, std::string_view separatori) {
    std::vector<std::string_view> p;
    size_t i = 0;
    while (i < t.size()) {
      const size_t fine = std::min(t.find_first_of(separatori, i), t.size());
      if (fine > i) p.push_back(t.substr(i, fine - i));
      i = fine + 1;
    }
    return p;
  };
  std::string_view migliore;
  size_t distanza_migliore = 3;
  for (std::string_view parola : parole(campo, " \t,")) {
    if (parola.size() < 4) continue;
    for (std::string_view nome : lessico.nomi()) {
      for (std::string_view voce : parole(nome, " ")) {
        if (voce.size() < 5) continue;
        size_t d = distanza_modifica(parola, voce);
        if (parola.size() > voce.size()) {
          d = std::min(d, distanza_modifica(parola.substr(0, voce.size()), voce));
        } else if (parola.size() >= 5) {
          d = std::min(d, distanza_modifica(parola, voce.substr(0, parola.size())) + 1);
        }
        if (d <= (voce.size() >= 7 ? 2u : 1u) && d < distanza_migliore) {
          distanza_migliore = d;
          migliore = nome;
        }
      }
    }
  }
  return migliore;
}

// The suggestion for a text field (its first 256 bytes: time goes by the
// word, faults are in any text) is a record name; for the first 32 bytes of
// the first field of an input it is the rule's own, for the names of one
// source chosen by the field's length. And the bounded edit distance against the whole table
// for the field's first word of four letters or more (its first 24: a
// longer one only costs time) and one record name, the word's start
// included; the name and the ceiling (1 to 3) vary with the word and the
// field, so that the inputs together try them all.
void verifica_suggerimento(std::string_view valore, bool primo) {
  const Lessico& di = valore.size() % 2 == 0 ? lessico_linea() : lessico_treno();
  for (const Lessico* lessico : {&lessico_linea(), &lessico_treno()}) {
    const std::string_view s = lessico->suggerimento(valore.substr(0, 256));
    const std::vector<std::string_view>& nomi = lessico->nomi();
    verifica(s.empty() || std::find(nomi.begin(), nomi.end(), s) != nomi.end());
  }
  if (primo) {
    controllata("suggerimenti");
    const std::string_view corto = valore.substr(0, 32);
    verifica(di.suggerimento(corto) == suggerimento_di_riferimento(di, corto));
  }
  size_t i = 0;
  std::string_view parola;
  while (i < valore.size() && parola.size() < 4) {
    while (i < valore.size() && spazio(valore[i])) ++i;
    size_t fine = i;
    while (fine < valore.size() && !spazio(valore[fine])) ++fine;
    parola = valore.substr(i, std::min<size_t>(fine - i, 24));
    i = fine;
  }
  if (parola.size() < 4) return;
  controllata("distanze");
  const size_t tetto = 1 + parola.size() % 3;
  const std::vector<std::string_view>& nomi = di.nomi();
  const std::string_view nome = nomi[static_cast<unsigned char>(parola[0]) % nomi.size()];
  for (std::string_view a : {parola, parola.substr(0, nome.size())}) {
    verifica(distanza_entro(a, nome, tetto) == std::min(distanza_modifica(a, nome), tetto));
  }
}

void leggi_tutto(std::string_view testo, uint8_t schema) {
  controllata("consumo");
  int da_suggerire = kCampiSuggeriti;
  LettoreCampi f;
  f.apri(testo);
  size_t letti = 0;
  while (!f.fine()) {
    const size_t prima = f.posizione();
    const int tipo = (schema >> (2 * (letti % 4))) & 3;
    std::string valore;
    std::optional<int64_t> numero;
    const Campo visto = f.guarda(tipo == 0 ? ModoCampo::testo : ModoCampo::numero);
    verifica(visto.esiste && visto.da == prima && f.posizione() == prima);
    if (tipo == 0) {
      valore = f.leggi_testo();
    } else {
      numero = prova([&f, tipo]() -> int64_t {
        return tipo == 1 ? f.leggi_32() : tipo == 2 ? f.leggi_16() : f.leggi_8();
      });
    }
    ++letti;
    const size_t inizio = f.inizio_campo();
    const size_t dopo = f.posizione();
    if (tipo == 0 || numero) {
      controllata("sguardo");
      verifica(visto.inizio == inizio && visto.fine == f.fine_campo() && visto.seguente == dopo);
      verifica(tipo != 0 || valore == visto.valore);
    }
    // Progress, and only blanks before the field.
    verifica(prima <= inizio && inizio <= dopo && prima < dopo && dopo <= testo.size());
    for (size_t i = prima; i < inizio; ++i) verifica(spazio(testo[i]));

    if (inizio < testo.size() && testo[inizio] == '"') {
      controllata("virgolette");
      const std::string_view tra_virgolette = verifica_virgolettato(testo, inizio, dopo);
      if (tipo == 0) {
        verifica(valore == tra_virgolette);
      } else {
        verifica_numero(tra_virgolette, tipo, numero);
      }
      if (tipo != 0 && !numero) return;
      continue;
    }
    // Unquoted: the field holds no separator, so no line end.
    size_t fine_campo = inizio;
    while (fine_campo < dopo && testo[fine_campo] != ',' && !fine_riga(testo[fine_campo]) &&
           (tipo == 0 || !spazio(testo[fine_campo]))) {
      ++fine_campo;
    }
    if (testo.substr(prima, dopo - prima).find_first_of("\r\n") != std::string_view::npos) {
      controllata("righe");
    }
    if (tipo == 0) {
      size_t fine_valore = fine_campo;
      while (fine_valore > inizio && spazio(testo[fine_valore - 1])) --fine_valore;
      verifica(valore == testo.substr(inizio, fine_valore - inizio));
      verifica(valore.find_first_of("\r\n,") == std::string::npos);
      verifica_coda(testo, fine_valore, dopo, false);
      if (da_suggerire > 0 && valore.find_first_not_of(" \t") != std::string::npos) {
        verifica_suggerimento(valore, da_suggerire == kCampiSuggeriti);
        --da_suggerire;
      }
    } else {
      verifica_numero(testo.substr(inizio, fine_campo - inizio), tipo, numero);
      if (!numero) return;
      verifica_coda(testo, fine_campo, dopo, true);
    }
  }
  verifica(f.posizione() == testo.size() && letti <= testo.size());
}

}  // namespace
}  // namespace calvetra::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione) {
  using namespace calvetra;
  if (dimensione == 0) return 0;
  const std::string_view testo(reinterpret_cast<const char*>(dati) + 1, dimensione - 1);
  fuzz::leggi_tutto(testo, dati[0]);
  // The whole text as one field, straight into the number rule.
  const std::optional<int64_t> diretto = fuzz::prova([testo] { return numero_da_campo(testo); });
  const std::optional<int64_t> atteso = fuzz::numero_di_riferimento(testo);
  if (atteso) {
    fuzz::verifica(*atteso == fuzz::kTroppoGrande ? !diretto : diretto == atteso);
  }
  return 0;
}
