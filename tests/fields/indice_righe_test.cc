#include "fields/indice_righe.h"

#include <gtest/gtest.h>

#include <string>

namespace calvetra {
namespace {

// Every line end the reader knows (CR LF, a lone CR, a lone LF), empty lines,
// an empty text and a text that ends on a lone CR.
TEST(IndiceRighe, PlacesEveryOffsetAndEveryLineAsTheFieldReaderDoes) {
  for (const std::string& testo : {std::string("a,b\r\ncc\rd\n\n e\r"), std::string(""),
                                   std::string("\r\n\r\r\n"), std::string("senza fine")}) {
    const IndiceRighe righe(testo);
    for (size_t offset = 0; offset <= testo.size() + 1; ++offset) {
      const PosizioneTesto atteso = posizione_in(testo, offset);
      const PosizioneTesto p = righe.posizione(offset);
      EXPECT_EQ(p.riga, atteso.riga) << offset;
      EXPECT_EQ(p.colonna, atteso.colonna) << offset;
      EXPECT_EQ(righe.riga(offset) + 1, static_cast<size_t>(atteso.riga)) << offset;
    }
    // A line runs from its start to its own end, which is no character of it.
    for (size_t k = 0; k < righe.righe(); ++k) {
      ASSERT_LE(righe.inizio(k), righe.fine(k));
      const std::string riga = testo.substr(righe.inizio(k), righe.fine(k) - righe.inizio(k));
      EXPECT_EQ(riga.find_first_of("\r\n"), std::string::npos) << k;
      if (righe.fine(k) < testo.size()) {
        EXPECT_NE(std::string("\r\n").find(testo[righe.fine(k)]), std::string::npos);
      }
    }
    EXPECT_EQ(righe.inizio(righe.righe()), testo.size());
  }
  const std::string testo = "a,b\r\ncc\rd\n\n e\r";
  const IndiceRighe righe(testo);
  ASSERT_EQ(righe.righe(), 6u);
  EXPECT_EQ(testo.substr(righe.inizio(1), righe.fine(1) - righe.inizio(1)), "cc");
  EXPECT_EQ(testo.substr(righe.inizio(4), righe.fine(4) - righe.inizio(4)), " e");
}

}  // namespace
}  // namespace calvetra
