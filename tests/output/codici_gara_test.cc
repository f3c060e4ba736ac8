// The integrity codes of a table, from its route name and train pair.
#include "output/codici_gara.h"

#include <gtest/gtest.h>

#include <string>

namespace calvetra {
namespace {

struct Codici {
  int32_t st;
  int16_t og;
};

Codici codici(const std::string& linea, const std::string& treni) {
  Tabella t{};
  t[kRigaLinea].nome = linea;
  t[kRigaTreni].nome = treni;
  return {codice_gara_st(t), codice_gara_og(t)};
}

TEST(CodiciGara, BuildConstants) {
  // "2718 - 5340" + "calvetra" + "bbddff"
  const Codici c = codici("Calvetra", "2718 - 5340");
  EXPECT_EQ(c.og, 1973);
  EXPECT_EQ(c.st, 29846);
}

TEST(CodiciGara, EmptyNamesUseTheFillerAlone) {
  const Codici c = codici("", "");
  EXPECT_EQ(c.og, 2738);
  EXPECT_EQ(c.st, 36894);
}

TEST(CodiciGara, CaseAndCharactersBeyondTheKeyDoNotMatter) {
  const Codici a = codici("CALVETRA", "2718 - 5340");
  const Codici b = codici("calvetra", "2718 - 5340");
  EXPECT_EQ(a.st, b.st);
  EXPECT_EQ(a.og, b.og);
  // Accented capitals of the 8-bit code page fold too.
  EXPECT_EQ(codici("\xC0\xC8", "").st, codici("\xE0\xE8", "").st);
  const std::string lunga = "abcdefghijklmnopqrstuvwxy";
  EXPECT_EQ(codici(lunga + "1", "").st, codici(lunga + "2", "").st);
  // Three capital letters: their lower case, then 22 filler characters.
  const Codici tre = codici("ABC", "");
  int32_t og = 'a' + 'b' + 'c';
  for (char ch : std::string("bbddffhhjjllnnpprrttvv")) og += ch;
  EXPECT_EQ(tre.og, og);
}

// The case pairs of the 8-bit code page: the capitals C0 to DE fold except the
// multiplication sign D7, sharp s DF has no capital, four capitals lie in the
// 80 to 9F block, and the neighbours of A to Z stay.
TEST(CodiciGara, KeyFoldsTheCodePageCapitalsOnly) {
  // A one-character route name and the first 24 filler characters.
  constexpr int32_t kRiempitivoOg = 2616;
  constexpr int32_t kRiempitivoSt = 36460;
  const struct {
    char c;
    int32_t minuscola;
  } casi[] = {
      {'@', 0x40},    {'Z', 'z'},     {'[', 0x5B},    {'\x8A', 0x9A},
      {'\x8C', 0x9C}, {'\x8E', 0x9E}, {'\x9A', 0x9A}, {'\x9F', 0xFF},
      {'\xBF', 0xBF}, {'\xC0', 0xE0}, {'\xD6', 0xF6}, {'\xD7', 0xD7},
      {'\xD8', 0xF8}, {'\xDE', 0xFE}, {'\xDF', 0xDF}, {'\xFF', 0xFF},
  };
  for (const auto& caso : casi) {
    const Codici c = codici(std::string(1, caso.c), "");
    EXPECT_EQ(c.og, kRiempitivoOg + caso.minuscola) << int{static_cast<unsigned char>(caso.c)};
    EXPECT_EQ(c.st, kRiempitivoSt + caso.minuscola) << int{static_cast<unsigned char>(caso.c)};
  }
}

TEST(CodiciGara, LargestSumsFitTheirSlots) {
  const Codici c = codici(std::string(25, '\xFF'), "");
  EXPECT_EQ(c.og, 25 * 255);
  EXPECT_EQ(c.st, 255 * 325);
}

}  // namespace
}  // namespace calvetra
