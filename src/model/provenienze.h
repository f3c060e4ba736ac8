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
#include <vector>

#include "model/costanti.h"
#include "model/diagnostica.h"
#include "model/records.h"

namespace calvetra {

class Provenienze {
 public:
  // Takes the model as it stands as the point of comparison, crediting nobody.
  void osserva(const Modello& m);
  // Credits every cell and row changed since the last look to `record`.
  void accredita(const Modello& m, Luogo record);

  // The record that last changed cell c or row r; file nessuno for none.
  Luogo cella(size_t c) const { return c < celle_.size() ? celle_[c] : Luogo{}; }
  Luogo riga(size_t r) const { return r < righe_.size() ? righe_[r] : Luogo{}; }

 private:
  std::vector<Luogo> celle_;
  std::array<Luogo, kRigheTabella> righe_{};
  std::vector<tratto> tratti_visti_;
  Tabella tabella_vista_{};
};

}  // namespace calvetra

#endif  // CALVETRA_MODEL_PROVENIENZE_H_
