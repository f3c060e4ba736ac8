// The text tests behind the warnings: edit distance for "did you mean",
// UTF-8 look-alikes, bracketed fields, number fields.
#include "fields/avvisi.h"

#include <gtest/gtest.h>

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
    FileSorgente file;
    const char* campo;
    const char* nome;
  };
  const Caso casi[] = {
      {FileSorgente::linea, "pendneza", "pendenza"},
      {FileSorgente::linea, "PENDNEZA", "pendenza"},
      {FileSorgente::linea, "Percorsso lunghezza", "lunghezza percorso"},
      {FileSorgente::linea, "xx, montagan", "montagna"},
      {FileSorgente::linea, "indicatori_vmx", "indicatori_vmax"},
      {FileSorgente::treno, "stazoine", "stazione"},
      {FileSorgente::treno, "rallent", "rallentamento"},
      {FileSorgente::treno, "sabia", "sabbia"},
      {FileSorgente::treno, "segnalexyz", "segnale"},  // a long field by its start
      {FileSorgente::treno, "pendneza", ""},           // a word of the other source
      {FileSorgente::linea, "qzwxkj vvvvvv", ""},
      {FileSorgente::linea, "curv", "curva"},
      {FileSorgente::linea, "cur", ""},  // words of fewer than four letters are not compared
      {FileSorgente::nessuno, "pendenza", ""},
  };
  for (const Caso& k : casi) {
    EXPECT_EQ(suggerimento(k.file, k.campo), k.nome) << k.campo;
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
