// The scenario records: the 50 m track cells (`tratti`), the station, sign and
// header table (`tabella`) and the per-metre plan of the route (`geometria`).
#ifndef CALVETRA_MODEL_RECORDS_H_
#define CALVETRA_MODEL_RECORDS_H_

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/costanti.h"
#include "model/diagnostica.h"

namespace calvetra {

class Giornale;

// One 50 m cell of the route. The meaning of the four values depends on `tipo`.
struct tratto {
  uint8_t tipo = 0;
  int16_t valore_a = 0;
  int16_t valore_b = 0;
  int16_t valore_c = 0;
  int16_t valore_d = 0;
  uint8_t tempo = 0;
  uint8_t preavviso = 0;
  uint8_t montagna = 0;
  uint8_t velocita = 0;
  uint8_t pendenza = 0;
  uint8_t aderenza = 0;

  bool operator==(const tratto&) const = default;
};

// Cell kinds.
enum : uint8_t {
  kLibero = 0,
  kSegnale = 1,
  kFineRallentamento = 2,
  kInizioRallentamento = 3,
  kAvvisoRallentamento = 4,
  kPreavvisoRallentamento = 5,
  kIndicatori = 6,
  kFermata = 10,
  kSegnoMontagna = 11,
  kAbbattimento = 12,
  kAbbattimentoNullo = 13,
  kCartello = 14,
};

// A cell that a placing step may take: free, or holding only a mountain marker.
inline bool cella_libera(const tratto& t) { return t.tipo == kLibero || t.tipo == kSegnoMontagna; }

// One row of `tabella`: a station, a sign text or a header row.
struct voce {
  uint8_t tipo = 0;
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t posizione = 0;
  uint8_t opz_a = 0;
  std::string nome;
  int16_t cod_a = 0;
  int16_t cod_b = 0;
  int16_t cod_c = 0;
  int16_t cod_d = 0;
  int16_t cod_e = 0;
  uint8_t opz_b = 0;
  uint8_t opz_c = 0;
  uint8_t opz_d = 0;
  uint8_t opz_e = 0;
  int32_t orario = 0;

  bool operator==(const voce&) const = default;
};

using Tabella = std::array<voce, kRigheTabella>;

// The fields of a cell and of a row, by name: what the model writes one at
// a time, and what the journal names its writes by.
enum class CampoCella : uint8_t {
  tipo,
  valore_a,
  valore_b,
  valore_c,
  valore_d,
  tempo,
  preavviso,
  montagna,
  velocita,
  pendenza,
  aderenza,
};
enum class CampoRiga : uint8_t {
  tipo,
  inizio,
  fine,
  posizione,
  opz_a,
  nome,
  cod_a,
  cod_b,
  cod_c,
  cod_d,
  cod_e,
  opz_b,
  opz_c,
  opz_d,
  opz_e,
  orario,
};
// The value of one field; a row's `nome` is no number and gives 0.
inline constexpr uint8_t kCampiCella = static_cast<uint8_t>(CampoCella::aderenza) + 1;
inline constexpr uint8_t kCampiRiga = static_cast<uint8_t>(CampoRiga::orario) + 1;
int64_t valore_campo(const tratto& t, CampoCella c);
int64_t valore_campo(const voce& v, CampoRiga c);
// Field c takes v, cut to the field's own width (a row's `nome` is left
// alone: it is a text).
void metti_campo(tratto& t, CampoCella c, int64_t v);
void metti_campo(voce& v, CampoRiga c, int64_t x);

// The per-metre plan of the route: x and y for metres 0 to T.
//
// The plan is always computed strictly forward, each metre from the two
// before it, so it is kept as what makes it: the stretches of metres that go
// straight or turn by a curvature k, and a watermark. Metres 0 and 1 are the
// 16-bit seeds once `semina` has run, metres 2 to prossimo() - 1 are computed
// doubles, every later metre is empty. The coordinates are worked out only
// when they are read (`CalcoloPiano`, `PuntiPiano`), a block at a time: the
// file is streamed from them, and no run holds the whole plan (16 bytes a
// metre) in memory.
class Geometria {
 public:
  enum class Genere : uint16_t { vuoto = 0, intero = 2, reale = 5 };

