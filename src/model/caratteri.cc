#include "model/caratteri.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace calvetra {

namespace {

// Code points of the bytes 0x80 to 0x9F; 0 marks the undefined ones.
constexpr std::array<uint16_t, 32> kAlti = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

struct NomeCarattere {
  uint32_t cp;
  const char* nome;
};

// The characters pasted text brings that an author cannot tell apart by
// their look: blanks, dashes and marks of no width.
constexpr NomeCarattere kNomi[] = {
    {0x00A0, "spazio indivisibile"},
    {0x00AD, "trattino morbido invisibile"},
    {0x2002, "spazio largo"},
    {0x2003, "spazio lunghissimo"},
    {0x2007, "spazio di cifra"},
    {0x2009, "spazio sottile"},
    {0x200A, "spazio finissimo"},
    {0x200B, "spazio invisibile"},
    {0x200C, "separatore invisibile"},
    {0x200D, "unione invisibile"},
    {0x200E, "segno di direzione invisibile"},
    {0x200F, "segno di direzione invisibile"},
    {0x2010, "trattino"},
    {0x2011, "trattino indivisibile"},
    {0x2012, "trattino di cifra"},
    {0x2013, "trattino medio"},
    {0x2014, "trattino lungo"},
    {0x2018, "apice curvo aperto"},
    {0x2019, "apice curvo chiuso"},
    {0x201C, "virgolette curve aperte"},
    {0x201D, "virgolette curve chiuse"},
    {0x202F, "spazio indivisibile stretto"},
    {0x2060, "unione di parole invisibile"},
    {0x2212, "segno meno"},
    {0xFEFF, "segno di ordine dei byte invisibile"},
};

bool seguito(std::string_view t, size_t k) {
  return k < t.size() && (static_cast<unsigned char>(t[k]) & 0xC0u) == 0x80;
}

}  // namespace

uint32_t punto_di_codice_1252(unsigned char c) {
  if (c >= 0x80 && c <= 0x9F) {
    const uint16_t cp = kAlti[static_cast<size_t>(c - 0x80)];
    return cp == 0 ? c : cp;
  }
  return c;
}

bool definito_1252(unsigned char c) { return c < 0x80 || c > 0x9F || kAlti[c - 0x80u] != 0; }

int byte_1252(uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  // The control characters that stand for the five undefined bytes go back
  // to them.
  if (cp <= 0x9F && kAlti[cp - 0x80] == 0) return static_cast<int>(cp);
  for (size_t i = 0; i < kAlti.size(); ++i) {
    if (kAlti[i] != 0 && kAlti[i] == cp) return static_cast<int>(0x80 + i);
  }
  return -1;
}

size_t sequenza_utf8(std::string_view testo, size_t i) {
  if (i >= testo.size()) return 0;
  const auto c = static_cast<unsigned char>(testo[i]);
  size_t n = 0;
  uint32_t cp = 0;
  uint32_t minimo = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 1, cp = c & 0x1Fu, minimo = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 2, cp = c & 0x0Fu, minimo = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 3, cp = c & 0x07u, minimo = 0x10000;
  } else {
    return 0;
  }
  for (size_t k = 1; k <= n; ++k) {
    if (!seguito(testo, i + k)) return 0;
    cp = (cp << 6) | (static_cast<unsigned char>(testo[i + k]) & 0x3Fu);
  }
  if (cp < minimo || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n + 1;
}

uint32_t prossimo_utf8(std::string_view testo, size_t* i) {
  const auto c = static_cast<unsigned char>(testo[*i]);
  if (c < 0x80) {
    ++*i;
    return c;
  }
  const size_t n = sequenza_utf8(testo, *i);
  if (n == 0) {
    ++*i;
    return 0xFFFD;
  }
  uint32_t cp = c & (n == 2 ? 0x1Fu : n == 3 ? 0x0Fu : 0x07u);
  for (size_t k = 1; k < n; ++k)
    cp = (cp << 6) | (static_cast<unsigned char>(testo[*i + k]) & 0x3Fu);
  *i += n;
  return cp;
}

