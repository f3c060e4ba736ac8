// How the author tools show text: the sources and the files hold 8-bit
// Windows-1252 text, while terminals, JSON and SVG want UTF-8. The
// conversions themselves, both ways, are the model's (model/caratteri.h);
// here is only what a person is shown.
#ifndef CALVETRA_TOOLS_SCENARIO_COMUNE_TESTO_H_
#define CALVETRA_TOOLS_SCENARIO_COMUNE_TESTO_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/caratteri.h"

namespace calvetra::scenario {

// Windows-1252 to UTF-8 for a person to read (a report, a hover, the
// outline): every character the code page defines as itself, a UTF-8
// sequence (a file saved as UTF-8) as the character it encodes, and a byte
// that is no character to read (one of the five undefined, a control
// character but the tab, line ends and DEL) said as an editor shows it,
// `<81>`, `<1B>`: neither lost nor sent to a terminal to act on.
std::string utf8_leggibile(std::string_view testo);
// A byte that `utf8_leggibile` shows as itself, in one column: printable
// ASCII.
inline bool ascii_stampabile(char c) { return c >= 0x20 && c < 0x7F; }
// The same, appended to `*out`.
void aggiungi_utf8_leggibile(std::string* out, std::string_view testo);
// How many columns `utf8_leggibile` gives what starts at byte `i` of
// `testo`: 4 for a byte it says, else 1; `*dopo` is the byte after it.
// REQUIRES: i < testo.size().
size_t colonne_leggibili(std::string_view testo, size_t i, size_t* dopo);

// Character data or an attribute value for XML, from a Windows-1252 text.
// Control characters that XML does not allow become '?'.
std::string testo_xml(std::string_view testo_1252);

// A double with a fixed number of decimals, for SVG coordinates and the
// samples of a plan; "0" when it is not finite.
std::string decimali(double v, int cifre);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMUNE_TESTO_H_