  // Metres up to `fino` - 1 (from the end of the stretch before) each repeat
  // the step before them, turned by k when `curva` is set.
  struct Tratto {
    int32_t fino = 0;
    bool curva = false;
    double k = 0.0;
    // The same bits of k: -0.0 and NaN turn as what they are.
    bool operator==(const Tratto& o) const;
  };

  // Makes the table anew for metres 0 to T, every element empty.
  // REQUIRES: T >= 0.
  void crea(int32_t T);
  // From now on the plan is only measured: how far it reaches, which is all
  // its errors depend on, without the stretches that give its coordinates.
  // For a check that writes nothing; such a plan is never written. Kept by
  // `crea`.
  void senza_coordinate() { senza_coordinate_ = true; }
  bool con_coordinate() const { return !senza_coordinate_; }
  bool esiste() const { return metri_ > 0; }
  int32_t ultimo_metro() const { return metri_ - 1; }

  // Writes the seeds x0 = 0, y0 = 0, x1 = 0, y1 = 1 and sets the next metre
  // to compute to 2. REQUIRES: esiste() and ultimo_metro() >= 1.
  void semina();
  int32_t prossimo() const { return prossimo_; }

  // Computes metres prossimo() to fino - 1, straight on or turned by k, and
  // moves the next metre to `fino`.
  // REQUIRES: semina() has run, prossimo() <= fino <= ultimo_metro() + 1.
  void avanza(int32_t fino, bool curva, double k);

  Genere genere(int32_t m) const {
    if (!seminata_) return Genere::vuoto;
    if (m < 2) return Genere::intero;
    if (m < prossimo_) return Genere::reale;
    return Genere::vuoto;
  }
  // The last of the metres that hold a point from metre 0 on, -1 for none:
  // where genere() first says empty, without asking it a metre at a time.
  int32_t ultimo_pieno() const {
    if (!seminata_) return -1;
    return std::min(metri_, std::max(prossimo_, int32_t{2})) - 1;
  }
  // The stretches after the seeds, in order; none when the plan is only
  // measured.
  const std::vector<Tratto>& tratti() const { return tratti_; }

  // Equal when the same metres are computed the same way. Out of line,
  // beside the stretches' own: MinGW's g++ 12 left a defaulted one here
  // unemitted, and the Windows build did not link.
  bool operator==(const Geometria& o) const;

 private:
  std::vector<Tratto> tratti_;
  int32_t metri_ = 0;
  bool seminata_ = false;
  int32_t prossimo_ = 0;
  bool senza_coordinate_ = false;
};

// The coordinates of a plan's metres worked out in order, from metre 0, a
// block at a time. Every build gives the same bits: the operations and their
// order are fixed (and the build forbids fused multiply-add).
class CalcoloPiano {
 public:
  explicit CalcoloPiano(const Geometria& g) : g_(&g) {}
  // The metre the next call starts at.
  int32_t metro() const { return metro_; }
  // The coordinates of the next metres that hold them (the seeds, then the
  // computed ones), at most n, into x[0..] and y[0..]; returns how many
  // (0 once there are no more). A plan only measured gives 0 for every
  // computed metre.
  int32_t prossimi(double* x, double* y, int32_t n);

