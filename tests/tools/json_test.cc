// The writer of the tool's JSON documents: the layout a record a line, and
// every value and key written as the library writes it.
#include "scenario/comune/json.h"

#include <gtest/gtest.h>

#include <string>

namespace calvetra::scenario {
namespace {

TEST(ScenarioJson, KeysAndValuesAreWrittenAsTheLibraryWritesThem) {
  // Keys the writer sets down as they stand, and keys only the library may
  // escape: a quote, a backslash, a control character, a non-ASCII letter
  // and a byte that is no UTF-8 (replaced, as every document replaces it).
  // Well-formed UTF-8 of two and four bytes stands as written; an overlong
  // form, a surrogate and a sequence cut short go through the library.
  const char* const chiavi[] = {"cella",    "codice 1",
                                "",         "a\"b",
                                "a\\b",     "riga\nnuova",
                                "\x7f",     "citt\xC3\xA0",
                                "\xE0",     "\xE2\x80\xB0 \xF0\x9F\x9A\x86",
                                "\xC0\xAF", "\xED\xA0\x80",
                                "\xE2\x80"};
  for (const char* k : chiavi) {
    Json j = Json::object();
    j[k] = {{k, 1.5}, {"l", {1, "x\xE0"}}};
    const std::string attesa = j.dump(-1, ' ', false, Json::error_handler_t::replace);
    EXPECT_EQ(scrivi_json(j, 0), attesa + "\n") << k;
    // Laid out a member a line, each still the library's text.
    const std::string chiave = Json(k).dump(-1, ' ', false, Json::error_handler_t::replace);
    // The same text appended to a reply written by hand.
    std::string scritto = "[";
    aggiungi_stringa_json(&scritto, k);
    EXPECT_EQ(scritto, "[" + chiave) << k;
    EXPECT_EQ(scrivi_json(j, 1), "{\n  " + chiave + ": " +
                                     j[k].dump(-1, ' ', false, Json::error_handler_t::replace) +
                                     "\n}\n")
        << k;
  }
}

TEST(ScenarioJson, LevelsLayOutMembersALineAndEmptyPartsStayShort) {
  Json j = oggetto_json(4);
  metti_membro(&j, "righe", Json::array({{{"riga", 0}}, {{"riga", 1}}}));
  metti_membro(&j, "vuota", Json::array());
  metti_membro(&j, "nulla", nullptr);
  metti_membro(&j, "numero", 0.1);
  EXPECT_EQ(scrivi_json(j, 2),
            "{\n"
            "  \"righe\": [\n"
            "    {\"riga\":0},\n"
            "    {\"riga\":1}\n"
            "  ],\n"
            "  \"vuota\": [],\n"
            "  \"nulla\": null,\n"
            "  \"numero\": 0.1\n"
            "}\n");
}

TEST(ScenarioJson, MembersSetAtTheEndKeepTheirOrderAndGrowWithoutLoss) {
  // Past the room made for them, too: the object grows like any other.
  Json j = oggetto_json(1);
  const char* const chiavi[] = {"z", "a", "m", "b", "y"};
  int i = 0;
  for (const char* k : chiavi) metti_membro(&j, k, Json::array({i++, std::string(40, 'x')}));
  EXPECT_EQ(j.size(), 5u);
  i = 0;
  for (auto it = j.begin(); it != j.end(); ++it, ++i) {
    EXPECT_EQ(it.key(), chiavi[i]);
    EXPECT_EQ((*it)[0], i);
    EXPECT_EQ((*it)[1], std::string(40, 'x'));
  }
  EXPECT_EQ(j["m"][0], 2);
}

}  // namespace
}  // namespace calvetra::scenario
