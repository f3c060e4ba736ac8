// Every JSON document of the tool (the compile report, dump --json, the data
// of the page of view) is built as a value of one JSON library and written
// by it. Texts of the scenario are Windows-1252 and enter a value only
// through `testo_json`, so every string of a document is UTF-8.
#ifndef CALVETRA_TOOLS_SCENARIO_COMUNE_JSON_H_
#define CALVETRA_TOOLS_SCENARIO_COMUNE_JSON_H_

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <utility>

#include "model/records.h"

namespace calvetra::scenario {

// Keys keep the order they were set in, the order the documents promise.
using Json = nlohmann::ordered_json;

// An empty object with room for `membri` members, to be set one by one. The
// library keeps an object's members in a vector whose elements (a constant
// key and its value) are copied, not moved, when it grows: a member that is
// itself an object or a list would be copied whole at each growth.
Json oggetto_json(size_t membri);
// Sets the member `chiave`, which `oggetto` (an object) does not have yet,
// to `valore`: at the end, with no copy and no search among the others, as
// `(*oggetto)[chiave] = valore` would make. For the documents made by the
// thousand (the page's records, the ranges of the diagnostics).
inline void metti_membro(Json* oggetto, std::string_view chiave, Json valore) {
  // The object's own vector: its operator[] and emplace search the members.
  Json::object_t::Container& membri = oggetto->get_ref<Json::object_t&>();
  membri.emplace_back(std::string(chiave), std::move(valore));
}

// A Windows-1252 text (a station name, a source line) as a UTF-8 string.
Json testo_json(std::string_view testo_1252);

// Appends the UTF-8 text `testo` to `s` as the JSON string the library
// writes for it (compact, UTF-8 kept, a malformed sequence replaced): for a
// reply written as text instead of as the library's objects.
void aggiungi_stringa_json(std::string* s, std::string_view testo);

// Sets the fields of a table row in `j`, in file order, named as in the
// table file: numbers as numbers, the name as UTF-8.
void metti_campi_voce(Json* j, const voce& v);

// The named values of the object of cell c, in the words of dump, as an
// object (cell 1's header slots are not its values).
Json json_significato(const tratto& t, size_t c);

// The name of the kind of cell c: "tipo sconosciuto" for a kind the
// compiler never writes, "intestazione" for cell 1 when it holds only the
// header slots.
std::string nome_cella(const tratto& t, size_t c);

// Cell c as dump and the page show it: its number, its kind by number and
// by name, its four values and time as stored, the position its source
// gave the object (`posizione`, metres), and "significato", the named values
// of the object.
Json json_cella(const tratto& t, size_t c, int64_t posizione);

// A JSON text from outside (an editor's message, a page's request), read
// at most `livelli` arrays and objects deep. Copying, comparing or writing
// a value recurses once a level, so a deeper text is refused whole while it
// is read, before any of it is kept: discarded, with `troppo_profondo` set.
// A text that is no JSON is discarded too, with it clear.
Json leggi_json_esterno(std::string_view testo, int livelli, bool* troppo_profondo);

// The document as text with a newline at the end: the first `livelli`
// levels of nesting one member a line, indented by two spaces a level, and
// each value below them on one line (a diagnostic, a row, a cell), so that
// a document reads and diffs a record a line. Non-finite numbers are null; a
// byte that is not UTF-8 (a path named in some other encoding) becomes
// U+FFFD rather than fail the whole document.
std::string scrivi_json(const Json& documento, int livelli);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMUNE_JSON_H_
