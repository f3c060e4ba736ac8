// Windows-1252 and UTF-8 at the edge of the tools: every byte from 0x80 to
// 0xFF goes over and comes back unchanged, the defined ones as the C
// system's own code page table has them (the C library's, Windows' on
// Windows), and the five the code page leaves
// undefined said to a reader, never replaced.
#include "scenario/comune/testo.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <cerrno>
#include <optional>
#include <string>
#include <vector>

namespace calvetra {
namespace {

using scenario::colonne_leggibili;
using scenario::utf8_leggibile;

// The system's conversion of one Windows-1252 byte; nullopt where its table
// has no character.
#ifdef _WIN32
std::optional<std::string> da_sistema(unsigned char b) {
  const char dentro[1] = {static_cast<char>(b)};
  wchar_t largo[2] = {};
  const int n = MultiByteToWideChar(1252, MB_ERR_INVALID_CHARS, dentro, 1, largo, 2);
  if (n <= 0) return std::nullopt;
  char fuori[8] = {};
  const int m = WideCharToMultiByte(CP_UTF8, 0, largo, n, fuori, sizeof fuori, nullptr, nullptr);
  if (m <= 0) return std::nullopt;
  return std::string(fuori, static_cast<size_t>(m));
}
#else
std::optional<std::string> da_sistema(unsigned char b) {
  const iconv_t cd = iconv_open("UTF-8", "WINDOWS-1252");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  char dentro[1] = {static_cast<char>(b)};
  char fuori[8] = {};
  char* in = dentro;
  char* out = fuori;
  size_t resta_in = 1;
  size_t resta_out = sizeof fuori;
  const size_t r = iconv(cd, &in, &resta_in, &out, &resta_out);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return std::nullopt;
  return std::string(fuori, static_cast<size_t>(out - fuori));
}
#endif

bool indefinito(unsigned char b) {
  return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

TEST(Testo1252, EveryHighByteGoesToUtf8AndBackUnchanged) {
  ASSERT_TRUE(da_sistema(0xE0).has_value()) << "the system has no Windows-1252 table";
  const char* esa = "0123456789ABCDEF";
  for (unsigned b = 0x80; b <= 0xFF; ++b) {
    const auto c = static_cast<unsigned char>(b);
    SCOPED_TRACE(b);
    const std::string uno(1, static_cast<char>(c));
    const std::string utf8 = utf8_da_1252(uno);
    if (indefinito(c)) {
      // The control character of the same number, as a browser reads it.
      EXPECT_EQ(utf8, std::string("\xC2") + static_cast<char>(c));
      EXPECT_EQ(utf8_leggibile(uno), std::string("<") + esa[b >> 4] + esa[b & 15] + ">");
      size_t dopo = 0;
      EXPECT_EQ(colonne_leggibili(uno, 0, &dopo), 4u);
    } else {
      const std::optional<std::string> atteso = da_sistema(c);
      ASSERT_TRUE(atteso.has_value());
      EXPECT_EQ(utf8, *atteso);
      EXPECT_EQ(utf8_leggibile(uno), *atteso);
      size_t dopo = 0;
      EXPECT_EQ(colonne_leggibili(uno, 0, &dopo), 1u);
    }
    // Alone, after a run of ASCII and before one, and beside itself: the
    // euro sign 0x80 is the first byte past the ASCII fast path.
    for (const std::string& t : {uno, "abc" + uno, uno + "xyz", "a" + uno + uno + "z"}) {
      const Testo1252 indietro = utf8_a_1252(utf8_da_1252(t));
      EXPECT_EQ(indietro.testo, t);
      EXPECT_TRUE(indietro.non_rappresentabili.empty());
    }
  }
  // All of them in one text, as a name would hold them.
  std::string tutti;
  for (unsigned b = 0x80; b <= 0xFF; ++b) tutti += static_cast<char>(b);
  EXPECT_EQ(utf8_a_1252(utf8_da_1252(tutti)).testo, tutti);
}

// A reader is told of the bytes that are no character to read: the five
// undefined, the control characters but the tab and the line ends, DEL; a
// terminal never receives them to act on.
TEST(Testo1252, WhatIsNoCharacterIsSaidToAReader) {
  struct Caso {
    std::string testo;
    std::string letto;
  };
  const Caso casi[] = {
      {"SAN \x81PIETRO", "SAN <81>PIETRO"},
      {"\x1b[31mROSSO", "<1B>[31mROSSO"},
      {"a\tb", "a\tb"},
      {"a\x7f", "a<7F>"},
      {std::string("a\0b", 3), "a<00>b"},
      {"CITT\xC0 \x80", "CITT\xC3\x80 \xE2\x82\xAC"},
      {"riga\r\n", "riga\r\n"},
      // A file saved as UTF-8: its letters as written, one column each.
      {"Citt\xC3\xA0 \xE2\x80\x9COrsa\xE2\x80\x9D", "Citt\xC3\xA0 \xE2\x80\x9COrsa\xE2\x80\x9D"},
  };
  for (const Caso& k : casi) {
    EXPECT_EQ(utf8_leggibile(k.testo), k.letto);
    size_t colonne = 0;
    for (size_t i = 0, dopo = 0; i < k.testo.size(); i = dopo) {
      colonne += colonne_leggibili(k.testo, i, &dopo);
    }
    size_t caratteri = 0;
    for (const char c : k.letto) caratteri += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    EXPECT_EQ(colonne, caratteri) << k.letto;
  }
  // A character the code page cannot hold comes back as '?', and is said.
  const Testo1252 t = utf8_a_1252("a\xE2\x9C\x93z");
  EXPECT_EQ(t.testo, "a?z");
  EXPECT_EQ(t.non_rappresentabili, std::vector<size_t>{1});
}

}  // namespace
}  // namespace calvetra
