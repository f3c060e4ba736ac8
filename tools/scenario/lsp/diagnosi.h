// The diagnostics of a check as the protocol carries them, and the quick
// fixes that they know, as edits of the editor's text.
#ifndef CALVETRA_TOOLS_SCENARIO_LSP_DIAGNOSI_H_
#define CALVETRA_TOOLS_SCENARIO_LSP_DIAGNOSI_H_

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "scenario/comune/json.h"
#include "scenario/lsp/analisi.h"

namespace calvetra::scenario::lsp {

// The name of the warning about a character of the buffer that the file,
// in Windows-1252, cannot hold.
inline constexpr const char* kNonRappresentabile = "carattere_non_1252";
// The name of the error, shown on the source the editor holds, about the
// other source of the pair that does not exist.
inline constexpr const char* kSorgenteMancante = "sorgente-mancante";

// The "textDocument/publishDiagnostics" parameters of both sources, line
// source first: an empty list for a source without diagnostics, so a fix
// clears what was shown.
std::vector<Json> pubblicazioni(const Analisi& a);

// The range of `lunghezza` characters from character `inizio` of a source.
Json intervallo(const Fonte& f, size_t inizio, size_t lunghezza);

// The quick fixes of the diagnostics of source `file` that touch the
// characters `da` to `a`, as code actions.
Json azioni(const Analisi& a, FileSorgente file, size_t da, size_t fino);

}  // namespace calvetra::scenario::lsp

#endif  // CALVETRA_TOOLS_SCENARIO_LSP_DIAGNOSI_H_
