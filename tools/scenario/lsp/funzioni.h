// What the editor asks of a checked scenario: hover, completion, signature
// help and the outline of a source. Records are found through the readings
// the compile noted (Giornale::records), described by the record
// catalogues and their stored values decoded by model/significato.h.
#ifndef CALVETRA_TOOLS_SCENARIO_LSP_FUNZIONI_H_
#define CALVETRA_TOOLS_SCENARIO_LSP_FUNZIONI_H_

#include <cstddef>

#include "fields/catalogo.h"
#include "model/giornale.h"
#include "scenario/comune/json.h"
#include "scenario/lsp/analisi.h"

namespace calvetra::scenario::lsp {

// The record read at character `i` of source `file`: its reading, its
// catalogue entry, where it ends and which of its fields holds `i` (-1 for
// the keyword field).
struct RecordAlCursore {
  const RecordRegistrato* letto = nullptr;
  const DescrizioneRecord* record = nullptr;
  size_t fine = 0;
  int campo = -1;
};
std::optional<RecordAlCursore> record_al_cursore(const Analisi& a, FileSorgente file, size_t i);

// "textDocument/hover": Markdown, or null away from any record.
Json hover(const Analisi& a, FileSorgente file, size_t i);
// "textDocument/completion": the keywords of the records valid at `i`.
Json completamento(const Analisi& a, FileSorgente file, size_t i, bool snippet);
// "textDocument/signatureHelp": the record at `i` and the field being typed.
Json firma(const Analisi& a, FileSorgente file, size_t i);
// "textDocument/documentSymbol": the sections, and in them the stations
// (with their km), signals, slowdowns, curves and mountains.
Json simboli(const Analisi& a, FileSorgente file);

}  // namespace calvetra::scenario::lsp

#endif  // CALVETRA_TOOLS_SCENARIO_LSP_FUNZIONI_H_
