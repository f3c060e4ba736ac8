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
#ifndef CALVETRA_MODEL_PROVENIENZE_H_
#define CALVETRA_MODEL_PROVENIENZE_H_

#include <array>
#include <cstddef>
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
struct RecordLetto {
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

  // The record that last changed cell c or row r; file nessuno for none.
  Luogo cella(size_t c) const { return c < celle_.size() ? celle_[c] : Luogo{}; }
  Luogo riga(size_t r) const { return r < righe_.size() ? righe_[r] : Luogo{}; }

  // Every record read, in the order of reading (line source first).
  void registra(RecordLetto r) { letti_.push_back(std::move(r)); }
  const std::vector<RecordLetto>& letti() const { return letti_; }

 private:
  std::vector<Luogo> celle_;
  std::array<Luogo, kRigheTabella> righe_{};
  std::vector<tratto> tratti_visti_;
  Tabella tabella_vista_{};
  std::vector<RecordLetto> letti_;
};

}  // namespace calvetra

#endif  // CALVETRA_MODEL_PROVENIENZE_H_
