// Working state and entry handlers of the train phase.
//
// Each handler reads the fields of its entry right after the keyword field
// and tells the entry loop how to go on.
#ifndef CALVETRA_TRAIN_VOCI_TRENO_H_
#define CALVETRA_TRAIN_VOCI_TRENO_H_

#include <cstddef>
#include <cstdint>

#include "fields/lettura.h"
#include "model/costanti.h"
#include "model/records.h"
#include "train/fase_treno.h"

namespace calvetra {

struct StatoTreno {
  // Speed profile: next cell to fill and the speed (km/h) in force.
  int64_t cella_velocita = 0;
  int32_t velocita_corrente = 0;
  // Adhesion profile: next cell to fill and the adhesion value in force.
  int64_t cella_aderenza = 0;
  int32_t aderenza_corrente = 0;
  // Next `tabella` row for a station.
  int32_t riga_stazione = kPrimaRigaStazione;
};

// One reading of the train source.
struct CorpoTreno {
  Lettura& l;
  Modello& m;
  StatoTreno& s;
  int32_t riga_cartello;  // the rows from here up hold sign texts
};

// Profiles (profili.cc). A point at p fills the cells from the fill index up
// to the one before round(p / 50) with the value in force, then makes its own
// value the one in force.
void punto_velocita(Modello& m, StatoTreno& s, int32_t p, int32_t v);
void punto_aderenza(Modello& m, StatoTreno& s, int32_t p, int32_t a);
// The tails run by the end-of-reading steps.
void coda_velocita(Modello& m, StatoTreno& s);
void coda_aderenza(Modello& m, StatoTreno& s);

Seguito voce_velocita(CorpoTreno& c);
Seguito voce_aderenza(CorpoTreno& c);
// Stations (stazioni.cc); `chiave` is the offset of the keyword field.
Seguito voce_stazione(CorpoTreno& c, size_t chiave);
// Signals (segnali.cc), slowdowns and code reductions (rallentamenti.cc).
Seguito voce_segnale(CorpoTreno& c);
Seguito voce_rallentamento(CorpoTreno& c);
Seguito voce_abbattimento(CorpoTreno& c);

// After a placing procedure: the code is tested as a whole, so an error left
// by the line phase stops the reading here too, with this entry's position.
Seguito dopo_posa(CorpoTreno& c, CodiceErrore codice_prima, int32_t posizione);

}  // namespace calvetra

#endif  // CALVETRA_TRAIN_VOCI_TRENO_H_
