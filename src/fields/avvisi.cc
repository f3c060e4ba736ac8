#include "fields/avvisi.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "fields/distanze.h"
#include "model/caratteri.h"
#include "model/numeri.h"
#include "model/significato.h"

namespace calvetra {

namespace {

bool spazio(char c) { return c == ' ' || c == '\t'; }

// A piece of source quoted in a message: a character pasted from another
// encoding is named, never shown as the bytes of one read as the other.
std::string citato(std::string_view testo) {
  std::string s;
  s.reserve(testo.size() + 2);
  s += '`';
  s += leggibile(testo);
  s += '`';
  return s;
}

// A fix written whole: what it replaces with what, what it promises, and the
// message it comes with when it is one candidate of several.
Correzione correzione(std::string titolo, Luogo luogo, size_t lunghezza, std::string testo,
                      Promessa promessa = {}, std::string messaggio = {}) {
  return {std::move(titolo),   luogo, lunghezza, std::move(testo), std::move(promessa),
          std::move(messaggio)};
}

Promessa numeri_a(size_t offset, std::vector<int64_t> numeri) {
  return {Promessa::Tipo::numeri, offset, std::move(numeri), {}};
}
Promessa testo_a(size_t offset, std::string testo) {
  return {Promessa::Tipo::testo, offset, {}, std::move(testo)};
}

bool cifra(char c) { return c >= '0' && c <= '9'; }

// A letter of Windows-1252: ASCII, or the accented ones from 0xC0 (but the
// signs of multiplication and division).
bool lettera(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= 0xC0 && u != 0xD7 && u != 0xF7);
}

// More than `n` words, blanks between them? Asked of every keyword field:
// it stops at the word past `n`.
bool piu_parole_di(std::string_view t, size_t n) {
  // n + 1 words need n blanks between them: most keyword fields are shorter.
  if (t.size() < 2 * n + 1) return false;
  size_t parole = 0;
  for (size_t i = 0; i < t.size();) {
    while (i < t.size() && spazio(t[i])) ++i;
    if (i == t.size()) break;
    if (++parole > n) return true;
    while (i < t.size() && !spazio(t[i])) ++i;
  }
  return false;
}

// A field that a misspelt keyword could be: one to three words of letters
// (digits and `_` inside), not a comment nor a sentence, nor a name in
// capitals (`SAN PROSPERO`) as station names and sign texts are written.
bool sembra_parola_chiave(std::string_view campo) {
  const std::string_view t = senza_spazi(campo);
  if (t.empty() || !lettera(t.front()) || piu_parole_di(t, 3)) return false;
  if (std::none_of(t.begin(), t.end(), [](char c) { return c >= 'a' && c <= 'z'; })) return false;
  return std::all_of(t.begin(), t.end(),
                     [](char c) { return lettera(c) || cifra(c) || spazio(c) || c == '_'; });
}

bool segno_di_commento(std::string_view campo) {
  const std::string_view t = senza_spazi(campo);
  return !t.empty() && std::string_view("#;/'*!%").find(t.front()) != std::string_view::npos;
}

// A field written as a comment: it opens with a comment sign, or it is a
// sentence rather than a keyword.
bool sembra_commento(std::string_view campo) {
  return segno_di_commento(campo) || piu_parole_di(campo, 4);
}

// A unit that authors write after a number; the fields hold bare numbers.
bool unita(std::string_view t) {
  t = senza_spazi(t);
  for (std::string_view nota : {"m", "mt", "km", "km/h", "kmh", "%", "\x89", "per mille",
                                "permille", "s", "sec", "min", "h"}) {
    // The same length, and the unit in it, letter case ignored: the unit itself.
    if (t.size() == nota.size() && contiene(t, nota)) return true;
  }
  return false;
}

// The length of the number that opens `t`: [sign] digits [. digits].
size_t numero_in_testa(std::string_view t) {
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  const size_t cifre = i;
  while (i < t.size() && cifra(t[i])) ++i;
  if (i == cifre) return 0;
  if (i + 1 < t.size() && t[i] == '.' && cifra(t[i + 1])) {
    ++i;
    while (i < t.size() && cifra(t[i])) ++i;
  }
  return i;
}

// `119.500`: groups of three digits after dots, as a thousands separator.
bool migliaia_col_punto(std::string_view t) {
  size_t i = (!t.empty() && (t[0] == '+' || t[0] == '-')) ? 1 : 0;
  size_t testa = 0;
  while (i < t.size() && cifra(t[i])) ++i, ++testa;
  if (testa == 0 || testa > 3 || i == t.size()) return false;
  while (i < t.size()) {
    if (t[i] != '.' || i + 4 > t.size()) return false;
    for (size_t k = 1; k <= 3; ++k) {
      if (!cifra(t[i + k])) return false;
    }
    i += 4;
  }
  return true;
}

// A fraction that is not all zeros, in a number without an exponent.
bool con_frazione(std::string_view t) {
  size_t punto = std::string_view::npos;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == 'e' || t[i] == 'E') return false;
    if (t[i] == '.' && punto == std::string_view::npos) punto = i;
  }
  return punto != std::string_view::npos &&
         t.find_first_not_of('0', punto + 1) != std::string_view::npos;
}

std::string intervallo(const Limiti& l, const std::string& unita) {
  if (l.minimo == INT64_MIN) return "fino a " + std::to_string(l.massimo) + unita;
  if (l.massimo == INT64_MAX) return "da " + std::to_string(l.minimo) + unita + " in su";
  return "da " + std::to_string(l.minimo) + " a " + std::to_string(l.massimo) + unita;
}

int32_t in_32(int64_t p) {
  return static_cast<int32_t>(std::clamp<int64_t>(p, INT32_MIN, INT32_MAX));
}

// `numero` (a plain decimal: [sign] digits [. or , digits]) times 10^zeri,
// read in full: `esatto` written out ("0.25" and 1 give "2.5"), and what the
// field keeps of it, a whole number rounded half to even as the field reader
// rounds (2). Nothing for a number too long to be exact.
struct InUnita {
  std::string esatto;
  int64_t conservato = 0;
  bool intero = true;
};
std::optional<InUnita> per_dieci(std::string_view numero, size_t zeri) {
  bool negativo = false;
  if (!numero.empty() && (numero[0] == '-' || numero[0] == '+')) {
    negativo = numero[0] == '-';
    numero.remove_prefix(1);
  }
  const size_t punto = numero.find_first_of(".,");
  const std::string_view intere = numero.substr(0, punto);
  const std::string_view frazione =
      punto == std::string_view::npos ? std::string_view() : numero.substr(punto + 1);
  constexpr size_t kCifre = 15;  // exact in 64 bits, with room for the scale
  if (intere.empty() || intere.size() + frazione.size() + zeri > kCifre) return std::nullopt;
  int64_t cifre = 0;
  for (std::string_view parte : {intere, frazione}) {
    for (char c : parte) {
      if (!cifra(c)) return std::nullopt;
      cifre = cifre * 10 + (c - '0');
    }
  }
  // cifre / 10^decimali is the value in the field's unit.
  size_t decimali = frazione.size();
  for (size_t z = 0; z < zeri; ++z) {
    if (decimali > 0) {
      --decimali;
    } else {
      cifre *= 10;
    }
  }
  int64_t scala = 1;
  for (size_t k = 0; k < decimali; ++k) scala *= 10;
  // Trailing zeros of the fraction say nothing: 6,50 is 6.5.
  while (decimali > 0 && cifre % 10 == 0) {
    cifre /= 10;
    scala /= 10;
    --decimali;
  }
  InUnita r;
  const int64_t con_segno = negativo ? -cifre : cifre;
  r.intero = decimali == 0;
  r.conservato = arrotonda_div(con_segno, scala);
  std::string testo = std::to_string(cifre);
  if (decimali > 0) {
    if (testo.size() <= decimali) testo.insert(0, decimali + 1 - testo.size(), '0');
    testo.insert(testo.size() - decimali, ".");
  }
  r.esatto = (negativo && cifre != 0 ? "-" : "") + testo;
  return r;
}

