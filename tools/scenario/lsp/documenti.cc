#include "scenario/lsp/documenti.h"

#include <algorithm>
#include <utility>

#include "platform/percorsi.h"

namespace calvetra::scenario::lsp {

void Documenti::apri(const std::string& uri, std::string testo, int64_t versione) {
  aperti_[uri] = Documento{std::move(testo), versione};
}

namespace {

// The lines of a UTF-8 text as the editor counts them (CR LF, CR, LF).
int64_t righe(std::string_view t) {
  int64_t n = 1;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
    if (t[i] == '\r' || t[i] == '\n') ++n;
  }
  return n;
}

bool prima(Posizione a, Posizione b) {
  return a.riga < b.riga || (a.riga == b.riga && a.carattere < b.carattere);
}

}  // namespace

bool Documenti::cambia(const std::string& uri, const std::vector<Modifica>& modifiche,
                       std::optional<int64_t> versione, Codifica c, std::string* motivo) {
  const auto d = aperti_.find(uri);
  if (d == aperti_.end()) {
    *motivo = "il documento non e' aperto presso il server";
    return false;
  }
  if (versione && *versione < d->second.versione) {
    *motivo = "la versione " + std::to_string(*versione) + " viene prima della " +
              std::to_string(d->second.versione) + " gia' applicata";
    return false;
  }
  std::string t = d->second.testo;
  for (const Modifica& m : modifiche) {
    if (!m.intervallo) {
      t = m.testo;
      continue;
    }
    const auto [da, a] = *m.intervallo;
    // A place just past the last line is the end of the text, as some
    // clients name it; one further is a text the server does not hold.
    const int64_t n = righe(t);
    if (da.riga > n || a.riga > n) {
      *motivo = "l'intervallo arriva alla riga " + std::to_string(std::max(da.riga, a.riga) + 1) +
                ", il testo ne ha " + std::to_string(n);
      return false;
    }
    if (prima(a, da)) {
      *motivo = "l'intervallo finisce prima di cominciare";
      return false;
    }
    const size_t inizio = byte_utf8(t, da, c);
    const size_t fine = std::max(inizio, byte_utf8(t, a, c));
    t.replace(inizio, fine - inizio, m.testo);
  }
  d->second.testo = std::move(t);
  d->second.versione = versione.value_or(d->second.versione + 1);
  return true;
}

const Documento* Documenti::trova(const std::string& uri) const {
  const auto d = aperti_.find(uri);
  return d == aperti_.end() ? nullptr : &d->second;
}

namespace {

int cifra_esadecimale(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string percorso_da_uri(std::string_view uri) {
  constexpr std::string_view kSchema = "file://";
  if (uri.substr(0, kSchema.size()) != kSchema) return "";
  uri.remove_prefix(kSchema.size());
  // "file://localhost/a" names the same file as "file:///a"; any other
  // server's name goes to the system, which may know its shares.
  std::string_view server = uri.substr(0, std::min(uri.find('/'), uri.size()));
  uri.remove_prefix(server.size());
  if (server == "localhost") server = {};
  if (uri.empty() || uri.front() != '/') return "";
  std::string p;
  for (size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size()) {
      const int a = cifra_esadecimale(uri[i + 1]);
      const int b = cifra_esadecimale(uri[i + 2]);
      if (a >= 0 && b >= 0) {
        p.push_back(static_cast<char>(a * 16 + b));
        i += 2;
        continue;
      }
    }
    if (uri[i] == '?' || uri[i] == '#') break;
    p.push_back(uri[i]);
  }
  // A NUL cannot be in a path; such a URI names no file.
  if (p.find('\0') != std::string::npos) return "";
  return percorso_da_uri_file(server, std::move(p));
}

std::string uri_da_percorso(std::string_view percorso) {
  constexpr const char* kCifre = "0123456789ABCDEF";
  std::string u = "file://";
  for (char c : percorso_uri_file(std::string(percorso))) {
    const auto b = static_cast<unsigned char>(c);
    const bool libero = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') ||
                        (b >= '0' && b <= '9') || b == '/' || b == '-' || b == '_' || b == '.' ||
                        b == '~';
    if (libero) {
      u.push_back(c);
    } else {
      u.push_back('%');
      u.push_back(kCifre[b >> 4]);
      u.push_back(kCifre[b & 0xF]);
    }
  }
  return u;
}

std::string uri_mostrato(std::string_view uri) {
  std::string p = percorso_da_uri(uri);
  return p.empty() ? std::string(uri) : p;
}

}  // namespace calvetra::scenario::lsp
