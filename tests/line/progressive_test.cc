#include <gtest/gtest.h>

#include <array>

#include "line/fase_linea.h"

namespace calvetra {
namespace {

using Terna = std::array<int32_t, 3>;

// Orders the definitions read as "tre" (row 81), "due" (82), "uno" (83) and
// returns rows 81, 82, 83.
std::array<Terna, 3> ordina(Terna tre, Terna due, Terna uno) {
  Tabella tabella{};
  const std::array<Terna, 3> lette{tre, due, uno};
  for (size_t i = 0; i < 3; ++i) {
    tabella[81 + i].inizio = lette[i][0];
    tabella[81 + i].fine = lette[i][1];
    tabella[81 + i].posizione = lette[i][2];
  }
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

}  // namespace
}  // namespace calvetra