// The power of ten from the unit `u` that an author wrote to the field's
// own unit, when both measure one thing (km to m: 3; % to per mille: 1).
std::optional<size_t> zeri_tra(std::string_view u, std::string_view del_campo) {
  std::string scritta;
  for (char c : senza_spazi(u))
    scritta += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  if (del_campo == "m") {
    if (scritta == "m" || scritta == "mt") return 0;
    if (scritta == "km") return 3;
  } else if (del_campo == "per mille") {
    if (scritta == "%") return 1;
    if (scritta == "\x89" || scritta == "per mille" || scritta == "permille") return 0;
  } else if (del_campo == "km/h") {
    if (scritta == "km/h" || scritta == "kmh") return 0;
  } else if (del_campo == "%") {
    if (scritta == "%") return 0;
  }
  return std::nullopt;
}

bool fine_di_riga(char c) { return c == '\r' || c == '\n'; }

// A field after which the reader goes on to the next line, or nowhere.
bool chiude_la_riga(const Campo& c) {
  return c.separatore == Separatore::fine_riga || c.separatore == Separatore::fine_testo;
}

// A number field written as one, unquoted: [sign] digits [. digits].
bool numero_scritto(const Campo& c) {
  return c.esiste && !c.virgolette && c.modo == ModoCampo::numero && !c.valore.empty() &&
         numero_in_testa(c.valore) == c.valore.size();
}

// Digits alone, after an optional minus: the whole part of a number that a
// decimal comma split.
bool parte_intera(std::string_view t) {
  if (!t.empty() && t.front() == '-') t.remove_prefix(1);
  return !t.empty() && std::all_of(t.begin(), t.end(), cifra);
}

// Where the line that holds offset `da` ends: its CR or LF, or the end of
// the text. Two searches for one byte each: `find_first_of` asks the set
// once for every byte.
size_t fine_della_riga(std::string_view s, size_t da) {
  if (da >= s.size()) return s.size();
  const size_t fino = std::min(s.find('\n', da), s.size());
  const size_t cr = s.substr(da, fino - da).find('\r');
  return cr == std::string_view::npos ? fino : da + cr;
}

}  // namespace

bool tra_parentesi(std::string_view campo) {
  size_t i = 0;
  while (i < campo.size() && spazio(campo[i])) ++i;
  return i < campo.size() && campo[i] == '[' && campo.find(']', i) != std::string_view::npos;
}

void Avvisi::numero_letto(const Campo& letto, TestoNumero tipo) noexcept {
  const bool numero = tipo != TestoNumero::non_numero;
  const std::string_view campo = letto.valore;
  const size_t inizio = letto.inizio;
  // Whatever way the look ends, the field is in hand only while it lasts.
  struct InMano {
    const Campo*& letto;
    ~InMano() { letto = nullptr; }
  } in_mano{letto_ = &letto};
  try {
    if (segna_) {
      segna_ = false;
      segnato_ = {true, a(inizio), numero};
    }
    record_corto(inizio);
    if (tipo == TestoNumero::cifre) {
      // Digits alone, unquoted, most numbers of a source: no character to
      // see, no time, no sign; only three digits or fewer can be a position
      // that a comma split, or a thousands group that a blank split off.
      if (campo.size() <= 3) {
        if (letto.separatore == Separatore::virgola) {
          posizione_con_virgola(campo, inizio);
        } else if (letto.separatore == Separatore::spazio) {
          numero_da_vicino(campo, inizio);
        }
      }
      return;
    }
    const std::string_view scritto = senza_spazi(campo);
    if (scritto.empty()) return;
    if (numero && std::all_of(scritto.begin(), scritto.end(), cifra)) {
      // Quoted digits, or too many of them: both hints look for three
      // digits or fewer, unquoted.
      return;
    }
    if (carattere_invisibile(campo, inizio)) return;
    if (orario_in_un_campo(scritto, inizio) || posizione_con_virgola(scritto, inizio) ||
        segno_staccato(scritto, inizio)) {
      return;
    }
    if (numero) {
      numero_da_vicino(scritto, inizio);
      return;
    }
    if (trattino_per_meno(scritto, inizio) || progressiva_in_metri(scritto, inizio)) return;
    const std::string_view parola = lessico_.parola_contenuta(campo);
    if (!parola.empty()) {
      const Nota corto{
          "qui comincia " +
              (record_.empty() ? std::string("il record") : "il record " + citato(record_)) +
              ", a cui manca un valore",
          a(chiave_)};
      d_.avviso("parola-chiave-come-valore",
                "il campo " + citato(campo) + " e' letto come valore e vale 0: al record manca " +
                    "un valore, e questa parola chiave non apre un nuovo record",
                a(inizio), {corto});
      causa_fino_al_prossimo_record(corto);
      return;
    }
    if (unita_scritta(campo, inizio, " e vale 0")) return;
    if (colonna_mancante(campo, inizio)) return;
    d_.avviso("numero-non-valido", citato(campo) + " non e' un numero e vale 0", a(inizio));
  } catch (...) {
    // A warning that cannot be recorded is simply not recorded.
  }
}

bool Avvisi::unita_scritta(std::string_view campo, size_t inizio, std::string_view seguito) {
  const std::string_view sorgente = lettore_.testo();
  if (inizio >= sorgente.size() || sorgente[inizio] == '"') return false;
  const std::string_view t = senza_spazi(campo);
  const size_t n = numero_in_testa(t);
  const bool dentro = seguito == " e vale 0";
  if (n > 0 && unita(t.substr(n))) {
    // `3000m`: the unit glued to the number.
    const std::string_view u = senza_spazi(t.substr(n));
    std::string numero(t.substr(0, n));
    size_t da = inizio;
    // `0,4%` past the record's last field: a decimal comma split the number,
    // and the field before read its whole part.
    const Campo intere = prima_di(inizio);
    if (!dentro && decimale_dopo(intere, inizio) &&
        std::all_of(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(n), cifra)) {
      da = intere.inizio;
      numero = std::string(intere.valore) + "," + numero;
    }
    const std::string scritto(sorgente.substr(da, inizio + t.size() - da));
    const std::string base = da == inizio
                                 ? citato(t) + " non e' un numero" + std::string(seguito) +
                                       ": l'unita' " + citato(u) + " non si scrive"
                                 : citato(scritto) + ": la virgola separa i campi, e l'unita' " +
                                       citato(u) + " non si scrive";
    in_unita(base, numero, u, campo_corrente(), inizio, da, inizio + t.size() - da);
    return true;
  }
  // `3000 m`: the unit as a field of its own, after the number on its line.
  const Campo scritto = prima_di(inizio);
  if (n > 0 || !unita(t) || !numero_scritto(scritto) || scritto.separatore != Separatore::spazio) {
    return false;
  }
  // The number's field: the one read before this one, or the last one of
  // the record when this field is past it.
  const CampoRecord* del_numero = nullptr;
  if (in_lettura_ != nullptr && indice_ < in_lettura_->campi.size()) {
    if (!dentro || indice_ > 0) del_numero = &in_lettura_->campi[indice_ - (dentro ? 1 : 0)];
  }
  in_unita(citato(t) + " non e' un numero" + std::string(seguito) +
               ": e' l'unita' del numero che lo precede, e le unita' non si scrivono",
           scritto.valore, t, del_numero, inizio, scritto.inizio,
           inizio + t.size() - scritto.inizio);
  return true;
}

