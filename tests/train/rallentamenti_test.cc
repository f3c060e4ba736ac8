// Slowdowns and code reductions.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>

#include "model/numeri.h"
#include "train/treno_di_prova.h"

namespace calvetra::test {
namespace {

// The slowdown as a train source writes it, read by the train phase.
FineFase posa(TrenoDiProva& t, const Rallentamento& r) {
  std::string riga = "rallentamento";
  for (int32_t v : {r.x, r.v, r.l, r.f_tt, r.f_ta, r.d_v}) riga += ", " + std::to_string(v);
  return t.leggi(riga + "\r\n");
}

int occupate(TrenoDiProva& t) {
  int n = 0;
  for (int64_t i = 0; i <= kUltimaCella; ++i) n += t.c(i).tipo != kLibero;
  return n;
}

TEST(Rallentamenti, WorkedExamples) {
  TrenoDiProva t;
  posa(t, {4000, 30, 150, 1, 1, 0});
  for (int64_t i : {84, 81}) {
    EXPECT_EQ(std::tie(t.c(i).valore_a, t.c(i).valore_b, t.c(i).valore_c),
              std::make_tuple(int16_t{30}, int16_t{0}, int16_t{1}));
  }
  EXPECT_EQ(t.c(84).tipo, kFineRallentamento);
  EXPECT_EQ(t.c(81).tipo, kInizioRallentamento);
  EXPECT_EQ(t.c(57).tipo, kAvvisoRallentamento);
  EXPECT_EQ(t.c(57).valore_a, 30);
  for (int k = 0; k <= 3; ++k) {
    EXPECT_EQ(t.c(56 - k).tipo, kPreavvisoRallentamento);
    EXPECT_EQ(t.c(56 - k).valore_a, k + 1);
  }
  EXPECT_EQ(occupate(t), 7);

  posa(t, {39900, 60, 500, 1, 1, 0});
  EXPECT_EQ(t.c(775).tipo, kAvvisoRallentamento);
  EXPECT_EQ(t.c(799).tipo, kInizioRallentamento);
  EXPECT_EQ(t.c(809).tipo, kFineRallentamento);
  EXPECT_EQ(t.c(771).valore_a, 4);
  EXPECT_EQ(numero(t.d.codice_errore()), 0);

  // A second value, when given, goes everywhere but the third field.
  TrenoDiProva d_v;
  posa(d_v, {4000, 30, 150, 2, 1, 7});
  EXPECT_EQ((std::array{d_v.c(84).valore_b, d_v.c(81).valore_b, d_v.c(57).valore_b,
                        d_v.c(56).valore_b, d_v.c(53).valore_b}),
            (std::array<int16_t, 5>{7, 7, 7, 1, 4}));
}

TEST(Rallentamenti, NearTheOrigin) {
  TrenoDiProva a1500;
  posa(a1500, {1500, 30, 150, 1, 1, 0});
  EXPECT_EQ(a1500.c(31).tipo, kInizioRallentamento);
  EXPECT_EQ(a1500.c(34).tipo, kFineRallentamento);
  EXPECT_EQ(occupate(a1500), 2);  // no warning, no pre-warnings

  TrenoDiProva a1550;
  posa(a1550, {1550, 30, 150, 1, 1, 0});
  EXPECT_EQ(a1550.c(8).tipo, kAvvisoRallentamento);
  for (int64_t i = 4; i <= 7; ++i) EXPECT_EQ(a1550.c(i).tipo, kPreavvisoRallentamento) << i;
  EXPECT_EQ(a1550.c(7).valore_a, 1);
  EXPECT_EQ(occupate(a1550), 7);
}

TEST(Rallentamenti, ShorterThan25MetresEndsAsAStart) {
  TrenoDiProva t;
  posa(t, {5000, 30, 20, 1, 0, 0});
  EXPECT_EQ(t.c(101).tipo, kInizioRallentamento);
  EXPECT_EQ(t.c(101).valore_a, 30);
  EXPECT_EQ(t.c(101).valore_c, 1);
  EXPECT_EQ(numero(t.d.codice_errore()), 0);
}

TEST(Rallentamenti, MountainMarkersAreFree) {
  TrenoDiProva t;
  for (int64_t i = 50; i <= 90; ++i) t.c(i).tipo = kSegnoMontagna;
  posa(t, {4000, 30, 150, 1, 1, 0});
  EXPECT_EQ(numero(t.d.codice_errore()), 0);
  EXPECT_EQ(t.c(84).tipo, kFineRallentamento);
  EXPECT_EQ(t.c(57).tipo, kAvvisoRallentamento);
  EXPECT_EQ(t.c(53).tipo, kPreavvisoRallentamento);
  EXPECT_EQ(t.c(52).tipo, kSegnoMontagna);
}

TEST(Rallentamenti, OccupiedCells) {
  struct Caso {
    int64_t cella;
    int32_t codice;
    int scritte;  // cells of the slowdown written before the error
  };
  for (const Caso& k : {Caso{57, 17, 0}, Caso{81, 18, 0}, Caso{84, 19, 0}, Caso{54, 20, 3}}) {
    TrenoDiProva t;
    t.c(k.cella).tipo = kSegnale;
    posa(t, {4000, 30, 150, 1, 1, 0});
    EXPECT_EQ(numero(t.d.codice_errore()), k.codice);
    EXPECT_EQ(occupate(t), 1 + k.scritte) << k.codice;
    EXPECT_EQ(t.c(k.cella).tipo, kSegnale);
  }
}

TEST(Rallentamenti, OutsideTheCellsOrTooLargeAreUnexpectedFailures) {
  for (const Rallentamento& r :
       {Rallentamento{121000, 30, 2000, 1, 0, 0}, Rallentamento{-500, 30, 150, 1, 0, 0},
        Rallentamento{4000, 40000, 150, 1, 0, 0}, Rallentamento{4000, 30, 150, 40000, 0, 0},
        Rallentamento{4000, 30, 150, 1, 0, -40000}}) {
    TrenoDiProva t;
    EXPECT_EQ(posa(t, r), FineFase::guasto) << r.x;
  }
}

TEST(Rallentamenti, EntryErrorsEndThePhase) {
  TrenoDiProva t;
  t.leggi(
      "velocita, 0, 50\r\n"
      "segnale, 2800, 1,5,1,0,0,0,0,0,0,0\r\n"  // cell 57
      "rallentamento, 4000, 30, 150, 1, 1, 0\r\n"
      "sabbia, 9\r\n");
  EXPECT_EQ(numero(t.d.codice_errore()), 17);
  EXPECT_EQ(t.d.posizione_errore(), 4000);
  EXPECT_EQ(t.m.tabella[86].cod_a, 0);
  EXPECT_EQ(t.c(0).velocita, 0);

  TrenoDiProva oltre;
  oltre.leggi("rallentamento, 121901, 30, 150, 1, 1, 0\r\n");
  EXPECT_EQ(numero(oltre.d.codice_errore()), 15);
  EXPECT_EQ(oltre.d.posizione_errore(), 121901);
}

TEST(Rallentamenti, CodeReductions) {
  TrenoDiProva t;
  t.c(102).tipo = kSegnoMontagna;
  t.leggi(
      "abbattimento, 5000, 0\r\n"
      "abbattimento, 5100, 60\r\n"
      "abbattimento, 4975, 60\r\n");  // 99.5 rounds to 100: taken
  EXPECT_EQ(t.c(100).tipo, kAbbattimentoNullo);
  EXPECT_EQ(t.c(100).valore_a, 0);
  EXPECT_EQ(t.c(102).tipo, kAbbattimento);
  EXPECT_EQ(t.c(102).valore_a, 60);
  EXPECT_EQ(numero(t.d.codice_errore()), 7);
  EXPECT_EQ(t.d.posizione_errore(), 4975);

  // A signal at 4950 holds cell 100.
  TrenoDiProva segnale;
  segnale.leggi("segnale, 4950, 1,5,1,0,0,0,0,0,0,0\r\nabbattimento, 5000, 60\r\n");
  EXPECT_EQ(numero(segnale.d.codice_errore()), 7);
  EXPECT_EQ(segnale.d.posizione_errore(), 5000);
  EXPECT_EQ(segnale.c(100).tipo, kSegnale);

  TrenoDiProva negativo;
  EXPECT_EQ(negativo.leggi("abbattimento, -100, 60\r\n"), FineFase::guasto);
  // The kind is written before the value that does not fit.
  TrenoDiProva grande;
  EXPECT_EQ(grande.leggi("abbattimento, 1000, 40000\r\n"), FineFase::guasto);
  EXPECT_EQ(grande.c(20).tipo, kAbbattimento);
  EXPECT_EQ(grande.c(20).valore_a, 0);
}

}  // namespace
}  // namespace calvetra::test
