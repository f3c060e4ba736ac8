// What the editor asks of a checked scenario: hover, completion, signature
// help and the outline of a source. Records are found through the readings
// the compile noted (Giornale::records), described by the record
// catalogues and their stored values decoded by model/significato.h.
#ifndef CALVETRA_TOOLS_SCENARIO_LSP_FUNZIONI_H_
#define CALVETRA_TOOLS_SCENARIO_LSP_FUNZIONI_H_

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The field of record `r` (of kind `d`) that a character typed at `i`
// would join, as the field reader counts: its index (-1 for the keyword
// field), the field as the reader takes it, and whether it stands on a line
// after the keyword's. Nothing before the record, past its last field, or on
// a line after its own beyond the fields the compile read.
struct CampoAlCursore {
  int indice = -1;
  Campo campo;
  bool riga_dopo = false;
};
std::optional<CampoAlCursore> campo_al_cursore(const Giornale& g, std::string_view testo,
                                               const RecordRegistrato& r,
                                               const DescrizioneRecord& d, size_t i);
// The field that the reading of `r` (a record of journal `g`) takes just
// before its first: its keyword field or, when a keyword names several
// records, the last field of the record read before it from that keyword.
Campo campo_prima(const Giornale& g, std::string_view testo, const RecordRegistrato& r);
// The last record of `file` whose keyword stands at or before `i` and that
// names a catalogue entry; of the records one keyword names, the one whose
// fields `i` is in.
const RecordRegistrato* record_prima(const Analisi& a, FileSorgente file, size_t i);

// "textDocument/hover": Markdown, or null away from any record.
Json hover(const Analisi& a, FileSorgente file, size_t i);
// "textDocument/completion": the keywords of the records valid at `i`, only
// where a keyword can stand (not in a number, a text or a section's name,
// nor before the first section), each inserted as a record that compiles.
Json completamento(const Analisi& a, FileSorgente file, size_t i, bool snippet);
// "textDocument/signatureHelp": the record at `i` and the field being typed.
Json firma(const Analisi& a, FileSorgente file, size_t i);
// "textDocument/inlayHint": the field name before each value of the
// records with more than two fields whose keyword lies in [da, a).
Json nomi_dei_campi(const Analisi& a, FileSorgente file, size_t da, size_t a_);
// "textDocument/foldingRange": one range a section, from its header to its
// last line that is not blank.
Json pieghe(const Analisi& a, FileSorgente file);
// "textDocument/documentSymbol": the sections, and in them every record
// with its values in its name (a station by its own name), and its km;
// written as JSON text.
std::string simboli(const Analisi& a, FileSorgente file);

// "workspace/symbol": the records of both sources (stations by their name,
// signs with their text) whose outline name holds `cerca`, letter case
// aside.
Json simboli_dello_scenario(const Analisi& a, std::string_view cerca);

// "textDocument/definition" from the place of a diagnostic: the records
// its notes name that were compiled, the ones in the way of the record it is
// about (the cell's signal, the previous curve); null elsewhere.
Json definizione(const Analisi& a, FileSorgente file, size_t i);

// The semantic tokens, numbered as their legend lists them. `spostato` is
// this server's own: a value read in the place of another, where a comma is
// missing or a column is one too many (an editor can give it a look of its
// own, `@lsp.type.spostato` in Neovim).
enum class TipoGettone { parola_chiave, numero, testo, ignorato, spostato };
inline constexpr std::array<const char*, 5> kLegendaGettoni = {"keyword", "number", "string",
                                                               "comment", "spostato"};
// "textDocument/semanticTokens/full": each keyword, value and passed-over
// field the compile read, on one line; the values a record read past its
// own line, and a text that took the number of the column before it, are
// shifted.
Json gettoni(const Analisi& a, FileSorgente file);

// One rewrite of a source: its characters [inizio, fine) become `testo`
// (Windows-1252).
struct Riscrittura {
  size_t inizio = 0;
  size_t fine = 0;
  std::string testo;
};
// The columns of each section aligned, for the records of one kind: the
// blanks after each comma only, every value's bytes, the line ends and what
// follows a record kept. A record that shares its line, runs across lines,
// holds a quote or is separated otherwise than by commas is left as written.
// In order, none overlapping.
std::vector<Riscrittura> allinea(std::string_view testo, const Giornale& g, FileSorgente file);
std::string applica(std::string_view testo, const std::vector<Riscrittura>& r);
// "textDocument/formatting": allinea as edits of the editor's buffer.
Json formatta(const Analisi& a, FileSorgente file);

}  // namespace calvetra::scenario::lsp

#endif  // CALVETRA_TOOLS_SCENARIO_LSP_FUNZIONI_H_
