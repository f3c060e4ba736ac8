#include "fields/lettore_campi.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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

// The warnings are told of every number field, and whether its text is
// plain digits unquoted (read in one pass), another number, or no number;
// the value read is the same either way.
TEST(LettoreCampi, TellsTheWarningsWhatKindOfNumberEachFieldIs) {
  struct Registro final : OsservatoreCampi {
    std::vector<std::pair<std::string, TestoNumero>> visti;
    void numero_letto(const Campo& c, TestoNumero t) noexcept override {
      visti.emplace_back(std::string(c.valore), t);
    }
    void virgolette_oltre_la_riga(size_t, size_t) noexcept override {}
  } registro;
  LettoreCampi f;
  f.osserva(&registro);
  f.apri("7, 0042 -5,2.5 ,\"12\", abc,12x,\t2147483647\r\n1e2");
  const int32_t attesi[] = {7, 42, -5, 2, 12, 0, 0, 2147483647, 100};
  for (const int32_t v : attesi) EXPECT_EQ(f.leggi_32(), v);
  EXPECT_TRUE(f.fine());
  using T = TestoNumero;
  const std::vector<std::pair<std::string, TestoNumero>> tipi = {
      {"7", T::cifre},        {"0042", T::cifre},       {"-5", T::numero},
      {"2.5", T::numero},     {"12", T::numero},        {"abc", T::non_numero},
      {"12x", T::non_numero}, {"2147483647", T::cifre}, {"1e2", T::numero}};
  EXPECT_EQ(registro.visti, tipi);
  // Digits past a 32-bit field fail in the field, as any other number.
  f.apri("2147483648,1");
  EXPECT_THROW(f.leggi_32(), GuastoInatteso);
  EXPECT_EQ(f.leggi_32(), 1);
}

// What `guarda` says of the next field is what the read then takes: the
// same text, the same places and the same place to go on from, whatever
// the separators, quotes and line ends, for text and number reads alike;
// and it takes nothing itself.
TEST(LettoreCampi, LookingAheadSeesWhatTheReadTakes) {
  struct Caso {
    std::string_view testo;
    std::string_view modi;  // one a field: t text, n number
  };
  const Caso casi[] = {
      {"segnale, 1000 1 2", "tnnn"},
      {"segnale, 1000 1 2", "tt"},
      {"pendenza,  1900 ,  -10\r\n[fine]\r\n", "tnnt"},
      {"  \"a, b\" junk,next\r\n\"unclosed, to the end\r\nstill", "ttt"},
      {"\"  7 \",255.5 ,x", "nnt"},
      {"\"a\r\nb\" 3\rc\n\nd;e, f", "tnttt"},
      {"x\r\n   ", "tt"},
      {",,\r\n,", "nntt"},
      {"orologio,    7   53 \t 30 \r\n", "tnnn"},
  };
  for (const Caso& c : casi) {
    LettoreCampi f;
    f.apri(c.testo);
    for (size_t k = 0; k < c.modi.size(); ++k) {
      SCOPED_TRACE(std::string(c.testo) + " field " + std::to_string(k));
      const ModoCampo modo = c.modi[k] == 't' ? ModoCampo::testo : ModoCampo::numero;
      const size_t prima = f.posizione();
      const Campo visto = f.guarda(modo);
      ASSERT_TRUE(visto.esiste);
      EXPECT_EQ(f.posizione(), prima);
      EXPECT_EQ(visto.da, prima);
      if (modo == ModoCampo::testo) {
        EXPECT_EQ(f.leggi_testo(), visto.valore);
      } else {
        EXPECT_EQ(f.leggi_32(), numero_da_campo(visto.valore));
      }
      EXPECT_EQ(visto.inizio, f.inizio_campo());
      EXPECT_EQ(visto.fine, f.fine_campo());
      EXPECT_EQ(visto.seguente, f.posizione());
      EXPECT_EQ(testo_a(c.testo, prima), campo_a(c.testo, prima, ModoCampo::testo).valore);
    }
    EXPECT_TRUE(f.fine()) << c.testo;
    EXPECT_FALSE(f.guarda(ModoCampo::testo).esiste);
  }
}

