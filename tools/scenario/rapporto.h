// The reports of `scenario compile` and `scenario check`: every diagnostic of
// a compilation (errors, warnings and their notes) as located text for a
// terminal, or as one JSON document for scripts.
#ifndef CALVETRA_TOOLS_SCENARIO_RAPPORTO_H_
#define CALVETRA_TOOLS_SCENARIO_RAPPORTO_H_

#include <optional>
#include <string>
#include <vector>

#include "diagnostica.h"
#include "model/diagnostica.h"
#include "sorgenti.h"

namespace calvetra::scenario {

// The text of a source; empty when it does not exist.
inline std::string_view testo_di(const SorgenteAutore& s) {
  return s.testo ? std::string_view(*s.testo) : std::string_view();
}

// The two sources a report points into, with their line indexes.
struct SorgentiRapporto {
  SorgentiRapporto(const SorgenteAutore& l, const SorgenteAutore& t)
      : linea(l), treno(t), righe_linea(testo_di(l)), righe_treno(testo_di(t)) {}

  const SorgenteAutore& linea;
  const SorgenteAutore& treno;
  IndiceRighe righe_linea;
  IndiceRighe righe_treno;
};

// One diagnostic as text: the located line, the source line with a caret,
// then its notes. Ends with a newline.
std::string testo_diagnostico(const Diagnostico& d, const SorgentiRapporto& s, bool colore);

// What the JSON document holds besides the diagnostics.
struct RiepilogoJson {
  std::string comando;  // "compile" or "check"
  int stato = 0;
  int32_t codice_errore = 0;
  int32_t posizione_errore = 0;
  std::string fine;  // how the compilation ended
  int32_t errore_fatale = 0;
  std::vector<std::string> scritti;
  std::string motivo;  // why a file could not be written; empty otherwise
};

// The whole JSON document, with a newline at the end.
std::string documento_json(const std::vector<Diagnostico>& diagnostici, const SorgentiRapporto& s,
                           const RiepilogoJson& r);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_RAPPORTO_H_
