#include "argomenti.h"

namespace calvetra::scenario {

Argomenti::Argomenti(int argc, const char* const* argv) {
  for (int i = 0; i < argc; ++i) argomenti_.emplace_back(argv[i]);
}

bool Argomenti::opzione(const char* nome) {
  if (finiti() || dopo_doppio_trattino() || argomenti_[i_] != nome) return false;
  ++i_;
  return true;
}

bool Argomenti::valore(const char* nome, std::string* v) {
  if (finiti() || dopo_doppio_trattino()) return false;
  const std::string& a = argomenti_[i_];
  const std::string n = nome;
  if (a == n) {
    if (i_ + 1 >= argomenti_.size()) {
      messaggio_ = "manca il valore di " + n;
      return false;
    }
    *v = argomenti_[i_ + 1];
    i_ += 2;
    return true;
  }
  if (a.rfind(n + "=", 0) == 0) {
    *v = a.substr(n.size() + 1);
    ++i_;
    return true;
  }
  return false;
}

bool Argomenti::nome(const char* nome, std::string* v) {
  std::string letto;
  if (!valore(nome, &letto)) return false;
  std::string motivo;
  if (!nome_accettabile(letto, &motivo)) {
    messaggio_ = std::string(nome) + ": " + motivo;
    return false;
  }
  *v = std::move(letto);
  return true;
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

bool Argomenti::posizionale(std::vector<std::string>* p) {
  if (finiti()) return false;
  const std::string& a = argomenti_[i_];
  if (!fine_opzioni_ && a == "--") {
    fine_opzioni_ = true;
    ++i_;
    return true;
  }
  if (!fine_opzioni_ && a.size() > 1 && a[0] == '-') {
    messaggio_ = "opzione sconosciuta " + a;
    return false;
  }
  p->push_back(a);
  ++i_;
  return true;
}

std::string motivo_cartella(const std::vector<std::string>& posizionali) {
  if (posizionali.empty()) return "serve una CARTELLA";
  if (posizionali.size() > 1) return "argomento in piu' " + posizionali[1];
  return "";
}

}  // namespace calvetra::scenario
