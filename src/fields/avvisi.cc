#include "fields/avvisi.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "fields/distanze.h"
#include "model/significato.h"

namespace calvetra {

namespace {

bool spazio(char c) { return c == ' ' || c == '\t'; }

std::string citato(std::string_view testo) {
  std::string s;
  s.reserve(testo.size() + 2);
  s += '`';
  s += testo;
  s += '`';
  return s;
}

bool cifra(char c) { return c >= '0' && c <= '9'; }

// A letter of Windows-1252: ASCII, or the accented ones from 0xC0 (but the
// signs of multiplication and division).
bool lettera(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= 0xC0 && u != 0xD7 && u != 0xF7);
}

std::string_view spoglia(std::string_view t) {
  while (!t.empty() && spazio(t.front())) t.remove_prefix(1);
  while (!t.empty() && spazio(t.back())) t.remove_suffix(1);
  return t;
}

size_t parole(std::string_view t) {
  size_t n = 0;
  for (size_t i = 0; i < t.size(); ++i) {
    if (!spazio(t[i]) && (i == 0 || spazio(t[i - 1]))) ++n;
  }
  return n;
}

// A field that a misspelt keyword could be: one to three words of letters
// (digits and `_` inside), not a comment nor a sentence, nor a name in
// capitals (`SAN PROSPERO`) as station names and sign texts are written.
bool sembra_parola_chiave(std::string_view campo) {
  const std::string_view t = spoglia(campo);
  if (t.empty() || !lettera(t.front()) || parole(t) > 3) return false;
  if (std::none_of(t.begin(), t.end(), [](char c) { return c >= 'a' && c <= 'z'; })) return false;
  return std::all_of(t.begin(), t.end(),
                     [](char c) { return lettera(c) || cifra(c) || spazio(c) || c == '_'; });
}

bool segno_di_commento(std::string_view campo) {
  const std::string_view t = spoglia(campo);
  return !t.empty() && std::string_view("#;/'*!%").find(t.front()) != std::string_view::npos;
}

// A field written as a comment: it opens with a comment sign, or it is a
// sentence rather than a keyword.
bool sembra_commento(std::string_view campo) {
  return segno_di_commento(campo) || parole(spoglia(campo)) > 4;
}

// A unit that authors write after a number; the fields hold bare numbers.
bool unita(std::string_view t) {
  t = spoglia(t);
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

// UTF-8 text taken back to the Windows-1252 bytes it stands for, where they
// exist (the letters of U+00A0 to U+00FF); anything else stays as it is.
std::string da_utf8(std::string_view t) {
  std::string s;
  for (size_t i = 0; i < t.size(); ++i) {
    const auto c = static_cast<unsigned char>(t[i]);
    const auto dopo = i + 1 < t.size() ? static_cast<unsigned char>(t[i + 1]) : 0;
    if ((c == 0xC2 || c == 0xC3) && (dopo & 0xC0) == 0x80 && (c == 0xC3 || dopo >= 0xA0)) {
      s += static_cast<char>(((c & 0x03) << 6) | (dopo & 0x3F));
      ++i;
    } else {
      s += t[i];
    }
  }
  return s;
}

std::string intervallo(const Limiti& l, const std::string& unita) {
  if (l.minimo == INT64_MIN) return "fino a " + std::to_string(l.massimo) + unita;
  if (l.massimo == INT64_MAX) return "da " + std::to_string(l.minimo) + unita + " in su";
  return "da " + std::to_string(l.minimo) + " a " + std::to_string(l.massimo) + unita;
}

int32_t in_32(int64_t p) {
  return static_cast<int32_t>(std::clamp<int64_t>(p, INT32_MIN, INT32_MAX));
}

// `numero` (a plain decimal: [sign] digits [. digits]) times 10^zeri, when
// that is a whole number: "1.5" and 3 give "1500".
std::optional<std::string> per_dieci(std::string_view numero, size_t zeri) {
  std::string segno;
  if (!numero.empty() && (numero[0] == '-' || numero[0] == '+')) {
    if (numero[0] == '-') segno = "-";
    numero.remove_prefix(1);
  }
  const size_t punto = numero.find('.');
  std::string intere(numero.substr(0, punto));
  std::string frazione(punto == std::string_view::npos ? "" : numero.substr(punto + 1));
  if (intere.empty() || frazione.size() > zeri) return std::nullopt;
  for (char c : intere + frazione) {
    if (!cifra(c)) return std::nullopt;
  }
  std::string r = intere + frazione + std::string(zeri - frazione.size(), '0');
  const size_t primo = std::min(r.find_first_not_of('0'), r.size() - 1);
  return segno + r.substr(primo);
}

bool fine_di_riga(char c) { return c == '\r' || c == '\n'; }

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

bool sembra_utf8(std::string_view testo) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(testo[i]); };
  const auto seguito = [&](size_t i) { return i < testo.size() && (byte(i) & 0xC0) == 0x80; };
  for (size_t i = 0; i < testo.size(); ++i) {
    const unsigned char c = byte(i);
    size_t n = 0;
    if (c >= 0xC2 && c <= 0xDF) n = 1;
    if (c >= 0xE0 && c <= 0xEF) n = 2;
    if (c >= 0xF0 && c <= 0xF4) n = 3;
    if (n == 0) continue;
    bool tutti = true;
    for (size_t k = 1; k <= n; ++k) tutti = tutti && seguito(i + k);
    if (tutti) return true;
  }
  return false;
}

