// The entry loop of the train phase, the end-of-reading steps and the ways the
// phase ends.
#include <gtest/gtest.h>

#include <string>

#include "model/numeri.h"
#include "train/treno_di_prova.h"

namespace calvetra::test {
namespace {

TEST(FaseTreno, GeneralValuesAndKeywordMatching) {
  TrenoDiProva t;
  t.leggi_sorgente(
      "sabbia, 1\r\n"  // before "[generale]": passed over
      "[Generale]\r\n"
      "numero vetture,    3\r\n"
      "PERCENTUALE MASSA FRENATA,    150\r\n"
      "massa, 99\r\n"  // no "frenata": reads nothing
      "sabbia,    300\r\n"
      "orologio,    7               53            30 \r\n"
      "[codici]\r\n"
      "-a\r\n-b\r\n-vetture, 4\r\n"  // the second replacement is used
      "sabbia");                     // the last field is never interpreted
  EXPECT_EQ(numero(t.d.codice_errore()), 0);
  EXPECT_EQ(t.m.tabella[84].inizio, 150);
  EXPECT_EQ(t.m.tabella[84].posizione, 4);
  EXPECT_EQ(t.m.tabella[86].cod_a, 300);
  EXPECT_EQ(t.m.tabella[86].cod_c, 7);
  EXPECT_EQ(t.m.tabella[86].cod_d, 53);
  EXPECT_EQ(t.m.tabella[86].cod_e, 30);
}

// Speeds that are not multiples of 5 are stored to the nearest 5 km/h, and
// one whose count does not fit its byte ends the reading.
TEST(FaseTreno, SpeedsAreRoundedToTheNearestFive) {
  TrenoDiProva t;
  t.leggi(
      "velocita, 0, 73\r\nvelocita, 500, 72\r\nvelocita, 1000, 13\r\n"
      "velocita, 1500, 2\r\nvelocita, 2000, 1277\r\nvelocita, 2500, 0\r\n");
  EXPECT_EQ(numero(t.d.codice_errore()), 0);
  const struct {
    int64_t cella;
    uint8_t velocita;
  } attese[] = {{0, 15}, {9, 15}, {10, 14}, {20, 3}, {30, 0}, {40, 255}, {50, 0}};
  for (const auto& k : attese) EXPECT_EQ(t.c(k.cella).velocita, k.velocita) << k.cella;

  TrenoDiProva troppo;
  EXPECT_EQ(troppo.leggi("velocita, 0, 1278\r\nvelocita, 500, 50\r\n"), FineFase::guasto);
}

// The sixteen speed points and the adhesion point of the embedded train data.
TEST(FaseTreno, EmbeddedSpeedProfileAndAdhesion) {
  TrenoDiProva t;
  t.leggi(
      "aderenza,   0,    100\r\n"
      "velocita,       0,    35\r\nvelocita,    2400,   110\r\n"
      "velocita,    4000,    35\r\nvelocita,    4150,   110\r\n"
      "velocita,   26350,    30\r\nvelocita,   27500,   110\r\n"
      "velocita,   39900,    35\r\nvelocita,   40400,   110\r\n"
      "velocita,   48400,    35\r\nvelocita,   50000,   110\r\n"
      "velocita,   63400,    35\r\nvelocita,   65150,   110\r\n"
      "velocita,  103250,    35\r\nvelocita,  104600,    60\r\n"
      "velocita,  107300,   110\r\nvelocita,  109950,    30\r\n");
  EXPECT_EQ(numero(t.d.codice_errore()), 0);
  auto velocita = [&](int64_t i) { return int{t.c(i).velocita}; };
  for (int64_t i = 0; i <= 47; ++i) ASSERT_EQ(velocita(i), 7) << i;
  for (int64_t i = 48; i <= 79; ++i) ASSERT_EQ(velocita(i), 22) << i;
  for (int64_t i = 80; i <= 82; ++i) ASSERT_EQ(velocita(i), 7) << i;
  EXPECT_EQ(velocita(526), 22);  // up to 26350 / 50 - 1
  EXPECT_EQ(velocita(527), 6);
  EXPECT_EQ(velocita(2091), 7);
  EXPECT_EQ(velocita(2092), 12);  // from 104600 / 50 on
  EXPECT_EQ(velocita(2198), 22);
  for (int64_t i = 2199; i <= kUltimaCella - 3; ++i) ASSERT_EQ(velocita(i), 6) << i;
  for (int64_t i = kUltimaCella - 2; i <= kUltimaCella; ++i) EXPECT_EQ(velocita(i), 0) << i;
  for (int64_t i = 0; i <= kUltimaCella - 3; ++i) ASSERT_EQ(t.c(i).aderenza, 100) << i;
  EXPECT_EQ(t.c(kUltimaCella - 2).aderenza, 0);
}

TEST(FaseTreno, ProfileFillRules) {
  TrenoDiProva t;
  t.leggi(
      "velocita, 500, 40\r\n"
      "velocita, 1000, 60\r\n"
      "velocita, 1000, 80\r\n"  // same cell: one more cell at 60
      "aderenza, 0, 300\r\n"
      "aderenza, 100, 7\r\n");
  for (int64_t i = 0; i <= 9; ++i) EXPECT_EQ(t.c(i).velocita, 0) << i;
  for (int64_t i = 10; i <= 19; ++i) EXPECT_EQ(t.c(i).velocita, 8) << i;
  EXPECT_EQ(t.c(20).velocita, 12);
  EXPECT_EQ(t.c(21).velocita, 16);
  EXPECT_EQ(t.c(0).aderenza, 44);  // 300, low 8 bits
  EXPECT_EQ(t.c(1).aderenza, 44);
  EXPECT_EQ(t.c(2).aderenza, 7);
}

TEST(FaseTreno, SpeedPointAtTheBoundAndJustPastIt) {
  TrenoDiProva accettato;
  accettato.leggi("velocita, 0, 50\r\nvelocita, 121900, 20\r\n");
  EXPECT_EQ(numero(accettato.d.codice_errore()), 0);
  EXPECT_EQ(accettato.c(kUltimaCella - 3).velocita, 10);
  EXPECT_EQ(accettato.c(kUltimaCella - 2).velocita, 4);  // the tail starts there
  EXPECT_EQ(accettato.c(kUltimaCella - 1).velocita, 0);

  // Past the bound: error 15, later entries unread, the tails still run.
  TrenoDiProva rifiutato;
  rifiutato.d.riposiziona(-1);
  rifiutato.leggi("velocita, 0, 50\r\naderenza, 0, 3\r\nvelocita, 121901, 20\r\nsabbia, 9\r\n");
  EXPECT_EQ(numero(rifiutato.d.codice_errore()), 15);
  EXPECT_EQ(rifiutato.d.posizione_errore(), 121901);
  EXPECT_EQ(rifiutato.m.tabella[86].cod_a, 0);
  EXPECT_EQ(rifiutato.c(0).velocita, 10);
  EXPECT_EQ(rifiutato.c(kUltimaCella - 3).velocita, 10);
  EXPECT_EQ(rifiutato.c(kUltimaCella - 3).aderenza, 3);
}

// A speed too high for a cell fails only where a cell is written with it:
// a point whose fill writes nothing (the fill index already at the last
// cell) passes it over, and the next point's speed is the one kept.
TEST(FaseTreno, SpeedThatFitsNoCellFailsOnlyWhenWritten) {
  TrenoDiProva t;
  t.leggi(
      "velocita, 121900, 20\r\nvelocita, 121900, 20\r\n"
      "velocita, 121900, 1300\r\nvelocita, 121900, 50\r\n");
  EXPECT_EQ(numero(t.d.codice_errore()), 0);
  EXPECT_EQ(t.c(kUltimaCella - 1).velocita, 4);
  EXPECT_EQ(t.c(kUltimaCella).velocita, 10);  // the tail, at 50 km/h

  // Written, it fails: one cell more to fill.
  TrenoDiProva scritto;
  scritto.leggi("velocita, 121900, 20\r\nvelocita, 121900, 1300\r\nvelocita, 121900, 50\r\n");
  EXPECT_EQ(numero(scritto.d.codice_errore()), 25);
}

// Points piled at the last position allowed each fill one more cell. The
// adhesion fill reaches the last cell and then stops, leaving its tail nothing
// to write; the speed fill stops before the last cell and its tail writes it.
TEST(FaseTreno, PointsPiledAtTheLastPosition) {
  TrenoDiProva t;
  std::string voci;
  for (int k = 1; k <= 5; ++k) {
    voci += "aderenza, 121900, " + std::to_string(k) + "\r\n";
    voci += "velocita, 121900, " + std::to_string(5 * k) + "\r\n";
  }
  t.leggi(voci);
  EXPECT_EQ(numero(t.d.codice_errore()), 0);
  const int aderenza[] = {0, 1, 2, 3};  // cells H - 3 to H
  const int velocita[] = {0, 1, 2, 5};
  for (int k = 0; k < 4; ++k) {
    const tratto& c = t.c(kUltimaCella - 3 + k);
    EXPECT_EQ(c.aderenza, aderenza[k]) << "cell H - " << 3 - k;
    EXPECT_EQ(c.velocita, velocita[k]) << "cell H - " << 3 - k;
  }
}

TEST(FaseTreno, ProgressiveCheckRunsLastAndReplacesError15) {
  TrenoDiProva t;
  t.m.tabella[82].fine = 1025;
  t.leggi("aderenza, 122000, 1\r\n");
  EXPECT_EQ(numero(t.d.codice_errore()), 2);
  EXPECT_EQ(t.d.posizione_errore(), 122000);  // left by the error 15

  TrenoDiProva allineate;
  allineate.m.tabella[81].inizio = 1050;
  allineate.m.tabella[83].fine = -100;
  allineate.leggi("");
  EXPECT_EQ(numero(allineate.d.codice_errore()), 0);
}

// The test after a signal or slowdown entry looks at the error code as a
// whole: a 15 left by the line phase ends the reading at the first one.
TEST(FaseTreno, ErrorLeftByTheLinePhaseStopsAtFirstSignalOrSlowdown) {
  for (const std::string voce :
       {"segnale, 13250, 1,5,1,0,0,0,0,0,0,0\r\n", "rallentamento, 13250, 30, 150, 1, 0, 0\r\n"}) {
    TrenoDiProva t;
    t.d.errore(CodiceErrore::oltre_il_percorso, Luogo{}, 9999);
    t.leggi("velocita, 0, 50\r\nsabbia, 7\r\n" + voce + "sabbia, 9\r\n");
    EXPECT_EQ(numero(t.d.codice_errore()), 15);
    EXPECT_EQ(t.d.posizione_errore(), 13250);
    EXPECT_NE(t.c(266).tipo, kLibero);  // the entry itself was stored
    EXPECT_EQ(t.m.tabella[86].cod_a, 7);
    EXPECT_EQ(t.c(0).velocita, 0);  // no end-of-reading steps
  }
}

TEST(FaseTreno, ValuesThatDoNotFitAreUnexpectedFailures) {
  for (const std::string voci : {"velocita, 0, 1280\r\nvelocita, 100, 0\r\n",  // 256 steps
                                 "sabbia, 40000\r\n", "orologio, 7 -40000 0\r\n"}) {
    TrenoDiProva t;
    EXPECT_EQ(t.leggi(voci), FineFase::guasto) << voci;
  }
  TrenoDiProva senza_celle;
  senza_celle.m.tratti.clear();
  EXPECT_EQ(senza_celle.leggi("velocita, 0, 50\r\n"), FineFase::guasto);
}

TEST(FaseTreno, MissingOrEmptyTrainSourceEndsWithCode25) {
  const Compilazione mancante =
      compila(Sorgente::di(kLineaMinima), Sorgente{}, {}, {.con_geometria = false});
  EXPECT_EQ(numero(mancante.codice_errore()), 25);
  EXPECT_TRUE(mancante.consumate.linea);

  TrenoDiProva vuoto;
  vuoto.compila("");
  EXPECT_EQ(numero(vuoto.d.codice_errore()), 25);
  EXPECT_TRUE(vuoto.consumate.treno);
  EXPECT_TRUE(vuoto.consumate.linea);
}

TEST(FaseTreno, WholeParseAfterTheLinePhase) {
  TrenoDiProva t;
  t.compila(
      "[generale]\r\nnumero vetture, 3\r\nvelocita, 0, 100\r\n"
      "segnale,   13250,   1, 5, 1,  0, 0,    0,  0,0,0, 0\r\n"
      "stazione,    1500,  2,  800,  1, 1, 0,  4,1,0,  2,1,1,    1,   7,54, 0, Prima\r\n"
      "[fine]\r\n");
  EXPECT_EQ(numero(t.d.codice_errore()), 0);
  EXPECT_EQ(t.m.tabella[84].fine, 115000);
  EXPECT_EQ(t.m.tabella[84].posizione, 3);
  EXPECT_EQ(t.c(266).tipo, kSegnale);
  EXPECT_EQ(t.c(37).tipo, kFermata);
  EXPECT_EQ(t.c(100).velocita, 20);
  EXPECT_TRUE(t.consumate.treno);
}

}  // namespace
}  // namespace calvetra::test
