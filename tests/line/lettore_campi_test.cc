#include "line/lettore_campi.h"

#include <gtest/gtest.h>

#include "driver/numeri.h"

namespace calvetra {
namespace {

TEST(LettoreCampi, TextFieldsEndAtCommaOrLineEnd) {
  LettoreCampi f;
  f.apri("pendenza,  1900,   -10\r\n[fine]\r\n");
  EXPECT_EQ(f.leggi_testo(), "pendenza");
  EXPECT_EQ(f.leggi_32(), 1900);
  EXPECT_EQ(f.leggi_32(), -10);
  EXPECT_FALSE(f.fine());
  EXPECT_EQ(f.leggi_testo(), "[fine]");
  EXPECT_TRUE(f.fine());
  EXPECT_THROW(f.leggi_testo(), GuastoInatteso);
}

}  // namespace
}  // namespace calvetra