bool tra_parentesi(std::string_view campo) {
  size_t i = 0;
  while (i < campo.size() && spazio(campo[i])) ++i;
  return i < campo.size() && campo[i] == '[' && campo.find(']', i) != std::string_view::npos;
}

void Avvisi::numero_letto(std::string_view campo, size_t inizio) noexcept {
  try {
    if (segna_) {
      segna_ = false;
      segnato_ = {true, a(inizio), e_numero(campo)};
    }
    record_corto(inizio);
    if (spoglia(campo).empty()) return;
    if (spazio_indivisibile(campo, inizio)) return;
    const std::string_view scritto = spoglia(campo);
    if (orario_in_un_campo(scritto, inizio) || posizione_con_virgola(scritto, inizio) ||
        segno_staccato(scritto, inizio)) {
      return;
    }
    if (e_numero(campo)) {
      numero_da_vicino(campo, inizio);
      return;
    }
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
  const std::string_view t = spoglia(campo);
  const size_t n = numero_in_testa(t);
  // A field in metres written in km, or one per mille written in %: the
  // number scaled to the field's unit.
  const auto in_unita = [](std::string_view numero, std::string_view u,
                           const CampoRecord* c) -> std::optional<std::string> {
    if (c == nullptr) return std::nullopt;
    if (c->unita == "m" && contiene(u, "km") && u.size() == 2) return per_dieci(numero, 3);
    if (c->unita == "per mille" && u == "%") return per_dieci(numero, 1);
    return std::nullopt;
  };
  const auto spiega = [](std::string_view numero, std::string_view u, const std::string& giusto) {
    return "; " + std::string(numero) + " " + std::string(u) + " sono " + giusto + " " +
           (u == "%" ? "per mille" : "m") + ": scrivi " + citato(giusto);
  };
  if (n > 0 && unita(t.substr(n))) {
    // `3000m`: the unit glued to the number.
    const std::string_view u = spoglia(t.substr(n));
    const std::optional<std::string> giusto = in_unita(t.substr(0, n), u, campo_corrente());
    d_.avviso(
        "numero-non-valido",
        citato(t) + " non e' un numero" + std::string(seguito) + ": l'unita' " + citato(u) +
            " non si scrive" +
            (giusto ? spiega(t.substr(0, n), u, *giusto)
                    : ", il campo e' gia' nella sua unita'; scrivi " + citato(t.substr(0, n))),
        a(inizio));
    d_.correggi({giusto ? "scrivi " + citato(*giusto) : "togli l'unita'", a(inizio), t.size(),
                 giusto ? *giusto : std::string(t.substr(0, n))});
    return true;
  }
  // `3000 m`: the unit as a field of its own, after the number on its line.
  size_t prima = inizio;
  while (prima > 0 && spazio(sorgente[prima - 1])) --prima;
  if (n > 0 || !unita(t) || prima == inizio || prima == 0 || !cifra(sorgente[prima - 1])) {
    return false;
  }
  // The number's field: the one read before this one, or the last one of
  // the record when this field is past it.
  const CampoRecord* del_numero = nullptr;
  if (in_lettura_ != nullptr && indice_ < in_lettura_->campi.size()) {
    const bool dentro = seguito == " e vale 0";
    if (!dentro || indice_ > 0) del_numero = &in_lettura_->campi[indice_ - (dentro ? 1 : 0)];
  }
  size_t numero = prima;
  while (numero > 0 && (cifra(sorgente[numero - 1]) || sorgente[numero - 1] == '.')) --numero;
  if (numero > 0 && (sorgente[numero - 1] == '-' || sorgente[numero - 1] == '+')) --numero;
  const std::string_view scritto = sorgente.substr(numero, prima - numero);
  const std::optional<std::string> giusto = in_unita(scritto, t, del_numero);
  d_.avviso("numero-non-valido",
            citato(t) + " non e' un numero" + std::string(seguito) + ": e' l'unita' del numero " +
                "che lo precede, e le unita' non si scrivono" +
                (giusto ? spiega(scritto, t, *giusto) : ""),
            a(inizio));
  if (giusto) {
    d_.correggi({"scrivi " + citato(*giusto), a(numero), inizio + t.size() - numero, *giusto});
  } else {
    d_.correggi({"togli l'unita'", a(prima), inizio + t.size() - prima, ""});
  }
  return true;
}

void Avvisi::numero_da_vicino(std::string_view campo, size_t inizio) {
  const std::string_view t = spoglia(campo);
  // `115.000` in metres reads 115: a thousands dot, with nothing to round.
  const CampoRecord* c = campo_corrente();
  const bool in_metri = c != nullptr && c->unita == "m" && migliaia_col_punto(t);
  if (con_frazione(t) || in_metri) {
    const std::string letto = std::to_string(numero_da_campo(t));
    if (migliaia_col_punto(t)) {
      std::string intero(t);
      std::erase(intero, '.');
      d_.avviso("arrotondato",
                citato(t) + " sara' letto come " + letto +
                    ": il punto separa i decimali, non le migliaia; per " + intero + " scrivi " +
                    citato(intero),
                a(inizio));
      d_.correggi({"scrivi " + citato(intero), a(inizio), t.size(), intero});
    } else {
      d_.avviso("arrotondato",
                citato(t) + " sara' letto come " + letto + ": il campo conserva numeri interi",
                a(inizio));
    }
    return;
  }
  // `119 500` in a line of fields separated by commas: a thousands blank.
  const std::string_view sorgente = lettore_.testo();
  const size_t cifre = t.size() - ((t[0] == '+' || t[0] == '-') ? 1 : 0);
  if (cifre > 3 || t.find('.') != std::string_view::npos || inizio + t.size() > sorgente.size() ||
      sorgente.substr(inizio, t.size()) != t) {
    return;
  }
  size_t prima = inizio;
  while (prima > 0 && spazio(sorgente[prima - 1])) --prima;
  size_t i = inizio + t.size();
  const size_t blanchi = i;
  while (i < sorgente.size() && spazio(sorgente[i])) ++i;
  const size_t gruppo = i;
  while (i < sorgente.size() && cifra(sorgente[i])) ++i;
  const size_t fine_gruppo = i;
  while (i < sorgente.size() && spazio(sorgente[i])) ++i;
  const bool chiuso =
      i == sorgente.size() || sorgente[i] == ',' || sorgente[i] == '\r' || sorgente[i] == '\n';
  if (prima == 0 || sorgente[prima - 1] != ',' || gruppo == blanchi || fine_gruppo - gruppo != 3 ||
      !chiuso) {
    return;
  }
  const std::string tre(sorgente.substr(gruppo, 3));
  const std::string unito = std::string(t) + tre;
  d_.avviso("numero-spezzato",
            citato(std::string(t) + " " + tre) + ": lo spazio separa due campi, " + std::string(t) +
                " e " + tre + "; per " + unito + " scrivi " + citato(unito),
            a(inizio, fine_gruppo));
  d_.correggi({"scrivi " + citato(unito), a(inizio), fine_gruppo - inizio, unito});
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
    const std::string voluto = da_utf8(testo);
    d_.avviso("testo-utf8",
              "il testo " + citato(testo) + " (" + citato(voluto) +
                  "?) sembra scritto in UTF-8, ma i sorgenti sono letti in Windows-1252: " +
                  "salva il file con la codifica Windows-1252 (nell'editor: salva con codifica)",
              a(inizio));
    const std::string_view sorgente = lettore_.testo();
    const size_t da = inizio < sorgente.size() && sorgente[inizio] == '"' ? inizio + 1 : inizio;
    if (sorgente.substr(std::min(da, sorgente.size()), testo.size()) == testo) {
      d_.correggi({"scrivi " + citato(voluto) + " in Windows-1252", a(da), testo.size(), voluto});
    }
  }
  // A text that opens a line and holds a keyword: the record's text is
  // missing and the next record's keyword took its place.
  const std::string_view sorgente = lettore_.testo();
  size_t i = std::min(inizio, sorgente.size());
  while (i > 0 && spazio(sorgente[i - 1])) --i;
  const bool a_capo = i == 0 || sorgente[i - 1] == '\n' || sorgente[i - 1] == '\r';
  if (a_capo && !lessico_.parola_contenuta(testo).empty()) {
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
    // `6,5`: a decimal comma splits the number in two fields.
    const std::string_view sorgente = lettore_.testo();
    const std::string_view t = spoglia(campo);
    const bool dopo_virgola =
        inizio >= 1 && inizio <= sorgente.size() && sorgente[inizio - 1] == ',';
    size_t cifre = dopo_virgola ? inizio - 1 : 0;  // the digits before the comma begin here
    while (cifre > 0 && cifra(sorgente[cifre - 1])) --cifre;
    const bool virgola =
        dopo_virgola && cifre < inizio - 1 && !t.empty() && std::all_of(t.begin(), t.end(), cifra);
    std::string messaggio = "valore " + citato(campo) +
                            " di troppo: letto al posto di una parola chiave e ignorato, come i " +
                            "numeri che lo seguono";
    const std::string decimale =
        virgola ? std::string(sorgente.substr(cifre, inizio - 1 - cifre)) + "." + std::string(t)
                : "";
    if (virgola) {
      messaggio +=
          "; la virgola separa i campi: per un numero con decimali scrivi " + citato(decimale);
    }
    d_.avviso("campo-ignorato", messaggio, a(inizio));
    if (virgola) d_.correggi({"scrivi " + citato(decimale), a(inizio - 1), 1, "."});
    numeri_tollerati_ = kTutti;
    return;
  }
  numeri_tollerati_ = kTutti;
  if (perche.empty() && unita_scritta(campo, inizio, ", e' ignorato")) return;
  std::string messaggio = "campo " + citato(campo) + " ignorato: ";
  std::string_view nome;
  if (!perche.empty()) {
    messaggio += perche;
  } else if (!sembra_parola_chiave(campo)) {
    messaggio += "non apre nessun record";
  } else {
    messaggio += "non apre nessun record";
    nome = d_.suggerimenti_attivi() ? lessico_.suggerimento(campo) : "";
    if (!nome.empty()) messaggio += "; forse " + citato(nome) + "?";
  }
  d_.avviso("campo-ignorato", messaggio, a(inizio));
  if (!nome.empty()) {
    // The word alone is replaced: the blanks around it stay as written.
    const size_t da = campo.find_first_not_of(" \t");
    const size_t a_ = campo.find_last_not_of(" \t");
    if (da != std::string_view::npos) {
      d_.correggi({"scrivi " + citato(nome), a(inizio + da), a_ + 1 - da, std::string(nome)});
    }
  }
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
  const std::string_view s = lettore_.testo();
  if (inizio >= s.size()) return false;
  const size_t fine_riga = fine_della_riga(s, inizio);
  size_t i = std::min(s.find(',', inizio), fine_riga);
  size_t letti = 0;
  while (i < fine_riga) {
    const size_t dopo = std::min(s.find(',', i + 1), fine_riga);
    const std::string_view valore = spoglia(s.substr(i + 1, dopo - i - 1));
    if (letti >= descrizione_->campi.size()) return false;
    const bool testo = descrizione_->campi[letti].formato == Formato::testo;
    if (!testo && !e_numero(valore)) return false;
    ++letti;
    i = dopo;
  }
  return letti == descrizione_->campi.size();
}

