#include "model/records.h"

namespace calvetra {

void Geometria::crea(int32_t T) {
  const auto metri = static_cast<size_t>(T) + 1;
  x_.assign(metri, 0.0);
  y_.assign(metri, 0.0);
  seminata_ = false;
  prossimo_ = 0;
}

void Geometria::semina() {
  x_[0] = 0.0;
  y_[0] = 0.0;
  x_[1] = 0.0;
  y_[1] = 1.0;
  seminata_ = true;
  prossimo_ = 2;
}

}  // namespace calvetra
