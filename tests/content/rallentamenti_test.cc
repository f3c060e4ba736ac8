#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/testi.h"
#include "content/testo_scritto.h"

namespace calvetra {
namespace {

const std::vector<std::string>& ordine() {
  static const std::vector<std::string> righe = test::scrivi_e_leggi(dati_rallentamenti);
  return righe;
}

TEST(OrdineRallentamento, LinesAndRules) {
  const std::vector<std::string>& r = ordine();
  ASSERT_EQ(r.size(), 34u);
  EXPECT_EQ(r[0], "");
  EXPECT_EQ(r[1], "                               Modulo M. 3");
  EXPECT_EQ(r[2], "                           ORDINE DI RALLENTAMENTO");
  EXPECT_EQ(r[3], " " + std::string(80, '_'));
  EXPECT_EQ(r[4], "  ");
  EXPECT_EQ(r[5], "  Linea  ROVELLA - CALDERINA - VELSANO - MARENZA");
  EXPECT_EQ(r[8], "  " + std::string(79, '_'));
  EXPECT_EQ(r[27], std::string(14, ' '));
  for (size_t i : {6u, 16u, 17u}) {
    EXPECT_EQ(r[i], "") << "slot " << i;
  }
  EXPECT_EQ(r[7],
            "  Si ordina al macchinista del treno 2718 di effettuare i seguenti rallentamenti");
  EXPECT_EQ(r[18],
            "  Si ordina al macchinista del treno 5340 di effettuare i seguenti rallentamenti");
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(r[19 + i], r[8 + i]) << "slot " << 19 + i;
  }
  EXPECT_EQ(r[15], r[12]);
  EXPECT_EQ(r[26], r[12]);
}

TEST(OrdineRallentamento, TableRowsKeepTheirColumns) {
  const std::vector<std::string>& r = ordine();
  ASSERT_EQ(r.size(), 34u);
  const std::vector<size_t> colonne = {1, 5, 34, 47, 58, 68, 81};
  for (size_t i : {9u, 10u, 11u, 12u, 13u, 14u, 15u, 20u, 21u, 22u, 23u, 24u, 26u}) {
    std::vector<size_t> sbarre;
    for (size_t c = 0; c < r[i].size(); ++c) {
      if (r[i][c] == '|') sbarre.push_back(c);
    }
    EXPECT_EQ(sbarre, colonne) << "slot " << i;
    EXPECT_EQ(r[i].size(), 82u) << "slot " << i;
  }
  EXPECT_EQ(r[13],
            " | 1 |     ROVELLA e Casalino     |      2     |    30    |   200   |     A      |");
  EXPECT_EQ(r[14],
            " | 2 | MONTECALVO e Poggio Ventoso|     39     |    60    |    50   |     A      |");
  EXPECT_EQ(r[25],
            " |                   N E S S U N A     P R E S C R I Z I O N E                   |");
  EXPECT_EQ(r[25].size(), 82u);
}

TEST(OrdineRallentamento, LegendInTheOrderABDC) {
  const std::vector<std::string>& r = ordine();
  ASSERT_EQ(r.size(), 34u);
  EXPECT_EQ(std::vector<std::string>(r.begin() + 28, r.end()),
            (std::vector<std::string>{
                "         Prescrizioni specifiche",
                " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
                " B - Interessa anche la stazione di.......",
                " D - Rallentamneto N. ... e N. ...  sono contigui",
                " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
                "     i giorni esclusi i seguenti:.........",
            }));
}

}  // namespace
}  // namespace calvetra
