#include "scenario/comune/testo.h"

#include <charconv>
#include <cmath>

namespace calvetra::scenario {

namespace {

bool ascii(char c) { return static_cast<unsigned char>(c) < 0x80; }

}  // namespace

std::string utf8_da_1252(std::string_view testo) {
  std::string s;
  s.reserve(testo.size());
  for (size_t i = 0; i < testo.size();) {
    // A run of ASCII is the same in both, and goes over at once.
    const size_t da = i;
    while (i < testo.size() && ascii(testo[i])) ++i;
    s.append(testo.substr(da, i - da));
    if (i < testo.size()) {
      aggiungi_utf8(&s, punto_di_codice_1252(static_cast<unsigned char>(testo[i++])));
    }
  }
  return s;
}

Testo1252 utf8_a_1252(std::string_view utf8) {
  Testo1252 t;
  t.testo.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const size_t da = i;
    while (i < utf8.size() && ascii(utf8[i])) ++i;
    t.testo.append(utf8.substr(da, i - da));
    if (i == utf8.size()) break;
    const uint32_t cp = prossimo_utf8(utf8, &i);
    const int b = byte_1252(cp);
    if (b < 0) {
      t.non_rappresentabili.push_back(t.testo.size());
      t.mancanti.push_back(cp);
    }
    t.testo.push_back(b < 0 ? '?' : static_cast<char>(b));
  }
  return t;
}

std::string testo_xml(std::string_view testo_1252) {
  std::string s;
  for (char c : testo_1252) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '&': s += "&amp;"; break;
      case '<': s += "&lt;"; break;
      case '>': s += "&gt;"; break;
      case '"': s += "&quot;"; break;
      case '\'': s += "&apos;"; break;
      default:
        if (u < 0x20) {
          s += '?';
        } else {
          aggiungi_utf8(&s, punto_di_codice_1252(u));
        }
    }
  }
  return s;
}

std::string decimali(double v, int cifre) {
  if (!std::isfinite(v)) return "0";
  char buffer[64];
  const auto [fine, errore] =
      std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, cifre);
  if (errore != std::errc()) return "0";
  std::string s(buffer, fine);
  if (s == "-0" || s.find_first_not_of("-0.") == std::string::npos) return "0";
  return s;
}

}  // namespace calvetra::scenario
