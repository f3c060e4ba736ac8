// Whole-number helpers shared by every subsystem: rounding half to even,
// range-checked stores into 8-, 16- and 32-bit fields, and the low-bit
// truncations that some fields keep on purpose.
#ifndef CALVETRA_MODEL_NUMERI_H_
#define CALVETRA_MODEL_NUMERI_H_

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

namespace calvetra {

// An unexpected failure inside the parser: reading past the end of a file,
// a value that does not fit its field, an index outside the arrays. Each
// parser phase catches it at its top, records code 25 at the field being read
// and returns; it never leaves a phase.
//
// It is an exception rather than a returned code because it can arise at
// every read, every store into a narrow field and every cell access (well
// over a hundred places), and the system ends the whole phase on any of them:
// a code returned through each would put a check after every one of those
// steps, and a check forgotten would let a half-read record go on.
class GuastoInatteso : public std::runtime_error {
 public:
  explicit GuastoInatteso(const std::string& motivo) : std::runtime_error(motivo) {}
};

// a / b rounded to the nearest integer, halves to the even neighbour, computed
// exactly. REQUIRES: b > 0 and |a| well below the int64 range.
constexpr int64_t arrotonda_div(int64_t a, int64_t b) {
  int64_t q = a / b;
  int64_t r = a % b;
  if (r < 0) {  // floor division
    q -= 1;
    r += b;
  }
  const int64_t doppio = 2 * r;
  if (doppio > b || (doppio == b && (q % 2 != 0))) q += 1;
  return q;
}

template <typename T>
constexpr bool sta_in(int64_t v) {
  return v >= static_cast<int64_t>(std::numeric_limits<T>::min()) &&
         v <= static_cast<int64_t>(std::numeric_limits<T>::max());
}

// Stores v into a field of type T, or fails when it does not fit.
template <typename T>
T in_campo(int64_t v, const char* campo) {
  if (!sta_in<T>(v)) {
    using L = std::numeric_limits<T>;
    throw GuastoInatteso(std::string("il valore ") + std::to_string(v) + " non entra in " + campo +
                         " (da " + std::to_string(int64_t{L::min()}) + " a " +
                         std::to_string(int64_t{L::max()}) + ")");
  }
  return static_cast<T>(v);
}

// The low 8 or 16 bits, for the fields that keep only those.
constexpr uint8_t basso_8(int64_t v) {
  return static_cast<uint8_t>(static_cast<uint64_t>(v) & 0xFFu);
}
constexpr int16_t basso_16(int64_t v) {
  const auto u = static_cast<uint16_t>(static_cast<uint64_t>(v) & 0xFFFFu);
  return static_cast<int16_t>(u);  // two's complement reinterpretation (C++20)
}

}  // namespace calvetra

#endif  // CALVETRA_MODEL_NUMERI_H_
