// The record catalogues against the documentation made from them, and the
// words the warnings take from them.
#include "compile/documentazione.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "line/catalogo_linea.h"
#include "train/catalogo_treno.h"

namespace calvetra {
namespace {

std::string leggi(const std::string& percorso) {
  std::ifstream f(percorso, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

TEST(Documentazione, TheRecordTablesOfTheFormatsAreTheCatalogues) {
  const std::string doc = leggi(CALVETRA_RADICE "/doc/formats.md");
  ASSERT_FALSE(doc.empty());
  for (const std::string nome : {"intestazione-linea", "corpo-linea", "treno"}) {
    const std::string blocco =
        "<!-- catalogo " + nome + " -->\n" + tabelle_catalogo(nome) + "<!-- fine catalogo -->\n";
    EXPECT_NE(doc.find(blocco), std::string::npos)
        << "the tables of " << nome << " differ: ./build/documenta doc/formats.md";
  }
  EXPECT_EQ(aggiorna_documentazione(doc), doc);
  EXPECT_EQ(
      aggiorna_documentazione("a\n<!-- catalogo treno -->\nold\n<!-- fine catalogo -->\nb"),
      "a\n<!-- catalogo treno -->\n" + tabelle_catalogo("treno") + "<!-- fine catalogo -->\nb");
}

TEST(Documentazione, EveryRecordIsNamedAndTheWordsOfTheWarningsComeFromIt) {
  EXPECT_LE(catalogo_intestazione_linea().size(), ElencoRecord::kMassimo);
  EXPECT_LE(catalogo_corpo_linea().size(), ElencoRecord::kMassimo);
  EXPECT_LE(catalogo_treno().size(), ElencoRecord::kMassimo);
  for (const auto& records : {record_linea(), record_treno()}) {
    std::set<std::string_view> nomi;
    for (const DescrizioneRecord* r : records) {
      EXPECT_TRUE(nomi.insert(r->nome).second) << r->nome;
      EXPECT_FALSE(r->effetto.empty()) << r->nome;
      EXPECT_FALSE(r->frase.empty()) << r->nome;
      EXPECT_FALSE(r->campi.empty()) << r->nome;
      EXPECT_LE(r->campi.size(), LetturaRecord::kCampiMassimi) << r->nome;
      // A record is taken by a field that holds its name as authors write it.
      EXPECT_TRUE(r->prova.passa(r->nome)) << r->nome;
    }
  }
  using V = std::vector<std::string_view>;
  EXPECT_EQ(lessico_linea().nomi(), (V{"lunghezza percorso", "progressiva chilometrica uno",
                                       "sfondo uno", "ripetizione segnali", "pendenza", "curva",
                                       "montagna", "indicatori_vmax", "cartello_indicatore"}));
  EXPECT_EQ(lessico_linea().parole(),
            (V{"lunghezza", "percorso", "progressiva", "sfondo", "ripetizione", "pendenza", "curva",
               "montagna", "indicat", "cartello"}));
  EXPECT_EQ(lessico_treno().parole(),
            (V{"massa", "frenata", "vetture", "velocit", "aderenza", "orologio", "sabbia",
               "segnale", "rallentamento", "abbattimento", "stazione"}));
  EXPECT_EQ(lessico_treno().parola_contenuta("[SEGNALE 3]"), "segnale");
  EXPECT_EQ(lessico_linea().parola_contenuta("[indicatori_vmax]"), "indicat");
}

// A keyword field is first judged by its letters alone: a record's letters
// are only those of its own words, so that no field its words are in is
// passed over, whatever the letter case, accents or digits around them.
TEST(Documentazione, TheLettersOfAKeywordTestNeverTurnAFieldAway) {
  for (const auto& records : {record_linea(), record_treno()}) {
    std::vector<std::string> campi = {"", "x", "[curve]", "// nota", "\xC0REA 12", "curva\xE0"};
    for (const DescrizioneRecord* r : records) {
      const ProvaChiave& p = r->prova;
      EXPECT_EQ(p.lettere & ~(lettere_di(p.parole[0]) | lettere_di(p.parole[1]) |
                              lettere_di(p.qualificatore)),
                0U)
          << r->nome;
      std::string maiuscolo(r->nome);
      for (char& c : maiuscolo) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      for (const std::string& c : {std::string(r->nome), std::string(r->scritta), maiuscolo,
                                   "  " + std::string(r->nome) + "3\t", "\xE8" + maiuscolo}) {
        campi.push_back(c);
      }
    }
    for (const DescrizioneRecord* r : records) {
      for (const std::string& c : campi) {
        EXPECT_EQ(r->prova.passa(c, lettere_di(c)), r->prova.passa(c)) << r->nome << " / " << c;
      }
    }
  }
}

}  // namespace
}  // namespace calvetra