void Avvisi::in_unita(const std::string& base, std::string_view numero, std::string_view u,
                      const CampoRecord* c, size_t inizio, size_t da, size_t lunghezza) {
  const std::optional<size_t> zeri = c != nullptr ? zeri_tra(u, c->unita) : std::nullopt;
  const std::optional<InUnita> v = zeri ? per_dieci(numero, *zeri) : std::nullopt;
  if (!v) {
    // Another measure than the field's: the value meant cannot be told.
    std::string m = base;
    if (c != nullptr && !zeri) {
      m += c->unita.empty() ? ": il campo e' un numero senza unita'"
                            : ": il campo e' in " + std::string(c->unita);
    }
    d_.avviso("numero-non-valido", m, a(inizio));
    return;
  }
  std::string spiega = *zeri == 0 && senza_spazi(u) == c->unita
                           ? "il campo e' gia' in " + std::string(c->unita)
                           : std::string(numero) + " " + std::string(senza_spazi(u)) + " sono " +
                                 v->esatto + " " + std::string(c->unita);
  if (!v->intero) {
    spiega += ", che il campo conserva come " + std::to_string(v->conservato) + " (numeri interi)";
  }
  const std::string giusto = std::to_string(v->conservato);
  const std::string senza = base + "; " + spiega;
  d_.avviso("numero-non-valido", senza + ": scrivi " + citato(giusto), a(inizio));
  d_.correggi(correzione("scrivi " + citato(giusto), a(da), lunghezza, giusto,
                         numeri_a(da, {v->conservato})));
  d_.senza_correzione(senza);
}

void Avvisi::numero_da_vicino(std::string_view t, size_t inizio) {
  // `115.000` in metres reads 115: a thousands dot, with nothing to round.
  // Both hints need a dot, which most numbers lack.
  const bool punto = t.find('.') != std::string_view::npos;
  const CampoRecord* c = campo_corrente();
  const bool in_metri = punto && c != nullptr && c->unita == "m" && migliaia_col_punto(t);
  if (punto && (con_frazione(t) || in_metri)) {
    const std::string letto = std::to_string(numero_da_campo(t));
    if (migliaia_col_punto(t)) {
      std::string intero(t);
      std::erase(intero, '.');
      const std::string senza = citato(t) + " sara' letto come " + letto +
                                ": il punto separa i decimali, non le migliaia";
      d_.avviso("arrotondato", senza + "; per " + intero + " scrivi " + citato(intero), a(inizio));
      if (const std::optional<InUnita> v = per_dieci(intero, 0)) {
        d_.correggi(correzione("scrivi " + citato(intero), a(inizio), t.size(), intero,
                               numeri_a(inizio, {v->conservato})));
      }
      d_.senza_correzione(senza);
    } else {
      d_.avviso("arrotondato",
                citato(t) + " sara' letto come " + letto + ": il campo conserva numeri interi",
                a(inizio));
    }
    return;
  }
  // `119 500` in a line of fields separated by commas: a thousands blank,
  // and the reader takes the three digits after it as a field of their own
  // that ends the column.
  const std::string_view sorgente = lettore_.testo();
  const size_t cifre = t.size() - ((t[0] == '+' || t[0] == '-') ? 1 : 0);
  if (cifre > 3 || punto) return;
  const Campo numero = campo_da(inizio, ModoCampo::numero);
  if (numero.virgolette || numero.valore != t || numero.separatore != Separatore::spazio) return;
  size_t prima = inizio;
  while (prima > 0 && spazio(sorgente[prima - 1])) --prima;
  if (prima == 0 || sorgente[prima - 1] != ',') return;
  const Campo gruppo = campo_a(sorgente, numero.seguente, ModoCampo::numero);
  if (gruppo.virgolette || gruppo.separatore == Separatore::spazio || gruppo.valore.size() != 3 ||
      !std::all_of(gruppo.valore.begin(), gruppo.valore.end(), cifra)) {
    return;
  }
  const size_t fine_gruppo = gruppo.fine;
  const std::string tre(gruppo.valore);
  const std::string unito = std::string(t) + tre;
  const std::string senza = citato(std::string(t) + " " + tre) + ": lo spazio separa due campi, " +
                            std::string(t) + " e " + tre;
  d_.avviso("numero-spezzato", senza + "; per " + unito + " scrivi " + citato(unito),
            a(inizio, fine_gruppo));
  if (const std::optional<InUnita> v = per_dieci(unito, 0)) {
    d_.correggi(correzione("scrivi " + citato(unito), a(inizio), fine_gruppo - inizio, unito,
                           numeri_a(inizio, {v->conservato})));
  }
  d_.senza_correzione(senza);
}

void Avvisi::causa_fino_al_prossimo_record(Nota nota) {
  d_.dimentica(CodiceErrore::nessuno);
  d_.attendi(CodiceErrore::nessuno, std::move(nota));
  causa_in_attesa_ = true;
}

void Avvisi::testo_letto(std::string_view testo, size_t inizio) {
  if (!d_.avvisi_attivi()) return;
  record_corto(inizio);
  testo_con_virgola(testo, inizio);
  if (sembra_utf8(testo)) {
    // Each character of the code page to its byte, an invisible one the code
    // page lacks left out; a visible one it lacks leaves no fix to write.
    std::string voluto;
    uint32_t manca = 0;
    for (size_t k = 0; k < testo.size();) {
      const size_t n = sequenza_utf8(testo, k);
      if (n == 0) {
        voluto += testo[k++];
        continue;
      }
      size_t j = k;
      const uint32_t cp = prossimo_utf8(testo, &j);
      const int b = byte_1252(cp);
      if (b >= 0) {
        voluto += static_cast<char>(b);
      } else if (!invisibile(cp) && manca == 0) {
        manca = cp;
      }
      k += n;
    }
    std::string m = "il testo " + citato(testo) +
                    " e' scritto in UTF-8, ma i sorgenti sono letti in Windows-1252: salva il "
                    "file con la codifica Windows-1252 (nell'editor: salva con codifica)";
    if (manca != 0) m += "; Windows-1252 non ha " + nome_carattere(manca) + ": scrivilo altrimenti";
    d_.avviso("testo-utf8", m, a(inizio));
    const std::string_view sorgente = lettore_.testo();
    const size_t da = inizio < sorgente.size() && sorgente[inizio] == '"' ? inizio + 1 : inizio;
    if (manca == 0 && sorgente.substr(std::min(da, sorgente.size()), testo.size()) == testo) {
      d_.correggi(correzione("scrivi " + citato(voluto) + " in Windows-1252", a(da), testo.size(),
                             voluto, testo_a(inizio, voluto)));
    }
  }
  // A text that opens a line and holds a keyword: the record's text is
  // missing and the next record's keyword took its place.
  if (apre_la_riga(inizio) && !lessico_.parola_contenuta(testo).empty()) {
    d_.avviso("parola-chiave-come-valore",
              "il testo " + citato(testo) +
                  " e' una parola chiave letta come valore: al record manca il testo?",
              a(inizio));
  }
}

