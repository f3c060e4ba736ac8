// The records of the line body, the structs their handlers read them into,
// the placing procedures, and the state the body keeps between records.
#ifndef CALVETRA_LINE_CORPO_LINEA_H_
#define CALVETRA_LINE_CORPO_LINEA_H_

#include <array>
#include <cstdint>
#include <string>

#include "fields/lettura.h"
#include "model/costanti.h"
#include "model/diagnostica.h"
#include "model/records.h"

namespace calvetra {

// The working state of the line body; the sign row counter goes on to the
// train phase, which puts stations below it.
struct StatoCorpoLinea {
  int32_t riga_cartello = kUltimaRigaCartello;  // next free sign row
  int32_t numero_montagne = 0;
  std::array<int32_t, kMassimoMontagne + 1> inizi_montagne{};  // entries 1 to numero_montagne
  std::array<int32_t, kMassimoMontagne + 1> fini_montagne{};
  // Gradients: next cell to fill and the gradient in force.
  int64_t cella_pendenza = 0;
  int32_t pendenza_in_vigore = 0;
};

// One reading of the line body: the model it fills, the body state and
// whether the plan is built.
struct CorpoLinea {
  Modello& m;
  StatoCorpoLinea& s;
  bool con_geometria;
};

// Beyond this metre a curve record or its run-in may not compute the plan.
inline constexpr int32_t kMetroMassimo = 1000000;

struct Pendenza {
  int32_t posizione = 0;
  int32_t per_mille = 0;
};

struct Curva {
  int32_t inizio = 0;
  int32_t lunghezza = 0;
};

// A mountain starting this close after the previous one's end, or before
// it, is kind 3: the two read as one continuous stretch.
inline constexpr int64_t kDistaccoMontagne = 150;
// A marked stretch puts a marker on every this many cells.
inline constexpr int64_t kPassoSegniMontagna = 4;

struct Montagna {
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t tipo = 0;  // 1 or 2, with markers 11 or 12; the placing may change it
};

// A pair of speed boards: the left and right values of three speeds, km/h,
// and the stripes of each side.
struct Indicatori {
  int32_t posizione = 0;
  int32_t vas = 0, vbs = 0, vcs = 0, strisces = 0;
  int32_t vad = 0, vbd = 0, vcd = 0, strisced = 0;
};

struct Cartello {
  int32_t posizione = 0;
  std::string testo;
};

// The body state as the body starts; seeds the plan when it is wanted.
void inizia_corpo(CorpoLinea& c);
// Closing steps: the last gradient and the straight end of the plan.
void chiusura_corpo(CorpoLinea& c);

// The handlers, each called right after its keyword field.
Seguito corpo_pendenza(LetturaRecord& r, CorpoLinea& c);
Seguito corpo_curva(LetturaRecord& r, CorpoLinea& c);
Seguito corpo_montagna(LetturaRecord& r, CorpoLinea& c);
Seguito corpo_indicatori(LetturaRecord& r, CorpoLinea& c);
Seguito corpo_cartello(LetturaRecord& r, CorpoLinea& c);

// The placing procedures. A mountain may change its own `tipo` (a stretch
// too close to the previous one is class 3); a board in a taken cell records
// 21 at `luogo` with its position.
void memo_pendenza(Modello& m, StatoCorpoLinea& s, const Pendenza& p);
void memo_montagna(Modello& m, StatoCorpoLinea& s, Montagna& montagna);
void memo_indicatori_v_max(Modello& m, Diagnostica& d, Luogo luogo, const Indicatori& i);

// Fills the gradient in force into the next cell and the following ones while
// the next cell stays below `fino`. The first cell is always filled, even when
// the next cell is already at `fino` or past it: the gradient records and the
// closing step both rely on that.
void riempi_pendenze(Modello& m, StatoCorpoLinea& s, int64_t fino);

// How a stretch of the plan turns.
enum class Andamento { rettilineo, curva };

// Computes the plan from the next metre up to metre `fino`, but never beyond
// T - 2, turning each metre by k when `andamento` is curva. When
// `con_limite` is set it stops right after computing metre kMetroMassimo and
// returns false; otherwise it returns true.
bool avanza_piano(Geometria& g, int64_t fino, Andamento andamento, double k, bool con_limite);

}  // namespace calvetra

#endif  // CALVETRA_LINE_CORPO_LINEA_H_
