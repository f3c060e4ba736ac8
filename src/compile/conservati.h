// Written against stored: every stored field of every compiled record, its
// value as read (the journal's) against what the files keep once the compile
// is over (read back with the codecs the compiler stores with). A field that
// differs is said at its record, with why: the record's own codec (the low
// 16 bits, steps of 5 km/h, ...), a later record or a step of the compile
// that changed it (named in a note), or an error that stopped the record
// half-way. "Nothing unsaid": every difference is stated by a diagnostic of
// its record, which gives the value the files keep.
#ifndef CALVETRA_COMPILE_CONSERVATI_H_
#define CALVETRA_COMPILE_CONSERVATI_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "compile/compilazione.h"
#include "fields/catalogo.h"
#include "fields/lettura.h"

namespace calvetra {

// One stored field of a compiled record whose value in the files is not its
// value as read.
struct Differenza {
  size_t record = 0;        // index in the journal's records
  size_t campo = 0;         // index in the record's catalogue entry
  int64_t letto = 0;        // as read (a number field)
  std::string testo_letto;  // as read (a text field)
  Riletto conservato;       // what the files keep
};

// Every difference of a compile whose files are written (none for one that
// writes nothing, or kept no journal), record by record. `linea` and `treno`
// are the sources it compiled.
std::vector<Differenza> differenze(const Compilazione& c, const Sorgente& linea,
                                   const Sorgente& treno);

// Whether a diagnostic of `c` says what the files keep of `d`.
bool detta(const Compilazione& c, const Differenza& d);

// The differences that no diagnostic states: what "nothing unsaid" forbids.
std::vector<Differenza> non_dette(const Compilazione& c, const Sorgente& linea,
                                  const Sorgente& treno);

// Says every difference that no diagnostic states yet: a claim made while
// reading that the files do not bear out is corrected in place, any other
// becomes a `conservato-diversamente` at its record. With warnings only.
void di_le_differenze(Compilazione& c, const Sorgente& linea, const Sorgente& treno);

// The claims of the warnings that the compile would end with error 25,
// checked against what it did: one that never came says why no cell kept the
// value (the next record of its kind, named, or the error that stopped the
// reading).
void rivedi_pretese(Compilazione& c);

}  // namespace calvetra

#endif  // CALVETRA_COMPILE_CONSERVATI_H_