void Avvisi::campo_ignorato(std::string_view campo, size_t inizio, std::string_view perche) {
  if (!d_.avvisi_attivi() || inizio < spiegato_fino_a_) return;
  constexpr int kTutti = 1 << 30;
  if (e_numero(campo)) {
    if (numeri_tollerati_ > 0) {
      --numeri_tollerati_;
      return;
    }
    // `6,5`: a decimal comma splits the number in two fields, and the
    // record's last field read the whole part.
    const std::string_view t = senza_spazi(campo);
    const Campo intere = prima_di(inizio);
    const bool virgola =
        decimale_dopo(intere, inizio) && !t.empty() && std::all_of(t.begin(), t.end(), cifra);
    const size_t cifre = intere.inizio;  // the number as written begins here
    const std::string messaggio = "valore " + citato(campo) +
                                  " di troppo: letto al posto di una parola chiave e ignorato, "
                                  "come i numeri che lo seguono";
    const std::string scritto = virgola ? std::string(intere.valore) + "," + std::string(t) : "";
    const std::optional<InUnita> v = virgola ? per_dieci(scritto, 0) : std::nullopt;
    if (!v) {
      d_.avviso("campo-ignorato", messaggio, a(inizio));
      numeri_tollerati_ = kTutti;
      return;
    }
    // `6,5`: the number meant, and what the field before keeps of it.
    std::string senza =
        messaggio + "; la virgola separa i campi: " + citato(scritto) + " e' " + v->esatto;
    if (!v->intero) {
      senza += ", che il campo conserva come " + std::to_string(v->conservato) + " (numeri interi)";
    }
    const std::string giusto = std::to_string(v->conservato);
    d_.avviso("campo-ignorato", senza + ": scrivi " + citato(giusto), a(inizio));
    d_.correggi(correzione("scrivi " + citato(giusto), a(cifre), inizio + t.size() - cifre, giusto,
                           numeri_a(cifre, {v->conservato})));
    d_.senza_correzione(senza);
    numeri_tollerati_ = kTutti;
    return;
  }
  numeri_tollerati_ = kTutti;
  if (perche.empty() && unita_scritta(campo, inizio, ", e' ignorato")) return;
  std::string messaggio = "campo " + citato(campo) + " ignorato: ";
  messaggio += perche.empty() ? std::string_view("non apre nessun record") : perche;
  std::vector<Lessico::Candidato> candidati;
  if (perche.empty() && sembra_parola_chiave(campo) && d_.suggerimenti_attivi()) {
    constexpr size_t kCandidati = 4;
    candidati = lessico_.candidati(senza_spazi(campo), kCandidati);
  }
  d_.avviso("campo-ignorato", messaggio, a(inizio));
  // The word alone is replaced: the blanks around it stay as written. Each
  // candidate is a keyword the field may have meant, tried in turn.
  const size_t da = campo.find_first_not_of(" \t");
  const size_t a_ = campo.find_last_not_of(" \t");
  if (da == std::string_view::npos) return;
  for (Lessico::Candidato& c : candidati) {
    const std::string forse = messaggio + "; forse " + citato(c.testo) + "?";
    d_.correggi(correzione("scrivi " + citato(c.testo), a(inizio + da), a_ + 1 - da, c.testo,
                           {Promessa::Tipo::record, inizio + da, {}, std::string(c.record->nome)},
                           forse));
  }
  d_.senza_correzione(messaggio);
}

void Avvisi::record_trovati(const Riconosciuti& trovati) {
  numeri_tollerati_ = 0;
  in_lettura_ = nullptr;
  if (!trovati.attivi.empty()) {
    record_ = trovati.attivi.front()->nome;
    descrizione_ = trovati.attivi.front();
    // A cause of the record before is no cause of this one.
    if (causa_in_attesa_) d_.dimentica(CodiceErrore::nessuno);
    causa_in_attesa_ = false;
    return;
  }
  for (const DescrizioneRecord* r : trovati.inattivi) {
    numeri_tollerati_ += static_cast<int>(r->campi.size());
  }
}

void Avvisi::parola_chiave_nascosta(std::string_view campo, size_t inizio) {
  if (!d_.avvisi_attivi()) return;
  const auto parola = [&] { return citato(lessico_.parola_contenuta(campo)); };
  if (tra_parentesi(campo)) {
    d_.avviso("sezione-con-parola-chiave",
              "il nome di sezione " + citato(campo) + " contiene la parola chiave " + parola() +
                  " e vale come record",
              a(inizio));
  } else if (sembra_commento(campo) && !record_intero(campo, inizio)) {
    d_.avviso("commento-con-parola-chiave",
              "il campo " + citato(campo) + " sembra un commento, ma contiene la parola chiave " +
                  parola() + " e vale come record: i campi che seguono sono letti come suoi valori",
              a(inizio));
  } else {
    return;
  }
  causa_fino_al_prossimo_record(
      {"qui " + citato(campo) + " letto come record " + citato(record_), a(inizio)});
}

bool Avvisi::record_intero(std::string_view campo, size_t inizio) const {
  if (segno_di_commento(campo) || descrizione_ == nullptr) return false;
  // The record as the compile reads it: the keyword and every field on one
  // line (the last one may end it), no quote running past it, a number
  // where the record reads one. What follows the last field on its line is
  // another keyword field, warned on its own.
  const std::vector<Campo> c = campi_del_record(lettore_.testo(), inizio, *descrizione_);
  if (c.size() != descrizione_->campi.size() + 1) return false;
  for (size_t k = 0; k < c.size(); ++k) {
    if (c[k].oltre_la_riga || (k + 1 < c.size() && chiude_la_riga(c[k]))) return false;
    if (k > 0 && c[k].modo == ModoCampo::numero && !e_numero(c[k].valore)) return false;
  }
  return true;
}

void Avvisi::virgolette_oltre_la_riga(size_t apertura, size_t chiusura) noexcept {
  virgolette_a_capo_ = apertura;
  try {
    const std::string_view s = lettore_.testo();
    const size_t fine_riga = fine_della_riga(s, apertura);
    // The first line after the quote's own whose first field, read as a
    // keyword field up to the closing quote, names a record.
    std::vector<Nota> note;
    const std::string_view dentro = s.substr(0, std::min(chiusura, s.size()));
    for (size_t i = fine_riga; i < dentro.size();) {
      while (i < s.size() && fine_di_riga(s[i])) ++i;
      const std::string_view primo = testo_a(dentro, i);
      if (!primo.empty() && !lessico_.parola_contenuta(primo).empty()) {
        note.push_back({"qui il primo record finito dentro il testo: " + citato(primo),
                        a(static_cast<size_t>(primo.data() - s.data()))});
        break;
      }
      i = fine_della_riga(s, i);
    }
    const std::string dove = record_.empty() ? "" : ", nel record " + citato(record_);
    d_.avviso(
        "virgolette-aperte",
        "le virgolette aperte qui" + dove + (dove.empty() ? "" : ",") +
            (chiusura >= s.size()
                 ? " non si chiudono piu': il testo arriva alla fine del file e quello che "
                   "segue non e' letto"
                 : " si chiudono solo alla riga " + std::to_string(posizione_in(s, chiusura).riga) +
                       ": il testo prende le righe in mezzo"),
        a(apertura), note);
    // Where the author most likely meant the text to end: before the first
    // comma of its own line. A guess at intent, which the check of every fix
    // confirms, not a reading: the compile read past it.
    const size_t virgola = std::min(s.find(',', apertura), fine_riga);
    size_t chiudi = virgola;
    while (chiudi > apertura + 1 && spazio(s[chiudi - 1])) --chiudi;
    d_.correggi(
        correzione("chiudi le virgolette", a(chiudi), 0, "\"",
                   testo_a(apertura, std::string(s.substr(apertura + 1, chiudi - apertura - 1)))));
    causa_fino_al_prossimo_record({"qui le virgolette aperte" + dove, a(apertura)});
  } catch (...) {
    // A warning that cannot be recorded is simply not recorded.
  }
}

