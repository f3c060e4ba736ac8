// Encodings seen and said by `check`, `compile` and the page: a source in
// UTF-16 is refused at its first line by name; text saved as UTF-8 is read
// back as the characters it holds, and a character Windows-1252 lacks is
// named, never shown as the bytes of one encoding read as another.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "scenario/comandi/compile.h"
#include "scenario/comandi/view.h"
#include "tools/scenario_prova.h"

namespace calvetra {
namespace {

using json = nlohmann::json;

const std::string kLinea =
    "[generale]\r\nlunghezza percorso, 20000\r\n[curve]\r\npendenza, 1000, 10\r\n[fine]\r\n";
const std::string kTreno = "[generale]\r\nvelocita, 0, 80\r\n[fine]\r\n";

// `testo` as UTF-16, little- or big-endian, with or without its mark.
std::string utf16(const std::string& testo, bool piccolo, bool segno) {
  std::string s;
  if (segno) s += piccolo ? "\xFF\xFE" : "\xFE\xFF";
  for (const char c : testo) {
    s += piccolo ? std::string{c, '\0'} : std::string{'\0', c};
  }
  return s;
}

TEST(Codifiche, ASourceInUtf16IsRefusedAtItsFirstLine) {
  struct Caso {
    const char* descrizione;
    bool linea;  // the line source is in UTF-16, else the train source
    bool piccolo;
    bool segno;
  };
  const Caso casi[] = {
      {"treno, little-endian con il segno", false, true, true},
      {"treno, little-endian senza segno", false, true, false},
      {"treno, big-endian con il segno", false, false, true},
      {"linea, little-endian senza segno", true, true, false},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.descrizione);
    const std::string file = k.linea ? test::kSorgenteLinea : test::kSorgenteTreno;
    const std::string atteso = "/prova/" + file +
                               ":1:1: errore fatale: il file e' in UTF-16: salvalo come "
                               "Windows-1252\n";
    for (const auto comando : {scenario::comando_check, scenario::comando_compile}) {
      test::Banco b;
      b.scrivi(test::kSorgenteLinea, k.linea ? utf16(kLinea, k.piccolo, k.segno) : kLinea);
      b.scrivi(test::kSorgenteTreno, k.linea ? kTreno : utf16(kTreno, k.piccolo, k.segno));
      const test::Esito e = test::esegui(&b.disco, comando, {"/prova"});
      EXPECT_EQ(e.stato, kUscitaFatale);
      EXPECT_EQ(e.errori.rfind(atteso, 0), 0u) << e.errori;
      EXPECT_EQ(b.elenco(), (std::set<std::string>{test::kSorgenteLinea, test::kSorgenteTreno}));
      const test::Esito j = test::esegui(&b.disco, comando, {"--json", "/prova"});
      const json d = json::parse(j.uscita);
      EXPECT_EQ(d["fine"], "rifiutata");
      ASSERT_EQ(d["diagnostici"].size(), 1u) << j.uscita;
      EXPECT_EQ(d["diagnostici"][0]["riga"], 1);
      EXPECT_EQ(d["diagnostici"][0]["fatale"], true);
      EXPECT_EQ(d["diagnostici"][0]["messaggio"],
                "il file e' in UTF-16: salvalo come Windows-1252");
    }
    // The page: no page, the source named at its first line.
    test::Banco b;
    b.scrivi(test::kSorgenteLinea, k.linea ? utf16(kLinea, k.piccolo, k.segno) : kLinea);
    b.scrivi(test::kSorgenteTreno, k.linea ? kTreno : utf16(kTreno, k.piccolo, k.segno));
    const test::Esito v =
        test::esegui(&b.disco, scenario::comando_view, {"/prova", "-o", "/prova/vista.html"});
    EXPECT_EQ(v.stato, kUscitaFatale);
    EXPECT_EQ(v.errori,
              "scenario: /prova/" + file + ":1: il file e' in UTF-16: salvalo come Windows-1252\n");
    EXPECT_FALSE(b.c_e("vista.html"));
  }
}

// A source of Windows-1252 that merely holds a few NUL bytes, or a short
// one, is no UTF-16: it compiles as it always did.
TEST(Codifiche, OnlyTextOfPairsIsTakenForUtf16) {
  for (const std::string& treno :
       {std::string("[generale]\r\nvelocita, 0, 80\r\n\0\0[fine]\r\n", 31), std::string("a\0", 2),
        kTreno}) {
    test::Banco b;
    b.scrivi(test::kSorgenteLinea, kLinea);
    b.scrivi(test::kSorgenteTreno, treno);
    const test::Esito e = test::esegui(&b.disco, scenario::comando_check, {"--json", "/prova"});
    EXPECT_NE(json::parse(e.uscita)["fine"], "rifiutata");
  }
}

// Word-processor quotes in a file saved as UTF-8: the report and its source
// line show them as written, the fix writes them in Windows-1252; a
// character Windows-1252 lacks is named and gets no fix.
TEST(Codifiche, TextSavedAsUtf8IsShownAsWrittenAndFixedToWindows1252) {
  const std::string stazione = "stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, ";
  struct Caso {
    const char* descrizione;
    std::string nome;          // as the file holds it
    const char* nel_rapporto;  // UTF-8, as the terminal shows it
    const char* correzione;    // the fix, UTF-8 in the JSON; nullptr: none
  };
  const Caso casi[] = {
      {"virgolette curve", "\xE2\x80\x9COrsa\xE2\x80\x9D",
       "il testo `\xE2\x80\x9COrsa\xE2\x80\x9D`", "\xE2\x80\x9COrsa\xE2\x80\x9D"},
      {"trattino lungo", "Monte\xE2\x80\x94Valle", "`Monte\xE2\x80\x94Valle`",
       "Monte\xE2\x80\x94Valle"},
      {"spazio invisibile", "Nord\xE2\x80\x8B", "`Nord<U+200B spazio invisibile>`", "Nord"},
      {"freccia", "Nord \xE2\x86\x92 Sud", "Windows-1252 non ha U+2192: scrivilo altrimenti",
       nullptr},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.descrizione);
    test::Banco b;
    b.scrivi(test::kSorgenteLinea, kLinea);
    b.scrivi(test::kSorgenteTreno, "[generale]\r\n" + stazione + k.nome + "\r\n[fine]\r\n");
    const test::Esito e = test::esegui(&b.disco, scenario::comando_check, {"/prova"});
    EXPECT_NE(e.errori.find(k.nel_rapporto), std::string::npos) << e.errori;
    // The bytes of a UTF-8 character are never shown as characters of the
    // code page: no `â` of `â€œ`.
    EXPECT_EQ(e.errori.find("\xC3\xA2"), std::string::npos) << e.errori;
    EXPECT_NE(e.errori.find(" | " + stazione + k.nome + "\n"), std::string::npos) << e.errori;
    const json d = json::parse(test::esegui(&b.disco, scenario::comando_check, {"--json", "/prova"})
                                   .uscita)["diagnostici"];
    ASSERT_EQ(d.size(), 1u) << d.dump();
    EXPECT_EQ(d[0]["nome"], "testo-utf8");
    if (k.correzione == nullptr) {
      EXPECT_EQ(d[0]["correzioni"], json::array());
    } else {
      ASSERT_EQ(d[0]["correzioni"].size(), 1u);
      EXPECT_EQ(d[0]["correzioni"][0]["testo"], k.correzione);
    }
  }
}

// A fix that does not keep its promise is offered by neither the report
// nor the JSON, and the message says what is wrong without it.
TEST(Codifiche, AFixThatBringsANewWarningIsNotOffered) {
  test::Banco b;
  b.scrivi(test::kSorgenteLinea, kLinea);
  // 25 km is past the end of the 20000 m route: a warning the fix would bring.
  b.scrivi(test::kSorgenteTreno, "[generale]\r\nvelocita, 25km, 90\r\n[fine]\r\n");
  const test::Esito e = test::esegui(&b.disco, scenario::comando_check, {"/prova"});
  EXPECT_NE(e.errori.find("25 km sono 25000 m [numero-non-valido]"), std::string::npos) << e.errori;
  EXPECT_EQ(e.errori.find("scrivi"), std::string::npos) << e.errori;
  const json d = json::parse(
      test::esegui(&b.disco, scenario::comando_check, {"--json", "/prova"}).uscita)["diagnostici"];
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0]["correzioni"], json::array());
}

}  // namespace
}  // namespace calvetra
