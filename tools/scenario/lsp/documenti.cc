#include "scenario/lsp/documenti.h"

#include <algorithm>
#include <utility>

namespace calvetra::scenario::lsp {

void Documenti::apri(const std::string& uri, std::string testo, int64_t versione) {
  aperti_[uri] = Documento{std::move(testo), versione};
}

bool Documenti::cambia(const std::string& uri,
                       std::optional<std::pair<Posizione, Posizione>> intervallo,
                       std::string_view testo, int64_t versione, Codifica c) {
  const auto d = aperti_.find(uri);
  if (d == aperti_.end()) return false;
  std::string& t = d->second.testo;
  if (!intervallo) {
    t.assign(testo);
  } else {
    size_t da = byte_utf8(t, intervallo->first, c);
    size_t a = byte_utf8(t, intervallo->second, c);
    if (a < da) std::swap(da, a);
    t.replace(da, a - da, testo);
  }
  d->second.versione = versione;
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
  // "file://localhost/a" names the same file as "file:///a".
  if (uri.substr(0, 9) == "localhost") uri.remove_prefix(9);
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
  return p;
}

std::string uri_da_percorso(std::string_view percorso) {
  constexpr const char* kCifre = "0123456789ABCDEF";
  std::string u = "file://";
  for (char c : percorso) {
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

}  // namespace calvetra::scenario::lsp
