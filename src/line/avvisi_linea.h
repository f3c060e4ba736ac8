// The authors' warnings of the line phase: which fields the header and the
// body pass over, and the notes that name the route length under the errors
// that follow from it. Each call only reads and records warnings or notes;
// the model is never touched.
#ifndef CALVETRA_LINE_AVVISI_LINEA_H_
#define CALVETRA_LINE_AVVISI_LINEA_H_

#include <cstddef>
#include <optional>

#include "fields/lettura.h"
#include "line/corpo_linea.h"
#include "model/diagnostica.h"

namespace calvetra {

// The keyword field in hand, beginning at `chiave`, in the header or the
// body, which names the records `trovati` of its catalogue.
void avvisa_intestazione(Lettura& l, const Riconosciuti& trovati, size_t chiave);
void avvisa_corpo(Lettura& l, const Riconosciuti& trovati, size_t chiave);

// What the route length record left: the note for an error 15 (a position
// beyond the route), and whether the length is missing, not a number or not
// above 0, so that an error 25 (no cell, or too few) follows from it too.
struct NoteLunghezza {
  std::optional<Nota> nota;
  bool sospetta = false;
};
NoteLunghezza note_lunghezza(Lettura& l);
// Puts the note under every error 15 and every object past the end (and
// under an error 25, when the length is suspect).
void annota_lunghezza(const NoteLunghezza& n, Diagnostica& d);

}  // namespace calvetra

#endif  // CALVETRA_LINE_AVVISI_LINEA_H_