// What ends each field, and which places a character typed there would join:
// the editor's count of fields at a cursor.
TEST(LettoreCampi, EachFieldSaysItsSeparatorAndThePlacesItHolds) {
  struct Caso {
    std::string_view testo;
    size_t da;
    ModoCampo modo;
    std::string_view valore;
    Separatore separatore;
    size_t limite;    // where the separator stands
    size_t seguente;  // where the next read begins
  };
  using enum ModoCampo;
  using enum Separatore;
  const Caso casi[] = {
      {"segnale, 1000 1 2", 8, numero, "1000", spazio, 13, 14},
      {"segnale, 1000 1 2", 14, numero, "1", spazio, 15, 16},
      {"segnale, 1000 1 2", 16, numero, "2", fine_testo, 17, 17},
      {"segnale, 1000 1 2", 8, testo, "1000 1 2", fine_testo, 17, 17},
      {"a, 12  ,b", 2, numero, "12", virgola, 7, 8},
      {"a, 12  \r\nb", 2, numero, "12", fine_riga, 7, 9},
      {"a, 12\rb", 2, numero, "12", fine_riga, 5, 6},
      {"a, x y \nb", 2, testo, "x y", fine_riga, 7, 8},
      {"\"a,b\" z,c", 0, testo, "a,b", virgola, 7, 8},
      {"\"a,b\" z,c", 0, numero, "a,b", virgola, 7, 8},
      {"\"open, 1\r\n2", 0, testo, "open, 1\r\n2", fine_testo, 11, 11},
      {"x;y, 3", 0, testo, "x;y", virgola, 3, 4},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(std::string(c.testo) + " at " + std::to_string(c.da));
    const Campo k = campo_a(c.testo, c.da, c.modo);
    EXPECT_EQ(k.valore, c.valore);
    EXPECT_EQ(k.separatore, c.separatore);
    EXPECT_EQ(k.limite, c.limite);
    EXPECT_EQ(k.seguente, c.seguente);
  }
  // An unclosed quote runs on, and says so; a closed one on its line does not.
  const Campo aperto = campo_a("\"open, 1\r\n2", 0, ModoCampo::testo);
  EXPECT_TRUE(aperto.virgolette && aperto.oltre_la_riga && !aperto.chiuso);
  const Campo chiuso = campo_a("\"a,b\" z,c", 0, ModoCampo::testo);
  EXPECT_TRUE(chiuso.virgolette && chiuso.chiuso && !chiuso.oltre_la_riga);
  EXPECT_EQ(chiuso.fine, 5u);

  // A number holds the places up to its last character: a blank after it
  // opens the next field. A text holds its blanks, up to its separator, and
  // so does a quoted number.
  const std::string_view s = "n, 10  x,  ";
  EXPECT_EQ(campo_a(s, 2, ModoCampo::numero).coda(), 5u);
  EXPECT_EQ(campo_a(s, 2, ModoCampo::testo).coda(), 8u);
  EXPECT_EQ(campo_a("\"a b\" 1, 2", 0, ModoCampo::numero).coda(), 7u);
}

// The field before the one read last is the one that read took, whatever
// lies between them; none at the start, and none after a jump.
TEST(LettoreCampi, TheFieldBeforeIsTheOneReadBefore) {
  const std::string t = "\"a, 6\",5 x3 m\r\n  -7\r12";
  LettoreCampi l;
  l.apri(t);
  EXPECT_FALSE(l.precedente().esiste);
  EXPECT_EQ(l.leggi_testo(), "a, 6");
  EXPECT_FALSE(l.precedente().esiste);
  EXPECT_EQ(l.leggi_32(), 5);
  Campo p = l.precedente();
  EXPECT_TRUE(p.virgolette);
  EXPECT_EQ(p.valore, "a, 6");
  EXPECT_EQ(p.separatore, Separatore::virgola);
  l.leggi_32();  // x3
  l.leggi_32();  // m
  p = l.precedente();
  EXPECT_EQ(p.modo, ModoCampo::numero);
  EXPECT_EQ(p.valore, "x3");
  EXPECT_EQ(p.separatore, Separatore::spazio);
  EXPECT_EQ(l.leggi_testo(), "-7");
  EXPECT_EQ(l.precedente().valore, "m");
  EXPECT_EQ(l.precedente().separatore, Separatore::fine_riga);
  EXPECT_EQ(l.leggi_testo(), "12");
  EXPECT_EQ(l.precedente().valore, "-7");
  EXPECT_EQ(l.precedente().seguente, t.size() - 2);  // past the lone CR
  l.salta_a(t.size() - 2);
  EXPECT_FALSE(l.precedente().esiste);
  EXPECT_EQ(l.leggi_32(), 12);
  EXPECT_FALSE(l.precedente().esiste);
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
