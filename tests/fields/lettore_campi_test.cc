#include "fields/lettore_campi.h"

#include <gtest/gtest.h>

#include "model/numeri.h"

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

TEST(LettoreCampi, EmptyLinesAndEmptyFieldsAreFields) {
  LettoreCampi f;
  f.apri("\r\na,,b\r\nindicatori_vmax,  26600,  60,  ,  ,  0\r\n");
  EXPECT_EQ(f.leggi_testo(), "");
  EXPECT_EQ(f.leggi_testo(), "a");
  EXPECT_EQ(f.leggi_testo(), "");
  EXPECT_EQ(f.leggi_testo(), "b");
  EXPECT_EQ(f.leggi_testo(), "indicatori_vmax");
  EXPECT_EQ(f.leggi_32(), 26600);
  EXPECT_EQ(f.leggi_32(), 60);
  EXPECT_EQ(f.leggi_32(), 0);
  EXPECT_EQ(f.leggi_32(), 0);
  EXPECT_EQ(f.leggi_32(), 0);
  EXPECT_TRUE(f.fine());
}

TEST(LettoreCampi, QuotedFieldsHoldCommasAndDropTheRest) {
  LettoreCampi f;
  f.apri("  \"a, b\" junk,next\r\n\"unclosed, to the end\r\nstill");
  EXPECT_EQ(f.leggi_testo(), "a, b");
  EXPECT_EQ(f.leggi_testo(), "next");
  EXPECT_EQ(f.leggi_testo(), "unclosed, to the end\r\nstill");
  EXPECT_TRUE(f.fine());
}

TEST(LettoreCampi, UnquotedTextLosesTrailingBlanksOnly) {
  LettoreCampi f;
  f.apri(" \t cartello ( P.L. )   \t,x");
  EXPECT_EQ(f.leggi_testo(), "cartello ( P.L. )");
  EXPECT_EQ(f.leggi_testo(), "x");
}

TEST(LettoreCampi, NumbersMaySeparateByBlanksAlone) {
  LettoreCampi f;
  f.apri("orologio,    7               53            30 \r\n[x]");
  EXPECT_EQ(f.leggi_testo(), "orologio");
  EXPECT_EQ(f.leggi_16(), 7);
  EXPECT_EQ(f.leggi_16(), 53);
  EXPECT_EQ(f.leggi_16(), 30);
  EXPECT_EQ(f.leggi_testo(), "[x]");
}

TEST(LettoreCampi, NumberConsumesOneCommaOrLineEndAfterItsBlanks) {
  LettoreCampi f;
  f.apri("ripetizione segnali 4 codici,    0    ,0\r\nnext");
  EXPECT_EQ(f.leggi_testo(), "ripetizione segnali 4 codici");
  EXPECT_EQ(f.leggi_32(), 0);
  EXPECT_EQ(f.leggi_32(), 0);
  EXPECT_EQ(f.leggi_testo(), "next");
}

TEST(LettoreCampi, ARecordSplitOverTwoLinesReadsTheSame) {
  LettoreCampi uno, due;
  uno.apri("pendenza,  1900,   -10\r\n");
  due.apri("pendenza\r\n1900,   -10\r\n");
  for (LettoreCampi* f : {&uno, &due}) {
    EXPECT_EQ(f->leggi_testo(), "pendenza");
    EXPECT_EQ(f->leggi_32(), 1900);
    EXPECT_EQ(f->leggi_32(), -10);
    EXPECT_TRUE(f->fine());
  }
}

TEST(LettoreCampi, LoneCrAndLoneLfEndLines) {
  LettoreCampi f;
  f.apri("a\rb\nc\r\n\n");
  EXPECT_EQ(f.leggi_testo(), "a");
  EXPECT_EQ(f.leggi_testo(), "b");
  EXPECT_EQ(f.leggi_testo(), "c");
  EXPECT_EQ(f.leggi_testo(), "");
  EXPECT_TRUE(f.fine());
}

TEST(LettoreCampi, BlanksAtTheVeryEndAreOneEmptyField) {
  LettoreCampi f;
  f.apri("x\r\n   ");
  EXPECT_EQ(f.leggi_testo(), "x");
  EXPECT_FALSE(f.fine());
  EXPECT_EQ(f.leggi_testo(), "");
  EXPECT_TRUE(f.fine());
  EXPECT_THROW(f.leggi_32(), GuastoInatteso);
}