void Avvisi::valore_letto(const DescrizioneRecord& r, const CampoRecord& campo, int64_t v,
                          size_t inizio) {
  if (!d_.avvisi_attivi()) return;
  const bool dentro = campo.limiti.contiene(v);
  const std::optional<int64_t> tenuto =
      campo.conserva != nullptr ? campo.conserva(v) : std::optional<int64_t>(v);
  if (dentro && tenuto == v) return;
  const std::string u = campo.unita.empty() ? "" : " " + std::string(campo.unita);
  const std::string valore = std::to_string(v) + u;
  std::string m = citato(r.nome) + ": " + nome_campo(campo) + " vale " + valore;
  // A value kept as written is only out of the values that make sense: the
  // field keeps it, and the message must not say otherwise.
  if (!dentro) {
    m += tenuto == v ? ", fuori dai valori che hanno senso (" : ", fuori da quanto conserva (";
    m += intervallo(campo.limiti, u) + ")";
  }
  // What is claimed is checked against what the compile stored.
  Pretesa p{Pretesa::Tipo::nessuna, a(chiave_), m.size()};
  if (!tenuto) {
    m += ": non entra nella cella e la compilazione si fermera' con l'errore 25";
    p.tipo = Pretesa::Tipo::errore_25;
  } else if (*tenuto != v) {
    m += ": sara' conservato come " + std::to_string(*tenuto) + u;
    p.tipo = Pretesa::Tipo::conservato;
  }
  d_.avviso(dentro ? "arrotondato" : "fuori-intervallo", m, a(inizio));
  d_.pretende(p);
  if (p.tipo == Pretesa::Tipo::conservato && in_lettura_ == &r) {
    d_.dichiara({a(chiave_), static_cast<uint8_t>(indice_), true, *tenuto, {}});
  }
  if (!tenuto) {
    d_.attendi(CodiceErrore::guasto_inatteso,
               {"qui " + citato(r.nome) + ": " + valore + " non entra nella cella (" +
                    intervallo(campo.limiti, u) + ")",
                a(inizio)});
  }
}

void Avvisi::conservato(const DescrizioneRecord& r, const Conservato& c, size_t inizio) {
  if (!d_.avvisi_attivi()) return;
  d_.avviso("conservato-diversamente", citato(r.nome) + ": " + c.messaggio, a(inizio));
  for (const ValoreDichiarato& v : c.dichiarati) {
    d_.dichiara({a(chiave_), static_cast<uint8_t>(v.campo), v.presente, v.valore, {}});
  }
}

void Avvisi::oltre_la_fine(std::string_view tipo, int64_t p, int32_t lunghezza, size_t inizio) {
  if (!d_.avvisi_attivi()) return;
  d_.avviso("oltre-la-fine",
            std::string(tipo) + " a " + std::to_string(p) + " m sta oltre la fine del percorso (" +
                std::to_string(lunghezza) + " m), dove nessun treno arriva",
            a(inizio));
  d_.colloca(in_32(p));
}

void Avvisi::ripetizione(const DescrizioneRecord& r) {
  if (r.controllo == Controllo::una_volta) una_volta(r.frase);
}

Nota Avvisi::nota_precedente(const Precedente& p, std::string_view tipo) const {
  return {"qui " + std::string(tipo) + " precedente", p.chiave};
}

const Avvisi::Precedente* Avvisi::precedente(std::string_view tipo) const {
  for (const auto& [t, p] : precedenti_) {
    if (t == tipo) return &p;
  }
  return nullptr;
}

void Avvisi::registra(std::string_view tipo, int64_t inizio, int64_t fine) {
  const Precedente nuovo{inizio, fine, a(chiave_)};
  for (auto& [t, p] : precedenti_) {
    if (t == tipo) {
      p = nuovo;
      return;
    }
  }
  precedenti_.emplace_back(tipo, nuovo);
}

void Avvisi::in_ordine(std::string_view tipo, int64_t p) {
  if (!d_.avvisi_attivi()) return;
  const Precedente* i = precedente(tipo);
  if (i != nullptr && p <= i->inizio && !posizione_spiegata_) {
    d_.avviso("fuori-ordine",
              std::string(tipo) + " a " + std::to_string(p) +
                  " m non viene dopo il record precedente, a " + std::to_string(i->inizio) +
                  " m: vanno in ordine di posizione crescente",
              a(chiave_), {nota_precedente(*i, tipo)});
    d_.colloca(in_32(p));
  }
  registra(tipo, p, p);
}

void Avvisi::senza_sovrapposizione(std::string_view tipo, int64_t inizio, int64_t fine) {
  if (!d_.avvisi_attivi()) return;
  const Precedente* i = precedente(tipo);
  if (i != nullptr && inizio < i->fine && !posizione_spiegata_) {
    d_.avviso("sovrapposizione",
              std::string(tipo) + " da " + std::to_string(inizio) +
                  " m comincia prima della fine (" + std::to_string(i->fine) +
                  " m) di quella precedente",
              a(chiave_), {nota_precedente(*i, tipo)});
    d_.colloca(in_32(inizio));
  }
  registra(tipo, inizio, fine);
}

void Avvisi::una_volta(std::string_view tipo) {
  if (!d_.avvisi_attivi()) return;
  const Precedente* i = precedente(tipo);
  if (i != nullptr) {
    d_.avviso("sovrascrittura",
              std::string(tipo) +
                  " ripetuto: i valori letti qui prendono il posto di quelli del record " +
                  "precedente",
              a(chiave_), {nota_precedente(*i, tipo)});
  }
  registra(tipo, 0, 0);
}

namespace {

// A cell kind as authors read it: "inizio rallentamento".
std::string oggetto_in_parole(uint8_t tipo) {
  const char* nome = nome_tipo_cella(tipo);
  std::string s = nome != nullptr ? nome : "tipo " + std::to_string(tipo);
  for (char& c : s) c = c == '_' ? ' ' : c;
  return s;
}

}  // namespace

namespace {

// "a", "a e b", "a, b e c".
std::string elenco(const std::vector<std::string>& parti) {
  std::string s;
  for (size_t k = 0; k < parti.size(); ++k) {
    s += (k == 0 ? "" : k + 1 == parti.size() ? " e " : ", ") + parti[k];
  }
  return s;
}

}  // namespace

