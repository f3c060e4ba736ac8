#include "scenario/lsp/trasporto.h"

#include <cctype>

namespace calvetra::scenario::lsp {

namespace {

bool stesso_nome(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::string_view senza_spazi(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

bool Trasporto::riga(std::string* r, bool* troppo_lunga) {
  r->clear();
  *troppo_lunga = false;
  for (;;) {
    const int c = in_.get();
    if (c == std::char_traits<char>::eof()) return false;
    if (c == '\n') break;
    if (r->size() >= kRigaMassima) {
      *troppo_lunga = true;
      return false;
    }
    r->push_back(static_cast<char>(c));
  }
  if (!r->empty() && r->back() == '\r') r->pop_back();
  return true;
}

Trasporto::Esito Trasporto::leggi(std::string* corpo, std::string* errore) {
  corpo->clear();
  bool lunghezza_data = false;
  size_t lunghezza = 0;
  std::string r;
  bool troppo_lunga = false;
  for (int n = 0;; ++n) {
    if (!riga(&r, &troppo_lunga)) {
      if (troppo_lunga) {
        *errore = "riga di intestazione oltre " + std::to_string(kRigaMassima) + " byte";
        return Esito::guasto;
      }
      if (n == 0 && r.empty()) return Esito::fine;
      *errore = "l'ingresso finisce dentro un'intestazione";
      return Esito::guasto;
    }
    if (r.empty()) {
      // Blank lines before a header are tolerated; one after it ends it.
      if (n == 0) {
        --n;
        continue;
      }
      break;
    }
    if (n >= kRigheMassime) {
      *errore = "piu' di " + std::to_string(kRigheMassime) + " righe di intestazione";
      return Esito::guasto;
    }
    const size_t due_punti = r.find(':');
    if (due_punti == std::string::npos) {
      *errore = "riga di intestazione senza `:`";
      return Esito::guasto;
    }
    const std::string_view nome = senza_spazi(std::string_view(r).substr(0, due_punti));
    const std::string_view valore = senza_spazi(std::string_view(r).substr(due_punti + 1));
    if (!stesso_nome(nome, "Content-Length")) continue;
    if (valore.empty()) {
      *errore = "Content-Length vuoto";
      return Esito::guasto;
    }
    lunghezza = 0;
    for (char c : valore) {
      if (c < '0' || c > '9') {
        *errore = "Content-Length non e' un numero";
        return Esito::guasto;
      }
      lunghezza = lunghezza * 10 + static_cast<size_t>(c - '0');
      if (lunghezza > kCorpoMassimo) {
        *errore = "Content-Length oltre " + std::to_string(kCorpoMassimo) + " byte";
        return Esito::guasto;
      }
    }
    lunghezza_data = true;
  }
  if (!lunghezza_data) {
    *errore = "messaggio senza Content-Length";
    return Esito::guasto;
  }
  // Read in slices, so that a length the input never delivers costs no more
  // memory than what did arrive.
  constexpr size_t kFetta = size_t{1} << 16;
  while (corpo->size() < lunghezza) {
    const size_t prima = corpo->size();
    const size_t quanto = std::min(kFetta, lunghezza - prima);
    corpo->resize(prima + quanto);
    in_.read(corpo->data() + prima, static_cast<std::streamsize>(quanto));
    const auto letti = static_cast<size_t>(in_.gcount());
    if (letti < quanto) {
      corpo->clear();
      *errore = "l'ingresso finisce dentro un messaggio";
      return Esito::guasto;
    }
  }
  return Esito::messaggio;
}

void Trasporto::scrivi(std::string_view corpo) {
  out_ << "Content-Length: " << corpo.size() << "\r\n\r\n" << corpo;
  out_.flush();
}

bool Trasporto::in_attesa() const {
  std::streambuf* b = in_.rdbuf();
  return b != nullptr && in_.good() && b->in_avail() > 0;
}

}  // namespace calvetra::scenario::lsp
