// Test support for the text writers: the lines of the file one writer makes.
#ifndef CALVETRA_TESTS_CONTENT_TESTO_SCRITTO_H_
#define CALVETRA_TESTS_CONTENT_TESTO_SCRITTO_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "content/righe.h"

namespace calvetra::test {

// The lines of a text whose every line ends with CR LF; nullopt when a line
// end of another kind occurs or the last line has no CR LF.
inline std::optional<std::vector<std::string>> righe_crlf(std::string_view testo) {
  std::vector<std::string> righe;
  size_t inizio = 0;
  while (inizio < testo.size()) {
    const size_t cr = testo.find_first_of("\r\n", inizio);
    if (cr == std::string_view::npos || testo[cr] != '\r' || cr + 1 >= testo.size() ||
        testo[cr + 1] != '\n') {
      return std::nullopt;
    }
    righe.emplace_back(testo.substr(inizio, cr - inizio));
    inizio = cr + 2;
  }
  return righe;
}

// The lines of the file that `scrittore` makes (empty when it is not CR LF text).
inline std::vector<std::string> scrivi_e_leggi(Righe (*scrittore)()) {
  return righe_crlf(testo_righe(scrittore())).value_or(std::vector<std::string>{});
}

// The fields of a line cut at its commas, blanks around each field removed.
inline std::vector<std::string> campi(std::string_view riga) {
  std::vector<std::string> out;
  size_t inizio = 0;
  for (;;) {
    const size_t virgola = riga.find(',', inizio);
    std::string_view c = riga.substr(
        inizio, virgola == std::string_view::npos ? std::string_view::npos : virgola - inizio);
    while (!c.empty() && c.front() == ' ') c.remove_prefix(1);
    while (!c.empty() && c.back() == ' ') c.remove_suffix(1);
    out.emplace_back(c);
    if (virgola == std::string_view::npos) break;
    inizio = virgola + 1;
  }
  return out;
}

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_CONTENT_TESTO_SCRITTO_H_