void Avvisi::oggetto_cancellato(const Cancellazione& c, const Giornale& g) {
  if (!d_.avvisi_attivi()) return;
  const RecordRegistrato& erasa = g.records()[c.erasa];
  const RecordRegistrato& da = g.records()[c.da];
  const int64_t p = posizione_oggetto(c.tipo_prima, static_cast<int64_t>(c.cella));
  const std::string prima = oggetto_in_parole(c.tipo_prima);
  const std::string dopo = oggetto_in_parole(c.tipo_dopo);
  // What the later record took of the cell, and what of the earlier one's
  // writes the files still hold: its other values there, and its codes in
  // the cells before it that nothing wrote since.
  std::vector<uint8_t> presi;
  std::vector<std::string> presi_testo;
  for (const Scrittura* s : g.scritture_in_cella(c.da, c.cella)) {
    presi.push_back(s->campo);
    presi_testo.push_back(citato(nome_campo(static_cast<CampoCella>(s->campo))));
  }
  std::vector<std::string> restano;
  for (const Scrittura* s : g.scritture_in_cella(c.erasa, c.cella)) {
    if (std::find(presi.begin(), presi.end(), s->campo) != presi.end()) continue;
    restano.push_back(citato(nome_campo(static_cast<CampoCella>(s->campo))) + " " +
                      std::to_string(s->nuovo));
  }
  std::vector<std::string> codici;
  const auto preavviso = static_cast<uint8_t>(CampoCella::preavviso);
  for (size_t k = erasa.prima_scrittura; k < erasa.prima_scrittura + erasa.scritture; ++k) {
    const Scrittura& s = g.scritture()[k];
    if (s.campo != preavviso) continue;
    for (size_t x = 0; x < s.celle(); ++x) {
      const size_t altra = static_cast<size_t>(s.indice) + x;
      if (altra != c.cella && g.ultima_scrittura_cella(altra, CampoCella::preavviso) == &s) {
        codici.push_back(std::to_string(altra));
      }
    }
  }
  if (!codici.empty()) {
    restano.push_back((codici.size() == 1 ? "il codice di preavviso della cella "
                                          : "i codici di preavviso delle celle ") +
                      elenco(codici));
  }
  std::string m = "il record `" + std::string(da.nome) + "` piu' avanti scrive `" + dopo +
                  "` nella cella " + std::to_string(c.cella) + " (" + std::to_string(p) +
                  " m), sopra `" + prima + "` di questo record, e ne prende " + elenco(presi_testo);
  if (!restano.empty()) m += "; restano di questo record " + elenco(restano);
  m += ": il file non conserva `" + prima + "` di questo record";
  d_.avviso("oggetto-cancellato", m, erasa.chiave,
            {{"qui il record `" + std::string(da.nome) + "` che scrive `" + dopo +
                  "` nella cella " + std::to_string(c.cella),
              da.chiave}});
  d_.colloca(in_32(p));
  for (size_t k = 0; k < erasa.campi.size(); ++k) {
    d_.dichiara({erasa.chiave, static_cast<uint8_t>(k), false, 0, {}});
  }
}

void Avvisi::generale_mancante(size_t dimensione, bool solo_se_simile) {
  if (!d_.avvisi_attivi() || dimensione == 0) return;
  // A field a few letters from `[generale]`, among the fields the reading
  // passed over looking for it: a bracketed name, on one line.
  const std::string_view s = lettore_.testo();
  for (Campo f = campo_a(s, 0, ModoCampo::testo); f.esiste;
       f = campo_a(s, f.seguente, ModoCampo::testo)) {
    const std::string_view v = f.valore;
    const size_t chiusa = v.find(']');
    if (v.empty() || v.front() != '[' || chiusa == std::string_view::npos ||
        v.substr(0, chiusa).find_first_of("\r\n") != std::string_view::npos) {
      continue;
    }
    const auto i = static_cast<size_t>(v.data() - s.data());
    std::string nome(v.substr(1, chiusa - 1));
    for (char& c : nome) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    if (nome == "generale" || distanza_entro(nome, "generale", 3) > 2) continue;
    const std::string scritto(v.substr(0, chiusa + 1));
    const std::string senza = "la sezione " + citato(scritto) +
                              " non e' `[generale]`: tutto il file e' saltato e "
                              "nessun suo record e' compilato";
    d_.avviso("generale-mancante", senza + "; scrivi `[generale]`", a(i));
    d_.correggi(correzione("scrivi `[generale]`", a(i), scritto.size(), "[generale]"));
    d_.senza_correzione(senza);
    if (solo_se_simile) {
      d_.attendi(CodiceErrore::generale_assente,
                 {"qui " + citato(scritto) + ", forse `[generale]`", a(i)});
    }
    return;
  }
  if (solo_se_simile) return;
  d_.avviso("generale-mancante",
            "manca la riga `[generale]`: tutto il file e' saltato e nessun suo record e' "
            "compilato (mettila prima dei record)",
            a(0));
}

size_t Avvisi::campi_dopo(size_t inizio) const {
  // The field in hand as it was read, then the columns as the author wrote
  // them: what the reader takes as texts, each up to its comma.
  const std::string_view s = lettore_.testo();
  const CampoRecord* c = campo_corrente();
  size_t n = 0;
  for (Campo k = campo_a(s, inizio, c != nullptr ? modo_campo(*c) : ModoCampo::testo);
       k.esiste && !chiude_la_riga(k); ++n) {
    k = campo_a(s, k.seguente, ModoCampo::testo);
  }
  return n;
}

void Avvisi::record_corto_oltre(size_t inizio) {
  if (corto_avvisato_ || in_lettura_ == nullptr || indice_ >= in_lettura_->campi.size()) return;
  const std::string_view s = lettore_.testo();
  if (inizio > s.size() || chiave_ >= inizio) return;
  if (a_capo_chiave_ == kNonCercato) {
    a_capo_chiave_ = fine_della_riga(s, chiave_);
  }
  const size_t a_capo = a_capo_chiave_;
  if (a_capo >= inizio) return;
  // Inside a quoted text that runs on from the key's line, the quotes are
  // the cause, said there: the reader told of it as it read it.
  if (virgolette_a_capo_ >= chiave_ && virgolette_a_capo_ < a_capo) return;
  corto_avvisato_ = true;
  const std::vector<Nota> note = {{"qui il valore letto al suo posto", a(inizio)}};
  d_.avviso("record-corto",
            "al record " + citato(in_lettura_->nome) +
                " mancano dei valori: la riga finisce dopo " + std::to_string(indice_) +
                " campi su " + std::to_string(in_lettura_->campi.size()) + ", e " +
                nome_campo(in_lettura_->campi[indice_]) + " e' letto dalla riga dopo",
            a(chiave_), note);
}

bool Avvisi::orario_in_un_campo(std::string_view t, size_t inizio) {
  const CampoRecord* c = campo_corrente();
  const std::string_view s = lettore_.testo();
  if (c == nullptr || c->nome != "hours" || s.substr(inizio, t.size()) != t) return false;
  std::vector<std::string_view> parti;
  for (size_t i = 0;;) {
    size_t j = i;
    while (j < t.size() && cifra(t[j])) ++j;
    if (j == i || j - i > 2 || (!parti.empty() && j - i != 2)) return false;
    parti.push_back(t.substr(i, j - i));
    if (j == t.size()) break;
    if (t[j] != '.' && t[j] != ':') return false;
    i = j + 1;
  }
  if (parti.size() < 2 || parti.size() > 3) return false;
  const size_t k = parti.size();
  const size_t necessari = in_lettura_->campi.size() - indice_ - 1;
  const size_t presenti = campi_dopo(inizio);
  std::string scritto;
  for (std::string_view p : parti) scritto += (scritto.empty() ? "" : ", ") + std::string(p);
  const bool certo = presenti + (k - 1) <= necessari && necessari - presenti - (k - 1) <= 3 - k;
  std::vector<int64_t> numeri;
  for (std::string_view p : parti) numeri.push_back(numero_da_campo(p));
  if (certo) {
    for (size_t z = presenti + (k - 1); z < necessari; ++z) {
      scritto += ", 0";
      numeri.push_back(0);
    }
  }
  const std::string senza = citato(t) +
                            " e' un orario in un campo solo, e il campo delle ore lo legge come " +
                            std::to_string(e_numero(t) ? numero_da_campo(t) : 0) +
                            ": ore, minuti e secondi sono campi separati dalla virgola";
  d_.avviso("orario-in-un-campo", senza + (certo ? "; scrivi " + citato(scritto) : ""), a(inizio));
  if (certo) {
    d_.correggi(correzione("scrivi " + citato(scritto), a(inizio), t.size(), scritto,
                           numeri_a(inizio, std::move(numeri))));
    d_.senza_correzione(senza);
  }
  corto_avvisato_ = true;
  return true;
}

