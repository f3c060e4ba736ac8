// The journal is the one record: the page's panel, the editor's hover and
// `dump --json` show each record by its index in the journal, with the
// values the compile read, and agree on every record of a route.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "content/righe.h"
#include "content/testi.h"
#include "scenario/comandi/dump.h"
#include "scenario/comune/compilato.h"
#include "scenario/comune/json.h"
#include "scenario/lsp/analisi.h"
#include "scenario/lsp/documenti.h"
#include "scenario/lsp/funzioni.h"
#include "scenario/vista/vista.h"
#include "support/percorso_sintetico.h"
#include "tools/scenario_prova.h"

namespace calvetra {
namespace {

using scenario::Json;

// A record's fields as one object, field -> number or text: the dump's own
// form, and the page's [field, number, text] lists brought to it.
Json campi_della_pagina(const Json& record) {
  Json campi = Json::object();
  for (const Json& k : record.at("campi")) {
    campi[k.at(0).get<std::string>()] = k.at(1).is_null() ? k.at(2) : k.at(1);
  }
  return campi;
}

// Index in the journal -> fields, from every element of `lista` that shows a
// record; one record shown twice (a station's row and its stop cell) shows
// the same.
void raccogli(const Json& lista, bool pagina, std::map<size_t, Json>* per_indice) {
  for (const Json& x : lista) {
    if (!x.contains("record") || x.at("record").is_null()) continue;
    const Json& r = x.at("record");
    ASSERT_TRUE(r.contains("indice")) << x.dump();
    const auto i = r.at("indice").get<size_t>();
    const Json campi = pagina ? campi_della_pagina(r) : r.at("campi");
    const auto [dove, nuovo] = per_indice->emplace(i, campi);
    if (!nuovo) {
      EXPECT_EQ(dove->second, campi) << "record " << i;
    }
  }
}

struct Percorso {
  const char* nome;
  std::string linea;
  std::string treno;
};

TEST(UnRecord, HoverPageAndDumpShowEveryRecordAsTheJournalReadIt) {
  for (const Percorso& p :
       {Percorso{"Calvetra", testo_righe(dati_linea()), testo_righe(dati_treno())},
        Percorso{"1000000 m", linea_sintetica(), treno_sintetico()}}) {
    SCOPED_TRACE(p.nome);
    test::CompilaInCartella c(p.linea, p.treno);
    ASSERT_TRUE(c.banco.c_e(test::kCelle)) << c.errori;

    const test::Esito d =
        test::esegui(&c.banco.disco, scenario::comando_dump, {"--json", "/prova"});
    ASSERT_EQ(d.stato, 0) << d.errori;
    const Json dump = Json::parse(d.uscita);
    std::map<size_t, Json> dal_dump;
    raccogli(dump.at("celle").at("non_libere"), false, &dal_dump);
    raccogli(dump.at("tabella").at("righe"), false, &dal_dump);

    scenario::SorgentiAutore s;
    std::string errore;
    ASSERT_TRUE(scenario::leggi_sorgenti(&c.banco.disco, "/prova", {}, &s, &errore));
    std::string fatale;
    const std::optional<scenario::ScenarioVisto> v =
        scenario::vista_da_sorgenti(std::move(s), {}, &fatale);
    ASSERT_TRUE(v.has_value()) << fatale;
    const Json pagina = scenario::json_vista(*v);
    std::map<size_t, Json> dalla_pagina;
    raccogli(pagina.at("oggetti"), true, &dalla_pagina);
    raccogli(pagina.at("righe"), true, &dalla_pagina);

    ASSERT_GT(dalla_pagina.size(), 10u);
    for (const auto& [i, campi] : dalla_pagina) {
      ASSERT_TRUE(dal_dump.contains(i)) << "record " << i << " only on the page";
      EXPECT_EQ(dal_dump.at(i), campi) << "record " << i;
    }

    const scenario::lsp::Analisi a = scenario::lsp::analizza(
        &c.banco.disco, {"/prova", {}}, scenario::lsp::Documenti{}, scenario::lsp::Codifica::utf16);
    const std::vector<RecordRegistrato>& records = a.compilazione().giornale.records();
    for (const auto& [i, campi] : dal_dump) {
      ASSERT_LT(i, records.size());
      const Json h = scenario::lsp::hover(a, records[i].chiave.file, records[i].chiave.offset);
      ASSERT_FALSE(h.is_null()) << "record " << i;
      const std::string testo = h.at("contents").at("value").get<std::string>();
      const size_t letto = testo.find("Letto (record " + std::to_string(i) + "):");
      ASSERT_NE(letto, std::string::npos) << testo;
      const std::string riga = testo.substr(letto, testo.find('\n', letto) - letto);
      for (const auto& [campo, valore] : campi.items()) {
        const std::string atteso =
            valore.is_string() ? "\"" + valore.get<std::string>() + "\"" : valore.dump();
        EXPECT_NE(riga.find(" `" + campo + "` " + atteso), std::string::npos)
            << "record " << i << ": " << riga;
      }
    }
  }
}

}  // namespace
}  // namespace calvetra
