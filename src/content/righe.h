// The line list shared by the text writers, and the padding rules of the
// fixed-width documents.
#ifndef CALVETRA_CONTENT_RIGHE_H_
#define CALVETRA_CONTENT_RIGHE_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace calvetra {

// The line list: a fixed number of text slots, the text closed by an end marker.
using Righe = std::vector<std::string>;
inline constexpr size_t kSlotRighe = 1001;
inline constexpr const char* kFineRighe = "riferimento fine del file";

// The bytes of the file the list is written as: every slot up to the end
// marker, each followed by CR LF.
std::string testo_righe(const Righe& righe);

// Makes the line list anew: `testo` from slot 0 on, the end marker in the slot
// after the last line, every other slot empty. Throws std::length_error when
// the text leaves no slot for the marker.
void carica_righe(Righe* righe, const std::vector<std::string>& testo);

// `testo` padded with blanks to `larghezza`: before it, after it, or on both
// sides (the odd blank after it). A longer text is returned whole, so a
// misfit shows up as a wrong line width rather than as a cut word.
std::string a_destra(std::string_view testo, size_t larghezza);
std::string a_sinistra(std::string_view testo, size_t larghezza);
std::string al_centro(std::string_view testo, size_t larghezza);

}  // namespace calvetra

#endif  // CALVETRA_CONTENT_RIGHE_H_