bool Avvisi::posizione_con_virgola(std::string_view t, size_t inizio) {
  const CampoRecord* c = campo_corrente();
  const std::string_view s = lettore_.testo();
  if (indice_ != 0 || t.empty() || t.size() > 3 || c == nullptr || c->unita != "m" ||
      !std::all_of(t.begin(), t.end(), cifra) || s.substr(inizio, t.size()) != t) {
    return false;
  }
  // The comma right after the digits, and right after it three digits that
  // the reader takes as the next field.
  const Campo numero = campo_da(inizio, ModoCampo::numero);
  if (numero.separatore != Separatore::virgola || numero.limite != inizio + t.size()) return false;
  const Campo resto = campo_a(s, numero.seguente, ModoCampo::numero);
  if (resto.inizio != numero.seguente || resto.virgolette || resto.valore.size() != 3 ||
      !std::all_of(resto.valore.begin(), resto.valore.end(), cifra)) {
    return false;
  }
  const size_t v = numero.limite;
  // One field more than the record reads: the comma split the position.
  if (campi_dopo(inizio) != in_lettura_->campi.size()) return false;
  const std::string tre(resto.valore);
  const std::string unito = std::string(t) + tre;
  const std::string senza = citato(std::string(t) + "," + tre) +
                            ": la virgola separa i campi, e la posizione e' letta come " +
                            std::string(t) + " m, con i campi dopo spostati di uno";
  d_.avviso("posizione-con-virgola", senza + "; per " + unito + " m scrivi " + citato(unito),
            a(inizio));
  d_.correggi(correzione("scrivi " + citato(unito), a(inizio), resto.fine - inizio, unito,
                         numeri_a(inizio, {numero_da_campo(unito)})));
  d_.senza_correzione(senza);
  spiegato_fino_a_ = fine_della_riga(s, v);
  posizione_spiegata_ = true;
  return true;
}

bool Avvisi::segno_staccato(std::string_view t, size_t inizio) {
  const std::string_view s = lettore_.testo();
  if (t.size() != 1 || (t[0] != '-' && t[0] != '+')) return false;
  // The sign a field, blanks after it, and digits the next field.
  const Campo segno = campo_da(inizio, ModoCampo::numero);
  if (segno.virgolette || segno.valore != t || segno.separatore != Separatore::spazio) return false;
  const Campo dopo = campo_a(s, segno.seguente, ModoCampo::numero);
  if (dopo.virgolette || dopo.valore.empty() ||
      !std::all_of(dopo.valore.begin(), dopo.valore.end(), cifra)) {
    return false;
  }
  const size_t cifre = dopo.inizio;
  const size_t i = dopo.fine;
  const std::string numero = std::string(t) + std::string(s.substr(cifre, i - cifre));
  const std::string senza = "il segno " + citato(t) +
                            " e' staccato dal numero: e' letto come 0, e " +
                            citato(s.substr(cifre, i - cifre)) + " come un campo di troppo";
  d_.avviso("segno-staccato", senza + "; scrivi " + citato(numero), a(inizio));
  if (const std::optional<InUnita> v = per_dieci(numero, 0)) {
    d_.correggi(correzione("scrivi " + citato(numero), a(inizio), i - inizio, numero,
                           numeri_a(inizio, {v->conservato})));
  }
  d_.senza_correzione(senza);
  spiegato_fino_a_ = i;
  return true;
}

