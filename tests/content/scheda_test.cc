#include "content/scheda.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/testi.h"
#include "content/testo_scritto.h"

namespace calvetra {
namespace {

const std::vector<std::string>& scheda() {
  static const std::vector<std::string> righe = test::scrivi_e_leggi(dati_scheda);
  return righe;
}

std::vector<size_t> sbarre(const std::string& riga) {
  std::vector<size_t> out;
  for (size_t i = 0; i < riga.size(); ++i) {
    if (riga[i] == '|') out.push_back(i);
  }
  return out;
}

TEST(RigaLocalita, OriginPassedStopAndEndOfTheFirstTrain) {
  constexpr Impaginazione primo = Impaginazione::primo_treno;
  EXPECT_EQ(riga_localita(primo, {100, 90, 0, "ROVELLA", "", "7.54", ""}),
            " | 100 |  90 |     0    |     | ROVELLA                    |           7.54 |     |");
  EXPECT_EQ(riga_localita(primo, {0, 0, 5350, "Casalino", kTransito, "", "0,5"}),
            " |     |     |     5+350|     | Casalino                   |      --.--     | 0,5 |");
  EXPECT_EQ(riga_localita(primo, {0, 0, 11100, "CASE NUOVE", "8.04", "8.05", "1"}),
            " |     |     |    11+100|     | CASE NUOVE                 |  8.04     8.05 |  1  |");
  EXPECT_EQ(riga_localita(primo, {0, 0, 47500, "CALDERINA", "8.45", "", "1,5"}),
            " |     |     |    47+500|     | CALDERINA                  |  8.45          | 1,5 |");
}

TEST(RigaLocalita, SecondTrainProgressivesEndOneColumnEarlier) {
  constexpr Impaginazione secondo = Impaginazione::secondo_treno;
  EXPECT_EQ(riga_localita(secondo, {100, 90, 49500, "CALDERINA", "", "9.00", ""}),
            " | 100 |  90 |   49+500 |     | CALDERINA                  |           9.00 |     |");
  EXPECT_EQ(riga_localita(secondo, {160, 90, 104300, "X", "10.07", "10.09", ""}),
            " | 160 |  90 |  104+300 |     | X                          | 10.07    10.09 |     |");
  // Metres below 100 keep their leading zeros.
  EXPECT_EQ(riga_localita(secondo, {0, 0, 52050, "Y", kTransito, "", ""}).substr(13, 12),
            "|   52+050 |");
}

TEST(SchedaTreno, LinesWidthsAndBars) {
  const std::vector<std::string>& r = scheda();
  ASSERT_EQ(r.size(), 61u);
  for (size_t i : {10u, 28u, 40u}) {
    EXPECT_EQ(r[i], "") << "slot " << i;
  }
  for (size_t i : {0u, 5u, 11u, 30u, 35u, 41u}) {
    EXPECT_EQ(r[i].size(), 82u) << "slot " << i;
  }
  EXPECT_EQ(r[29], std::string(84, '*'));
  const std::vector<size_t> colonne = {1, 7, 13, 24, 30, 59, 76, 82};
  for (size_t i = 0; i < r.size(); ++i) {
    const bool tabella = (i >= 12 && i <= 27) || (i >= 42 && i <= 60);
    if (tabella) {
      EXPECT_EQ(sbarre(r[i]), colonne) << "slot " << i;
    }
    const bool aperta = i == 0 || i == 5 || i == 11 || i == 30 || i == 35 || i == 41;
    if (r[i].empty() || i == 29 || aperta) continue;
    EXPECT_EQ(r[i].size(), 83u) << "slot " << i;
    EXPECT_EQ(r[i].back(), '|') << "slot " << i;
  }
}

TEST(SchedaTreno, HeaderBlocksDifferOnlyInTrainAndRun) {
  const std::vector<std::string>& r = scheda();
  ASSERT_EQ(r.size(), 61u);
  EXPECT_EQ(r[0], "  " + std::string(19, '_') + std::string(45, ' ') + std::string(16, '_'));
  EXPECT_EQ(r[2],
            " |   TRENO n. 2718   |                                           |     V100 A     |");
  EXPECT_EQ(r[32],
            " |   TRENO n. 5340   |                                           |     V100 A     |");
  EXPECT_EQ(r[3],
            " |___________________|              da: ROVELLA                  |      150%      |");
  EXPECT_EQ(r[4],
            "                                     a: CALDERINA                |________________|");
  EXPECT_EQ(r[33],
            " |___________________|              da: CALDERINA                |      150%      |");
  EXPECT_EQ(r[34],
            "                                     a: MARENZA CENTRALE         |________________|");
  for (size_t i : {3u, 4u, 33u, 34u}) {
    EXPECT_EQ(r[i].find(':'), 38u) << "slot " << i;
  }
  EXPECT_EQ(r[11], "  " + std::string(80, '_'));
  for (size_t i = 0; i < 15; ++i) {
    if (i == 2 || i == 3 || i == 4) continue;
    EXPECT_EQ(r[30 + i], r[i]) << "slots " << i << " and " << 30 + i;
  }
  EXPECT_EQ(r[5], r[0]);
  for (size_t i : {27u, 60u}) {
    EXPECT_EQ(r[i], r[14]);
  }
}

TEST(SchedaTreno, PlaceRows) {
  const std::vector<std::string>& r = scheda();
  ASSERT_EQ(r.size(), 61u);
  EXPECT_EQ(r[15],
            " | 100 |  90 |     0    |     | ROVELLA                    |           7.54 |     |");
  EXPECT_EQ(r[26].substr(30), "| CALDERINA                  |  8.45          | 1,5 |");
  EXPECT_EQ(r[45].substr(13),
            "|   49+500 |     | CALDERINA                  |           9.00 |     |");
  EXPECT_EQ(r[59].substr(13, 12), "|  111+000 |");
  EXPECT_EQ(r[59].substr(59), "| 10.22          |     |");
  EXPECT_EQ(r[57].substr(0, 14), " | 160 |  90 |");
  EXPECT_EQ(r[58].substr(0, 14), " | 135 |  90 |");
  for (size_t i : {16u, 21u, 23u, 25u, 54u}) {
    EXPECT_EQ(r[i].substr(59, 18), "|      --.--     |") << "slot " << i;
  }
  // Stops in capitals, places passed in mixed case, names within 27 characters.
  for (size_t i = 15; i <= 59; ++i) {
    if (i > 26 && i < 45) continue;
    const std::string nome = r[i].substr(32, 27);
    const bool transito = r[i].find("--.--") != std::string::npos;
    bool minuscole = false;
    for (char ch : nome) minuscole = minuscole || (ch >= 'a' && ch <= 'z');
    EXPECT_EQ(minuscole, transito) << "slot " << i;
    EXPECT_EQ(r[i][31], ' ');
  }
}

}  // namespace
}  // namespace calvetra
