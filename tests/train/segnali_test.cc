// Signals: packed codes, the time code, approach codes and occupied cells.
#include <gtest/gtest.h>

#include <string>

#include "model/numeri.h"
#include "train/treno_di_prova.h"

namespace calvetra::test {
namespace {

// The signal as a train source writes it, read by the train phase.
FineFase posa(TrenoDiProva& t, const Segnale& s) {
  std::string riga = "segnale";
  for (int32_t v : {s.posizione, s.sx, s.s1, s.s2, s.s3, s.rapp, s.dx, s.d1, s.d2, s.d3, s.tempo}) {
    riga += ", " + std::to_string(v);
  }
  return t.leggi(riga + "\r\n");
}

TEST(Segnali, WorkedExamples) {
  TrenoDiProva t;
  posa(t, {13250, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0});
  const tratto& a = t.c(266);
  EXPECT_EQ(a.tipo, kSegnale);
  EXPECT_EQ(a.valore_a, 50);
  EXPECT_EQ(a.valore_b, 10);
  EXPECT_EQ(a.valore_c, 0);
  EXPECT_EQ(a.valore_d, 3);
  EXPECT_EQ(a.tempo, 0);
  EXPECT_EQ(t.c(264).preavviso, 31);
  EXPECT_EQ(t.c(262).preavviso, 32);
  EXPECT_EQ(t.c(260).preavviso, 33);
  EXPECT_EQ(t.c(258).preavviso, 34);
  EXPECT_EQ(t.c(265).preavviso, 0);
  EXPECT_EQ(t.c(266).preavviso, 0);

  posa(t, {103250, 2, 2, 3, 1, 0, 2, 3, 1, 1, 220});
  const tratto& b = t.c(2066);
  EXPECT_EQ(b.valore_a, 23);
  EXPECT_EQ(b.valore_b, 31);
  EXPECT_EQ(b.valore_c, 11);
  EXPECT_EQ(b.valore_d, 8);
  EXPECT_EQ(b.tempo, 220);
  EXPECT_EQ(t.c(2064).preavviso, 81);
  EXPECT_EQ(t.c(2058).preavviso, 84);

  // 266.5 rounds to the even 266, 267.5 to 268.
  TrenoDiProva meta;
  posa(meta, {13275, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0});
  posa(meta, {13325, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(meta.c(266).tipo, kSegnale);
  EXPECT_EQ(meta.c(268).tipo, kSegnale);
  EXPECT_EQ(numero(meta.d.codice_errore()), 0);
}

TEST(Segnali, TimeCode) {
  struct Caso {
    int32_t sx, tempo, in_cella, restituito;
  };
  for (const Caso& k :
       {Caso{2, 50, 101, 101}, Caso{2, 100, 101, 101}, Caso{2, 0, 0, 0}, Caso{2, 220, 220, 220},
        Caso{1, 220, 0, 220}, Caso{1, 50, 0, 101}, Caso{2, 300, 44, 300}}) {
    TrenoDiProva t;
    posa(t, {5000, k.sx, 2, 3, 1, 0, 0, 0, 0, 0, k.tempo});
    EXPECT_EQ(t.c(101).tempo, k.in_cella) << k.sx << " " << k.tempo;
    // The placing hands the raised time back to its caller.
    TrenoDiProva diretta;
    Segnale s{5000, k.sx, 2, 3, 1, 0, 0, 0, 0, 0, k.tempo};
    memo_segnale(diretta.m, diretta.d, Luogo{}, s);
    EXPECT_EQ(s.tempo, k.restituito) << k.tempo;
  }
}

TEST(Segnali, OccupiedAndMountainCells) {
  TrenoDiProva t;
  t.c(101).tipo = kSegnoMontagna;
  posa(t, {5000, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(t.c(101).tipo, kSegnale);
  EXPECT_EQ(numero(t.d.codice_errore()), 0);

  // A stop cell among the approach cells keeps everything but its approach code.
  t.c(298).tipo = kFermata;
  t.c(298).valore_a = 5;
  posa(t, {14950, 2, 3, 1, 0, 0, 1, 0, 0, 0, 0});
  EXPECT_EQ(t.c(298).tipo, kFermata);
  EXPECT_EQ(t.c(298).valore_a, 5);
  EXPECT_EQ(t.c(298).preavviso, 71);

  posa(t, {5010, 2, 4, 1, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(numero(t.d.codice_errore()), 16);
  EXPECT_EQ(t.c(101).valore_a, 50);  // the first signal is untouched
  EXPECT_EQ(t.c(99).preavviso, 31);
}

TEST(Segnali, EdgesOfTheRouteAndLowBits) {
  TrenoDiProva t;
  posa(t, {100, 1, 4000, 1, 0, 0, 0, 0, 0, 0, 0});  // cell 3: approach cells 1, -1, -3, -5
  EXPECT_EQ(t.c(3).valore_a, -25536);               // 40000, low 16 bits
  EXPECT_EQ(t.c(1).preavviso, 31);
  EXPECT_EQ(numero(t.d.codice_errore()), 0);

  posa(t, {-25, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0});  // (-25 + 50) / 50 rounds to 0
  EXPECT_EQ(t.c(0).tipo, kSegnale);
  EXPECT_EQ(posa(t, {-100, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0}), FineFase::guasto);
}

TEST(Segnali, EntryOnAnOccupiedCellEndsThePhase) {
  TrenoDiProva t;
  const std::string voci =
      "velocita, 0, 50\r\n"
      "segnale, 5000, 1,5,1,0,0,0,0,0,0,0\r\n"
      "segnale, 4990, 2,3,1,0,0,0,0,0,0,0\r\n"
      "sabbia, 9\r\n";
  t.leggi(voci);
  EXPECT_EQ(numero(t.d.codice_errore()), 16);
  EXPECT_EQ(t.d.posizione_errore(), 4990);
  const std::string testo = "[generale]\r\n" + voci;
  EXPECT_EQ(t.d.voci().back().luogo,
            (Luogo{FileSorgente::treno, testo.find("4990")}));  // the position field
  EXPECT_EQ(t.m.tabella[86].cod_a, 0);
  EXPECT_EQ(t.c(0).velocita, 0);

  TrenoDiProva oltre;
  oltre.leggi("segnale, 121901, 1,5,1,0,0,0,0,0,0,0\r\n");
  EXPECT_EQ(numero(oltre.d.codice_errore()), 15);
  EXPECT_EQ(oltre.d.posizione_errore(), 121901);
}

}  // namespace
}  // namespace calvetra::test
