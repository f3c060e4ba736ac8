// Writing a finished model as the three binary files of its scenario.
#ifndef CALVETRA_OUTPUT_SCRITTURA_H_
#define CALVETRA_OUTPUT_SCRITTURA_H_

#include <string>

#include "model/costanti.h"
#include "model/records.h"
#include "platform/piattaforma.h"

namespace calvetra {

// Why the files of `m` cannot be written at all, whatever the disk (a table
// name too long for its 16-bit length); "" when they can. A check that writes
// nothing asks this so that it ends as the compile would.
std::string non_scrivibile(const Modello& m);

// Writes the plan (when `con_geometria`), then the table, then the cells into
// `cartella`, replaced as one set: all three are written and synced before
// the first takes its place, and on a failure every old file keeps its old
// content. Returns false with one line in `motivo` that names the file, the
// reason and the old files kept.
bool scrivi_file_binari(Piattaforma* piattaforma, const std::string& cartella,
                        const NomiScenario& nomi, const Modello& m, bool con_geometria,
                        std::string* motivo);

}  // namespace calvetra

#endif  // CALVETRA_OUTPUT_SCRITTURA_H_
