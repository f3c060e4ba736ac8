// The timetable card: the layout of its place rows.
#ifndef CALVETRA_CONTENT_SCHEDA_H_
#define CALVETRA_CONTENT_SCHEDA_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace calvetra {

// The two tables of the card set their progressives apart: the first train's
// with the kilometre units digit in the sixth character of the field, the
// second train's one character further left.
enum class Impaginazione { primo_treno, secondo_treno };

// One place of a train's run as the card shows it.
struct Localita {
  int32_t lim;          // speed limit in km/h from here on; 0 when unchanged
  int32_t marc;         // the "marc." speed, given with the limit; 0 when unchanged
  int32_t progressiva;  // metres, not negative; 0 is written as a bare "0"
  std::string_view nome;
  // Times as "8.01". The origin has no arrival, the end of the run no
  // departure; a place passed without stopping has the arrival "--.--".
  std::string_view arrivo;
  std::string_view partenza;
  std::string_view recupero;  // minutes with a decimal comma; "" for none
};

inline constexpr std::string_view kTransito = "--.--";

// The 83-character row " |" + seven fields and their bars + "|".
std::string riga_localita(Impaginazione impaginazione, const Localita& l);

}  // namespace calvetra

#endif  // CALVETRA_CONTENT_SCHEDA_H_