 private:
  const Geometria* g_;
  int32_t metro_ = 0;
  size_t tratto_ = 0;
  // The two metres before metro_, carried from block to block.
  double x2_ = 0.0, y2_ = 0.0, x1_ = 0.0, y1_ = 0.0;
};

// The coordinates of any metre of a plan, for readers that sample it: a
// window of metres worked out by a CalcoloPiano, which moves on as the
// metres asked for do. Quick while the metres asked for do not go back
// before the window; going back starts again from metre 0.
class PuntiPiano {
 public:
  explicit PuntiPiano(const Geometria& g) : g_(g), calcolo_(g) {}
  // The coordinates of metre m; 0 for an empty metre.
  double x(int32_t m) { return porta_a(m) ? x_[static_cast<size_t>(m - inizio_)] : 0.0; }
  double y(int32_t m) { return porta_a(m) ? y_[static_cast<size_t>(m - inizio_)] : 0.0; }

 private:
  static constexpr int32_t kFinestra = 1 << 12;
  bool porta_a(int32_t m);
  const Geometria& g_;
  CalcoloPiano calcolo_;
  int32_t inizio_ = 0;
  int32_t quanti_ = 0;
  // Made when first asked, and never filled before it is written.
  std::unique_ptr<double[]> x_;
  std::unique_ptr<double[]> y_;
};

// Where the values of a compile that keeps no journal came from, carried
// with the writes that change an object or a row (a few thousand on the
// longest route; the stretches and marks that fill every cell carry none):
// enough for calvetra's own run to name the record behind an error of the
// cab-code pass, a fatal end or a table text too long, where the journal
// names it for the tools.
class Provenienza {
 public:
  // A record begins at its keyword `chiave`, or a step of the compile (file
  // nessuno); what is written from now on is its.
  void apri(Luogo chiave) {
    ++ordine_;
    luogo_ = chiave;
    per_conto_di_ = false;
  }
  // The cells were made anew: what placed the old ones' objects goes.
  void nuove_celle() {
    std::erase_if(origini_, [](const Origine& o) { return !o.riga; });
  }
  // From now on the step writes because of the object of cell c: the
  // record of that object is the cause of its writes (the cab-code pass).
  void per_conto_di(size_t c) {
    per_conto_di_ = true;
    cella_causa_ = c;
    causa_nota_ = false;
  }
  // Told by the model: a field of a cell's object, or of a row, changed.
  void cella(size_t c, CampoCella campo) { annota(false, static_cast<uint8_t>(campo), c); }
  void riga(size_t r, CampoRiga campo) { annota(true, static_cast<uint8_t>(campo), r); }

  // The record that placed the object of cell c, or last changed row r
  // (file nessuno for none): as the journal's owners.
  Luogo luogo_cella(size_t c) const;
  Luogo luogo_riga(size_t r) const;
  // The record behind the later of the last change to field `campo` of row r
  // and to field `valore` of cell c (the row's on a tie).
  Luogo ultima(size_t r, CampoRiga campo, size_t c, CampoCella valore) const;

 private:
  struct Origine {
    bool riga = false;
    uint8_t campo = 0;
    size_t indice = 0;
    uint32_t ordine = 0;  // of the record or step that wrote
    Luogo luogo;          // whose the write is; nessuno for a step's own
  };
  void annota(bool riga, uint8_t campo, size_t indice);
  const Origine* ultima_di(bool riga, size_t indice, uint8_t campo) const;

  std::vector<Origine> origini_;
  uint32_t ordine_ = 0;
  Luogo luogo_;
  bool per_conto_di_ = false;
  size_t cella_causa_ = 0;
  bool causa_nota_ = false;
  Luogo causa_;
};

// The kilometre progressives of rows 81 to 83 by identity: after the
// ordering, row 81 + k holds the numbers read into row 81 + da[k] (none: it
// was cleared).
using OrigineProgressive = std::array<std::optional<size_t>, 3>;

// The fields each progressive row's numbers were read from (first number,
// second number, flag), followed through the ordering, journal or none: the
// progressive behind error 2 is the one whose numbers the row holds, never
// one found by its values.
class ProgressiveLette {
 public:
  // The record whose fields are `campi` wrote row 81 + k.
  void letta(size_t k, const std::array<Luogo, 3>& campi) {
    if (k < lette_.size()) lette_[k] = campi;
  }
  // The ordering moved the rows' numbers: row 81 + k now holds those of
  // row 81 + da[k].
  void ordina(const OrigineProgressive& da) {
    ordinate_ = true;
    const std::array<std::array<Luogo, 3>, 3> prima = lette_;
    for (size_t k = 0; k < lette_.size(); ++k)
      lette_[k] = da[k] ? prima[*da[k]] : std::array<Luogo, 3>{};
  }
  // The fields row 81 + k's numbers were read from (file nessuno: none).
  const std::array<Luogo, 3>& campi(size_t k) const { return lette_[k]; }
  // Whether the ordering ran (and a flag of 1 added its 100).
  bool ordinate() const { return ordinate_; }

