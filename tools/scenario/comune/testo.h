// Text helpers of the author tools: the sources and the files hold 8-bit
// Windows-1252 text, while terminals, JSON and SVG want UTF-8.
#ifndef CALVETRA_TOOLS_SCENARIO_COMUNE_TESTO_H_
#define CALVETRA_TOOLS_SCENARIO_COMUNE_TESTO_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace calvetra::scenario {

// Windows-1252 to UTF-8, one character for one byte. The five bytes that the
// code page leaves undefined become U+FFFD.
std::string utf8_da_1252(std::string_view testo);

// Character data or an attribute value for XML, from a Windows-1252 text.
// Control characters that XML does not allow become '?'.
std::string testo_xml(std::string_view testo_1252);

// A double with a fixed number of decimals, for SVG coordinates and the
// samples of a plan; "0" when it is not finite.
std::string decimali(double v, int cifre);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMUNE_TESTO_H_
