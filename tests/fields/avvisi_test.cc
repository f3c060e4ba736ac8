// The text tests behind the warnings: edit distance for "did you mean",
// UTF-8 look-alikes, bracketed fields, number fields.
#include "fields/avvisi.h"

#include <gtest/gtest.h>

#include "fields/distanze.h"
#include "line/catalogo_linea.h"
#include "model/caratteri.h"
#include "train/catalogo_treno.h"

namespace calvetra {
namespace {

TEST(AvvisiTesto, EditDistanceCountsSwapsAsOneAndIgnoresCase) {
  struct Caso {
    const char* a;
    const char* b;
    size_t distanza;
  };
  const Caso casi[] = {
      {"pendenza", "pendenza", 0}, {"PENDENZA", "pendenza", 0}, {"pendneza", "pendenza", 1},
      {"stazoine", "stazione", 1}, {"pendeza", "pendenza", 1},  {"stazionee", "stazione", 1},
      {"curva", "montagna", 7},    {"", "sabbia", 6},           {"abc", "", 3},
  };
  for (const Caso& k : casi) {
    EXPECT_EQ(distanza_modifica(k.a, k.b), k.distanza) << k.a;
    for (size_t tetto : {1u, 2u, 3u, 9u}) {
      EXPECT_EQ(distanza_entro(k.a, k.b, tetto), std::min(k.distanza, tetto))
          << k.a << " " << tetto;
    }
  }
  // The capped distance agrees with the whole one on every pair of a mixed list.
  const char* parole[] = {"pendenza", "pnedenza", "pendenz", "stazione", "satzione", "curva",
                          "cruva",    "montagna", "ab",      "ba",       "",         "velocita"};
  for (const char* a : parole) {
    for (const char* b : parole) {
      for (size_t tetto : {1u, 2u, 3u}) {
        EXPECT_EQ(distanza_entro(a, b, tetto), std::min(distanza_modifica(a, b), tetto))
            << a << " " << b << " " << tetto;
      }
    }
  }
}

TEST(AvvisiTesto, SuggestionsForMisspeltAndCutShortKeywords) {
  struct Caso {
    const Lessico& lessico;
    const char* campo;
    const char* nome;
  };
  const Lessico& linea = lessico_linea();
  const Lessico& treno = lessico_treno();
  const Caso casi[] = {
      {linea, "pendneza", "pendenza"},
      {linea, "PENDNEZA", "pendenza"},
      {linea, "Percorsso lunghezza", "lunghezza percorso"},
      {linea, "xx, montagan", "montagna"},
      {linea, "indicatori_vmx", "indicatori_vmax"},
      {linea, "progresiva chilometrica tre", "progressiva chilometrica uno"},  // one of a family
      {treno, "stazoine", "stazione"},
      {treno, "rallent", "rallentamento"},
      {treno, "sabia", "sabbia"},
      {treno, "segnalexyz", "segnale"},  // a long field by its start
      {treno, "pendneza", ""},           // a word of the other source
      {linea, "qzwxkj vvvvvv", ""},
      {linea, "curv", "curva"},
      {linea, "cur", ""},  // words of fewer than four letters are not compared
  };
  for (const Caso& k : casi) {
    EXPECT_EQ(k.lessico.suggerimento(k.campo), k.nome) << k.campo;
  }
}

TEST(AvvisiTesto, Utf8LookAlikes) {
  EXPECT_TRUE(sembra_utf8("Citt\xC3\xA0"));
  EXPECT_TRUE(sembra_utf8("\xE2\x82\xAC 5"));
  EXPECT_FALSE(sembra_utf8("Citt\xE0"));
  EXPECT_FALSE(sembra_utf8("CITT\xC0 ALTA"));
  EXPECT_FALSE(sembra_utf8("\xE8"));
  EXPECT_FALSE(sembra_utf8("plain"));
}

TEST(AvvisiTesto, BracketedFieldsAndNumbers) {
  EXPECT_TRUE(tra_parentesi("[curve]"));
  EXPECT_TRUE(tra_parentesi("  [velocita] x"));
  EXPECT_FALSE(tra_parentesi("x [curve]"));
  EXPECT_FALSE(tra_parentesi("[curve"));
  EXPECT_TRUE(e_numero(" -12.5e1 "));
  EXPECT_FALSE(e_numero(""));
  EXPECT_FALSE(e_numero("80km/h"));
}

}  // namespace
}  // namespace calvetra