 private:
  std::array<std::array<Luogo, 3>, 3> lette_{};
  bool ordinate_ = false;
};

// What watches a model's writes: the journal, or, without one, where the
// values came from. It is not part of the model's value: models compare
// equal whoever watches them, and a copy is watched by nobody.
class Osservatore {
 public:
  Osservatore() = default;
  Osservatore(const Osservatore&) {}
  Osservatore& operator=(const Osservatore&) { return *this; }
  bool operator==(const Osservatore&) const { return true; }

  Giornale* giornale = nullptr;
  Provenienza provenienza;  // kept only while no journal watches
  ProgressiveLette progressive;
};

// What a compilation produces: the cells, the table and the plan. The header
// data lives in rows 81 to 86 of the table and in cell 1.
//
// The compile writes a stored field only through `scrivi_cella`,
// `riempi_celle`, `scrivi_riga`, `scrivi_nome` and `crea_tratti`, and looks at the cells and
// rows it is about to judge through `cella` and `riga`: a journal watching
// the model is told of each write as it is made, old and new value, and of
// every cell and row a record reached. Readers may use the members directly.
struct Modello {
  std::vector<tratto> tratti;  // cells 0 to n; empty until the route length is read
  Tabella tabella{};
  Geometria geometria;  // made only when the plan is wanted
  Osservatore osservatore;

  bool operator==(const Modello&) const = default;

  // From now on `g` is told of every write (nullptr: nobody is). The journal
  // reads the model back while it watches it.
  void osserva(Giornale* g);

  // The last cell index n. REQUIRES: the cells exist (otherwise GuastoInatteso).
  int32_t ultima_cella() const;
  // Cell i, as the compile looks at it before writing; an unexpected
  // failure (GuastoInatteso) when i is outside 0 to n.
  const tratto& cella(int64_t i);
  // Field `campo` of cell i takes v, cut to the field's width; the same
  // failure outside 0 to n.
  void scrivi_cella(int64_t i, CampoCella campo, int64_t v);
  // Field `campo` of the cells da to a - 1 takes v: the writes of
  // scrivi_cella one cell at a time, upward, and the same failure at the
  // first cell outside 0 to n, once the cells before it are written.
  void riempi_celle(int64_t da, int64_t a, CampoCella campo, int64_t v);
  // Row r, as the compile looks at it. REQUIRES: r < kRigheTabella.
  const voce& riga(size_t r);
  // Field `campo` of row r takes x, cut to the field's width (not `nome`).
  // REQUIRES: r < kRigheTabella.
  void scrivi_riga(size_t r, CampoRiga campo, int64_t x);
  // The text of row r.
  void scrivi_nome(size_t r, std::string nome);
  // Every field of row r takes the value of v, one write each.
  void scrivi_voce(size_t r, const voce& v);
  // Makes the cells 0 to n anew, all empty.
  void crea_tratti(size_t celle);
  // The position bound of a record: true when (p + margine) / 50 lies beyond
  // the last cell.
  bool oltre_limite(int64_t p, int64_t margine) const;

 private:
  tratto& cella_esistente(int64_t i);
};

}  // namespace calvetra

#endif  // CALVETRA_MODEL_RECORDS_H_
