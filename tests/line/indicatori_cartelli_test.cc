#include <gtest/gtest.h>

#include "line/prova_linea.h"

namespace calvetra::test {
namespace {

TEST(Indicatori, ValuesArePacked) {
  ProvaLinea p;
  p.compila(
      "indicatori_vmax,  1950,  110,  130,  160,  0,  110,  130,  160,  0\r\n"
      "indicatori_vmax,  26600,  60,  60,  60,  0,  ,  ,  ,  0\r\n"
      "indicatori_vmax,  3000,  5,  1638,  0,  3276,  12,  35,  -13,  7\r\n",
      30000);
  ASSERT_EQ(numero(p.d.codice_errore()), 0);
  const tratto& a = p.c(40);
  EXPECT_EQ(a.tipo, kIndicatori);
  EXPECT_EQ(std::vector<int>({a.valore_a, a.valore_b, a.valore_c, a.valore_d}),
            std::vector<int>({2222, 2626, 3232, 0}));
  const tratto& b = p.c(533);
  EXPECT_EQ(std::vector<int>({b.valore_a, b.valore_b, b.valore_c, b.valore_d}),
            std::vector<int>({1200, 1200, 1200, 0}));
  // Rounded quotients and the 16-bit edge: 102.4 -> 102, 32767, -2.6 -> -3.
  const tratto& c = p.c(61);
  EXPECT_EQ(std::vector<int>({c.valore_a, c.valore_b, c.valore_c, c.valore_d}),
            std::vector<int>({102, 32767, -3, 32767}));
}

TEST(Indicatori, ValuesOutside16BitsAreUnexpected) {
  for (const char* valori : {"1639,  0,  0,  0,  0,  0,  0,  0",      // valore_a 32780
                             "0,  0,  0,  3277,  0,  0,  0,  0",      // strisces * 10
                             "0,  0,  0,  3276,  0,  0,  0,  8",      // the sum
                             "0,  0,  0,  0,  0,  0,  0,  40000"}) {  // strisced
    ProvaLinea p;
    p.compila(std::string("indicatori_vmax,  1950,  ") + valori + "\r\n");
    EXPECT_EQ(numero(p.d.codice_errore()), 25) << valori;
    EXPECT_NE(p.fine, FineFase::interrotta);
  }
}

TEST(Cartelli, RowsCountDownFrom80) {
  ProvaLinea p;
  std::string corpo;
  for (int i = 0; i < 38; ++i) {
    corpo += "cartello_indicatore,  " + std::to_string(2500 + 100 * i) +
             ",   (      )( P.L. )(      )\r\n";
  }
  p.compila(corpo);
  ASSERT_EQ(numero(p.d.codice_errore()), 0);
  EXPECT_EQ(p.c(51).tipo, kCartello);
  EXPECT_EQ(p.c(51).valore_a, 80);
  EXPECT_EQ(p.c(51 + 2 * 37).valore_a, 43);
  EXPECT_EQ(p.m.tabella[80].nome, "(      )( P.L. )(      )");
  EXPECT_EQ(p.m.tabella[43].nome, "(      )( P.L. )(      )");
  EXPECT_EQ(p.m.tabella[42].nome, "");
}

TEST(Cartelli, The81stSignIsUnexpectedOnlyOnAFreeCell) {
  std::string corpo;
  for (int i = 0; i < 80; ++i)
    corpo += "cartello_indicatore,  " + std::to_string(100 + 100 * i) + ",  x\r\n";
  ProvaLinea occupata;
  occupata.compila(corpo + "cartello_indicatore,  8000,  y\r\n");
  EXPECT_EQ(numero(occupata.d.codice_errore()), 6);
  ProvaLinea libera;
  libera.compila(corpo + "cartello_indicatore,  8100,  y\r\n");
  EXPECT_EQ(numero(libera.d.codice_errore()), 25);
  EXPECT_EQ(libera.c(163).tipo, kLibero);
}

TEST(Cartelli, TwoObjectsInOneCell) {
  struct Caso {
    const char* corpo;
    int32_t codice;
    int32_t posizione;
  };
  for (const Caso& k : std::vector<Caso>{
           {"cartello_indicatore,  13250,  A\r\ncartello_indicatore,  13275,  B\r\n", 6, 13275},
           {"cartello_indicatore,  13250,  A\r\nindicatori_vmax,  13275,  1,1,1,1,1,1,1,1\r\n", 21,
            13275},
           {"indicatori_vmax,  13250,  1,1,1,1,1,1,1,1\r\ncartello_indicatore,  13240,  B\r\n", 6,
            13240}}) {
    ProvaLinea p;  // 13275 / 50 + 1 = 266.5 -> cell 266, like 13250
    p.compila(std::string(k.corpo) + "pendenza,  1000,  1\r\n", 20000);
    EXPECT_EQ(numero(p.d.codice_errore()), k.codice) << k.corpo;
    EXPECT_EQ(p.d.posizione_errore(), k.posizione);
    EXPECT_EQ(p.c(0).pendenza, 0);  // the phase returned at once
    EXPECT_EQ(p.fine, FineFase::interrotta);
  }
}

TEST(Cartelli, PositionBeyondCells) {
  ProvaLinea p;
  p.compila("indicatori_vmax,  16901,  1,1,1,1,1,1,1,1\r\ncartello_indicatore,  2500,  A\r\n");
  EXPECT_EQ(numero(p.d.codice_errore()), 15);
  EXPECT_EQ(p.d.posizione_errore(), 16901);
  EXPECT_EQ(p.c(339).tipo, kLibero);
  EXPECT_EQ(p.c(51).tipo, kLibero);
  EXPECT_EQ(p.c(337).pendenza, 100);  // closing steps ran
}

}  // namespace
}  // namespace calvetra::test
