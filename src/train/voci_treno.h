// The entries of the train source, the structs their handlers read them
// into, the placing procedures, and the state the phase keeps between
// entries.
#ifndef CALVETRA_TRAIN_VOCI_TRENO_H_
#define CALVETRA_TRAIN_VOCI_TRENO_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "fields/lettura.h"
#include "model/costanti.h"
#include "model/diagnostica.h"
#include "model/records.h"

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
  Modello& m;
  StatoTreno& s;
  int32_t riga_cartello;  // the rows from here up hold sign texts
};

// A point of the speed or adhesion profile: the value holds from p on.
struct PuntoProfilo {
  int32_t posizione = 0;
  int32_t valore = 0;
};

struct Segnale {
  int32_t posizione = 0;
  int32_t sx = 0, s1 = 0, s2 = 0, s3 = 0, rapp = 0;
  int32_t dx = 0, d1 = 0, d2 = 0, d3 = 0;
  int32_t tempo = 0;  // raised to 101 by the placing when it is 1 to 100
};

struct Rallentamento {
  int32_t x = 0;  // position, metres
  int32_t v = 0;  // km/h
  int32_t l = 0;  // length, metres
  int32_t f_tt = 0;
  int32_t f_ta = 0;  // not 0: the pre-warning cells too
  int32_t d_v = 0;
};

struct Abbattimento {
  int32_t posizione = 0;
  int32_t valore = 0;
};

// The columns 2 to 18 of a station entry, as the station's row keeps them.
struct Stazione {
  int32_t posizione = 0;
  uint8_t tipo = 0;
  int32_t lunghezza = 0;
  uint8_t opz_a = 0, opz_e = 0, opz_d = 0;
  int16_t cod_a = 0, cod_b = 0;
  uint8_t opz_b = 0;
  int16_t cod_c = 0, cod_d = 0, cod_e = 0;
  uint8_t opz_c = 0;
  int32_t ore = 0, minuti = 0, secondi = 0;
  int32_t orario = 0;  // seconds after midnight, from the three before
  std::string nome;
};

// Profiles (profili.cc). A point at p fills the cells from the fill index up
// to the one before round(p / 50) with the value in force, then makes its own
// value the one in force.
void punto_velocita(Modello& m, StatoTreno& s, const PuntoProfilo& p);
void punto_aderenza(Modello& m, StatoTreno& s, const PuntoProfilo& p);
// The tails run by the end-of-reading steps.
void coda_velocita(Modello& m, StatoTreno& s);
void coda_aderenza(Modello& m, StatoTreno& s);

// The placing procedures of signals and slowdowns. A taken cell records its
// error (16; 17 to 20) at `luogo` with the entry's position and places nothing
// more. A signal's short time is raised to 101 in `s.tempo`.
void memo_segnale(Modello& m, Diagnostica& d, Luogo luogo, Segnale& s);
void memo_rallentamento(Modello& m, Diagnostica& d, Luogo luogo, const Rallentamento& r);

// The handlers, each called right after its keyword field.
Seguito voce_massa_frenata(LetturaRecord& r, CorpoTreno& c);
Seguito voce_vetture(LetturaRecord& r, CorpoTreno& c);
Seguito voce_velocita(LetturaRecord& r, CorpoTreno& c);
Seguito voce_aderenza(LetturaRecord& r, CorpoTreno& c);
Seguito voce_orologio(LetturaRecord& r, CorpoTreno& c);
Seguito voce_sabbia(LetturaRecord& r, CorpoTreno& c);
Seguito voce_segnale(LetturaRecord& r, CorpoTreno& c);
Seguito voce_rallentamento(LetturaRecord& r, CorpoTreno& c);
Seguito voce_abbattimento(LetturaRecord& r, CorpoTreno& c);
Seguito voce_stazione(LetturaRecord& r, CorpoTreno& c);

// After a placing procedure: the code is tested as a whole, so an error left
// by the line phase stops the reading here too, with this entry's position;
// the error then names the entry, at `luogo`, as whose that position is.
Seguito dopo_posa(Diagnostica& d, CodiceErrore codice_prima, int32_t posizione, const Luogo& luogo);

}  // namespace calvetra

#endif  // CALVETRA_TRAIN_VOCI_TRENO_H_
