// The dispatcher's replies: a result its handler writes as text goes out as
// the message the library would write around the same value, and a written
// handler fails as any other.
#include "scenario/lsp/smistatore.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace calvetra::scenario::lsp {
namespace {

// A result with what the library escapes: a quote, a control character, a
// non-ASCII letter.
const Json kRisultato = Json::parse(
    R"([{"name":"Citt\u00e0 \"alta\"","kind":3,"range":{"start":{"line":0,"character":0}},)"
    R"("children":[]},{"name":"a\nb","detail":"","kind":13}])");

Smistatore con_richieste() {
  Smistatore s;
  s.richiesta("initialize", [](const Json&) { return Json::object(); });
  s.richiesta("valore", [](const Json&) { return kRisultato; });
  s.richiesta_scritta("scritta", [](const Json&) { return testo_messaggio(kRisultato); });
  s.richiesta_scritta("rifiuta", [](const Json& p) -> std::string {
    if (p.contains("perche")) throw ErroreRpc(CodiceRpc::richiesta_non_valida, "no");
    return std::to_string(p.at("manca").get<int>());
  });
  return s;
}

std::string messaggio(const Json& id, const char* metodo, const Json& parametri) {
  return testo_messaggio(
      {{"jsonrpc", "2.0"}, {"id", id}, {"method", metodo}, {"params", parametri}});
}

TEST(Smistatore, AWrittenResultGoesOutAsTheLibraryWritesTheSameValue) {
  Smistatore s = con_richieste();
  ASSERT_TRUE(s.tratta(messaggio(0, "initialize", Json::object())).has_value());
  for (const Json& id : {Json(7), Json("a\"b"), Json(-1)}) {
    const std::optional<std::string> scritta = s.tratta(messaggio(id, "scritta", Json::object()));
    const std::optional<std::string> valore = s.tratta(messaggio(id, "valore", Json::object()));
    ASSERT_TRUE(scritta.has_value() && valore.has_value()) << id;
    EXPECT_EQ(*scritta, *valore) << id;
    EXPECT_EQ(Json::parse(*scritta).at("result"), kRisultato) << id;
  }
}

TEST(Smistatore, AWrittenHandlerFailsAsAnyOther) {
  Smistatore s = con_richieste();
  // Before initialize it is not run.
  const Json prima = Json::parse(*s.tratta(messaggio(1, "scritta", Json::object())));
  EXPECT_EQ(prima.at("error").at("code"), static_cast<int>(CodiceRpc::non_inizializzato));
  ASSERT_TRUE(s.tratta(messaggio(0, "initialize", Json::object())).has_value());
  const Json rifiutata = Json::parse(*s.tratta(messaggio(2, "rifiuta", {{"perche", 1}})));
  EXPECT_EQ(rifiutata.at("id"), 2);
  EXPECT_EQ(rifiutata.at("error").at("code"), static_cast<int>(CodiceRpc::richiesta_non_valida));
  const Json mancante = Json::parse(*s.tratta(messaggio(3, "rifiuta", Json::object())));
  EXPECT_EQ(mancante.at("error").at("code"), static_cast<int>(CodiceRpc::parametri_non_validi));
  EXPECT_EQ(Json::parse(*s.tratta(messaggio(4, "rifiuta", {{"manca", 5}}))).at("result"), 5);
}

}  // namespace
}  // namespace calvetra::scenario::lsp
