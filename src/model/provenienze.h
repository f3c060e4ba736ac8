// Where the objects of a model came from: for each cell and each table row
// that a source record changed, the place of that record's keyword field.
// The author tools use it to lead from an object back to its source line; the
// model and the files are the same with or without it.
//
// A reading credits records by difference: it shows the model before the
// first record (`osserva`) and after each one (`accredita`), and every cell
// whose object part (kind, values, time) or row that changed since the last
// look goes to that record. The byte fields that stretches fill (speed,
// gradient, adhesion, mountain class, approach codes) credit nobody.
//
// The cab-code pass runs after every record has been read: what it marks or
// lowers it tells here itself, with the cell whose object (a slowdown's
// start or warning board) caused it, so that its code reductions lead back to
// that slowdown's record and say that the pass derived them.
#ifndef CALVETRA_MODEL_PROVENIENZE_H_
#define CALVETRA_MODEL_PROVENIENZE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "model/costanti.h"
#include "model/diagnostica.h"
#include "model/records.h"

namespace calvetra {

// A record as its reading met it: its keyword field, its name in the
// record catalogue and where each field it read begins, in order. The editor
// features find the record under the cursor through these, so they never
// read a source a second way.
struct RecordRegistrato {
  Luogo chiave;
  std::string_view nome;  // the catalogue's own name: it outlives every reading
  std::vector<size_t> campi;
};

class Provenienze {
 public:
  // Takes the model as it stands as the point of comparison, crediting nobody.
  void osserva(const Modello& m);
  // Credits every cell and row changed since the last look to `record`.
  void accredita(const Modello& m, Luogo record);

  // What the cab-code pass did to a cell.
  enum class Derivazione : uint8_t {
    nessuna,    // nothing: the cell is as its records left it
    posta,      // a code reduction placed in a free cell
    abbassata,  // an existing code reduction lowered to the pass's value
  };
  // The pass placed (`posta`) or lowered a code reduction in cell c because of
  // the object in cell `causa`. A placed cell goes to the record of that
  // object; a lowered one stays with the record that placed it.
  void deriva(size_t c, size_t causa, Derivazione come);

  // The record that last changed cell c or row r; file nessuno for none.
  Luogo cella(size_t c) const { return c < celle_.size() ? celle_[c] : Luogo{}; }
  Luogo riga(size_t r) const { return r < righe_.size() ? righe_[r] : Luogo{}; }
  // What the cab-code pass did to cell c, and the record whose object made it.
  Derivazione derivazione(size_t c) const {
    return c < derivazioni_.size() ? derivazioni_[c] : Derivazione::nessuna;
  }
  Luogo causa(size_t c) const { return c < cause_.size() ? cause_[c] : Luogo{}; }

  // Every record read, in the order of reading (line source first).
  void registra(RecordRegistrato r) { letti_.push_back(std::move(r)); }
  const std::vector<RecordRegistrato>& letti() const { return letti_; }

 private:
  std::vector<Luogo> celle_;
  std::vector<Derivazione> derivazioni_;
  std::vector<Luogo> cause_;
  std::array<Luogo, kRigheTabella> righe_{};
  std::vector<tratto> tratti_visti_;
  Tabella tabella_vista_{};
  std::vector<RecordRegistrato> letti_;
};

// "posta", "abbassata"; "" for nessuna.
const char* nome_derivazione(Provenienze::Derivazione d);

}  // namespace calvetra

#endif  // CALVETRA_MODEL_PROVENIENZE_H_
