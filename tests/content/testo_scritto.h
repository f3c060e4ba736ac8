// Test support for the text writers: run one writer in a temporary directory
// and read back the lines of the file it leaves.
#ifndef CALVETRA_TESTS_CONTENT_TESTO_SCRITTO_H_
#define CALVETRA_TESTS_CONTENT_TESTO_SCRITTO_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "run/form1.h"
#include "support/cartella_temporanea.h"

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

// Runs `scrittore` of a run with this build's names and returns the lines of
// `nome_file` (empty when the file is missing or not CR LF text).
inline std::vector<std::string> scrivi_e_leggi(void (Form1::*scrittore)(),
                                               const std::string& nome_file) {
  PiattaformaDiProva piattaforma;
  Form1 f(&piattaforma);
  f.nome_linea = "Calvetra";
  f.nome_treni = "2718 - 5340";
  (f.*scrittore)();
  return righe_crlf(piattaforma.leggi_file(nome_file)).value_or(std::vector<std::string>{});
}

// The fields of a line cut at its commas, blanks around each field removed.
inline std::vector<std::string> campi(std::string_view riga) {
  std::vector<std::string> out;
  size_t inizio = 0;
  for (;;) {
    const size_t virgola = riga.find(',', inizio);
    std::string_view c = riga.substr(inizio, virgola == std::string_view::npos
                                                 ? std::string_view::npos
                                                 : virgola - inizio);
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
