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

uint32_t punto_di_codice(unsigned char c) {
  if (c >= 0x80 && c <= 0x9F) {
    const uint16_t cp = kAlti[static_cast<size_t>(c - 0x80)];
    return cp == 0 ? 0xFFFD : cp;
  }
  return c;
}

}  // namespace

std::string utf8_da_1252(std::string_view testo) {
  std::string s;
  s.reserve(testo.size());
  for (char c : testo) aggiungi_utf8(&s, punto_di_codice(static_cast<unsigned char>(c)));
  return s;
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
          aggiungi_utf8(&s, punto_di_codice(u));
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
