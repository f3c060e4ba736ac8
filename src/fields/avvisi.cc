#include "fields/avvisi.h"

#include <algorithm>

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
      segnato_ = {true, inizio, e_numero(campo)};
    }
    size_t i = 0;
    while (i < campo.size() && spazio(campo[i])) ++i;
    if (i == campo.size() || e_numero(campo)) return;
    const std::string_view parola = lessico_.parola_contenuta(campo);
    if (!parola.empty()) {
      d_.avviso("parola-chiave-come-valore",
                "il campo " + citato(campo) + " e' letto come valore e vale 0: al record manca " +
                    "un valore, e questa parola chiave non apre un nuovo record",
                a(inizio));
      return;
    }
    d_.avviso("numero-non-valido", citato(campo) + " non e' un numero e vale 0", a(inizio));
  } catch (...) {
    // A warning that cannot be recorded is simply not recorded.
  }
}

void Avvisi::testo_letto(std::string_view testo, size_t inizio) {
  if (!d_.avvisi_attivi()) return;
  if (sembra_utf8(testo)) {
    d_.avviso("testo-utf8",
              "il testo " + citato(testo) +
                  " sembra scritto in UTF-8, ma i sorgenti sono letti in Windows-1252",
              a(inizio));
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
  if (!d_.avvisi_attivi()) return;
  constexpr int kTutti = 1 << 30;
  if (e_numero(campo)) {
    if (numeri_tollerati_ > 0) {
      --numeri_tollerati_;
      return;
    }
    d_.avviso("campo-ignorato",
              "valore " + citato(campo) +
                  " di troppo: letto al posto di una parola chiave e ignorato, come i numeri " +
                  "che lo seguono",
              a(inizio));
    numeri_tollerati_ = kTutti;
    return;
  }
  numeri_tollerati_ = kTutti;
  std::string messaggio = "campo " + citato(campo) + " ignorato: ";
  std::string_view nome;
  if (!perche.empty()) {
    messaggio += perche;
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
  if (!trovati.attivi.empty()) return;
  for (const DescrizioneRecord* r : trovati.inattivi) {
    numeri_tollerati_ += static_cast<int>(r->campi.size());
  }
}

void Avvisi::sezione_con_parola_chiave(std::string_view campo, size_t inizio) {
  if (!d_.avvisi_attivi() || !tra_parentesi(campo)) return;
  d_.avviso("sezione-con-parola-chiave",
            "il nome di sezione " + citato(campo) + " contiene la parola chiave " +
                citato(lessico_.parola_contenuta(campo)) + " e vale come record",
            a(inizio));
}

void Avvisi::ripetizione(const DescrizioneRecord& r) {
  if (r.controllo == Controllo::una_volta) una_volta(r.frase);
}

Nota Avvisi::nota_precedente(const Precedente& p, std::string_view tipo) const {
  return {"qui " + std::string(tipo) + " precedente", a(p.chiave)};
}

void Avvisi::registra(std::string_view tipo, int64_t inizio, int64_t fine) {
  precedenti_[tipo] = {inizio, fine, chiave_};
}

void Avvisi::in_ordine(std::string_view tipo, int64_t p) {
  if (!d_.avvisi_attivi()) return;
  const auto i = precedenti_.find(tipo);
  if (i != precedenti_.end() && p <= i->second.inizio) {
    d_.avviso("fuori-ordine",
              std::string(tipo) + " a " + std::to_string(p) +
                  " m non viene dopo il record precedente, a " + std::to_string(i->second.inizio) +
                  " m: vanno in ordine di posizione crescente",
              a(chiave_), {nota_precedente(i->second, tipo)});
  }
  registra(tipo, p, p);
}

void Avvisi::senza_sovrapposizione(std::string_view tipo, int64_t inizio, int64_t fine) {
  if (!d_.avvisi_attivi()) return;
  const auto i = precedenti_.find(tipo);
  if (i != precedenti_.end() && inizio < i->second.fine) {
    d_.avviso("sovrapposizione",
              std::string(tipo) + " da " + std::to_string(inizio) +
                  " m comincia prima della fine (" + std::to_string(i->second.fine) +
                  " m) di quella precedente",
              a(chiave_), {nota_precedente(i->second, tipo)});
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

}  // namespace calvetra
