// Text helpers of the author tools: the sources and the files hold 8-bit
// Windows-1252 text, while terminals, JSON and SVG want UTF-8.
#ifndef CALVETRA_TOOLS_SCENARIO_COMUNE_TESTO_H_
#define CALVETRA_TOOLS_SCENARIO_COMUNE_TESTO_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/caratteri.h"

namespace calvetra::scenario {

// Windows-1252 to UTF-8, one character for one byte. The five bytes that the
// code page leaves undefined become U+FFFD.
std::string utf8_da_1252(std::string_view testo);

// A UTF-8 text (an editor's buffer) as Windows-1252, one byte a code point:
// a character the code page cannot hold becomes '?' and its index (the byte
// offset it takes in the result) is listed, with the character it was.
struct Testo1252 {
  std::string testo;
  std::vector<size_t> non_rappresentabili;
  std::vector<uint32_t> mancanti;  // the code point of each, in the same order
};
Testo1252 utf8_a_1252(std::string_view utf8);

// Character data or an attribute value for XML, from a Windows-1252 text.
// Control characters that XML does not allow become '?'.
std::string testo_xml(std::string_view testo_1252);

// A double with a fixed number of decimals, for SVG coordinates and the
// samples of a plan; "0" when it is not finite.
std::string decimali(double v, int cifre);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMUNE_TESTO_H_
