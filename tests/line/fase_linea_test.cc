// The line phase up to the body: preamble, header block, sizing of the model,
// and the errors of the phase with the files they leave.
#include <gtest/gtest.h>

#include <string>

#include "support/compilazione.h"

namespace calvetra {
namespace {

using test::Compilato;
using test::kFileLinea;
using test::kFileTreno;
using test::kTrenoVuoto;
using test::sorgente_linea;

TEST(FaseLinea, HeaderRecordsFillTheHeaderRows) {
  const std::string linea =
      "preamble, anything\r\n"
      "[generale]\r\n"
      "LUNGHEZZA PERCORSO,    115000\r\n"
      "progressiva chilometrica uno,    1550,    -1500,    0\r\n"
      "progressiva chilometrica due,    2050,    53950,    0\r\n"
      "progressiva chilometrica tre,    2550,    105000,    1\r\n"
      "sfondo uno,    100000\r\n"
      "sfondo due,    1\r\n"
      "sfondo tre,    54000\r\n"
      "ripetizione segnali 9 codici,    100    ,50\r\n"
      "[curve]\r\n"
      "[fine]\r\n";
  Compilato c(linea.c_str(), kTrenoVuoto);
  ASSERT_EQ(c.stato(), kUscitaPulita);
  const Tabella& t = c.m().tabella;
  EXPECT_EQ(t[84].fine, 115000);
  EXPECT_EQ(c.m().tratti.size(), 2441u);
  EXPECT_EQ(c.m().geometria.ultimo_metro(), 122000);
  EXPECT_EQ(t[81].inizio, 2550);
  EXPECT_EQ(t[81].fine, 105100);
  EXPECT_EQ(t[83].fine, -1500);
  EXPECT_EQ(t[85].inizio, 100000);
  EXPECT_EQ(t[85].fine, 54000);
  EXPECT_EQ(t[85].posizione, 1);
  EXPECT_EQ(t[86].inizio, 100);
  EXPECT_EQ(t[86].fine, 50);
  EXPECT_EQ(t[86].posizione, 9);
  EXPECT_EQ(t[85].nome, "Calvetra");
  EXPECT_EQ(t[86].nome, "2718 - 5340");
  EXPECT_FALSE(c.resta_linea());
}

TEST(FaseLinea, ExactCaseHeaderTests) {
  const std::string linea = sorgente_linea(
      "Progressiva chilometrica uno,    1550,    -1500,    0\r\n"
      "SFONDO UNO, 7\r\n",
      "");
  Compilato c(linea.c_str(), kTrenoVuoto);
  EXPECT_EQ(c.stato(), kUscitaPulita);
  EXPECT_EQ(c.m().tabella[83].inizio, 0);
  EXPECT_EQ(c.m().tabella[85].inizio, 0);
}

TEST(FaseLinea, RepetitionRecordVariants) {
  struct Caso {
    const char* riga;
    int32_t codice;
    int32_t inizio, fine, posizione;
  };
  const Caso casi[] = {
      {"ripetizione segnali 9 codici, 100, 50", 0, 100, 50, 9},
      {"ripetizione segnali 4 codici, 100, 0", 0, 100, 0, 0},
      {"ripetizione segnali 4 codici,    0    ,0", 0, 0, 0, 0},
      {"ripetizione segnali 49, 50, 50", 0, 50, 50, 4},
      {"ripetizione segnali, 50, 50", 5, 50, 50, 0},
      {"ripetizione segnali 4, 25, 50", 3, 25, 50, 0},
      {"ripetizione segnali 4, 50, 75", 4, 50, 75, 0},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.riga);
    const std::string linea = sorgente_linea(std::string(k.riga) + "\r\n", "");
    Compilato c(linea.c_str(), kTrenoVuoto);
    EXPECT_EQ(numero(c.codice_errore()), k.codice);
    EXPECT_EQ(c.m().tabella[86].inizio, k.inizio);
    EXPECT_EQ(c.m().tabella[86].fine, k.fine);
    EXPECT_EQ(c.m().tabella[86].posizione, k.posizione);
    EXPECT_FALSE(c.resta_linea());
    // The checks end the parse: the train source is left in place.
    EXPECT_EQ(c.resta_treno(), k.codice != 0);
    EXPECT_EQ(c.stato(), k.codice == 0 ? kUscitaPulita : kUscitaConErrore);
  }
}

TEST(FaseLinea, RouteLengthLimit) {
  {
    Compilato c(sorgente_linea("", "", 1000000).c_str(), kTrenoVuoto);
    EXPECT_EQ(numero(c.codice_errore()), 0);
    EXPECT_EQ(c.m().tratti.size(), 20141u);
    EXPECT_EQ(c.m().geometria.ultimo_metro(), 1007000);
  }
  {
    Compilato c(sorgente_linea("", "", 1000001).c_str(), kTrenoVuoto);
    EXPECT_EQ(numero(c.codice_errore()), 1);
    EXPECT_EQ(c.m().tabella[84].fine, 1000001);
    EXPECT_TRUE(c.m().tratti.empty());
    EXPECT_EQ(c.stato(), kUscitaFatale);  // no cells, nothing to write
    EXPECT_FALSE(c.resta_linea());
    EXPECT_TRUE(c.resta_treno());
    EXPECT_FALSE(c.scrive_file());
  }
}

TEST(FaseLinea, SecondLengthRecordRemakesTheCells) {
  const std::string linea = sorgente_linea("lunghezza percorso, 3000\r\nsfondo uno, 4\r\n", "");
  Compilato c(linea.c_str(), kTrenoVuoto);
  EXPECT_EQ(c.m().tratti.size(), 201u);  // (3000 + 7000) / 50 + 1
  EXPECT_EQ(c.m().tabella[84].fine, 3000);
  EXPECT_EQ(c.m().tabella[85].inizio, 4);

  // T = -10 still sizes cell 0: the earlier cells go, and the plan cannot be
  // sized, so the run ends with 25 and nothing written.
  const std::string negativa =
      sorgente_linea("lunghezza percorso, 3000\r\nlunghezza percorso, -7010\r\n", "");
  Compilato d(negativa.c_str(), kTrenoVuoto);
  EXPECT_EQ(numero(d.codice_errore()), 25);
  EXPECT_EQ(d.m().tratti.size(), 1u);
  EXPECT_EQ(d.stato(), kUscitaFatale);
  EXPECT_FALSE(d.scrive_file());
}

TEST(FaseLinea, FractionalFieldsRoundOnTheirExactDecimalValue) {
  struct Caso {
    const char* campo;
    int32_t atteso;  // row 85 `inizio`; -1: the value does not fit (25)
  };
  for (const Caso& k :
       {Caso{"3.4999999999999999999", 3}, Caso{"2.50000000000000000001", 3},
        Caso{"0.50000000000000001", 1}, Caso{"2.5", 2}, Caso{"3.5", 4}, Caso{"-2.5", -2},
        Caso{"2147483647.4999999999", 2147483647}, Caso{"2147483647.5", -1}, Caso{"1.5e3", 1500},
        Caso{"2.5e-1", 0}, Caso{"25e-1", 2}, Caso{"0.0035e3", 4}, Caso{"-0.5", 0},
        Caso{"1e-999999999999", 0}, Caso{"0e999999999999", 0}}) {
    const std::string linea = sorgente_linea(std::string("sfondo uno, ") + k.campo + "\r\n", "");
    Compilato c(linea.c_str(), kTrenoVuoto, 0);
    if (k.atteso == -1) {
      EXPECT_EQ(numero(c.codice_errore()), 25) << k.campo;
    } else {
      EXPECT_EQ(numero(c.codice_errore()), 0) << k.campo;
      EXPECT_EQ(c.m().tabella[85].inizio, k.atteso) << k.campo;
    }
  }
}

TEST(FaseLinea, SeparatorFieldsInTheHeader) {
  std::string dieci;
  for (int i = 0; i < 10; ++i) dieci += "----------\r\n";
  {
    Compilato c(sorgente_linea(dieci + "sfondo uno, 4\r\n", "").c_str(), kTrenoVuoto);
    EXPECT_EQ(c.m().tabella[85].inizio, 4);
  }
  {
    // The eleventh is examined as a keyword field: it matches nothing, and the
    // "sfondo" field after it is read as the next keyword field anyway.
    Compilato c(sorgente_linea(dieci + "-----\r\nsfondo uno, 4\r\n", "").c_str(), kTrenoVuoto);
    EXPECT_EQ(c.m().tabella[85].inizio, 4);
  }
  {
    // "-[x]" is a separator, not the end of the header block.
    Compilato c(("[generale]\r\n-[x]\r\n" + sorgente_linea("", "").substr(12)).c_str(),
                kTrenoVuoto);
    EXPECT_EQ(numero(c.codice_errore()), 0);
    EXPECT_EQ(c.m().tratti.size(), 2441u);
  }
}

TEST(FaseLinea, HyphenFieldsAtTheEndOfTheHeaderRunPastTheEnd) {
  Compilato c("[generale]\r\nlunghezza percorso, 1000\r\n----\r\n----\r\n", kTrenoVuoto);
  EXPECT_EQ(numero(c.codice_errore()), 25);
  EXPECT_FALSE(c.resta_linea());
  EXPECT_FALSE(c.resta_treno());
}

TEST(FaseLinea, NoGeneraleIs102) {
  for (const char* linea : {"a, b, c\r\n", "x\r\n[generale]\r\n", "[GENERALE]"}) {
    SCOPED_TRACE(linea);
    Compilato c(linea, kTrenoVuoto);
    EXPECT_EQ(numero(c.codice_errore()), 102);
    EXPECT_FALSE(c.resta_linea());
    EXPECT_TRUE(c.resta_treno());
  }
}

TEST(FaseLinea, EmptyLineSourceFailsAtItsFirstRead) {
  Compilato c("", kTrenoVuoto);
  EXPECT_EQ(numero(c.codice_errore()), 25);
  EXPECT_FALSE(c.resta_linea());
  EXPECT_FALSE(c.resta_treno());
  EXPECT_EQ(c.stato(), kUscitaFatale);
}

TEST(FaseLinea, NoLengthRecordFailsWhereTheTablesAreFirstNeeded) {
  const char* linea = "[generale]\r\nsfondo uno, 4\r\n[curve]\r\n[fine]\r\n";
  {
    Compilato c(linea, kTrenoVuoto, 1);  // the geometry seeds need the table
    EXPECT_EQ(numero(c.codice_errore()), 25);
    EXPECT_EQ(c.m().tabella[85].inizio, 4);
    EXPECT_FALSE(c.resta_treno());
  }
  {
    Compilato c(linea, kTrenoVuoto, 0);  // the gradient tail needs the cells
    EXPECT_EQ(numero(c.codice_errore()), 25);
  }
}

TEST(FaseLinea, NegativeOrTinyRoutes) {
  {
    // n = 0: one cell, no room for the header slots of cell 1.
    Compilato c(sorgente_linea("", "", -7000).c_str(), kTrenoVuoto, 0);
    EXPECT_EQ(c.m().tratti.size(), 1u);
    EXPECT_EQ(c.stato(), kUscitaFatale);
  }
  {
    Compilato c(sorgente_linea("", "", -8000).c_str(), kTrenoVuoto, 0);
    EXPECT_EQ(numero(c.codice_errore()), 25);
  }
}

TEST(FaseLinea, BodyPassesOverUnknownFieldsAndSectionNames) {
  const std::string linea =
      sorgente_linea("", "[pendenze]\r\n[montagne]\r\n[cartelli]\r\n[indicazioni]\r\nxyz, 1\r\n");
  Compilato c(linea.c_str(), kTrenoVuoto);
  EXPECT_EQ(numero(c.codice_errore()), 0);
  EXPECT_EQ(c.stato(), kUscitaPulita);
}

}  // namespace
}  // namespace calvetra
