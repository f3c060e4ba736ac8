// The parser: the line phase, then the train phase.
#ifndef CALVETRA_COMPILE_MEMORIZZA_DATI_H_
#define CALVETRA_COMPILE_MEMORIZZA_DATI_H_

#include "fields/lettura.h"
#include "model/costanti.h"

namespace calvetra {

// The sources the parser has done with: the run deletes them, the line
// source first. A source the parser never reached stays.
struct SorgentiConsumate {
  bool linea = false;
  bool treno = false;

  bool operator==(const SorgentiConsumate&) const = default;
};

// Parses both sources into the model of `dest` (whose table holds its
// initial rows), recording errors in its diagnostics. It always returns; an
// unexpected failure in either phase records 25 and leaves both sources done
// with. When provenances are asked for, the records of both sources are
// credited there.
SorgentiConsumate memorizza_dati(const Sorgente& linea, const Sorgente& treno,
                                 const NomiScenario& nomi, bool con_geometria, Destinazione dest);

}  // namespace calvetra

#endif  // CALVETRA_COMPILE_MEMORIZZA_DATI_H_
