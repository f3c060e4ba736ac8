// The record catalogues against the documentation made from them, and the
// words the warnings take from them.
#include "compile/documentazione.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

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

}  // namespace
}  // namespace calvetra
