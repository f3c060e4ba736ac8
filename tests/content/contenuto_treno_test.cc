#include "content/contenuto_treno.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "content/testi.h"
#include "content/testo_scritto.h"

namespace calvetra {
namespace {

const std::vector<std::string>& treno() {
  static const std::vector<std::string> righe = test::scrivi_e_leggi(dati_treno);
  return righe;
}

TEST(ContenutoTreno, StationLineColumns) {
  EXPECT_EQ(riga_stazione({1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, "ROVELLA"}),
            "stazione,    1500,  2,  800,  1, 1, 0,  4,1,0,  2,1,1,    1,   7,54, 0, ROVELLA");
  // Six-digit positions, two-digit codes and hours keep to the same columns.
  EXPECT_EQ(riga_stazione({111000, 28, 600, 1, 1, 0, 14, 12, 3, 25, 16, 17, 60, 10, 2, 30,
                           "MARENZA CENTRALE"}),
            "stazione,  111000, 28,  600,  1, 1, 0, 14,12,3, 25,16,17,   60,  10, 2,30, "
            "MARENZA CENTRALE");
}

TEST(ContenutoTreno, FileHasItsSectionsAndFixedLines) {
  const std::vector<std::string>& r = treno();
  ASSERT_EQ(r.size(), 82u);
  EXPECT_EQ(r[0], "[generale]");
  EXPECT_EQ(r[4], "orologio,    7               53            30 ");
  EXPECT_EQ(r[4], "orologio," + std::string(4, ' ') + "7" + std::string(15, ' ') + "53" +
                      std::string(12, ' ') + "30 ");
  EXPECT_EQ(r[5], "[aderenze]");
  EXPECT_EQ(r[7], "[vel_limite]");
  EXPECT_EQ(r[8], "velocita,       0,    35");
  EXPECT_EQ(r[23], "velocita,  109950,    30");
  EXPECT_EQ(r[24], "[stazioni]");
  EXPECT_EQ(r[51], "[rallentamenti]");
  EXPECT_EQ(r[52], "rallentamento,    4000,    30,  150, 1,  1,  0");
  EXPECT_EQ(r[54], "[segnali]");
  EXPECT_EQ(r[55], "segnale,   13250,   1, 5, 1,  0, 0,    0,  0,0,0, 0");
  EXPECT_EQ(r[76], "segnale,  103250,   2, 2, 3,  1, 0,    2,  3,1,1, 220");
  EXPECT_EQ(r[80], "[codici]");
  EXPECT_EQ(r[81], "[fine]");
  for (const std::string& riga : r) {
    EXPECT_EQ(riga.find("riferimento"), std::string::npos);
    EXPECT_EQ(riga.find("abbattimento"), std::string::npos);
  }
}

TEST(ContenutoTreno, StationLinesCarryTheTimetable) {
  const std::vector<std::string>& r = treno();
  ASSERT_EQ(r.size(), 82u);
  int32_t posizione_prima = 0;
  std::vector<std::string> orari;
  for (size_t i = 25; i <= 50; ++i) {
    const std::vector<std::string> c = test::campi(r[i]);
    ASSERT_EQ(c.size(), 18u) << r[i];  // keyword, 16 numbers and the name
    EXPECT_EQ(c[0], "stazione");
    const int32_t posizione = std::stoi(c[1]);
    EXPECT_GT(posizione, posizione_prima) << r[i];
    posizione_prima = posizione;
    EXPECT_FALSE(c[17].empty());
    EXPECT_NE(c[17].back(), ' ');
    if (c[14] != "0") orari.push_back(c[14] + ":" + c[15]);
    // The name follows ", " straight after the seconds column.
    EXPECT_EQ(r[i].substr(r[i].size() - c[17].size() - 2), ", " + c[17]);
  }
  ASSERT_EQ(orari.size(), 21u) << "five places are passed without a time";
  EXPECT_EQ(orari.front(), "7:54");
  EXPECT_EQ(orari[7], "9:0") << "CALDERINA, where the second train starts";
  EXPECT_EQ(orari.back(), "10:22");
  EXPECT_EQ(test::campi(r[25])[17], "ROVELLA");
  EXPECT_EQ(test::campi(r[36])[17], "CALDERINA");
  EXPECT_EQ(test::campi(r[50])[17].rfind("MARENZA ", 0), 0u);
}

}  // namespace
}  // namespace calvetra
