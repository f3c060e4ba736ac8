#include "content/righe.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "run/form1.h"

namespace calvetra {
namespace {

TEST(CaricaRighe, TextThenMarkerThenEmptySlots) {
  std::vector<std::string> righe = {"resto di una scrittura precedente"};
  carica_righe(&righe, {"a", "", "c"});
  ASSERT_EQ(righe.size(), 1001u);
  EXPECT_EQ(righe[0], "a");
  EXPECT_EQ(righe[1], "");
  EXPECT_EQ(righe[2], "c");
  EXPECT_EQ(righe[3], "riferimento fine del file");
  for (size_t i = 4; i < righe.size(); ++i) {
    ASSERT_EQ(righe[i], "") << "slot " << i;
  }
}

TEST(CaricaRighe, TheMarkerMustFitInTheList) {
  std::vector<std::string> righe;
  carica_righe(&righe, std::vector<std::string>(1000, "x"));
  EXPECT_EQ(righe[1000], "riferimento fine del file");
  EXPECT_THROW(carica_righe(&righe, std::vector<std::string>(1001, "x")), std::length_error);
}

TEST(Allineamento, PaddingRules) {
  EXPECT_EQ(a_destra("150 m", 12), "       150 m");
  EXPECT_EQ(a_sinistra("PONTE", 12), "PONTE       ");
  EXPECT_EQ(al_centro("P.L.", 6), " P.L. ");
  EXPECT_EQ(al_centro("direzione MARENZA", 20), " direzione MARENZA  ");
  EXPECT_EQ(al_centro("", 3), "   ");
  // A text longer than its field is kept whole.
  EXPECT_EQ(a_destra("MARENZA", 3), "MARENZA");
  EXPECT_EQ(al_centro("MARENZA", 3), "MARENZA");
}

}  // namespace
}  // namespace calvetra