TEST(LettoreCampi, NumberTargetsAreRangeChecked) {
  LettoreCampi f;
  f.apri("255,256,-1,32767,32768,2147483647,2147483648,-2147483648");
  EXPECT_EQ(f.leggi_8(), 255);
  EXPECT_THROW(f.leggi_8(), GuastoInatteso);
  EXPECT_THROW(f.leggi_8(), GuastoInatteso);
  EXPECT_EQ(f.leggi_16(), 32767);
  EXPECT_THROW(f.leggi_16(), GuastoInatteso);
  EXPECT_EQ(f.leggi_32(), 2147483647);
  EXPECT_THROW(f.leggi_32(), GuastoInatteso);
  EXPECT_EQ(f.leggi_32(), -2147483648);
}

TEST(NumeroDaCampo, WholeFieldMustBeANumber) {
  EXPECT_EQ(numero_da_campo("12abc"), 0);
  EXPECT_EQ(numero_da_campo("abc"), 0);
  EXPECT_EQ(numero_da_campo(""), 0);
  EXPECT_EQ(numero_da_campo("-"), 0);
  EXPECT_EQ(numero_da_campo("1e"), 0);
  EXPECT_EQ(numero_da_campo("+42"), 42);
  EXPECT_EQ(numero_da_campo("-101"), -101);
  EXPECT_EQ(numero_da_campo("1e3"), 1000);
  EXPECT_EQ(numero_da_campo(".5e1"), 5);
  EXPECT_EQ(numero_da_campo("1e-400"), 0);
  EXPECT_THROW(numero_da_campo("1e400"), GuastoInatteso);
  EXPECT_THROW(numero_da_campo("99999999999999999999999"), GuastoInatteso);
}

TEST(NumeroDaCampo, FractionsRoundHalfToEven) {
  EXPECT_EQ(numero_da_campo("2.5"), 2);
  EXPECT_EQ(numero_da_campo("3.5"), 4);
  EXPECT_EQ(numero_da_campo("-2.5"), -2);
  EXPECT_EQ(numero_da_campo("2.51"), 3);
  LettoreCampi f;
  f.apri("\"  7 \",255.5");
  EXPECT_EQ(f.leggi_8(), 7);  // a quoted field converts its text
  EXPECT_EQ(f.leggi_32(), 256);
}

TEST(ParoleChiave, CaseRulesAndContainment) {
  EXPECT_TRUE(contiene("LUNGHEZZA PERCORSO", "lunghezza"));
  EXPECT_TRUE(contiene("xxcurvas6", "curva"));
  EXPECT_FALSE(contiene("[pendenze]", "pendenza"));
  // A false start just before the word, the word at the very end, only ASCII
  // letters folded, a word of capitals never found, the empty word always.
  EXPECT_TRUE(contiene("ppPendenza", "pendenza"));
  EXPECT_TRUE(contiene("x, Curva", "curva"));
  EXPECT_FALSE(contiene("curv", "curva"));
  EXPECT_FALSE(contiene("VELOCIT\xC0", "velocit\xE0"));
  EXPECT_FALSE(contiene("CURVA", "CURVA"));
  EXPECT_TRUE(contiene("", ""));
  EXPECT_TRUE(contiene_esatto("progressiva chilometrica tre", "progressiva"));
  EXPECT_FALSE(contiene_esatto("Progressiva chilometrica tre", "progressiva"));
}

TEST(PosizioneIn, CountsLinesOfEveryEnding) {
  const std::string t = "ab\r\ncd\ref\ngh";
  EXPECT_EQ(posizione_in(t, 0).riga, 1);
  EXPECT_EQ(posizione_in(t, 1).colonna, 2);
  EXPECT_EQ(posizione_in(t, 4).riga, 2);
  EXPECT_EQ(posizione_in(t, 7).riga, 3);
  EXPECT_EQ(posizione_in(t, 10).riga, 4);
  EXPECT_EQ(posizione_in(t, 11).colonna, 2);
}

TEST(ArrotondaDiv, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(arrotonda_div(13275 + 50, 50), 266);  // 266.5
  EXPECT_EQ(arrotonda_div(13325 + 50, 50), 268);  // 267.5
  EXPECT_EQ(arrotonda_div(122000, 50), 2440);
  EXPECT_EQ(arrotonda_div(-25, 50), 0);   // -0.5
  EXPECT_EQ(arrotonda_div(-75, 50), -2);  // -1.5
  EXPECT_EQ(arrotonda_div(-76, 50), -2);
  EXPECT_EQ(arrotonda_div(20, 50), 0);
}

}  // namespace
}  // namespace calvetra
