// Thresholds that a one-step slip would move, carried through whole compiles
// of hand-written sources: one compile sets every rule exactly at its
// threshold, the other one step past it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/compilazione.h"

namespace calvetra {
namespace {

std::vector<size_t> celle_di_tipo(const Modello& f, uint8_t tipo) {
  std::vector<size_t> celle;
  for (size_t i = 0; i < f.tratti.size(); ++i) {
    if (f.tratti[i].tipo == tipo) celle.push_back(i);
  }
  return celle;
}

TEST(Soglie, EachRuleAtItsThresholdAndOneStepPast) {
  using Celle = std::vector<size_t>;
  struct Caso {
    const char* nome;
    const char* montagna;  // starts 150 m or 151 m after the previous one's end
    uint8_t classe;
    const char* rallentamento;  // starts at 1500 m or 1501 m, at 110 or 109 km/h
    Celle avviso, preavvisi, abbattimenti;
  };
  const Caso casi[] = {
      {"at the thresholds",
       "montagna,  11150,  12000,  2\r\n",
       3,
       "rallentamento,  1500,  110,  1000,  1,  1,  0\r\n",
       {},
       {},
       {13, 20, 26}},
      // A warning 1200 m ahead and its pre-warnings; a code reduction every
      // 400 m inside the slowdown.
      {"one step past",
       "montagna,  11151,  12000,  2\r\n",
       2,
       "rallentamento,  1501,  109,  1000,  1,  1,  0\r\n",
       {7},
       {3, 4, 5, 6},
       {13, 20, 26, 39, 47}},
  };
  for (const Caso& caso : casi) {
    SCOPED_TRACE(caso.nome);
    const std::string linea =
        test::sorgente_linea("", std::string("montagna,  10000,  11000,  1\r\n") + caso.montagna);
    // Number fields round halves to the even neighbour.
    const std::string treno =
        std::string("[generale]\r\nnumero vetture,  2.5\r\nsabbia,  3.5\r\n") + caso.rallentamento +
        "[fine]\r\n";
    test::Compilato c(linea.c_str(), treno.c_str());
    ASSERT_EQ(c.stato(), kUscitaPulita);
    const Modello& f = c.m();
    EXPECT_EQ(f.tabella[84].posizione, 2);
    EXPECT_EQ(f.tabella[86].cod_a, 4);

    EXPECT_EQ(f.tratti[219].montagna, 1);
    EXPECT_EQ(f.tratti[222].montagna, 0);
    EXPECT_EQ(f.tratti[223].montagna, caso.classe);
    EXPECT_EQ(f.tratti[239].montagna, caso.classe);

    EXPECT_EQ(celle_di_tipo(f, kInizioRallentamento), (Celle{31}));
    EXPECT_EQ(celle_di_tipo(f, kFineRallentamento), (Celle{51}));
    EXPECT_EQ(celle_di_tipo(f, kAvvisoRallentamento), caso.avviso);
    EXPECT_EQ(celle_di_tipo(f, kPreavvisoRallentamento), caso.preavvisi);
    EXPECT_EQ(celle_di_tipo(f, kAbbattimento), caso.abbattimenti);
  }
}

}  // namespace
}  // namespace calvetra
