#include "scenario/comune/testo.h"

#include <array>
#include <charconv>
#include <cmath>

namespace calvetra::scenario {

namespace {

// Code points of the bytes 0x80 to 0x9F; 0 marks the undefined ones.
constexpr std::array<uint16_t, 32> kAlti = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void aggiungi_utf8(std::string* s, uint32_t cp) {
  if (cp < 0x80) {
    s->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    s->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    s->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    s->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    s->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    s->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

bool ascii(char c) { return static_cast<unsigned char>(c) < 0x80; }

// The Windows-1252 byte of a code point, or -1 when the code page has none.
// The control characters that stand for the five undefined bytes go back to
// them.
int byte_1252(uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  if (cp <= 0x9F && kAlti[cp - 0x80] == 0) return static_cast<int>(cp);
  for (size_t i = 0; i < kAlti.size(); ++i) {
    if (kAlti[i] != 0 && kAlti[i] == cp) return static_cast<int>(0x80 + i);
  }
  return -1;
}

// A byte that `leggibile` says rather than shows.
bool da_dire(unsigned char c) {
  if (c < 0x20) return c != '\t' && c != '\r' && c != '\n';
  return c == 0x7F || (c >= 0x80 && c <= 0x9F && kAlti[c - 0x80] == 0);
}

}  // namespace

uint32_t punto_di_codice_1252(unsigned char c) {
  if (c >= 0x80 && c <= 0x9F) {
    const uint16_t cp = kAlti[static_cast<size_t>(c - 0x80)];
    return cp == 0 ? c : cp;
  }
  return c;
}

std::string leggibile(std::string_view testo) {
  static constexpr char kCifre[] = "0123456789ABCDEF";
  std::string s;
  s.reserve(testo.size());
  for (const char c : testo) {
    const auto u = static_cast<unsigned char>(c);
    if (da_dire(u)) {
      s += '<';
      s += kCifre[u >> 4];
      s += kCifre[u & 0x0F];
      s += '>';
    } else {
      aggiungi_utf8(&s, punto_di_codice_1252(u));
    }
  }
  return s;
}

size_t colonne_leggibili(unsigned char c) { return da_dire(c) ? 4 : 1; }

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

uint32_t prossimo_utf8(std::string_view testo, size_t* i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(testo[k]); };
  const unsigned char c = b(*i);
  size_t n = 0;
  uint32_t cp = 0;
  uint32_t minimo = 0;
  if (c < 0x80) {
    ++*i;
    return c;
  } else if (c >= 0xC2 && c <= 0xDF) {
    n = 1, cp = c & 0x1Fu, minimo = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 2, cp = c & 0x0Fu, minimo = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 3, cp = c & 0x07u, minimo = 0x10000;
  } else {
    ++*i;
    return 0xFFFD;
  }
  if (*i + n >= testo.size()) {
    ++*i;
    return 0xFFFD;
  }
  for (size_t k = 1; k <= n; ++k) {
    if ((b(*i + k) & 0xC0u) != 0x80) {
      ++*i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (b(*i + k) & 0x3Fu);
  }
  if (cp < minimo || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++*i;
    return 0xFFFD;
  }
  *i += n + 1;
  return cp;
}

Testo1252 utf8_a_1252(std::string_view utf8) {
  Testo1252 t;
  t.testo.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const size_t da = i;
    while (i < utf8.size() && ascii(utf8[i])) ++i;
    t.testo.append(utf8.substr(da, i - da));
    if (i == utf8.size()) break;
    const int b = byte_1252(prossimo_utf8(utf8, &i));
    if (b < 0) t.non_rappresentabili.push_back(t.testo.size());
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
        } else if (da_dire(u)) {
          s += "&lt;" + leggibile(std::string_view(&c, 1)).substr(1, 2) + "&gt;";
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
