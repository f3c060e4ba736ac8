#include "fields/indice_righe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace calvetra {
namespace {

// Every line end the reader knows (CR LF, a lone CR, a lone LF), empty lines,
// an empty text and a text that ends on a lone CR.
TEST(IndiceRighe, PlacesEveryOffsetAndEveryLineAsTheFieldReaderDoes) {
  std::vector<std::string> testi = {"a,b\r\ncc\rd\n\n e\r", "",   "\r\n\r\r\n", "senza fine",
                                    "x\r\ry\r\n\rz",        "\r", "\n\r\n",     "a\rb\rc\n"};
  // And texts of every mix of the three bytes, up to six of them.
  for (int n = 1; n <= 6; ++n) {
    int tutti = 1;
    for (int k = 0; k < n; ++k) tutti *= 3;
    for (int scelta = 0; scelta < tutti; ++scelta) {
      std::string t;
      for (int k = 0, c = scelta; k < n; ++k, c /= 3) t += "a\r\n"[c % 3];
      testi.push_back(t);
    }
  }
  for (const std::string& testo : testi) {
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
