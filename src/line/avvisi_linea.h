// The authors' warnings of the line phase: which fields the header and the
// body pass over, records out of order or overlapping, and the notes that
// name the route length under the errors that follow from it. Each call only
// reads and records warnings or notes; the model is never touched.
#ifndef CALVETRA_LINE_AVVISI_LINEA_H_
#define CALVETRA_LINE_AVVISI_LINEA_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fields/lettura.h"
#include "model/diagnostica.h"
#include "model/records.h"

namespace calvetra {

struct CorpoLinea;

// The header field `campo` in hand, beginning at `chiave`.
void avvisa_intestazione(Lettura& l, const std::string& campo, size_t chiave);
// The body field in hand (the reader's last field).
void avvisa_corpo(CorpoLinea& c);
// The records, once their values are read.
void avvisa_pendenza(CorpoLinea& c, int32_t P);
void avvisa_curva(CorpoLinea& c, int32_t S, int32_t l);
void avvisa_montagna(CorpoLinea& c, int32_t inizio, int32_t fine);

// What the route length record left: the note for an error 15 (a position
// beyond the route), and whether the length is missing, not a number or not
// above 0, so that an error 25 (no cell, or too few) follows from it too.
struct NoteLunghezza {
  std::optional<Nota> nota;
  bool sospetta = false;
};
NoteLunghezza note_lunghezza(const Lettura& l, const Modello& m);
// Puts the note under every error 15 (and 25, when the length is suspect).
void annota_lunghezza(const NoteLunghezza& n, Diagnostica& d);

}  // namespace calvetra

#endif  // CALVETRA_LINE_AVVISI_LINEA_H_
