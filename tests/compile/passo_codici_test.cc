// The cab-code pass around slowdowns.
#include "compile/passo_codici.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace calvetra {
namespace {

class PassoCodici : public ::testing::Test {
 protected:
  void SetUp() override { tratti.assign(201, tratto{}); }  // cells 0 to 200

  tratto& c(int64_t i) { return tratti.at(static_cast<size_t>(i)); }
  void metti(int64_t i, uint8_t tipo, int16_t valore_a = 0) {
    c(i).tipo = tipo;
    c(i).valore_a = valore_a;
  }
  // A slowdown of speed v from cell s to cell e.
  void rallentamento(int64_t s, int64_t e, int16_t v) {
    metti(s, kInizioRallentamento, v);
    if (e >= 0) metti(e, kFineRallentamento, v);
  }
  std::vector<int64_t> abbattimenti() {
    std::vector<int64_t> celle;
    for (size_t i = 0; i < tratti.size(); ++i) {
      if (tratti[i].tipo == kAbbattimento) celle.push_back(static_cast<int64_t>(i));
    }
    return celle;
  }
  using Celle = std::vector<int64_t>;

  Modello m;
  std::vector<tratto>& tratti = m.tratti;
  Diagnostica d;
};

TEST_F(PassoCodici, StartsNearTheOrigin) {
  rallentamento(8, 9, 110);
  passo_codici(m, d);
  EXPECT_EQ(abbattimenti(), (Celle{3}));
  EXPECT_EQ(c(3).valore_a, 180);

  tratti.assign(201, tratto{});
  rallentamento(7, 9, 110);
  passo_codici(m, d);
  EXPECT_TRUE(abbattimenti().empty());
  EXPECT_EQ(numero(d.codice_errore()), 0);
}

TEST_F(PassoCodici, DistancesBeforeTheStartSkipOccupiedCells) {
  rallentamento(60, 61, 110);
  metti(55, kSegnale);
  metti(54, kAbbattimento, 60);  // occupied, and not lowered here
  metti(49, kSegnoMontagna);
  passo_codici(m, d);
  EXPECT_EQ(abbattimenti(), (Celle{42, 49, 53, 54}));
  EXPECT_EQ(c(54).valore_a, 60);
  EXPECT_EQ(numero(d.codice_errore()), 0);

  tratti.assign(201, tratto{});
  rallentamento(60, 61, 110);
  for (int64_t i = 47; i <= 49; ++i) metti(i, kIndicatori);
  passo_codici(m, d);
  EXPECT_EQ(numero(d.codice_errore()), 12);
  EXPECT_EQ(d.posizione_errore(), 3000);
  EXPECT_EQ(abbattimenti(), (Celle{42, 55}));  // the other distances go on
}

TEST_F(PassoCodici, PeriodicReductionsInsideASlowSlowdown) {
  rallentamento(30, 50, 30);
  passo_codici(m, d);
  EXPECT_EQ(abbattimenti(), (Celle{12, 19, 25, 38, 46}));

  tratti.assign(201, tratto{});
  rallentamento(30, 50, 30);
  metti(38, kFermata);
  passo_codici(m, d);
  EXPECT_EQ(abbattimenti(), (Celle{12, 19, 25, 37, 45}));

  // Both neighbours taken too: the one after.
  tratti.assign(201, tratto{});
  rallentamento(30, 50, 30);
  metti(37, kFermata);
  metti(38, kFermata);
  passo_codici(m, d);
  EXPECT_EQ(abbattimenti(), (Celle{12, 19, 25, 39, 47}));
}

TEST_F(PassoCodici, FastSlowdownsGetNoPeriodicOrAfterEndReductions) {
  rallentamento(30, 50, 110);
  metti(52, kSegnale);
  passo_codici(m, d);
  EXPECT_EQ(abbattimenti(), (Celle{12, 19, 25}));
}

TEST_F(PassoCodici, FailedPeriodicPlacementEndsThatSlowdownsPlacements) {
  rallentamento(30, 60, 30);
  for (int64_t i = 37; i <= 39; ++i) metti(i, kFermata);
  metti(62, kSegnale);
  passo_codici(m, d);
  EXPECT_EQ(numero(d.codice_errore()), 13);
  EXPECT_EQ(d.posizione_errore(), 38 * 50);
  // Nothing more inside the slowdown, but the end was still found.
  EXPECT_EQ(abbattimenti(), (Celle{12, 19, 25, 61}));
}

TEST_F(PassoCodici, SignalAfterTheEnd) {
  rallentamento(30, 40, 30);
  metti(52, kSegnale);  // 12 cells past the end
  metti(60, kSegnale);
  passo_codici(m, d);
  EXPECT_EQ(abbattimenti(), (Celle{12, 19, 25, 38, 51}));

  tratti.assign(201, tratto{});
  rallentamento(30, 40, 30);
  metti(53, kSegnale);  // 13 cells past: too far
  passo_codici(m, d);
  EXPECT_EQ(abbattimenti(), (Celle{12, 19, 25, 38}));

  tratti.assign(201, tratto{});
  rallentamento(30, 40, 30);
  metti(45, kSegnale);
  metti(44, kIndicatori);
  metti(43, kAbbattimento, 100);
  passo_codici(m, d);
  EXPECT_EQ(numero(d.codice_errore()), 13);
  EXPECT_EQ(d.posizione_errore(), 40 * 50);
  EXPECT_EQ(c(43).valore_a, 100);
}

TEST_F(PassoCodici, SignalsBehindAWarningBoard) {
  metti(100, kAvvisoRallentamento, 30);
  metti(98, kSegnale);  // two cells behind: front cells 97 and 96
  metti(97, kAbbattimento, 100);
  metti(96, kIndicatori);
  metti(90, kSegnale);  // free in front
  metti(79, kSegnale);  // 21 cells behind: not looked at
  passo_codici(m, d);
  EXPECT_EQ(c(97).valore_a, 100);
  EXPECT_EQ(abbattimenti(), (Celle{89, 97}));
  EXPECT_EQ(numero(d.codice_errore()), 0);

  c(97).valore_a = 200;
  passo_codici(m, d);
  EXPECT_EQ(c(97).valore_a, 180);

  tratti.assign(201, tratto{});
  metti(100, kAvvisoRallentamento, 30);
  metti(98, kSegnale);
  metti(97, kIndicatori);
  metti(96, kAbbattimento, 250);  // the second front cell
  metti(94, kSegnale);
  metti(93, kFermata);
  metti(92, kIndicatori);
  passo_codici(m, d);
  EXPECT_EQ(c(96).valore_a, 180);
  EXPECT_EQ(numero(d.codice_errore()), 11);
  EXPECT_EQ(d.posizione_errore(), 94 * 50);
}

TEST_F(PassoCodici, StaysInsideTheCells) {
  // No end cell at all, a signal on the last cell, a start right at N - 2.
  tratti.assign(41, tratto{});
  rallentamento(30, -1, 30);
  rallentamento(38, -1, 30);
  metti(40, kSegnale);
  passo_codici(m, d);
  EXPECT_EQ(abbattimenti(), (Celle{12, 19, 20, 25, 27, 33, 37}));
  EXPECT_EQ(numero(d.codice_errore()), 0);

  // A periodic placement that would go one cell past the last.
  tratti.assign(41, tratto{});
  rallentamento(30, -1, 30);
  metti(37, kFermata);
  metti(38, kFermata);
  tratti.resize(39);
  passo_codici(m, d);
  EXPECT_EQ(numero(d.codice_errore()), 13);
  EXPECT_EQ(d.posizione_errore(), 38 * 50);
}

}  // namespace
}  // namespace calvetra
