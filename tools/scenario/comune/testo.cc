#include "scenario/comune/testo.h"

#include <charconv>
#include <cmath>

namespace calvetra::scenario {

namespace {

// A byte that `utf8_leggibile` says rather than shows.
bool da_dire(unsigned char c) {
  if (c < 0x20) return c != '\t' && c != '\r' && c != '\n';
  return c == 0x7F || !definito_1252(c);
}

// `c` said as an editor shows it: `<81>`.
void di_byte(std::string* s, unsigned char c) {
  static constexpr char kCifre[] = "0123456789ABCDEF";
  *s += '<';
  *s += kCifre[c >> 4];
  *s += kCifre[c & 0x0F];
  *s += '>';
}

}  // namespace

std::string utf8_leggibile(std::string_view testo) {
  std::string s;
  aggiungi_utf8_leggibile(&s, testo);
  return s;
}

void aggiungi_utf8_leggibile(std::string* out, std::string_view testo) {
  std::string& s = *out;
  s.reserve(s.size() + testo.size());
  for (size_t i = 0; i < testo.size();) {
    // Printable ASCII, the same in both, goes over a run at a time: a line
    // of a source is mostly that.
    size_t fine = i;
    while (fine < testo.size() && ascii_stampabile(testo[fine])) ++fine;
    if (fine > i) {
      s.append(testo.substr(i, fine - i));
      i = fine;
      continue;
    }
    // What a file saved as UTF-8 holds is shown as the letters it wrote,
    // never as two characters of the code page each.
    if (const size_t n = sequenza_utf8(testo, i); n > 0) {
      s.append(testo.substr(i, n));
      i += n;
      continue;
    }
    const auto u = static_cast<unsigned char>(testo[i++]);
    if (da_dire(u)) {
      di_byte(&s, u);
    } else {
      aggiungi_utf8(&s, punto_di_codice_1252(u));
    }
  }
}

size_t colonne_leggibili(std::string_view testo, size_t i, size_t* dopo) {
  if (const size_t n = sequenza_utf8(testo, i); n > 0) {
    *dopo = i + n;
    return 1;
  }
  *dopo = i + 1;
  return da_dire(static_cast<unsigned char>(testo[i])) ? 4 : 1;
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
        } else if (da_dire(u)) {
          s += "&lt;" + utf8_leggibile(std::string_view(&c, 1)).substr(1, 2) + "&gt;";
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