void Avvisi::virgolette_oltre_la_riga(size_t apertura, size_t chiusura) noexcept {
  try {
    const std::string_view s = lettore_.testo();
    const size_t fine_riga = fine_della_riga(s, apertura);
    // The first line after the quote's own whose first field names a record.
    std::vector<Nota> note;
    for (size_t i = fine_riga; i < chiusura && i < s.size();) {
      while (i < s.size() && (s[i] == '\r' || s[i] == '\n')) ++i;
      const size_t fine = std::min(s.find_first_of(",\r\n", i), std::min(chiusura, s.size()));
      const std::string_view primo = spoglia(s.substr(i, fine - i));
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
    const size_t virgola = std::min(s.find(',', apertura), fine_riga);
    size_t chiudi = virgola;
    while (chiudi > apertura + 1 && spazio(s[chiudi - 1])) --chiudi;
    d_.correggi({"chiudi le virgolette", a(chiudi), 0, "\""});
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

void Avvisi::registra(std::string_view tipo, int64_t inizio, int64_t fine) {
  precedenti_[tipo] = {inizio, fine, a(chiave_)};
}

void Avvisi::in_ordine(std::string_view tipo, int64_t p) {
  if (!d_.avvisi_attivi()) return;
  const auto i = precedenti_.find(tipo);
  if (i != precedenti_.end() && p <= i->second.inizio && !posizione_spiegata_) {
    d_.avviso("fuori-ordine",
              std::string(tipo) + " a " + std::to_string(p) +
                  " m non viene dopo il record precedente, a " + std::to_string(i->second.inizio) +
                  " m: vanno in ordine di posizione crescente",
              a(chiave_), {nota_precedente(i->second, tipo)});
    d_.colloca(in_32(p));
  }
  registra(tipo, p, p);
}

void Avvisi::senza_sovrapposizione(std::string_view tipo, int64_t inizio, int64_t fine) {
  if (!d_.avvisi_attivi()) return;
  const auto i = precedenti_.find(tipo);
  if (i != precedenti_.end() && inizio < i->second.fine && !posizione_spiegata_) {
    d_.avviso("sovrapposizione",
              std::string(tipo) + " da " + std::to_string(inizio) +
                  " m comincia prima della fine (" + std::to_string(i->second.fine) +
                  " m) di quella precedente",
              a(chiave_), {nota_precedente(i->second, tipo)});
    d_.colloca(in_32(inizio));
  }
  registra(tipo, inizio, fine);
}

void Avvisi::una_volta(std::string_view tipo) {
  if (!d_.avvisi_attivi()) return;
  const auto i = precedenti_.find(tipo);
  if (i != precedenti_.end()) {
    d_.avviso("sovrascrittura",
              std::string(tipo) +
                  " ripetuto: i valori letti qui prendono il posto di quelli del record " +
                  "precedente",
              a(chiave_), {nota_precedente(i->second, tipo)});
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
  const auto cella = static_cast<int32_t>(c.cella);
  // What the later record took of the cell, and what of the earlier one's
  // writes the files still hold: its other values there, and its codes in
  // the cells before it that nothing wrote since.
  std::vector<uint8_t> presi;
  std::vector<std::string> presi_testo;
  for (size_t k = da.prima_scrittura; k < da.prima_scrittura + da.scritture; ++k) {
    const Scrittura& s = g.scritture()[k];
    if (s.bersaglio != Scrittura::Bersaglio::cella || s.indice != cella) continue;
    presi.push_back(s.campo);
    presi_testo.push_back(citato(nome_campo(static_cast<CampoCella>(s.campo))));
  }
  std::vector<std::string> restano;
  std::vector<std::string> codici;
  for (size_t k = erasa.prima_scrittura; k < erasa.prima_scrittura + erasa.scritture; ++k) {
    const Scrittura& s = g.scritture()[k];
    if (s.bersaglio != Scrittura::Bersaglio::cella) continue;
    const auto campo = static_cast<CampoCella>(s.campo);
    if (s.indice == cella) {
      if (std::find(presi.begin(), presi.end(), s.campo) != presi.end()) continue;
      restano.push_back(citato(nome_campo(campo)) + " " + std::to_string(s.nuovo));
    } else if (campo == CampoCella::preavviso &&
               g.ultima_scrittura_cella(static_cast<size_t>(s.indice), campo) == &s) {
      codici.push_back(std::to_string(s.indice));
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
  // A section name a few letters from `[generale]`, at the start of a line.
  const std::string_view s = lettore_.testo();
  for (size_t i = 0; i < s.size(); i = fine_della_riga(s, i) + 1) {
    while (i < s.size() && (spazio(s[i]) || fine_di_riga(s[i]))) ++i;
    if (i >= s.size() || s[i] != '[') continue;
    const size_t chiusa = s.find(']', i);
    if (chiusa == std::string_view::npos ||
        s.substr(i, chiusa - i).find_first_of("\r\n") != std::string_view::npos) {
      continue;
    }
    std::string nome(s.substr(i + 1, chiusa - i - 1));
    for (char& c : nome) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    if (nome == "generale" || distanza_entro(nome, "generale", 3) > 2) continue;
    const std::string scritto(s.substr(i, chiusa + 1 - i));
    d_.avviso("generale-mancante",
              "la sezione " + citato(scritto) +
                  " non e' `[generale]`: tutto il file e' saltato e "
                  "nessun suo record e' compilato; scrivi `[generale]`",
              a(i));
    d_.correggi({"scrivi `[generale]`", a(i), scritto.size(), "[generale]"});
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

size_t Avvisi::campi_dopo(size_t da) const {
  const std::string_view s = lettore_.testo();
  size_t n = 0;
  bool virgolette = false;
  for (size_t i = da; i < s.size() && !fine_di_riga(s[i]); ++i) {
    if (s[i] == '"') virgolette = !virgolette;
    if (s[i] == ',' && !virgolette) ++n;
  }
  return n;
}

void Avvisi::record_corto(size_t inizio) {
  if (corto_avvisato_ || in_lettura_ == nullptr || indice_ >= in_lettura_->campi.size()) return;
  const std::string_view s = lettore_.testo();
  if (inizio > s.size() || chiave_ >= inizio) return;
  if (a_capo_chiave_ == kNonCercato) {
    a_capo_chiave_ = fine_della_riga(s, chiave_);
  }
  const size_t a_capo = a_capo_chiave_;
  if (a_capo >= inizio) return;
  // Inside a quoted text that runs on, the quotes are the cause, said there.
  if (s.substr(chiave_, a_capo - chiave_).find('"') != std::string_view::npos) return;
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
  const size_t presenti = campi_dopo(inizio + t.size());
  std::string scritto;
  for (std::string_view p : parti) scritto += (scritto.empty() ? "" : ", ") + std::string(p);
  const bool certo = presenti + (k - 1) <= necessari && necessari - presenti - (k - 1) <= 3 - k;
  if (certo) {
    for (size_t z = presenti + (k - 1); z < necessari; ++z) scritto += ", 0";
  }
  d_.avviso("orario-in-un-campo",
            citato(t) + " e' un orario in un campo solo, e il campo delle ore lo legge come " +
                std::to_string(e_numero(t) ? numero_da_campo(t) : 0) +
                ": ore, minuti e secondi sono campi separati dalla virgola" +
                (certo ? "; scrivi " + citato(scritto) : ""),
            a(inizio));
  if (certo) d_.correggi({"scrivi " + citato(scritto), a(inizio), t.size(), scritto});
  corto_avvisato_ = true;
  return true;
}

bool Avvisi::posizione_con_virgola(std::string_view t, size_t inizio) {
  const CampoRecord* c = campo_corrente();
  const std::string_view s = lettore_.testo();
  if (c == nullptr || indice_ != 0 || c->unita != "m" || t.empty() || t.size() > 3 ||
      !std::all_of(t.begin(), t.end(), cifra) || s.substr(inizio, t.size()) != t) {
    return false;
  }
  const size_t v = inizio + t.size();
  if (v + 4 > s.size() || s[v] != ',') return false;
  for (size_t k = 1; k <= 3; ++k) {
    if (!cifra(s[v + k])) return false;
  }
  if (v + 4 < s.size() && std::string_view(", \t\r\n").find(s[v + 4]) == std::string_view::npos) {
    return false;
  }
  // One field more than the record reads: the comma split the position.
  if (campi_dopo(v) != in_lettura_->campi.size()) return false;
  const std::string tre(s.substr(v + 1, 3));
  const std::string unito = std::string(t) + tre;
  d_.avviso("posizione-con-virgola",
            citato(std::string(t) + "," + tre) +
                ": la virgola separa i campi, e la posizione e' letta come " + std::string(t) +
                " m, con i campi dopo spostati di uno; per " + unito + " m scrivi " + citato(unito),
            a(inizio));
  d_.correggi({"scrivi " + citato(unito), a(inizio), t.size() + 4, unito});
  spiegato_fino_a_ = fine_della_riga(s, v);
  posizione_spiegata_ = true;
  return true;
}

bool Avvisi::segno_staccato(std::string_view t, size_t inizio) {
  const std::string_view s = lettore_.testo();
  if ((t != "-" && t != "+") || s.substr(inizio, 1) != t) return false;
  size_t i = inizio + 1;
  while (i < s.size() && spazio(s[i])) ++i;
  const size_t cifre = i;
  while (i < s.size() && cifra(s[i])) ++i;
  if (i == cifre || cifre == inizio + 1) return false;
  if (i < s.size() && std::string_view(", \t\r\n").find(s[i]) == std::string_view::npos) {
    return false;
  }
  const std::string numero = std::string(t) + std::string(s.substr(cifre, i - cifre));
  d_.avviso("segno-staccato",
            "il segno " + citato(t) + " e' staccato dal numero: e' letto come 0, e " +
                citato(s.substr(cifre, i - cifre)) + " come un campo di troppo; scrivi " +
                citato(numero),
            a(inizio));
  d_.correggi({"scrivi " + citato(numero), a(inizio), i - inizio, numero});
  spiegato_fino_a_ = i;
  return true;
}

bool Avvisi::spazio_indivisibile(std::string_view campo, size_t inizio) {
  constexpr char kIndivisibile = '\xA0';
  if (campo.find(kIndivisibile) == std::string_view::npos) return false;
  const std::string_view s = lettore_.testo();
  std::string senza(campo);
  std::erase(senza, kIndivisibile);
  const bool certo = e_numero(senza) && s.substr(inizio, campo.size()) == campo;
  d_.avviso("spazio-indivisibile",
            "il campo contiene uno spazio indivisibile (U+00A0, da un testo incollato), che non "
            "separa i campi: " +
                std::string(e_numero(campo) ? "" : "non e' un numero e vale 0") +
                (certo ? "; scrivi " + citato(senza) : ""),
            a(inizio));
  if (certo) d_.correggi({"scrivi " + citato(senza), a(inizio), campo.size(), senza});
  return true;
}

bool Avvisi::colonna_mancante(std::string_view campo, size_t inizio) {
  const CampoRecord* c = campo_corrente();
  if (c == nullptr || indice_ + 2 != in_lettura_->campi.size() ||
      in_lettura_->campi.back().formato != Formato::testo) {
    return false;
  }
  const std::string_view s = lettore_.testo();
  const std::string_view t = spoglia(campo);
  if (t.empty() || t.front() == '"' || inizio + t.size() > s.size() ||
      s.substr(inizio, t.size()) != t) {
    return false;
  }
  // The number ended at a blank, and the line goes on with the text.
  const size_t dopo = inizio + t.size();
  size_t testo = dopo;
  while (testo < s.size() && spazio(s[testo])) ++testo;
  if (testo == dopo || testo >= s.size() || s[testo] == ',' || fine_di_riga(s[testo])) {
    return false;
  }
  size_t fine = std::min(s.find(',', testo), fine_della_riga(s, testo));
  while (fine > testo && spazio(s[fine - 1])) --fine;
  const CampoRecord& nome = in_lettura_->campi.back();
  d_.avviso("colonna-in-meno",
            citato(t) + " non e' un numero e vale 0: alla riga manca una colonna del record " +
                citato(in_lettura_->nome) + " (" + std::to_string(in_lettura_->campi.size()) +
                " campi), cosi' " + nome_campo(*c) + " prende " + citato(t) + ", l'inizio di " +
                citato(s.substr(inizio, fine - inizio)) + ", e " + nome_campo(nome) +
                " conserva solo " + citato(s.substr(testo, fine - testo)) +
                ": aggiungi la colonna che manca",
            a(inizio));
  return true;
}

void Avvisi::testo_con_virgola(std::string_view testo, size_t inizio) {
  const CampoRecord* c = campo_corrente();
  const std::string_view s = lettore_.testo();
  if (c == nullptr || indice_ + 1 != in_lettura_->campi.size() || inizio >= s.size() ||
      s[inizio] == '"') {
    return;
  }
  const size_t fine_riga = fine_della_riga(s, inizio);
  const size_t virgola = s.find(',', inizio);
  if (virgola >= fine_riga) return;
  size_t fine = fine_riga;
  while (fine > virgola && spazio(s[fine - 1])) --fine;
  const std::string_view resto = spoglia(s.substr(virgola + 1, fine - virgola - 1));
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
  d_.avviso("testo-con-virgola",
            "il testo " + citato(testo) + " finisce alla virgola, e " + citato(resto) +
                " e' ignorato: un testo con la virgola va tra virgolette" +
                (certo ? "; scrivi " + citato(tra) : ""),
            a(inizio));
  if (certo) d_.correggi({"metti il testo tra virgolette", a(inizio), intero.size(), tra});
}

bool Avvisi::chiave_letta(std::string_view campo, size_t inizio) {
  if (!d_.avvisi_attivi()) return false;
  corto_avvisato_ = false;
  posizione_spiegata_ = false;
  const std::string_view s = lettore_.testo();
  const bool al_suo_posto = inizio <= s.size() && s.substr(inizio, campo.size()) == campo;
  const size_t pv = campo.find(';');
  if (pv != std::string_view::npos && !segno_di_commento(campo) &&
      !lessico_.parola_contenuta(campo.substr(0, pv)).empty() &&
      campo.find_first_of("0123456789", pv) != std::string_view::npos) {
    std::string giusto(campo);
    std::replace(giusto.begin(), giusto.end(), ';', ',');
    d_.avviso("punto-e-virgola",
              "il `;` non separa i campi: la riga e' letta come un campo solo, e il record prende "
              "i suoi valori dalle righe dopo; i campi si separano con la virgola" +
                  std::string(al_suo_posto ? ": scrivi " + citato(giusto) : ""),
              a(inizio + pv));
    if (al_suo_posto) {
      d_.correggi({"separa i campi con la virgola", a(inizio), campo.size(), giusto});
    }
    return false;
  }
  // `3 vetture`: a word after a number on its line, read as a record.
  size_t prima = inizio;
  while (prima > 0 && prima <= s.size() && spazio(s[prima - 1])) --prima;
  if (!al_suo_posto || prima == inizio || prima == 0 || !cifra(s[prima - 1]) ||
      lessico_.parola_contenuta(campo).empty() || !sembra_parola_chiave(campo)) {
    return false;
  }
  size_t numero = prima;
  while (numero > 0 && cifra(s[numero - 1])) --numero;
  const std::string_view cifre = s.substr(numero, prima - numero);
  d_.avviso("parola-dopo-il-numero",
            citato(campo) + " dopo il numero " + citato(cifre) +
                " non si scrive: e' letto come un nuovo record, che prende i suoi valori dalla "
                "riga dopo; scrivi " +
                citato(cifre),
            a(inizio));
  d_.correggi({"scrivi " + citato(cifre), a(prima), inizio + campo.size() - prima, ""});
  return true;
}

}  // namespace calvetra
