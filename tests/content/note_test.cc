#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/testi.h"
#include "content/testo_scritto.h"

namespace calvetra {
namespace {

const std::vector<std::string>& note() {
  static const std::vector<std::string> righe = test::scrivi_e_leggi(dati_note);
  return righe;
}

TEST(Note, ParagraphIsBrokenAtWordsWithin95Characters) {
  const std::vector<std::string>& r = note();
  ASSERT_EQ(r.size(), 9u);
  EXPECT_EQ(r[0].size(), 93u);
  EXPECT_EQ(r[1].size(), 93u);
  EXPECT_EQ(r[2].size(), 95u);
  EXPECT_EQ(r[3].size(), 51u);
  for (size_t i = 0; i < 3; ++i) {
    // Lines 1 and 2 keep the blank before the next word; each line is as full
    // as the next word allows.
    EXPECT_EQ(r[i].back() == ' ', i < 2) << "line " << i;
    const size_t primo_spazio = r[i + 1].find(' ');
    const size_t parola = primo_spazio == std::string::npos ? r[i + 1].size() : primo_spazio;
    const size_t con_spazio = r[i].back() == ' ' ? r[i].size() : r[i].size() + 1;
    EXPECT_GT(con_spazio + parola, 95u) << "line " << i;
    EXPECT_NE(r[i].front(), ' ');
  }
  const std::string paragrafo = r[0] + r[1] + r[2] + " " + r[3];
  for (const char* nome : {"ROVELLA", "MARENZA", "CALDERINA", "scheda treno"}) {
    EXPECT_NE(paragrafo.find(nome), std::string::npos) << nome;
  }
}

TEST(Note, AccentedLettersAreSingleBytes) {
  const std::vector<std::string>& r = note();
  ASSERT_EQ(r.size(), 9u);
  std::string fuori_ascii;
  for (const std::string& riga : r) {
    for (char c : riga) {
      if (static_cast<unsigned char>(c) > 0x7F) fuori_ascii.push_back(c);
    }
  }
  EXPECT_EQ(fuori_ascii, "\xF2\xE0");
}

TEST(Note, GreetingAndSignature) {
  const std::vector<std::string>& r = note();
  ASSERT_EQ(r.size(), 9u);
  EXPECT_EQ(r[4], "");
  EXPECT_EQ(r[5], "  Buon viaggio.");
  EXPECT_EQ(r[6], "");
  EXPECT_EQ(r[7].find_first_not_of(' '), 54u);
  EXPECT_EQ(r[8].find_first_not_of(' '), 50u);
  EXPECT_EQ(r[8][50], '(');
  EXPECT_EQ(r[8].back(), ')');
}

}  // namespace
}  // namespace calvetra
