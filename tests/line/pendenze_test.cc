#include <gtest/gtest.h>

#include "line/prova_linea.h"

namespace calvetra::test {
namespace {

std::vector<int> pendenze(ProvaLinea& p, int64_t da, int64_t a) {
  std::vector<int> v;
  for (int64_t i = da; i <= a; ++i) v.push_back(p.c(i).pendenza);
  return v;
}

TEST(Pendenze, FillUpToEachRecordAndTailToNMinus3) {
  ProvaLinea p;  // L = 10000: n = 340
  p.compila("pendenza,  1900,   -10\r\npendenza,  2000,   0\r\npendenza,  3000,  5\r\n");
  ASSERT_EQ(numero(p.d.codice_errore()), 0);
  for (int i = 0; i <= 37; ++i) EXPECT_EQ(p.c(i).pendenza, 100) << i;
  EXPECT_EQ(pendenze(p, 38, 41), (std::vector<int>{90, 90, 100, 100}));
  EXPECT_EQ(p.c(59).pendenza, 100);
  EXPECT_EQ(p.c(60).pendenza, 105);
  EXPECT_EQ(pendenze(p, 337, 340), (std::vector<int>{105, 0, 0, 0}));
}

TEST(Pendenze, FirstPassQuirks) {
  ProvaLinea p;
  // Same position twice: the second fills one more cell with the old value.
  // At 20 the cell is 0: nothing filled, but -5 comes into force.
  // A gradient of -101 keeps its low 8 bits.
  p.compila(
      "pendenza,  20,  -5\r\npendenza,  1000,  5\r\npendenza,  1000,  7\r\n"
      "pendenza,  2000,  -101\r\n");
  ASSERT_EQ(numero(p.d.codice_errore()), 0);
  EXPECT_EQ(pendenze(p, 0, 1), (std::vector<int>{95, 95}));
  EXPECT_EQ(pendenze(p, 19, 22), (std::vector<int>{95, 105, 107, 107}));
  EXPECT_EQ(pendenze(p, 39, 40), (std::vector<int>{107, 255}));
  EXPECT_EQ(p.c(337).pendenza, 255);
}

TEST(Pendenze, PositionBeyondCellsEndsBodyButClosingStepsRun) {
  ProvaLinea p;  // bound: (P + 100) / 50 <= 340, so 16900 is the last accepted
  p.compila("pendenza,  16900,  3\r\npendenza,  16901,  4\r\nmontagna,  100,  500,  1\r\n");
  EXPECT_EQ(numero(p.d.codice_errore()), 15);
  EXPECT_EQ(p.d.posizione_errore(), 16901);
  // 16900 filled up to cell 337; the tail still fills one cell, n - 2.
  EXPECT_EQ(pendenze(p, 337, 339), (std::vector<int>{100, 103, 0}));
  EXPECT_EQ(p.c(2).montagna, 0);  // not read
  EXPECT_EQ(p.m.geometria.prossimo(), 17000 - 1);
}

TEST(Pendenze, FillPushedPastLastCellIsUnexpected) {
  ProvaLinea p;
  std::string corpo;  // each record at the last accepted position fills one more cell
  for (int i = 0; i < 5; ++i) corpo += "pendenza,  16900,  1\r\n";
  p.compila(corpo);
  EXPECT_EQ(numero(p.d.codice_errore()), 25);
  EXPECT_EQ(p.c(340).pendenza, 101);  // stored before the failure
  EXPECT_NE(p.fine, FineFase::interrotta);
}

TEST(Pendenze, WithoutGeometryCurvesArePassedOver) {
  ProvaLinea p;
  p.compila("curvad3,  500,  500\r\npendenza,  1000,  -20\r\n", 10000, 0);
  EXPECT_EQ(numero(p.d.codice_errore()), 0);
  EXPECT_FALSE(p.m.geometria.esiste());
  EXPECT_EQ(p.c(20).pendenza, 80);
}

}  // namespace
}  // namespace calvetra::test
