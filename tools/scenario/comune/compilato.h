// One compiled scenario: the author's two sources, one compile of them with
// its journal, and one line index per source, built once per edit or save
// and read by every command, the language server and the page alike. What a
// record stored, where an object came from and where a diagnostic stands are
// asked of it, never worked out again from the texts or the bytes.
#ifndef CALVETRA_TOOLS_SCENARIO_COMUNE_COMPILATO_H_
#define CALVETRA_TOOLS_SCENARIO_COMUNE_COMPILATO_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compile/compilazione.h"
#include "fields/indice_righe.h"
#include "model/costanti.h"
#include "model/diagnostica.h"
#include "model/giornale.h"
#include "model/records.h"
#include "platform/piattaforma.h"
#include "scenario/comune/json.h"
#include "scenario/comune/sorgenti.h"

namespace calvetra::scenario {

// One field of a record as the compile read it, named by the record's
// catalogue.
struct ValoreLetto {
  std::string_view campo;
  int64_t valore = 0;                // a number as read; 0 for a text
  std::optional<std::string> testo;  // a text as written, its quotes aside (Windows-1252)
};

// A record of the journal with its values as read: what the page's panel,
// the hover and `dump --json` show of it, by its index in the journal.
struct RecordLettoNelGiornale {
  size_t indice = 0;
  std::string_view nome;
  FileSorgente file = FileSorgente::nessuno;
  bool compilato = true;
  std::vector<ValoreLetto> campi;
};

class ScenarioCompilato;
using Compilato = std::shared_ptr<const ScenarioCompilato>;

class ScenarioCompilato {
 public:
  // Compiles `sorgenti` in memory (the author's files are never touched;
  // a source in UTF-16 is refused as compila_sorgenti refuses it). Shared:
  // the language server hands the very compile its features read to the
  // page, on another thread.
  static Compilato compila(SorgentiAutore sorgenti, const NomiScenario& nomi,
                           const OpzioniCompilazione& opzioni);

  // The line indexes point into the texts held here: the value stays where
  // it was built.
  ScenarioCompilato(const ScenarioCompilato&) = delete;
  ScenarioCompilato& operator=(const ScenarioCompilato&) = delete;

  const SorgentiAutore& sorgenti() const { return sorgenti_; }
  const NomiScenario& nomi() const { return nomi_; }
  const Compilazione& compilazione() const { return compilazione_; }
  const Giornale& giornale() const { return compilazione_.giornale; }
  const Modello& modello() const { return compilazione_.modello; }

  // The line index of source `f` (an empty one for no source or a source
  // not read).
  const IndiceRighe& righe(FileSorgente f) const;

  // By place: where `l` is shown (empty when in no source that was read),
  // and the record of the journal whose span holds it.
  std::optional<LuogoMostrato> mostra(Luogo l) const;
  Json json_luogo(Luogo l) const;
  std::optional<size_t> record_in(Luogo l) const;
  // By cell and by row: the record (its index in the journal) that placed
  // the object of cell `c` or last changed row `r`.
  std::optional<size_t> record_cella(size_t c) const;
  std::optional<size_t> record_riga(size_t r) const;
  // By record: the journal's record `i`; nullptr past the last.
  const RecordRegistrato* record(size_t i) const;
  // Its values as read; nothing for a step of the compile, a keyword that
  // names no record, or past the last.
  std::optional<RecordLettoNelGiornale> valori(size_t i) const;
  // {"indice": i, "nome": ..., "campi": {field: number or text}}, or null.
  Json json_valori(size_t i) const;

  // Compiles of a scenario made so far in this process, fixes tried on
  // copies aside: a test counts them to hold an edit to one compile.
  static uint64_t compilazioni();

 private:
  ScenarioCompilato(SorgentiAutore sorgenti, const NomiScenario& nomi);
  std::optional<size_t> indice(const RecordRegistrato* r) const;

  SorgentiAutore sorgenti_;
  NomiScenario nomi_;
  Compilazione compilazione_;
  IndiceRighe righe_linea_;
  IndiceRighe righe_treno_;
  IndiceRighe nessuna_;
  // The records of each source in order of place, for record_in: made on
  // the first call, as a check asks none.
  mutable std::once_flag ordinati_;
  mutable std::vector<size_t> ordine_linea_;
  mutable std::vector<size_t> ordine_treno_;
};

// The compile of the sources in `cartella` when they compile to exactly the
// binary files `tabella` and `tratti`: where each object of those files came
// from. Otherwise nothing, and `avviso` says why when there were sources.
Compilato origini_dei_file(Piattaforma* disco, const std::string& cartella,
                           const NomiScenario& nomi, const Tabella& tabella,
                           const std::vector<tratto>& tratti, bool con_geometria,
                           std::string* avviso);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMUNE_COMPILATO_H_
