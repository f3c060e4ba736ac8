#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <vector>

#include "line/prova_linea.h"

namespace calvetra::test {
namespace {

using Genere = Geometria::Genere;

uint64_t bit(double v) { return std::bit_cast<uint64_t>(v); }

// The plan computed independently in a plain loop: (S, l, k) records in order.
struct Tratto {
  int64_t S, l;
  double k;
};
void piano_atteso(int64_t fino, const std::vector<Tratto>& curve, std::vector<double>* x,
                  std::vector<double>* y) {
  *x = {0.0, 0.0};
  *y = {0.0, 1.0};
  for (int64_t m = 2; m <= fino; ++m) {
    double k = 0.0;
    for (const Tratto& t : curve) {
      if (m > t.S && m <= t.S + t.l) k = t.k;
    }
    const size_t i = static_cast<size_t>(m);
    const double dx = (*x)[i - 1] - (*x)[i - 2];
    const double dy = (*y)[i - 1] - (*y)[i - 2];
    x->push_back((*x)[i - 1] + (dx + k * dy));
    y->push_back((*y)[i - 1] + (dy - k * dx));
  }
}

void uguale_bit_a_bit(const Geometria& g, int64_t fino, const std::vector<Tratto>& curve) {
  std::vector<double> x, y;
  piano_atteso(fino, curve, &x, &y);
  ASSERT_GE(g.prossimo(), fino + 1);
  PuntiPiano punti(g);
  for (int32_t m = 2; m <= fino; ++m) {
    ASSERT_EQ(bit(punti.x(m)), bit(x[static_cast<size_t>(m)])) << m;
    ASSERT_EQ(bit(punti.y(m)), bit(y[static_cast<size_t>(m)])) << m;
  }
}

TEST(GeometriaCurve, WithoutCurvesTheRouteRunsStraightToTMinus2) {
  ProvaLinea p;  // T = 17000
  p.compila("");
  const Geometria& g = p.m.geometria;
  PuntiPiano punti(g);
  ASSERT_EQ(numero(p.d.codice_errore()), 0);
  EXPECT_EQ(g.genere(0), Genere::intero);
  EXPECT_EQ(g.genere(1), Genere::intero);
  for (int32_t m = 2; m <= 16998; ++m) {
    ASSERT_EQ(g.genere(m), Genere::reale);
    ASSERT_EQ(punti.x(m), 0.0);
    ASSERT_EQ(punti.y(m), static_cast<double>(m));
  }
  EXPECT_EQ(g.genere(16999), Genere::vuoto);
  EXPECT_EQ(g.genere(17000), Genere::vuoto);
}

TEST(GeometriaCurve, FirstLeftCurveIsBitExact) {
  ProvaLinea p;
  p.compila("curvas6,  500,  500\r\n");
  const Geometria& g = p.m.geometria;
  PuntiPiano punti(g);
  ASSERT_EQ(numero(p.d.codice_errore()), 0);
  EXPECT_EQ(punti.x(500), 0.0);
  EXPECT_EQ(punti.y(500), 500.0);
  uguale_bit_a_bit(g, 16998, {{500, 500, -0.003}});
  // Pinned bit patterns: the turn is to the left (x < 0).
  EXPECT_EQ(bit(punti.x(501)), 0xBF689374BC6A7EFAu);   // -0.003
  EXPECT_EQ(bit(punti.y(501)), 0x407F500000000000u);   // 501
  EXPECT_EQ(bit(punti.x(750)), 0xC056760AA5788408u);   // about -89.844
  EXPECT_EQ(bit(punti.y(750)), 0x4086B99AEA1E99B9u);   // about 727.201
  EXPECT_EQ(bit(punti.x(1000)), 0xC0736B30B981B47Au);  // about -310.699
  EXPECT_EQ(bit(punti.y(1000)), 0x408A028B6F766E52u);  // about 832.318
  // Past the curve the last step goes straight on.
  EXPECT_EQ(punti.x(1002) - punti.x(1001), punti.x(1001) - punti.x(1000));
}

TEST(GeometriaCurve, RecordsAreOneForwardPass) {
  // Back to back curves bend exactly like one long curve.
  ProvaLinea a, b;
  a.compila("curvad3,  500,  500\r\ncurvad3,  1000,  500\r\n");
  b.compila("curvad3,  500,  1000\r\n");
  uguale_bit_a_bit(a.m.geometria, 16998, {{500, 1000, 0.0004}});
  uguale_bit_a_bit(b.m.geometria, 16998, {{500, 1000, 0.0004}});

  // A record behind the metre reached: ignored when it ends before it, only
  // its remaining part bent when it ends after it.
  ProvaLinea c;
  c.compila("curvad2,  2000,  500\r\ncurvas6,  500,  500\r\ncurvas4,  2400,  300\r\n");
  ASSERT_EQ(numero(c.d.codice_errore()), 0);
  uguale_bit_a_bit(c.m.geometria, 16998, {{2000, 500, 0.0002}, {2500, 200, -0.001}});
}

TEST(GeometriaCurve, KeywordDecidesClassAndSide) {
  ProvaLinea p;  // digits 2 and 5: class 2; capital S turns left; no s: right
  p.compila("CURVA25,  100,  10\r\nCurvaS1,  200,  10\r\n");
  ASSERT_EQ(numero(p.d.codice_errore()), 0);
  uguale_bit_a_bit(p.m.geometria, 400, {{100, 10, 0.0002}, {200, 10, -0.0001}});
}

TEST(GeometriaCurve, CurvePastTheEndStopsAtTMinus2) {
  ProvaLinea p;  // 16800 passes the bound; its end would be metre 17800
  p.compila("curvad6,  16800,  1000\r\n");
  EXPECT_EQ(numero(p.d.codice_errore()), 0);
  EXPECT_EQ(p.m.geometria.prossimo(), 16999);
  uguale_bit_a_bit(p.m.geometria, 16998, {{16800, 1000, 0.003}});
}

TEST(GeometriaCurve, ClassMissingEndsThePhaseWith103) {
  ProvaLinea p;
  p.compila("pendenza,  1000,  5\r\ncurvad3,  500,  100\r\ncurvas7,  1000,  100\r\n");
  EXPECT_EQ(numero(p.d.codice_errore()), 103);
  EXPECT_EQ(p.m.geometria.prossimo(), 601);  // stops where it was
  EXPECT_EQ(p.c(19).pendenza, 100);
  EXPECT_EQ(p.c(20).pendenza, 0);  // no closing steps
  EXPECT_EQ(p.fine, FineFase::interrotta);
}

TEST(GeometriaCurve, MetreOneMillionFailsWith103) {
  for (const char* corpo : {"curvad1,  999000,  1000\r\n", "curvad1,  1000000,  50\r\n"}) {
    ProvaLinea p;
    p.compila(corpo, 1000000);
    EXPECT_EQ(numero(p.d.codice_errore()), 103) << corpo;
    EXPECT_EQ(p.m.geometria.prossimo(), 1000001) << corpo;  // metres computed stay
    EXPECT_EQ(p.fine, FineFase::interrotta);
  }
  ProvaLinea p;
  p.compila("curvad1,  999000,  999\r\n", 1000000);
  EXPECT_EQ(numero(p.d.codice_errore()), 0);
  EXPECT_EQ(p.m.geometria.prossimo(), 1006999);  // the closing step has no limit
}

// The last metre with a point, from metre 0 on, is where a scan metre by
// metre first finds one empty: on a plan never seeded, a whole one, one
// stopped by an error, and one whose closing step ran past the last metre.
int32_t ultimo_per_scansione(const Geometria& g) {
  int32_t m = 0;
  while (m <= g.ultimo_metro() && g.genere(m) != Genere::vuoto) ++m;
  return m - 1;
}

TEST(GeometriaCurve, LastMetreWithAPointIsTheScansOwn) {
  EXPECT_EQ(Geometria().ultimo_pieno(), -1);
  Geometria creata;
  creata.crea(100);
  EXPECT_EQ(creata.ultimo_pieno(), -1);
  creata.semina();
  EXPECT_EQ(creata.ultimo_pieno(), 1);
  EXPECT_EQ(creata.ultimo_pieno(), ultimo_per_scansione(creata));

  ProvaLinea intera;
  intera.compila("");
  ProvaLinea fermata;
  fermata.compila("pendenza,  1000,  5\r\ncurvad3,  500,  100\r\ncurvas7,  1000,  100\r\n");
  ProvaLinea oltre;
  oltre.compila("curvad1,  999000,  999\r\n", 1000000);
  for (const ProvaLinea* p : {&intera, &fermata, &oltre}) {
    EXPECT_EQ(p->m.geometria.ultimo_pieno(), ultimo_per_scansione(p->m.geometria));
  }
  EXPECT_EQ(intera.m.geometria.ultimo_pieno(), 16998);
  EXPECT_EQ(fermata.m.geometria.ultimo_pieno(), 600);
}

}  // namespace
}  // namespace calvetra::test
