#include <gtest/gtest.h>

#include "run/form1.h"
#include "support/compilazione.h"

namespace calvetra {
namespace {

struct Codici {
  int32_t st;
  int16_t og;
};

Codici codici(const std::string& linea, const std::string& treni) {
  test::PiattaformaDiProva p;
  Form1 f(&p);
  f.tabella[85].nome = linea;
  f.tabella[86].nome = treni;
  return {f.codice_gara_st(), f.codice_gara_og()};
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
      {'@', 0x40},    {'Z', 'z'},     {'[', 0x5B},    {'\x8A', 0x9A}, {'\x8C', 0x9C},
      {'\x8E', 0x9E}, {'\x9A', 0x9A}, {'\x9F', 0xFF}, {'\xBF', 0xBF}, {'\xC0', 0xE0},
      {'\xD6', 0xF6}, {'\xD7', 0xD7}, {'\xD8', 0xF8}, {'\xDE', 0xFE}, {'\xDF', 0xDF},
      {'\xFF', 0xFF},
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

TEST(Intestazione, MarksAndCodesAreStampedAfterTheParse) {
  test::Compilazione c(test::sorgente_linea("", "").c_str(), test::kTrenoVuoto);
  ASSERT_EQ(c.stato, kUscitaPulita);
  EXPECT_EQ(c.f().tratti[1].valore_a, 5121);
  EXPECT_EQ(c.f().tratti[1].valore_b, 1973);
  EXPECT_EQ(c.f().tabella[85].cod_a, 610);
  EXPECT_EQ(c.f().tabella[85].orario, 29846);
  const std::string celle = c.piattaforma.leggi_file(test::kFileCelle);
  ASSERT_GE(celle.size(), 30u);
  EXPECT_EQ(celle.substr(16, 4), std::string("\x01\x14\xb5\x07", 4));
}

// A sign at position 0 takes cell 1 and leaves a value in its first header slot.
TEST(Intestazione, ReservedSlotInUseEndsTheRunWithoutFiles) {
  const std::string linea =
      test::sorgente_linea("", "cartello_indicatore,  0,   (X)\r\n");
  test::Compilazione c(linea.c_str(), test::kTrenoVuoto);
  EXPECT_EQ(c.stato, kUscitaFatale);
  ASSERT_EQ(c.piattaforma.fatali.size(), 1u);
  EXPECT_EQ(c.piattaforma.fatali[0], " Errore n. 1250");
  EXPECT_FALSE(c.piattaforma.c_e(test::kFileTabella));
  EXPECT_FALSE(c.piattaforma.c_e(test::kFileCelle));
  EXPECT_FALSE(c.piattaforma.c_e(test::kFileGeometria));
}

// A slowdown of speed 0 starting at 0 leaves only cell 1's second slot in use.
TEST(Intestazione, SecondReservedSlotInUseIsReport1251) {
  const std::string treno = "[generale]\r\nrallentamento, 0, 0, 200, 1, 0, 7\r\n[fine]\r\n";
  test::Compilazione c(test::sorgente_linea("", "").c_str(), treno.c_str());
  EXPECT_EQ(c.stato, kUscitaFatale);
  ASSERT_EQ(c.piattaforma.fatali.size(), 1u);
  EXPECT_EQ(c.piattaforma.fatali[0], " Errore n. 1251");
  EXPECT_FALSE(c.piattaforma.c_e(test::kFileTabella));
}

}  // namespace
}  // namespace calvetra
