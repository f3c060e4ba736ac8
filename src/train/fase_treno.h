// Working state and entry handlers of the train phase of the parser.
//
// The phase keeps its fill indexes and station row counter here, local to one
// reading of the train source, rather than in the run object. Each handler
// reads the fields of its entry from file 1 right after the keyword field and
// tells the entry loop how to go on.
#ifndef CALVETRA_TRAIN_FASE_TRENO_H_
#define CALVETRA_TRAIN_FASE_TRENO_H_

#include <cstddef>
#include <cstdint>

#include "run/form1.h"

namespace calvetra {

struct StatoTreno {
  // Speed profile: next cell to fill and the speed (km/h) in force.
  int64_t cella_velocita = 0;
  int32_t velocita_corrente = 0;
  // Adhesion profile: next cell to fill and the adhesion value in force.
  int64_t cella_aderenza = 0;
  int32_t aderenza_corrente = 0;
  // Next `tabella` row for a station.
  int32_t riga_stazione = 1;
};

// Profiles (profili.cc). A point at p fills the cells from the fill index up
// to the one before round(p / 50) with the value in force, then makes its own
// value the one in force.
void punto_velocita(Form1& f, StatoTreno& s, int32_t p, int32_t v);
void punto_aderenza(Form1& f, StatoTreno& s, int32_t p, int32_t a);
// The tails run by the end-of-reading steps.
void coda_velocita(Form1& f, StatoTreno& s);
void coda_aderenza(Form1& f, StatoTreno& s);
Seguito voce_velocita(Form1& f, StatoTreno& s);
Seguito voce_aderenza(Form1& f, StatoTreno& s);

// Stations (stazioni.cc); `chiave` is the offset of the keyword field.
Seguito voce_stazione(Form1& f, StatoTreno& s, size_t chiave);

// Signals (segnali.cc), slowdowns and code reductions (rallentamenti.cc).
Seguito voce_segnale(Form1& f);
Seguito voce_rallentamento(Form1& f);
Seguito voce_abbattimento(Form1& f);

// The position bound of an entry (margin 100 m, stations 800 m): past it,
// error 15 is recorded at that position and the reading ends, with the
// end-of-reading steps still to run.
bool oltre_il_percorso(Form1& f, int32_t p, int64_t margine, size_t campo_posizione);

// After a placing procedure: `codice_errore` is tested as a whole, so an
// error left by the line phase stops the reading here too. When the procedure
// raised the error itself it is charged to the entry's position field.
// Returns Seguito::esci (file closed and deleted, position recorded) or
// Seguito::avanti.
Seguito dopo_posa(Form1& f, int32_t codice_prima, size_t campo_posizione, int32_t posizione);

}  // namespace calvetra

#endif  // CALVETRA_TRAIN_FASE_TRENO_H_
