// Stations: rows, zones by type, stop and approach cells, the distance rule
// and the ceiling of the sign rows.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>

#include "model/numeri.h"
#include "train/treno_di_prova.h"

namespace calvetra::test {
namespace {

// A station line with the given position, type, length and column 7; the
// other columns are fixed.
std::string stazione(int32_t posizione, int tipo, int32_t L, int col7 = 0,
                     const std::string& nome = "Nome") {
  return "stazione, " + std::to_string(posizione) + ", " + std::to_string(tipo) + ", " +
         std::to_string(L) + ", 1, 1, " + std::to_string(col7) + ", 4,1,0, 2,1,1, 15, 8,2,0, " +
         nome + "\r\n";
}

// A harmless first station well before the ones under test.
const std::string kPrima = stazione(1000, 28, 200);

int preavvisi(TrenoDiProva& t, int64_t da, int64_t a) {
  int n = 0;
  for (int64_t i = da; i <= a; ++i) n += t.c(i).preavviso != 0;
  return n;
}

TEST(Stazioni, FirstStationsOfTheEmbeddedData) {
  TrenoDiProva t;
  t.leggi(
      "stazione,    1500,  2,  800,  1, 1, 0,  4,1,0,  2,1,1,    1,   7,54, 0, Prima\r\n"
      "stazione,    7350, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, Seconda\r\n");
  EXPECT_EQ(numero(t.d.codice_errore()), 0);
  const voce& r1 = t.m.tabella[1];
  EXPECT_EQ(std::tie(r1.posizione, r1.inizio, r1.fine, r1.orario, r1.nome),
            std::make_tuple(1500, 1100, 1900, 28440, std::string("Prima")));
  EXPECT_EQ((std::array{r1.tipo, r1.opz_a, r1.opz_e, r1.opz_d, r1.opz_b, r1.opz_c}),
            (std::array<uint8_t, 6>{2, 1, 0, 0, 0, 1}));  // options cleared in row 1
  EXPECT_EQ((std::array{r1.cod_a, r1.cod_b, r1.cod_c, r1.cod_d, r1.cod_e}),
            (std::array<int16_t, 5>{4, 1, 2, 1, 1}));
  EXPECT_EQ(t.c(37).tipo, kFermata);
  EXPECT_EQ(t.c(37).valore_a, 1);
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(t.c(37 - k).preavviso, 80 + k);
  EXPECT_EQ(preavvisi(t, 0, kUltimaCella), 4);
  EXPECT_EQ(std::tie(t.m.tabella[2].inizio, t.m.tabella[2].fine), std::make_tuple(7250, 7450));
}

TEST(Stazioni, ZonesAndCellsByType) {
  struct Caso {
    int tipo;
    int32_t L, inizio, fine;
    int64_t fermata;  // 0: none
    int avvicinamento;
  };
  // At 5000, column 7 = 1, second row (a first station at 1000 comes before).
  for (const Caso& k : {Caso{5, 400, 4600, 5150, 102, 0}, Caso{7, 400, 4600, 5400, 107, 4},
                        Caso{12, 400, 4800, 5250, 104, 4}, Caso{28, 400, 4800, 5250, 0, 0}}) {
    TrenoDiProva t;
    t.leggi(kPrima + stazione(5000, k.tipo, k.L, 1));
    const voce& r = t.m.tabella[2];
    EXPECT_EQ(std::tie(r.inizio, r.fine), std::tie(k.inizio, k.fine)) << k.tipo;
    EXPECT_EQ(r.opz_d, k.tipo == 5 || k.tipo == 7 ? 0 : 1) << k.tipo;
    EXPECT_EQ(r.opz_e, 0) << k.tipo;  // shorter than 600
    EXPECT_EQ(preavvisi(t, 0, kUltimaCella), k.avvicinamento) << k.tipo;
    int fermate = 0;
    for (int64_t i = 0; i <= kUltimaCella; ++i) fermate += t.c(i).tipo == kFermata;
    EXPECT_EQ(fermate, k.fermata != 0 ? 1 : 0) << k.tipo;
    if (k.fermata == 0) continue;
    EXPECT_EQ(t.c(k.fermata).tipo, kFermata) << k.tipo;
    EXPECT_EQ(t.c(k.fermata).valore_a, 2);
    if (k.avvicinamento != 0) {
      EXPECT_EQ(t.c(k.fermata - 1).preavviso, 81);
    }
  }
  TrenoDiProva lunga;
  lunga.leggi(kPrima + stazione(5000, 12, 600));
  EXPECT_EQ(lunga.m.tabella[2].opz_e, 1);
}

TEST(Stazioni, NearTheOriginAndError24) {
  TrenoDiProva t;
  t.leggi(stazione(100, 2, 200));
  EXPECT_EQ(numero(t.d.codice_errore()), 0);
  EXPECT_EQ(t.m.tabella[1].fine, 200);
  EXPECT_EQ(t.c(3).tipo, kFermata);
  EXPECT_EQ(t.c(2).preavviso, 81);
  EXPECT_EQ(preavvisi(t, 0, kUltimaCella), 1);

  TrenoDiProva e24;
  e24.d.riposiziona(-1);
  e24.leggi(stazione(0, 2, 200) + "sabbia, 5\r\n");
  EXPECT_EQ(numero(e24.d.codice_errore()), 24);
  EXPECT_EQ(e24.d.posizione_errore(), -1);
  EXPECT_EQ(e24.m.tabella[1].fine, 100);  // the row keeps what was stored
  EXPECT_EQ(e24.m.tabella[86].cod_a, 0);
}

TEST(Stazioni, DistanceRule) {
  // First zone ends at 1900; 300, 350 and -100 m to the next zone's start.
  for (const auto& [posizione, codice] : {std::pair{2300, 22}, {2350, 0}, {1900, 22}}) {
    TrenoDiProva t;
    t.leggi(stazione(1500, 2, 800) + stazione(posizione, 28, 200));
    EXPECT_EQ(numero(t.d.codice_errore()), codice) << posizione;
    if (codice != 0) {
      EXPECT_EQ(t.d.posizione_errore(), posizione);
    }
  }
}

TEST(Stazioni, PositionAndLengthErrors) {
  TrenoDiProva e8;
  e8.leggi("velocita, 0, 50\r\n" + stazione(1525, 2, 800));
  EXPECT_EQ(numero(e8.d.codice_errore()), 8);
  EXPECT_EQ(e8.d.posizione_errore(), 1525);
  EXPECT_EQ(e8.c(0).velocita, 0);  // no end-of-reading steps

  TrenoDiProva e9;
  e9.leggi(stazione(1500, 2, 850));
  EXPECT_EQ(numero(e9.d.codice_errore()), 9);
  EXPECT_EQ(e9.d.posizione_errore(), 1500);

  // position + 800 past 50 * H: error 15 and the end-of-reading steps.
  TrenoDiProva e15;
  e15.leggi("velocita, 0, 50\r\n" + stazione(121250, 28, 200));
  EXPECT_EQ(numero(e15.d.codice_errore()), 15);
  EXPECT_EQ(e15.d.posizione_errore(), 121250);
  EXPECT_EQ(e15.c(0).velocita, 10);
  TrenoDiProva al_limite;
  al_limite.leggi(stazione(121200, 28, 200));
  EXPECT_EQ(numero(al_limite.d.codice_errore()), 0);
}

TEST(Stazioni, FortyStationsUnderThirtyEightSigns) {
  std::string voci;
  for (int32_t n = 1; n <= 40; ++n) voci += stazione(1000 * n, 28, 200);
  TrenoDiProva quaranta;
  quaranta.riga_cartello = 42;
  quaranta.leggi(voci);
  EXPECT_EQ(numero(quaranta.d.codice_errore()), 0);
  EXPECT_EQ(quaranta.m.tabella[40].posizione, 40000);

  TrenoDiProva quarantuno;
  quarantuno.riga_cartello = 42;
  quarantuno.d.riposiziona(-1);
  quarantuno.leggi(voci + stazione(41000, 28, 200) + "sabbia, 5\r\n");
  EXPECT_EQ(numero(quarantuno.d.codice_errore()), 10);
  EXPECT_EQ(quarantuno.d.posizione_errore(), -1);
  EXPECT_EQ(quarantuno.m.tabella[41].posizione, 41000);
  EXPECT_EQ(quarantuno.m.tabella[86].cod_a, 0);
}

// A station never writes over a sign text: with 80 signs row 1 holds one.
TEST(Stazioni, SignRowIsNeverOverwritten) {
  TrenoDiProva pieno;
  pieno.riga_cartello = 0;
  pieno.m.tabella[1].nome = "(  P.L.  )";
  pieno.leggi(stazione(1500, 2, 800));
  EXPECT_EQ(numero(pieno.d.codice_errore()), 10);
  EXPECT_EQ(pieno.m.tabella[1].nome, "(  P.L.  )");
  EXPECT_EQ(pieno.m.tabella[1].posizione, 0);
  EXPECT_EQ(pieno.m.tabella[1].tipo, 0);
  EXPECT_EQ(pieno.c(37).tipo, kLibero);
  EXPECT_EQ(preavvisi(pieno, 0, kUltimaCella), 0);

  // With 79 signs row 1 is free: stored, then the ceiling is reached.
  TrenoDiProva una;
  una.riga_cartello = 1;
  una.leggi(stazione(1500, 2, 800, 0, "Prima"));
  EXPECT_EQ(numero(una.d.codice_errore()), 10);
  EXPECT_EQ(una.m.tabella[1].nome, "Prima");
  EXPECT_EQ(una.c(37).tipo, kFermata);
}

TEST(Stazioni, StopCellPastTheRouteAndOversizedTimeAreUnexpectedFailures) {
  // Type 7 at 5000 with L 5000 ends at 10000, stop cell 199 of a 150-cell route.
  TrenoDiProva oltre(150);
  EXPECT_EQ(oltre.leggi(stazione(5000, 7, 5000)), FineFase::guasto);
  for (int64_t i = 0; i <= 150; ++i) ASSERT_EQ(oltre.c(i).preavviso, 0) << i;

  // Types 5 to 8 clear column 7 only once both zone ends are stored.
  for (const char* riga :
       {"stazione, 1500, 7, 2147483600, 0, 0, 1, 0,0,0, 0,0,0, 0, 0,0,0, NOME\r\n",
        "stazione, 1500, 5, -2147483600, 0, 0, 1, 0,0,0, 0,0,0, 0, 0,0,0, NOME\r\n"}) {
    TrenoDiProva zona;
    EXPECT_EQ(zona.leggi(riga), FineFase::guasto) << riga;
    EXPECT_EQ(zona.m.tabella[1].opz_d, 1) << riga;
  }

  TrenoDiProva orario;
  EXPECT_EQ(orario.leggi("stazione, 1500, 2, 800, 1,1,0, 4,1,0, 2,1,1, 1, 600000,0,0, X\r\n"),
            FineFase::guasto);
}

}  // namespace
}  // namespace calvetra::test
