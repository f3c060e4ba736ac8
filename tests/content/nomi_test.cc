// The place names agree across the train source, the timetable card, the
// slow-down order and the lineside signs of the line source.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "content/testi.h"
#include "content/testo_scritto.h"

namespace calvetra {
namespace {

using test::scrivi_e_leggi;

std::vector<std::string> nomi_stazioni() {
  std::vector<std::string> nomi;
  for (const std::string& r : scrivi_e_leggi(dati_treno)) {
    if (r.rfind("stazione,", 0) == 0) nomi.push_back(test::campi(r).back());
  }
  return nomi;
}

std::string maiuscolo(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

TEST(NomiLuoghi, CardHeadersAndSlowDownOrderNameTheStations) {
  const std::vector<std::string> s = nomi_stazioni();
  ASSERT_EQ(s.size(), 26u);
  EXPECT_EQ(s[0], "ROVELLA");
  EXPECT_EQ(s[11], "CALDERINA");
  EXPECT_EQ(s[15], "VELSANO");
  const std::vector<std::string> scheda = scrivi_e_leggi(dati_scheda);
  ASSERT_EQ(scheda.size(), 61u);
  EXPECT_EQ(scheda[3].substr(40, s[0].size()), s[0]);
  EXPECT_EQ(scheda[4].substr(40, s[11].size()), s[11]);
  EXPECT_EQ(scheda[33].substr(40, s[11].size()), s[11]);
  EXPECT_EQ(scheda[34].substr(40, s[25].size()), s[25]);

  const std::vector<std::string> ordine = scrivi_e_leggi(dati_rallentamenti);
  ASSERT_EQ(ordine.size(), 34u);
  auto luoghi = [&](size_t slot) {
    std::string t = ordine[slot].substr(6, 28);
    t.erase(0, t.find_first_not_of(' '));
    t.erase(t.find_last_not_of(' ') + 1);
    return t;
  };
  EXPECT_EQ(luoghi(13), s[0] + " e " + s[1]);
  EXPECT_EQ(luoghi(14), s[9] + " e " + s[10]);
  EXPECT_EQ(ordine[14].substr(6, 28), " " + s[9] + " e " + s[10]);
}

TEST(NomiLuoghi, SignsNameThePlacesNearThem) {
  const std::vector<std::string> s = nomi_stazioni();
  ASSERT_EQ(s.size(), 26u);
  std::string cartelli;
  for (const std::string& r : scrivi_e_leggi(dati_linea)) {
    if (r.rfind("cartello_indicatore,", 0) == 0) cartelli += maiuscolo(r) + "\n";
  }
  // Bridges and tunnels carry the names of the stations beside them.
  for (size_t stazione : {4u, 8u, 9u, 12u, 13u, 17u}) {
    const std::string nome = maiuscolo(s[stazione]);
    const std::string ultima_parola = nome.substr(nome.rfind(' ') + 1);
    EXPECT_NE(cartelli.find(ultima_parola), std::string::npos) << s[stazione];
  }
  // The station board before MARENZA PORTA GARIBALDI.
  EXPECT_NE(cartelli.find("(    MARENZA    )(PORTA GARIBALDI)"), std::string::npos);
  EXPECT_EQ(s[24], "MARENZA PORTA GARIBALDI");
  for (const std::string& nome : s) {
    EXPECT_EQ(nome.find(','), std::string::npos) << nome;
  }
}

}  // namespace
}  // namespace calvetra
