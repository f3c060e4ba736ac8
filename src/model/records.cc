#include "model/records.h"

#include <bit>
#include <string>

#include "model/giornale.h"
#include "model/numeri.h"

namespace calvetra {

void Geometria::crea(int32_t T) {
  metri_ = T + 1;
  x_.clear();
  y_.clear();
  if (!senza_coordinate_) {
    x_.reserve(static_cast<size_t>(metri_));
    y_.reserve(static_cast<size_t>(metri_));
  }
  seminata_ = false;
  prossimo_ = 0;
}

void Geometria::semina() {
  x_.assign({0.0, 0.0});
  y_.assign({0.0, 1.0});
  seminata_ = true;
  prossimo_ = 2;
}

bool Geometria::operator==(const Geometria& o) const {
  if (metri_ != o.metri_ || seminata_ != o.seminata_ || prossimo_ != o.prossimo_ ||
      x_.size() != o.x_.size()) {
    return false;
  }
  // Only the seeds and the computed metres hold values; compare their bits so
  // that -0.0 and NaN count as what they are in the file.
  const size_t pieni = seminata_ ? x_.size() : 0;
  for (size_t m = 0; m < pieni; ++m) {
    if (std::bit_cast<uint64_t>(x_[m]) != std::bit_cast<uint64_t>(o.x_[m]) ||
        std::bit_cast<uint64_t>(y_[m]) != std::bit_cast<uint64_t>(o.y_[m])) {
      return false;
    }
  }
  return true;
}

int32_t Modello::ultima_cella() const {
  if (tratti.empty()) throw GuastoInatteso("le celle del percorso non esistono ancora");
  return static_cast<int32_t>(tratti.size()) - 1;
}

void Modello::osserva(Giornale* g) {
  if (osservatore.giornale != nullptr) osservatore.giornale->modello_ = nullptr;
  osservatore.giornale = g;
  if (g != nullptr) g->modello_ = this;
}

tratto& Modello::cella(int64_t i) {
  if (i < 0 || i > ultima_cella()) {
    throw GuastoInatteso("cella " + std::to_string(i) + " fuori dal percorso");
  }
  tratto& t = tratti[static_cast<size_t>(i)];
  if (osservatore.giornale != nullptr) osservatore.giornale->tocca_cella(static_cast<size_t>(i), t);
  return t;
}

voce& Modello::riga(size_t r) {
  voce& v = tabella[r];
  if (osservatore.giornale != nullptr) osservatore.giornale->tocca_riga(r, v);
  return v;
}

void Modello::crea_tratti(size_t celle) {
  if (osservatore.giornale != nullptr) osservatore.giornale->crea_celle(celle);
  tratti.assign(celle, tratto{});
}

bool Modello::oltre_limite(int64_t p, int64_t margine) const {
  return p + margine > int64_t{kMetriCella} * ultima_cella();
}

}  // namespace calvetra
