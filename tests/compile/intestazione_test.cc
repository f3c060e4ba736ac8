// Header finalisation after a parse: the format marks and integrity codes,
// and the reserved slots that end the run.
#include <gtest/gtest.h>

#include <string>

#include "output/file_celle.h"
#include "output/file_geometria.h"
#include "output/file_tabella.h"
#include "support/compilazione.h"

namespace calvetra {
namespace {

TEST(Intestazione, MarksAndCodesAreStampedAfterTheParse) {
  test::Compilato c(test::sorgente_linea("", "").c_str(), test::kTrenoVuoto);
  ASSERT_EQ(c.stato(), kUscitaPulita);
  EXPECT_EQ(c.m().tratti[1].valore_a, 5121);
  EXPECT_EQ(c.m().tratti[1].valore_b, 1973);
  EXPECT_EQ(c.m().tabella[85].cod_a, 610);
  EXPECT_EQ(c.m().tabella[85].orario, 29846);
  std::string cella;
  codifica_tratto(&cella, c.m().tratti[1]);
  EXPECT_EQ(cella.substr(1, 4), std::string("\x01\x14\xb5\x07", 4));
}

// A sign at position 0 takes cell 1 and leaves a value in its first header slot.
TEST(Intestazione, ReservedSlotInUseEndsTheRunWithoutFiles) {
  const std::string linea = test::sorgente_linea("", "cartello_indicatore,  0,   (X)\r\n");
  test::Compilato c(linea.c_str(), test::kTrenoVuoto);
  EXPECT_EQ(c.stato(), kUscitaFatale);
  EXPECT_EQ(c.c.fine, FineCompilazione::fatale);
  EXPECT_EQ(numero(c.c.errore_fatale), 1250);
  EXPECT_FALSE(c.scrive_file());
}

// A slowdown of speed 0 starting at 0 leaves only cell 1's second slot in use.
TEST(Intestazione, SecondReservedSlotInUseIsReport1251) {
  const std::string treno = "[generale]\r\nrallentamento, 0, 0, 200, 1, 0, 7\r\n[fine]\r\n";
  test::Compilato c(test::sorgente_linea("", "").c_str(), treno.c_str());
  EXPECT_EQ(c.stato(), kUscitaFatale);
  EXPECT_EQ(c.c.fine, FineCompilazione::fatale);
  EXPECT_EQ(numero(c.c.errore_fatale), 1251);
}

}  // namespace
}  // namespace calvetra
