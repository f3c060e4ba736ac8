#include "fields/lettore_campi.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "model/numeri.h"

namespace calvetra {

namespace {

bool spazio(char c) { return c == ' ' || c == '\t'; }
bool fine_riga(char c) { return c == '\r' || c == '\n'; }
bool cifra(char c) { return c >= '0' && c <= '9'; }

char minuscola(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The value of a well-formed number text (digits, optional fraction and
// exponent, no sign) rounded to the nearest integer, halves to even, computed
// on the decimal digits themselves so that no digit is lost to a double. The
// whole field, blanks aside, names the number when it fits no field.
int64_t valore_esatto(std::string_view numero, bool negativo, std::string_view campo) {
  // Most fields are whole numbers of a few digits: read at once, far inside
  // every limit below.
  if (numero.size() <= 18 && std::all_of(numero.begin(), numero.end(), cifra)) {
    int64_t v = 0;
    for (const char c : numero) v = v * 10 + (c - '0');
    return negativo ? -v : v;
  }
  // The significant digits and the power of ten that scales them.
  std::string cifre;
  int64_t scala = 0;
  size_t i = 0;
  bool frazione = false;
  for (; i < numero.size() && numero[i] != 'e' && numero[i] != 'E'; ++i) {
    if (numero[i] == '.') {
      frazione = true;
      continue;
    }
    if (!(cifre.empty() && numero[i] == '0')) cifre.push_back(numero[i]);
    if (frazione) --scala;
  }
  if (i < numero.size()) {
    ++i;
    bool esponente_negativo = false;
    if (numero[i] == '+' || numero[i] == '-') esponente_negativo = numero[i++] == '-';
    // Past a billion the exponent's exact value no longer matters: the number
    // is either far too large or rounds to 0.
    int64_t esponente = 0;
    for (; i < numero.size(); ++i) {
      if (esponente < 1000000000) esponente = esponente * 10 + (numero[i] - '0');
    }
    scala += esponente_negativo ? -esponente : esponente;
  }
  if (cifre.empty()) return 0;

  const auto troppo_grande = [&] {
    return GuastoInatteso("il numero " + std::string(senza_spazi(campo)) +
                          " e' troppo grande per ogni campo");
  };
  // Integer part: the digits left of the decimal point once scaled.
  const int64_t lunghezza = static_cast<int64_t>(cifre.size());
  const int64_t intere = lunghezza + scala;  // may be negative or past the digits
  if (intere > 19) throw troppo_grande();
  uint64_t u = 0;
  for (int64_t k = 0; k < intere; ++k) {
    u = u * 10 + (k < lunghezza ? static_cast<uint64_t>(cifre[static_cast<size_t>(k)] - '0') : 0);
  }
  // Fraction: a first digit below 5 rounds down, above 5 up; exactly 5 rounds
  // up when any later digit is non-zero, and to the even neighbour otherwise.
  if (intere < 0) return 0;  // below 0.1
  if (intere < lunghezza) {
    const int guida = cifre[static_cast<size_t>(intere)] - '0';
    bool resto = false;
    for (int64_t k = intere + 1; k < lunghezza && !resto; ++k) {
      resto = cifre[static_cast<size_t>(k)] != '0';
    }
    if (guida > 5 || (guida == 5 && (resto || u % 2 != 0))) ++u;
  }
  if (u > static_cast<uint64_t>(std::numeric_limits<int64_t>::max() / 2)) throw troppo_grande();
  const auto v = static_cast<int64_t>(u);
  return negativo ? -v : v;
}

}  // namespace

namespace {

// The field a read as M takes from `da`: written once for both ways of
// reading and for looking ahead, and inlined into each read, the compile's
// hot path.
template <ModoCampo M>
[[gnu::always_inline]] inline Campo misura(std::string_view t, size_t da,
                                           CifreIniziali* cifre = nullptr) {
  Campo c;
  const size_t n = t.size();
  c.modo = M;
  if (da >= n) {
    c.da = c.inizio = c.fine = c.limite = c.seguente = n;
    return c;
  }
  c.esiste = true;
  c.da = da;
  size_t p = da;
  while (p < n && spazio(t[p])) ++p;
  c.inizio = p;
  if (p < n && t[p] == '"') {
    c.virgolette = true;
    const size_t v = ++p;
    bool a_capo = false;
    while (p < n && t[p] != '"') a_capo = fine_riga(t[p++]) || a_capo;
    c.oltre_la_riga = a_capo;
    c.valore = std::string_view(t.data() + v, p - v);
    if (p < n) {
      c.chiuso = true;
      ++p;
    }
    c.fine = p;
    // Whatever stands between the closing quote and the end of the field is dropped.
    while (p < n && t[p] != ',' && !fine_riga(t[p])) ++p;
  } else if constexpr (M == ModoCampo::testo) {
    const size_t v = p;
    while (p < n && t[p] != ',' && !fine_riga(t[p])) ++p;
    size_t f = p;
    while (f > v && spazio(t[f - 1])) --f;
    c.fine = f;
    c.valore = std::string_view(t.data() + v, f - v);
  } else {
    const size_t v = p;
    if (cifre != nullptr) {
      // Digits first, read as they go by: most number fields are only that.
      uint64_t valore = 0;
      while (p < n && cifra(t[p])) valore = valore * 10 + static_cast<uint64_t>(t[p++] - '0');
      *cifre = {p, valore};
    }
    while (p < n && t[p] != ',' && !spazio(t[p]) && !fine_riga(t[p])) ++p;
    c.fine = p;
    c.valore = std::string_view(t.data() + v, p - v);
    size_t q = p;
    while (q < n && spazio(t[q])) ++q;
    if (q < n && t[q] != ',' && !fine_riga(t[q])) {
      // Another field follows on the line, after blanks alone.
      c.separatore = Separatore::spazio;
      c.limite = p;
      c.seguente = q;
      return c;
    }
    p = q;
  }
  c.limite = p;
  if (p >= n) {
    c.separatore = Separatore::fine_testo;
    c.seguente = n;
  } else if (t[p] == ',') {
    c.separatore = Separatore::virgola;
    c.seguente = p + 1;
  } else {
    c.separatore = Separatore::fine_riga;
    c.seguente = p + (t[p] == '\r' && p + 1 < n && t[p + 1] == '\n' ? 2 : 1);
  }
  return c;
}

}  // namespace

std::string_view senza_spazi(std::string_view campo) {
  while (!campo.empty() && spazio(campo.front())) campo.remove_prefix(1);
  while (!campo.empty() && spazio(campo.back())) campo.remove_suffix(1);
  return campo;
}

namespace {

// The number inside a field: its body without the sign, and the sign. False
// when the field is not a number.
bool sintassi_numero(std::string_view campo, std::string_view* corpo_numero, bool* negativo) {
  campo = senza_spazi(campo);
  // Syntax: [sign] (digits [. digits*] | . digits) [(e|E) [sign] digits]
  size_t i = 0;
  *negativo = false;
  if (i < campo.size() && (campo[i] == '+' || campo[i] == '-')) {
    *negativo = campo[i] == '-';
    ++i;
  }
  const size_t corpo = i;
  size_t cifre = 0;
  while (i < campo.size() && cifra(campo[i])) ++i, ++cifre;
  if (i < campo.size() && campo[i] == '.') {
    ++i;
    while (i < campo.size() && cifra(campo[i])) ++i, ++cifre;
  }
  if (cifre == 0) return false;
  if (i < campo.size() && (campo[i] == 'e' || campo[i] == 'E')) {
    ++i;
    if (i < campo.size() && (campo[i] == '+' || campo[i] == '-')) ++i;
    size_t esponente = 0;
    while (i < campo.size() && cifra(campo[i])) ++i, ++esponente;
    if (esponente == 0) return false;
  }
  if (i != campo.size()) return false;
  *corpo_numero = campo.substr(corpo, i - corpo);
  return true;
}

}  // namespace

Campo campo_a(std::string_view t, size_t da, ModoCampo modo) {
  return modo == ModoCampo::testo ? misura<ModoCampo::testo>(t, da)
                                  : misura<ModoCampo::numero>(t, da);
}

std::string_view testo_a(std::string_view testo, size_t da) {
  return campo_a(testo, da, ModoCampo::testo).valore;
}

void LettoreCampi::apri(std::string_view testo) {
  testo_ = testo;
  pos_ = 0;
  inizio_campo_ = 0;
  fine_campo_ = 0;
  ultimo_ = precedente_ = {};
  aperto_ = true;
}

void LettoreCampi::chiudi() {
  testo_ = {};
  pos_ = 0;
  ultimo_ = precedente_ = {};
  aperto_ = false;
}

template <ModoCampo M>
[[gnu::always_inline]] inline Campo LettoreCampi::prendi(CifreIniziali* cifre) {
  if (!aperto_ || pos_ >= testo_.size()) throw GuastoInatteso("lettura oltre la fine del file");
  Campo c = misura<M>(testo_, pos_, cifre);
  precedente_ = ultimo_;
  ultimo_ = {true, M, pos_};
  inizio_campo_ = c.inizio;
  // Told while the field read last still stands as the one before it, as
  // the warnings have always placed it.
  if (c.oltre_la_riga && osservatore_ != nullptr) {
    osservatore_->virgolette_oltre_la_riga(c.inizio, c.chiuso ? c.fine - 1 : c.fine);
  }
  fine_campo_ = c.fine;
  return c;
}

std::string LettoreCampi::leggi_testo() {
  const Campo c = prendi<ModoCampo::testo>();
  pos_ = c.seguente;
  return std::string(c.valore);
}

int64_t LettoreCampi::leggi_numero() {
  CifreIniziali cifre;
  const Campo c = prendi<ModoCampo::numero>(&cifre);
  // A number too large for any field fails where its text ends (a quoted
  // one past its separator), and the reading resumes there.
  pos_ = c.virgolette ? c.seguente : c.fine;
  // Most fields are a few digits, unquoted: their value was taken as they
  // were measured, with no blank to trim and nothing to round.
  const std::string_view v = c.valore;
  if (!c.virgolette && !v.empty() && v.size() <= 18 && cifre.fine == c.fine) {
    if (osservatore_ != nullptr) osservatore_->numero_letto(c, TestoNumero::cifre);
    pos_ = c.seguente;
    return static_cast<int64_t>(cifre.valore);
  }
  std::string_view corpo;
  bool negativo = false;
  const bool numero = sintassi_numero(v, &corpo, &negativo);
  if (osservatore_ != nullptr) {
    osservatore_->numero_letto(c, numero ? TestoNumero::numero : TestoNumero::non_numero);
  }
  const int64_t valore = numero ? valore_esatto(corpo, negativo, v) : 0;
  pos_ = c.seguente;
  return valore;
}

int32_t LettoreCampi::leggi_32() { return in_campo<int32_t>(leggi_numero(), "un campo a 32 bit"); }
int16_t LettoreCampi::leggi_16() { return in_campo<int16_t>(leggi_numero(), "un campo a 16 bit"); }
uint8_t LettoreCampi::leggi_8() { return in_campo<uint8_t>(leggi_numero(), "un campo a 8 bit"); }

int64_t numero_da_campo(std::string_view campo) {
  std::string_view corpo;
  bool negativo = false;
  if (!sintassi_numero(campo, &corpo, &negativo)) return 0;
  return valore_esatto(corpo, negativo, campo);
}

bool e_numero(std::string_view campo) {
  std::string_view corpo;
  bool negativo = false;
  return sintassi_numero(campo, &corpo, &negativo);
}

bool contiene(std::string_view campo, std::string_view parola) {
  if (parola.empty()) return true;
  if (campo.size() < parola.size()) return false;
  // Only the bytes that fold to the word's first letter can start it: the
  // parser asks this of every field for every keyword.
  const char primo = parola[0];
  const char maiuscolo =
      primo >= 'a' && primo <= 'z' ? static_cast<char>(primo - 'a' + 'A') : primo;
  for (size_t i = 0; i + parola.size() <= campo.size(); ++i) {
    if (campo[i] != primo && campo[i] != maiuscolo) continue;
    size_t j = 0;
    while (j < parola.size() && minuscola(campo[i + j]) == parola[j]) ++j;
    if (j == parola.size()) return true;
  }
  return false;
}

bool contiene_esatto(std::string_view campo, std::string_view parola) {
  return campo.find(parola) != std::string_view::npos;
}

PosizioneTesto posizione_in(std::string_view testo, size_t offset) {
  PosizioneTesto p;
  const size_t fine = offset < testo.size() ? offset : testo.size();
  for (size_t i = 0; i < fine; ++i) {
    const char c = testo[i];
    if (c == '\n' || (c == '\r' && (i + 1 >= testo.size() || testo[i + 1] != '\n'))) {
      ++p.riga;
      p.colonna = 1;
    } else if (c != '\r') {
      ++p.colonna;
    }
  }
  return p;
}

}  // namespace calvetra
