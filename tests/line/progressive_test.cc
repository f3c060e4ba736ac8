#include <gtest/gtest.h>

#include <array>

#include "line/fase_linea.h"

namespace calvetra {
namespace {

using Terna = std::array<int32_t, 3>;

// A table whose rows 81, 82, 83 hold the definitions read as "tre", "due"
// and "uno".
Tabella lette(Terna tre, Terna due, Terna uno) {
  Tabella tabella{};
  const std::array<Terna, 3> righe{tre, due, uno};
  for (size_t i = 0; i < 3; ++i) {
    tabella[81 + i].inizio = righe[i][0];
    tabella[81 + i].fine = righe[i][1];
    tabella[81 + i].posizione = righe[i][2];
  }
  return tabella;
}

// Orders the definitions read as "tre" (row 81), "due" (82), "uno" (83) and
// returns rows 81, 82, 83.
std::array<Terna, 3> ordina(Terna tre, Terna due, Terna uno) {
  Tabella tabella = lette(tre, due, uno);
  progressive_ordina(tabella);
  std::array<Terna, 3> righe{};
  for (size_t i = 0; i < 3; ++i) {
    righe[i] = {tabella[81 + i].inizio, tabella[81 + i].fine, tabella[81 + i].posizione};
  }
  return righe;
}

TEST(ProgressiveOrdina, BuildDefinitionsStayAndTheFlagAdds100) {
  const auto r = ordina({2550, 105000, 1}, {2050, 53950, 0}, {1550, -1500, 0});
  EXPECT_EQ(r[0], (Terna{2550, 105100, 1}));
  EXPECT_EQ(r[1], (Terna{2050, 53950, 0}));
  EXPECT_EQ(r[2], (Terna{1550, -1500, 0}));
}

TEST(ProgressiveOrdina, LargestFirstNumberGoesToRow81) {
  const auto r = ordina({2000, 1, 0}, {1000, 2, 0}, {3000, 3, 0});
  EXPECT_EQ(r[0], (Terna{3000, 3, 0}));  // "uno"
  EXPECT_EQ(r[1], (Terna{2000, 1, 0}));  // "tre"
  EXPECT_EQ(r[2], (Terna{1000, 2, 0}));  // "due"
}

TEST(ProgressiveOrdina, TiesOfTheSmallerTwo) {
  // Row 83 takes the "tre" definition when it is one of the two equal ones...
  auto r = ordina({1000, 1, 0}, {3000, 2, 0}, {1000, 3, 0});
  EXPECT_EQ(r[2], (Terna{1000, 1, 0}));
  // ...otherwise the "due" one.
  r = ordina({3000, 1, 0}, {1000, 2, 0}, {1000, 3, 0});
  EXPECT_EQ(r[2], (Terna{1000, 2, 0}));
}

TEST(ProgressiveOrdina, SharedLargestFirstNumberClearsAllRows) {
  const auto r = ordina({3000, 1, 1}, {3000, 2, 0}, {1000, 3, 0});
  for (const Terna& t : r) EXPECT_EQ(t, (Terna{0, 0, 0}));
}

TEST(ProgressiveOrdina, ZeroSumChoosesBySecondNumbers) {
  EXPECT_EQ(ordina({0, 0, 0}, {0, 0, 0}, {0, 0, 0})[0], (Terna{0, 0, 0}));
  auto r = ordina({100, 5, 0}, {-100, 7, 0}, {0, 9, 1});
  EXPECT_EQ(r[0], (Terna{0, 109, 1}));  // "uno" first, flag applied
  EXPECT_EQ(r[1], (Terna{-100, 7, 0}));
  EXPECT_EQ(r[2], (Terna{100, 5, 0}));
  r = ordina({100, 5, 0}, {-100, 7, 0}, {0, -9, 0});
  EXPECT_EQ(r[0], (Terna{-100, 7, 0}));
  EXPECT_EQ(r[1], (Terna{100, 5, 0}));
  EXPECT_EQ(r[2], (Terna{0, -9, 0}));
  r = ordina({100, 5, 2}, {-100, -7, 0}, {0, -9, 0});
  EXPECT_EQ(r[0], (Terna{100, 5, 2}));  // flag 2 adds nothing
  r = ordina({100, -5, 0}, {-100, -7, 0}, {0, -9, 0});
  EXPECT_EQ(r[0], (Terna{0, 0, 0}));
}

// Each ordered row says which row its numbers were read into; a cleared
// row, none: error 2 names the progressive whose numbers a row holds.
TEST(ProgressiveOrdina, EachRowSaysWhereItsNumbersWereRead) {
  const auto origine = [](Terna tre, Terna due, Terna uno) {
    Tabella tabella = lette(tre, due, uno);
    return progressive_ordina(tabella);
  };
  EXPECT_EQ(origine({2000, 1, 0}, {1000, 2, 0}, {3000, 3, 0}), (OrigineProgressive{2, 0, 1}));
  EXPECT_EQ(origine({2550, 105000, 1}, {2050, 53950, 0}, {1550, -1500, 0}),
            (OrigineProgressive{0, 1, 2}));
  EXPECT_EQ(origine({3000, 1, 1}, {3000, 2, 0}, {1000, 3, 0}),
            (OrigineProgressive{std::nullopt, std::nullopt, std::nullopt}));
}

// The fields of a progressive follow its numbers through the ordering.
TEST(ProgressiveLette, FieldsFollowTheirNumbers) {
  ProgressiveLette p;
  const auto campi = [](size_t da) {
    return std::array<Luogo, 3>{Luogo{FileSorgente::linea, da, da + 1},
                                Luogo{FileSorgente::linea, da + 2, da + 3},
                                Luogo{FileSorgente::linea, da + 4, da + 5}};
  };
  p.letta(0, campi(10));
  p.letta(2, campi(30));
  EXPECT_FALSE(p.ordinate());
  p.ordina({2, std::nullopt, 0});
  EXPECT_TRUE(p.ordinate());
  EXPECT_EQ(p.campi(0)[1].offset, 32u);
  EXPECT_EQ(p.campi(1)[0].file, FileSorgente::nessuno);
  EXPECT_EQ(p.campi(2)[2].offset, 14u);
}

}  // namespace
}  // namespace calvetra