bool Avvisi::carattere_invisibile(std::string_view campo, size_t inizio) {
  // Every field of a source is read through here: plain ASCII goes by at once.
  if (std::all_of(campo.begin(), campo.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return false;
  }
  // The invisible characters of the field, each with its bytes: a no-break
  // space of the code page, or a UTF-8 sequence of one (from a source
  // saved as UTF-8).
  std::string senza;
  uint32_t primo = 0;
  for (size_t i = 0; i < campo.size();) {
    const size_t n = sequenza_utf8(campo, i);
    size_t j = i;
    const uint32_t cp = n > 0 ? prossimo_utf8(campo, &j)
                              : punto_di_codice_1252(static_cast<unsigned char>(campo[i]));
    if (invisibile(cp)) {
      if (primo == 0) primo = cp;
    } else {
      senza.append(campo.substr(i, n > 0 ? n : 1));
    }
    i += n > 0 ? n : 1;
  }
  if (primo == 0) return false;
  const std::string_view s = lettore_.testo();
  const bool certo = e_numero(senza) && s.substr(inizio, campo.size()) == campo;
  const std::string senza_fix = "il campo contiene " + nome_carattere(primo) +
                                " (da un testo incollato), che non si vede e non separa i campi" +
                                std::string(e_numero(campo) ? "" : ": non e' un numero e vale 0");
  d_.avviso(primo == 0xA0 ? "spazio-indivisibile" : "carattere-invisibile",
            senza_fix + (certo ? "; scrivi " + citato(senza) : ""), a(inizio));
  if (certo) {
    d_.correggi(correzione("scrivi " + citato(senza), a(inizio), campo.size(), senza,
                           numeri_a(inizio, {numero_da_campo(senza)})));
    d_.senza_correzione(senza_fix);
  }
  return true;
}

bool Avvisi::trattino_per_meno(std::string_view t, size_t inizio) {
  // An en or em dash of the code page, or a dash or the minus sign in UTF-8.
  size_t n = 0;
  uint32_t cp = 0;
  if (!t.empty() && (t[0] == '\x96' || t[0] == '\x97')) {
    n = 1;
    cp = punto_di_codice_1252(static_cast<unsigned char>(t[0]));
  } else if (sequenza_utf8(t, 0) == 3) {
    size_t j = 0;
    cp = prossimo_utf8(t, &j);
    n = cp == 0x2212 || (cp >= 0x2010 && cp <= 0x2015) ? 3 : 0;
  }
  const std::string_view resto = t.substr(n);
  const std::string_view s = lettore_.testo();
  if (n == 0 || resto.empty() || !cifra(resto[0]) || !e_numero(resto) ||
      s.substr(inizio, t.size()) != t) {
    return false;
  }
  const std::string giusto = "-" + std::string(resto);
  const std::string senza = citato(t) + " non e' un numero e vale 0: " + nome_carattere(cp) +
                            " non e' il segno meno dei numeri";
  d_.avviso("numero-non-valido", senza + "; scrivi " + citato(giusto), a(inizio));
  d_.correggi(correzione("scrivi " + citato(giusto), a(inizio), n, "-",
                         numeri_a(inizio, {numero_da_campo(giusto)})));
  d_.senza_correzione(senza);
  return true;
}

bool Avvisi::progressiva_in_metri(std::string_view t, size_t inizio) {
  // `23+000`: kilometres and metres, as the route's positions are shown.
  const CampoRecord* c = campo_corrente();
  const size_t piu = t.find('+');
  const std::string_view s = lettore_.testo();
  if (c == nullptr || c->unita != "m" || piu == 0 || piu == std::string_view::npos || piu > 4 ||
      t.size() != piu + 4 || s.substr(inizio, t.size()) != t ||
      !std::all_of(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(piu), cifra) ||
      !std::all_of(t.begin() + static_cast<std::ptrdiff_t>(piu) + 1, t.end(), cifra)) {
    return false;
  }
  const int64_t metri =
      numero_da_campo(t.substr(0, piu)) * 1000 + numero_da_campo(t.substr(piu + 1));
  const std::string giusto = std::to_string(metri);
  const std::string senza = citato(t) +
                            " e' una progressiva in chilometri e metri, e vale 0: il campo e' in "
                            "metri, e " +
                            citato(t) + " sono " + giusto + " m";
  d_.avviso("numero-non-valido", senza + "; scrivi " + citato(giusto), a(inizio));
  d_.correggi(correzione("scrivi " + citato(giusto), a(inizio), t.size(), giusto,
                         numeri_a(inizio, {metri})));
  d_.senza_correzione(senza);
  return true;
}

bool Avvisi::colonna_mancante(std::string_view campo, size_t inizio) {
  const CampoRecord* c = campo_corrente();
  if (c == nullptr || indice_ + 2 != in_lettura_->campi.size() ||
      in_lettura_->campi.back().formato != Formato::testo) {
    return false;
  }
  const std::string_view s = lettore_.testo();
  // The number ended at a blank, and the line goes on with the text, which
  // the reader takes as the record's last field.
  const Campo numero = campo_da(inizio, ModoCampo::numero);
  if (numero.virgolette || numero.valore.empty() || numero.valore != campo ||
      numero.separatore != Separatore::spazio) {
    return false;
  }
  const std::string_view t = numero.valore;
  // What the text field keeps is what the reader takes there: a quoted
  // text whole, commas and all.
  const Campo testo = campo_a(s, numero.seguente, ModoCampo::testo);
  const size_t fine = testo.fine;
  const CampoRecord& nome = in_lettura_->campi.back();
  d_.avviso("colonna-in-meno",
            citato(t) + " non e' un numero e vale 0: alla riga manca una colonna del record " +
                citato(in_lettura_->nome) + " (" + std::to_string(in_lettura_->campi.size()) +
                " campi), cosi' " + nome_campo(*c) + " prende " + citato(t) + ", l'inizio di " +
                citato(s.substr(inizio, fine - inizio)) + ", e " + nome_campo(nome) +
                " conserva solo " + citato(testo.valore) + ": aggiungi la colonna che manca",
            a(inizio));
  return true;
}

void Avvisi::testo_con_virgola(std::string_view testo, size_t inizio) {
  const CampoRecord* c = campo_corrente();
  const std::string_view s = lettore_.testo();
  if (c == nullptr || indice_ + 1 != in_lettura_->campi.size()) return;
  // The text ended at a comma, and its line goes on.
  const Campo letto = campo_a(s, inizio, ModoCampo::testo);
  if (letto.virgolette || letto.separatore != Separatore::virgola) return;
  const size_t virgola = letto.limite;
  const size_t fine_riga = fine_della_riga(s, virgola);
  size_t fine = fine_riga;
  while (fine > virgola && spazio(s[fine - 1])) --fine;
  const std::string_view resto = senza_spazi(s.substr(virgola + 1, fine - virgola - 1));
  if (resto.empty()) return;
  spiegato_fino_a_ = fine_riga;
  if (e_numero(testo)) {
    // `stazione` with one column too many: the number meant for the field
    // before lands in the text, and the text is left over.
    d_.avviso("colonna-in-piu",
              "la riga ha un campo in piu' di quanti ne legge il record " +
                  citato(in_lettura_->nome) + " (" + std::to_string(in_lettura_->campi.size()) +
                  "): " + nome_campo(*c) + " prende " + citato(testo) + ", e " + citato(resto) +
                  " e' ignorato; togli la colonna in piu' prima di " + nome_campo(*c),
              a(inizio));
    return;
  }
  const std::string intero(s.substr(inizio, fine - inizio));
  const bool certo = intero.find('"') == std::string::npos;
  const std::string tra = "\"" + intero + "\"";
  const std::string senza = "il testo " + citato(testo) + " finisce alla virgola, e " +
                            citato(resto) +
                            " e' ignorato: un testo con la virgola va tra virgolette";
  d_.avviso("testo-con-virgola", senza + (certo ? "; scrivi " + citato(tra) : ""), a(inizio));
  if (certo) {
    d_.correggi(correzione("metti il testo tra virgolette", a(inizio), intero.size(), tra,
                           testo_a(inizio, intero)));
    d_.senza_correzione(senza);
  }
}

bool Avvisi::chiave_letta(std::string_view campo, size_t inizio) {
  if (!d_.avvisi_attivi()) return false;
  corto_avvisato_ = false;
  posizione_spiegata_ = false;
  const std::string_view s = lettore_.testo();
  const auto al_suo_posto = [&] {
    return inizio <= s.size() && s.substr(inizio, campo.size()) == campo;
  };
  const size_t pv = campo.find(';');
  if (pv != std::string_view::npos && !segno_di_commento(campo) &&
      !lessico_.parola_contenuta(campo.substr(0, pv)).empty() &&
      campo.find_first_of("0123456789", pv) != std::string_view::npos) {
    std::string giusto(campo);
    std::replace(giusto.begin(), giusto.end(), ';', ',');
    const std::string senza =
        "il `;` non separa i campi: la riga e' letta come un campo solo, e il record prende "
        "i suoi valori dalle righe dopo; i campi si separano con la virgola";
    const bool scrivibile = al_suo_posto();
    d_.avviso("punto-e-virgola", senza + (scrivibile ? ": scrivi " + citato(giusto) : ""),
              a(inizio + pv));
    if (scrivibile) {
      d_.correggi(correzione("separa i campi con la virgola", a(inizio), campo.size(), giusto));
      d_.senza_correzione(senza);
    }
    return false;
  }
  // `3 vetture`: a word after a number on its line, read as a record. Only
  // blanks stand between such a number and the word, so a keyword that
  // opens its line (most of them) is no such word.
  if (inizio == 0 || inizio > s.size() || !spazio(s[inizio - 1])) return false;
  const Campo numero = prima_di(inizio);
  if (!al_suo_posto() || !numero_scritto(numero) || numero.separatore != Separatore::spazio ||
      !std::all_of(numero.valore.begin(), numero.valore.end(), cifra) ||
      lessico_.parola_contenuta(campo).empty() || !sembra_parola_chiave(campo)) {
    return false;
  }
  const size_t prima = numero.fine;
  const std::string_view cifre = numero.valore;
  const std::string senza = citato(campo) + " dopo il numero " + citato(cifre) +
                            " non si scrive: e' letto come un nuovo record, che prende i suoi "
                            "valori dalla riga dopo";
  d_.avviso("parola-dopo-il-numero", senza + "; scrivi " + citato(cifre), a(inizio));
  if (const std::optional<InUnita> v = per_dieci(cifre, 0)) {
    d_.correggi(correzione("scrivi " + citato(cifre), a(prima), inizio + campo.size() - prima, "",
                           numeri_a(numero.inizio, {v->conservato})));
  }
  d_.senza_correzione(senza);
  return true;
}

Campo Avvisi::prima_di(size_t inizio) const {
  return lettore_.inizio_campo() == inizio ? lettore_.precedente() : Campo{};
}

bool Avvisi::decimale_dopo(const Campo& intere, size_t inizio) {
  // The comma right after the digits, and the field right after the comma.
  return numero_scritto(intere) && intere.separatore == Separatore::virgola &&
         intere.limite == intere.fine && intere.seguente == inizio && parte_intera(intere.valore);
}

bool Avvisi::apre_la_riga(size_t inizio) const {
  const Campo p = prima_di(inizio);
  if (p.esiste) return p.separatore == Separatore::fine_riga;
  // No field read before it: the reading began at the start of the text,
  // or resumed at the start of a line.
  return lettore_.inizio_campo() == inizio;
}

}  // namespace calvetra
