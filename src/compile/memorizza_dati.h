// The parser: the line phase, then the train phase.
#ifndef CALVETRA_COMPILE_MEMORIZZA_DATI_H_
#define CALVETRA_COMPILE_MEMORIZZA_DATI_H_

#include <cstdint>

#include "fields/lettura.h"
#include "model/costanti.h"
#include "model/diagnostica.h"
#include "model/provenienze.h"
#include "model/records.h"

namespace calvetra {

// The sources the parser has done with: the run deletes them, the line
// source first. A source the parser never reached stays.
struct SorgentiConsumate {
  bool linea = false;
  bool treno = false;

  bool operator==(const SorgentiConsumate&) const = default;
};

// Parses both sources into `m` (whose table holds its initial rows),
// recording errors in `d`. It always returns; an unexpected failure in
// either phase records 25 and leaves both sources done with. When
// `provenienze` is given, the records of both sources are credited there.
SorgentiConsumate memorizza_dati(const Sorgente& linea, const Sorgente& treno,
                                 const NomiScenario& nomi, int32_t con_geometria, Modello& m,
                                 Diagnostica& d, Provenienze* provenienze = nullptr);

}  // namespace calvetra

#endif  // CALVETRA_COMPILE_MEMORIZZA_DATI_H_
