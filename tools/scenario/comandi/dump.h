// `scenario dump`: the three binary files decoded into readable text or JSON.
#ifndef CALVETRA_TOOLS_SCENARIO_COMANDI_DUMP_H_
#define CALVETRA_TOOLS_SCENARIO_COMANDI_DUMP_H_

#include <cstdint>
#include <string>

#include "model/costanti.h"
#include "output/lettura.h"
#include "scenario/comune/argomenti.h"
#include "scenario/comune/compilato.h"
#include "scenario/comune/contesto.h"
#include "scenario/comune/json.h"
#include "scenario/comune/sorgenti.h"

namespace calvetra::scenario {

struct OpzioniDump {
  std::string cartella;
  NomiScenario nomi;
  bool json = false;
  int32_t passo_campioni = 1000;  // metres between sampled plan coordinates
};

// Reads and validates the files, then writes them out. Returns the exit
// status: 0, or 1 with one message on `c.err` when a file is missing or bad.
int dump(const Contesto& c, const OpzioniDump& o);

std::string testo_dump(const ScenarioLetto& s, const OpzioniDump& o);
// With `origini`, every non-free cell and every row that a source record
// placed gains "sorgente": where that record's keyword field is; a code
// reduction of the cab-code pass also "passo_codici" and "causa".
Json json_dump(const ScenarioLetto& s, const OpzioniDump& o,
               const ScenarioCompilato* origini = nullptr);

int comando_dump(const Contesto& c, const Argomenti& a);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMANDI_DUMP_H_