void aggiungi_utf8(std::string* s, uint32_t cp) {
  if (cp < 0x80) {
    s->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    s->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    s->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    s->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    s->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    s->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    s->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    s->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    s->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    s->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

bool invisibile(uint32_t cp) {
  return cp == 0x00A0 || cp == 0x00AD || (cp >= 0x200B && cp <= 0x200F) || cp == 0x202F ||
         cp == 0x2060 || cp == 0xFEFF;
}

std::string nome_carattere(uint32_t cp) {
  char numero[16];
  std::snprintf(numero, sizeof numero, "U+%04X", static_cast<unsigned>(cp));
  std::string s = numero;
  for (const NomeCarattere& n : kNomi) {
    if (n.cp == cp) return s + " " + n.nome;
  }
  return s;
}

Ricodificato da_utf8_a_1252(std::string_view testo) {
  Ricodificato r;
  r.testo.reserve(testo.size());
  for (size_t i = 0; i < testo.size();) {
    const size_t n = sequenza_utf8(testo, i);
    if (n == 0) {
      r.testo += testo[i++];
      continue;
    }
    size_t j = i;
    const uint32_t cp = prossimo_utf8(testo, &j);
    const int b = byte_1252(cp);
    if (b >= 0) {
      r.testo += static_cast<char>(b);
    } else {
      if (r.mancanti++ == 0) r.primo_mancante = cp;
      r.testo.append(testo.substr(i, n));
    }
    i += n;
  }
  return r;
}

std::string leggibile(std::string_view testo) {
  std::string s;
  s.reserve(testo.size());
  for (size_t i = 0; i < testo.size();) {
    const size_t n = sequenza_utf8(testo, i);
    if (n == 0 && !definito_1252(static_cast<unsigned char>(testo[i]))) {
      s += testo[i++];  // a byte the code page leaves undefined stays as it is
      continue;
    }
    uint32_t cp = punto_di_codice_1252(static_cast<unsigned char>(testo[i]));
    if (n > 0) {
      size_t j = i;
      cp = prossimo_utf8(testo, &j);
    }
    const int b = byte_1252(cp);
    if (b < 0 || invisibile(cp)) {
      s += "<" + nome_carattere(cp) + ">";
    } else {
      s += static_cast<char>(b);
    }
    i += n > 0 ? n : 1;
  }
  return s;
}

Utf16 codifica_utf16(std::string_view testo) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(testo[k]); };
  if (testo.size() >= 2 && b(0) == 0xFF && b(1) == 0xFE) return Utf16::little_endian;
  if (testo.size() >= 2 && b(0) == 0xFE && b(1) == 0xFF) return Utf16::big_endian;
  // Without the mark: the pairs of the first bytes, most of them a NUL and a
  // letter (the NUL second for little-endian), as the ASCII of a source is.
  constexpr size_t kCoppie = 128;
  const size_t coppie = std::min(testo.size() / 2, kCoppie);
  if (coppie < 4) return Utf16::no;
  size_t basso = 0;
  size_t alto = 0;
  for (size_t k = 0; k < coppie; ++k) {
    const unsigned char primo = b(2 * k);
    const unsigned char secondo = b(2 * k + 1);
    if (primo != 0 && secondo == 0) ++basso;
    if (primo == 0 && secondo != 0) ++alto;
  }
  if (4 * basso >= 3 * coppie) return Utf16::little_endian;
  if (4 * alto >= 3 * coppie) return Utf16::big_endian;
  return Utf16::no;
}

bool sembra_utf8(std::string_view testo) {
  for (size_t i = 0; i < testo.size(); ++i) {
    if (static_cast<unsigned char>(testo[i]) >= 0xC2 && sequenza_utf8(testo, i) > 0) return true;
  }
  return false;
}

std::string utf8_da_1252(std::string_view testo) {
  std::string s;
  s.reserve(testo.size());
  for (size_t i = 0; i < testo.size();) {
    // A run of ASCII is the same in both, and goes over at once.
    const size_t da = i;
    while (i < testo.size() && static_cast<unsigned char>(testo[i]) < 0x80) ++i;
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
    while (i < utf8.size() && static_cast<unsigned char>(utf8[i]) < 0x80) ++i;
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

}  // namespace calvetra
