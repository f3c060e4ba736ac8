// `scenario dump`: the three binary files decoded into readable text or JSON.
#ifndef CALVETRA_TOOLS_SCENARIO_DUMP_H_
#define CALVETRA_TOOLS_SCENARIO_DUMP_H_

#include <ostream>
#include <string>

#include "leggi_scenario.h"
#include "model/costanti.h"
#include "platform/piattaforma.h"
#include "sorgenti.h"

namespace calvetra::scenario {

struct OpzioniDump {
  std::string cartella;
  NomiScenario nomi;
  bool json = false;
  int32_t passo_campioni = 1000;  // metres between sampled plan coordinates
};

// Reads and validates the files, then writes them out. Returns the exit
// status: 0, or 1 with one message on `err` when a file is missing or bad.
int dump(const OpzioniDump& o, std::ostream& out, std::ostream& err);

void scrivi_testo(const ScenarioLetto& s, const OpzioniDump& o, std::ostream& out);
// With `origini`, every non-free cell and every row that a source record
// placed gains "sorgente": where that record's keyword field is.
void scrivi_json(const ScenarioLetto& s, const OpzioniDump& o, std::ostream& out,
                 const Origini* origini = nullptr);

int comando_dump(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_DUMP_H_
