// The table file NAME_PAIR.sim: the 87 rows of `tabella`, each packed in 34
// bytes plus its name. Layout: doc/formats.md, "Table file".
#ifndef CALVETRA_OUTPUT_FILE_TABELLA_H_
#define CALVETRA_OUTPUT_FILE_TABELLA_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "model/codifica.h"
#include "model/records.h"
#include "output/stato.h"
#include "platform/sostituzione.h"

namespace calvetra {

// Offsets of the fields of one row from its start; the name is as long as
// its count says, and the fields after it are counted from its end.
namespace formato_tabella {
inline constexpr size_t kTipo = 0;
inline constexpr size_t kInizio = 1;
inline constexpr size_t kFine = 5;
inline constexpr size_t kPosizione = 9;
inline constexpr size_t kOpzA = 13;
inline constexpr size_t kLunghezzaNome = 14;
inline constexpr size_t kNome = 16;
// From the end of the name.
inline constexpr size_t kCodA = 0;
inline constexpr size_t kCodB = 2;
inline constexpr size_t kCodC = 4;
inline constexpr size_t kCodD = 6;
inline constexpr size_t kCodE = 8;
inline constexpr size_t kOpzB = 10;
inline constexpr size_t kOpzC = 11;
inline constexpr size_t kOpzD = 12;
inline constexpr size_t kOpzE = 13;
inline constexpr size_t kOrario = 14;
inline constexpr size_t kCoda = 18;
// A row with an empty name.
inline constexpr size_t kByteVoceVuota = kNome + kCoda;
// A name is stored with a 16-bit length.
inline constexpr size_t kNomeMassimo = 0xFFFF;
}  // namespace formato_tabella

void codifica_voce(std::string* s, const voce& v);
// The mirror of codifica_voce; false when the bytes run out.
bool decodifica_voce(LettoreBinario* in, voce* v);

void codifica_tabella(const Tabella& tabella, Uscita* u);
// False, with the length of the first name too long to store, when a name
// of the table does not fit its 16-bit length.
bool nomi_codificabili(const Tabella& tabella, size_t* lunghezza);

// The whole file: exactly 87 rows, the format mark in row 85, and a route
// length in row 84 that gives more than one cell.
StatoLettura leggi_tabella(std::string_view dati, Tabella* tabella);

}  // namespace calvetra

#endif  // CALVETRA_OUTPUT_FILE_TABELLA_H_
