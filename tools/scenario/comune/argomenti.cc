#include "scenario/comune/argomenti.h"

#include <cstdio>
#include <utility>

#include "scenario/comune/testo.h"

namespace calvetra::scenario {

Sintassi::Sintassi(std::string comando, std::string aiuto)
    : comando_(std::move(comando)), aiuto_(std::move(aiuto)) {}

Sintassi& Sintassi::bandiera(const char* nome, bool* v) {
  Opzione o;
  o.nomi = {nome};
  o.bandiera = v;
  opzioni_.push_back(std::move(o));
  return *this;
}

Sintassi& Sintassi::valore(const char* nome, const char* segnaposto, std::string* v) {
  Opzione o;
  o.nomi = {nome};
  o.segnaposto = segnaposto;
  o.genere = Genere::valore;
  o.testo = v;
  opzioni_.push_back(std::move(o));
  return *this;
}

Sintassi& Sintassi::nome_file(const char* nome, const char* segnaposto, std::string* v) {
  valore(nome, segnaposto, v);
  opzioni_.back().genere = Genere::nome_file;
  return *this;
}

Sintassi& Sintassi::numero(const char* nome, const char* segnaposto, int32_t minimo,
                           int32_t massimo, int32_t* v) {
  Opzione o;
  o.nomi = {nome};
  o.segnaposto = segnaposto;
  o.genere = Genere::numero;
  o.numero = v;
  o.minimo = minimo;
  o.massimo = massimo;
  opzioni_.push_back(std::move(o));
  return *this;
}

Sintassi& Sintassi::nomi_scenario(NomiScenario* nomi) {
  nome_file("--linea", "NOME", &nomi->linea);
  opzioni_.back().testo_1252 = &nomi->linea_1252;
  nome_file("--treni", "COPPIA", &nomi->treni);
  opzioni_.back().testo_1252 = &nomi->treni_1252;
  return *this;
}

Sintassi& Sintassi::alias(const char* nome) {
  opzioni_.back().nomi.emplace_back(nome);
  return *this;
}

Sintassi& Sintassi::obbligatoria() {
  opzioni_.back().obbligatoria = true;
  return *this;
}

Sintassi& Sintassi::cartella(std::string* v) {
  cartella_ = v;
  return *this;
}

std::string Sintassi::uso() const {
  const auto forma = [](const Opzione& o) {
    return o.genere == Genere::bandiera ? o.nomi[0] : o.nomi[0] + " " + o.segnaposto;
  };
  std::string s;
  for (const Opzione& o : opzioni_) {
    if (o.obbligatoria) continue;
    s += '[';
    s += forma(o);
    s += "] ";
  }
  // A command without a directory (lsp) takes none.
  if (cartella_ != nullptr) {
    s += "CARTELLA";
  } else if (!s.empty()) {
    s.pop_back();
  }
  for (const Opzione& o : opzioni_) {
    if (!o.obbligatoria) continue;
    s += ' ';
    s += forma(o);
  }
  return s;
}

const Sintassi::Opzione* Sintassi::trova(std::string_view nome) const {
  for (const Opzione& o : opzioni_) {
    for (const std::string& n : o.nomi) {
      if (n == nome) return &o;
    }
  }
  return nullptr;
}

bool Sintassi::assegna(const Opzione& o, const std::string& v, std::string* motivo) const {
  switch (o.genere) {
    case Genere::bandiera: *o.bandiera = true; return true;
    case Genere::valore: *o.testo = v; return true;
    case Genere::nome_file: {
      if (o.testo_1252 != nullptr ? !accetta_nome(v, o.testo, o.testo_1252, motivo)
                                  : !nome_accettabile(v, motivo)) {
        *motivo = o.nomi[0] + ": " + *motivo;
        return false;
      }
      if (o.testo_1252 == nullptr) *o.testo = v;
      return true;
    }
    case Genere::numero: {
      int64_t n = 0;
      for (char c : v) {
        if (c < '0' || c > '9' || n > o.massimo) {
          n = -1;
          break;
        }
        n = n * 10 + (c - '0');
      }
      if (v.empty() || n < o.minimo || n > o.massimo) {
        *motivo = o.nomi[0] + " vuole un numero da " + std::to_string(o.minimo) + " a " +
                  std::to_string(o.massimo) + ", non \"" + v + "\"";
        return false;
      }
      *o.numero = static_cast<int32_t>(n);
      return true;
    }
  }
  return false;
}

std::string Sintassi::motivo(const Argomenti& a, bool* aiuto) const {
  std::vector<std::string> posizionali;
  std::vector<const Opzione*> date;
  bool fine_opzioni = false;
  for (size_t i = 0; i < a.size(); ++i) {
    const std::string& x = a[i];
    if (fine_opzioni || x.size() < 2 || x[0] != '-') {
      posizionali.push_back(x);
      continue;
    }
    if (x == "--") {
      fine_opzioni = true;
      continue;
    }
    if (x == "--help" || x == "-h") {
      *aiuto = true;
      return "";
    }
    const size_t uguale = x.find('=');
    const Opzione* o = trova(std::string_view(x).substr(0, uguale));
    if (o == nullptr || (o->genere == Genere::bandiera && uguale != std::string::npos)) {
      return "opzione sconosciuta " + x;
    }
    std::string v;
    if (uguale != std::string::npos) {
      v = x.substr(uguale + 1);
    } else if (o->genere != Genere::bandiera) {
      if (i + 1 >= a.size()) return "manca il valore di " + x;
      v = a[++i];
    }
    std::string perche;
    if (!assegna(*o, v, &perche)) return perche;
    date.push_back(o);
  }
  const size_t ammessi = cartella_ != nullptr ? 1 : 0;
  if (posizionali.size() < ammessi) return "serve una CARTELLA";
  if (posizionali.size() > ammessi) return "argomento in piu' " + posizionali[ammessi];
  for (const Opzione& o : opzioni_) {
    bool data = false;
    for (const Opzione* d : date) data = data || d == &o;
    if (o.obbligatoria && !data) return "serve " + o.nomi[0] + " " + o.segnaposto;
  }
  if (cartella_ != nullptr) *cartella_ = posizionali[0];
  return "";
}

std::optional<int> Sintassi::leggi(const Argomenti& a, std::ostream& out, std::ostream& err) const {
  bool aiuto = false;
  const std::string perche = motivo(a, &aiuto);
  if (aiuto) {
    out << aiuto_;
    return kUscitaPulita;
  }
  if (perche.empty()) return std::nullopt;
  err << "scenario " << comando_ << ": " << perche << "\n"
      << "uso: scenario " << comando_ << " " << uso() << "\n";
  return kUscitaUso;
}

bool nome_accettabile(std::string_view nome, std::string* motivo) {
  const size_t i = nome.find_first_of(std::string_view("/\0", 2));
  if (i == std::string_view::npos) return true;
  // The value as given, a NUL shown as \0.
  std::string mostrato;
  for (char c : nome) {
    if (c == '\0') {
      mostrato += "\\0";
    } else {
      mostrato += c;
    }
  }
  *motivo = "nome rifiutato \"" + mostrato + "\": contiene " +
            (nome[i] == '/' ? "un separatore di percorso '/'" : "un carattere NUL") +
            " e i file devono restare nella CARTELLA";
  return false;
}

std::optional<std::string> nome_in_1252(std::string_view nome, std::string* motivo) {
  const Testo1252 t = utf8_a_1252(nome);
  if (t.non_rappresentabili.empty()) return t.testo;
  // The character refused, found again in the name as given.
  const size_t indice = t.non_rappresentabili.front();
  size_t i = 0;
  for (size_t k = 0; k < indice; ++k) prossimo_utf8(nome, &i);
  const size_t inizio = i;
  const uint32_t punto = prossimo_utf8(nome, &i);
  const std::string_view byte = nome.substr(inizio, i - inizio);
  char codice[16];
  if (punto == 0xFFFD && byte != "\xEF\xBF\xBD") {
    std::snprintf(codice, sizeof codice, "0x%02X",
                  static_cast<unsigned>(static_cast<unsigned char>(byte.front())));
    *motivo = "nome rifiutato \"" + std::string(nome) + "\": il byte " + codice +
              " non e' UTF-8; scrivi il nome in UTF-8, sara' conservato in Windows-1252";
  } else {
    std::snprintf(codice, sizeof codice, "U+%04X", static_cast<unsigned>(punto));
    *motivo = "nome rifiutato \"" + std::string(nome) + "\": il carattere '" + std::string(byte) +
              "' (" + codice +
              ") non sta in Windows-1252, la codifica in cui la tabella conserva i nomi";
  }
  return std::nullopt;
}

bool accetta_nome(std::string_view dato, std::string* nome, std::string* nome_1252,
                  std::string* motivo) {
  if (!nome_accettabile(dato, motivo)) return false;
  const std::optional<std::string> t = nome_in_1252(dato, motivo);
  if (!t) return false;
  *nome = dato;
  if (*t == dato) {
    nome_1252->clear();
  } else {
    *nome_1252 = *t;
  }
  return true;
}

}  // namespace calvetra::scenario
