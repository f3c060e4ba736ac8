// Reading the three binary files of a scenario back into the records, with
// validation: a file that is truncated, has bytes left over or holds
// something the compiler never writes is refused with one message that names
// the file and the byte offset. Nothing is ever read past the end of a buffer.
#ifndef CALVETRA_OUTPUT_LETTURA_H_
#define CALVETRA_OUTPUT_LETTURA_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/costanti.h"
#include "model/records.h"
#include "output/file_geometria.h"
#include "output/stato.h"
#include "platform/piattaforma.h"

namespace calvetra {

struct ScenarioLetto {
  Tabella tabella{};
  size_t byte_tabella = 0;
  std::vector<tratto> tratti;
  size_t byte_celle = 0;
  std::optional<PianoLetto> geometria;  // absent when there is no geometry file
  size_t byte_geometria = 0;
};

// Reads the table, the cells and (when the file exists) the plan of the
// scenario `nomi` in `cartella`. The message of a failure names the path.
StatoLettura leggi_scenario(Piattaforma* piattaforma, const std::string& cartella,
                            const NomiScenario& nomi, ScenarioLetto* s);

}  // namespace calvetra

#endif  // CALVETRA_OUTPUT_LETTURA_H_
