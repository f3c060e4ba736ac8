// An author's two sources as found in a directory, compiled in memory, and
// where the objects of that compilation came from in them; and the near
// misses of a source that is not where the tool looked.
#ifndef CALVETRA_TOOLS_SCENARIO_COMUNE_SORGENTI_H_
#define CALVETRA_TOOLS_SCENARIO_COMUNE_SORGENTI_H_

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "compile/compilazione.h"
#include "fields/lettore_campi.h"
#include "model/costanti.h"
#include "model/diagnostica.h"
#include "model/giornale.h"
#include "model/records.h"
#include "platform/piattaforma.h"
#include "scenario/comune/json.h"

namespace calvetra::scenario {

struct SorgenteAutore {
  std::string percorso;
  std::optional<std::string> testo;  // empty when the file does not exist
};

struct SorgentiAutore {
  SorgenteAutore linea;
  SorgenteAutore treno;

  bool qualcuna() const { return linea.testo || treno.testo; }
  // The source a diagnostic or an object points into; nullptr for none.
  const SorgenteAutore* di(FileSorgente f) const;
};

// Reads the sources of `nomi` in `cartella` (a missing one stays empty).
// False with `errore` set when one exists but cannot be read.
bool leggi_sorgenti(Piattaforma* disco, const std::string& cartella, const NomiScenario& nomi,
                    SorgentiAutore* s, std::string* errore);

// What a source in UTF-16 is told, at its first line.
inline constexpr const char* kUtf16 = "il file e' in UTF-16: salvalo come Windows-1252";

// Compiles the texts in place: the author's files are never touched. A
// source in UTF-16 is refused (FineCompilazione::rifiutata) with a fatal
// diagnostic at its first line, and nothing is compiled. The tools compile
// through ScenarioCompilato (compilato.h), which keeps this beside the
// sources and their line indexes.
Compilazione compila_sorgenti(const SorgentiAutore& s, const NomiScenario& nomi,
                              const OpzioniCompilazione& opzioni);

// A place in the sources as the tools show it.
struct LuogoMostrato {
  std::string file;  // the file name, without its directory
  int riga = 0;
  int colonna = 0;
  size_t offset = 0;
  std::string testo;  // the whole source line, Windows-1252
};
// The files in `cartella` whose names are nearly `nome`, in name order: they
// differ only in letter case, hyphens, blanks or extensions (`.txt.txt`
// too), or by a letter or two; binary scenario files (.dat, .sim) aside
// (`Calvetra_2718 - 5340.txt` for `Calvetra_2718 - 5340-.txt`).
std::vector<std::string> nomi_vicini(Piattaforma* disco, const std::string& cartella,
                                     const std::string& nome);
// The notes under a missing source `quale` of `nomi`: the files of nearly its
// name, and the sources of other scenarios in the directory with the
// `--linea` or `--treni` that picks them.
std::vector<std::string> note_mancante(Piattaforma* disco, const std::string& cartella,
                                       const NomiScenario& nomi, FileSorgente quale);

// Without its train source a scenario is not compiled at all (calvetra
// would end on an unexpected failure and still write its files): when `s`
// has the line source and not the train source, says so on `err` with the
// notes of note_mancante and returns true; every command that compiles
// ends there with status 1.
bool treno_mancante(Piattaforma* disco, const std::string& cartella, const NomiScenario& nomi,
                    const SorgentiAutore& s, std::ostream& err);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMUNE_SORGENTI_H_
