// The diagnostics of a check as the protocol carries them, and the quick
// fixes that they know, as edits of the editor's text.
#ifndef CALVETRA_TOOLS_SCENARIO_LSP_DIAGNOSI_H_
#define CALVETRA_TOOLS_SCENARIO_LSP_DIAGNOSI_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
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

// The name of the diagnostic, at the first line of a source, about the
// encoding of its file on the disk.
inline constexpr const char* kCodifica = "codifica";

// What the file of a source on the disk, `sul_disco`, says of the editor
// that holds it as `buffer_utf8`: an error at the first line for a file in
// UTF-16, a warning for one in UTF-8 that holds the buffer's text (the
// editor read or saved it so); nothing for a file in Windows-1252. `salvato`:
// looked at after a save.
std::optional<Json> codifica_sul_disco(std::string_view sul_disco, std::string_view buffer_utf8,
                                       bool salvato);

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
