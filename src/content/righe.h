// The line list shared by the text writers, and the padding rules of the
// fixed-width documents.
#ifndef CALVETRA_CONTENT_RIGHE_H_
#define CALVETRA_CONTENT_RIGHE_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace calvetra {

// Makes the line list anew: `testo` from slot 0 on, the end marker in the slot
// after the last line, every other slot empty. Throws std::length_error when
// the text leaves no slot for the marker.
void carica_righe(std::vector<std::string>* righe, const std::vector<std::string>& testo);

// `testo` padded with blanks to `larghezza`: before it, after it, or on both
// sides (the odd blank after it). A longer text is returned whole, so a
// misfit shows up as a wrong line width rather than as a cut word.
std::string a_destra(std::string_view testo, size_t larghezza);
std::string a_sinistra(std::string_view testo, size_t larghezza);
std::string al_centro(std::string_view testo, size_t larghezza);

}  // namespace calvetra

#endif  // CALVETRA_CONTENT_RIGHE_H_
