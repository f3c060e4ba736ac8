#include <gtest/gtest.h>

#include "line/prova_linea.h"

namespace calvetra::test {
namespace {

std::vector<int64_t> segni(ProvaLinea& p, int64_t da, int64_t a) {
  std::vector<int64_t> v;
  for (int64_t i = da; i <= a; ++i) {
    if (p.c(i).tipo == kSegnoMontagna) v.push_back(i);
  }
  return v;
}

TEST(Montagne, StretchesAndMarkers) {
  ProvaLinea p;  // L = 20000
  p.compila("montagna,   1950,  2000,  2\r\nmontagna,  11600,  12200,  11\r\n", 20000);
  ASSERT_EQ(numero(p.d.codice_errore()), 0);
  EXPECT_EQ(p.c(38).montagna, 0);
  EXPECT_EQ(p.c(39).montagna, 2);
  EXPECT_EQ(p.c(40).montagna, 0);
  EXPECT_EQ(p.c(39).tipo, kLibero);
  EXPECT_EQ(p.c(231).montagna, 0);
  for (int i = 232; i <= 243; ++i) EXPECT_EQ(p.c(i).montagna, 1) << i;
  EXPECT_EQ(p.c(244).montagna, 0);
  EXPECT_EQ(segni(p, 0, 400), (std::vector<int64_t>{235, 239, 243}));
}

TEST(Montagne, GapOf150OrLessGivesClass3) {
  ProvaLinea p;
  p.compila(
      "montagna,  1000,  2000,  1\r\n"
      "montagna,  2150,  2500,  12\r\n"   // gap 150: class 3, still marked
      "montagna,  2700,  3000,  2\r\n"    // gap 200: its own class
      "montagna,  2900,  3500,  1\r\n");  // overlapping: 3
  ASSERT_EQ(numero(p.d.codice_errore()), 0);
  EXPECT_EQ(p.c(43).montagna, 3);
  EXPECT_EQ(segni(p, 43, 49), (std::vector<int64_t>{46}));
  EXPECT_EQ(p.c(54).montagna, 2);
  EXPECT_EQ(p.c(58).montagna, 3);
}

TEST(Montagne, ClippedToExistingCellsCountingFromOwnFirstCell) {
  ProvaLinea p;  // n = 340
  p.compila("montagna,  -200,  400,  11\r\nmontagna,  16800,  30000,  11\r\n");
  ASSERT_EQ(numero(p.d.codice_errore()), 0);
  // First stretch: cells -4 to 7, counted from -4.
  EXPECT_EQ(p.c(0).montagna, 1);
  EXPECT_EQ(p.c(7).montagna, 1);
  EXPECT_EQ(segni(p, 0, 8), (std::vector<int64_t>{3, 7}));
  EXPECT_EQ(p.c(340).montagna, 1);
  EXPECT_EQ(segni(p, 330, 340), (std::vector<int64_t>{339}));
}

TEST(Montagne, OccupiedCellsKeepTheirObject) {
  ProvaLinea p;
  p.compila(
      "cartello_indicatore,  11700,  A\r\nmontagna,  11600,  12200,  11\r\n"
      "cartello_indicatore,  11900,  B\r\n",
      20000);
  ASSERT_EQ(numero(p.d.codice_errore()), 0);
  EXPECT_EQ(p.c(235).tipo, kCartello);  // the mountain left the sign alone
  EXPECT_EQ(p.c(235).montagna, 1);
  EXPECT_EQ(p.c(239).tipo, kCartello);  // the sign replaced a marker
  EXPECT_EQ(p.c(239).valore_a, 79);
  EXPECT_EQ(p.c(243).tipo, kSegnoMontagna);
}

TEST(Montagne, The81stRecordIsUnexpected) {
  ProvaLinea p;
  std::string corpo;
  for (int i = 0; i < 81; ++i)
    corpo += "montagna,  " + std::to_string(1000 + 250 * i) + ",  " +
             std::to_string(1050 + 250 * i) + ",  2\r\n";
  p.compila(corpo, 20000);
  EXPECT_EQ(numero(p.d.codice_errore()), 25);
  EXPECT_EQ(p.c(20 + 5 * 79).montagna, 2);  // the 80th stays
  EXPECT_EQ(p.c(20 + 5 * 80).montagna, 0);
  EXPECT_NE(p.fine, FineFase::interrotta);
}

}  // namespace
}  // namespace calvetra::test
