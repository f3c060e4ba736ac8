// Text helpers of the author tools: the sources and the files hold 8-bit
// Windows-1252 text, while terminals, JSON and SVG want UTF-8.
#ifndef CALVETRA_TOOLS_SCENARIO_COMUNE_TESTO_H_
#define CALVETRA_TOOLS_SCENARIO_COMUNE_TESTO_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace calvetra::scenario {

// Windows-1252 to UTF-8, one character for one byte. The five bytes that the
// code page leaves undefined become U+FFFD.
std::string utf8_da_1252(std::string_view testo);

// The code point of one Windows-1252 byte (U+FFFD for the five undefined).
uint32_t punto_di_codice_1252(unsigned char c);

// The next code point of a UTF-8 text from byte `*i`, which moves past it; a
// byte that starts no valid sequence is taken alone, as U+FFFD.
// REQUIRES: *i < testo.size().
uint32_t prossimo_utf8(std::string_view testo, size_t* i);

// A UTF-8 text (an editor's buffer) as Windows-1252, one byte a code point:
// a character the code page cannot hold becomes '?' and its index (the byte
// offset it takes in the result) is listed.
struct Testo1252 {
  std::string testo;
  std::vector<size_t> non_rappresentabili;
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
