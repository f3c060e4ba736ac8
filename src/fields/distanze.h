// Edit distances between words, for the "did you mean" of the warnings.
#ifndef CALVETRA_FIELDS_DISTANZE_H_
#define CALVETRA_FIELDS_DISTANZE_H_

#include <cstddef>
#include <string_view>

namespace calvetra {

// Edits (insert, delete, change one letter, swap two neighbours) that turn
// `a` into `b`, letter case ignored.
size_t distanza_modifica(std::string_view a, std::string_view b);
// The same, but `tetto` for any distance of `tetto` or more: it stops as soon
// as the distance cannot come below it, and needs no memory of its own for
// words of up to 63 letters.
size_t distanza_entro(std::string_view a, std::string_view b, size_t tetto);

}  // namespace calvetra

#endif  // CALVETRA_FIELDS_DISTANZE_H_
