// The cell file NAME_PAIR.dat: one 15-byte record per cell 0 to n.
// Layout: doc/formats.md, "Cell file".
#ifndef CALVETRA_OUTPUT_FILE_CELLE_H_
#define CALVETRA_OUTPUT_FILE_CELLE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/codifica.h"
#include "model/records.h"
#include "output/stato.h"
#include "platform/sostituzione.h"

namespace calvetra {

// Offsets of the fields of one cell from its start.
namespace formato_celle {
inline constexpr size_t kTipo = 0;
inline constexpr size_t kValoreA = 1;
inline constexpr size_t kValoreB = 3;
inline constexpr size_t kValoreC = 5;
inline constexpr size_t kValoreD = 7;
inline constexpr size_t kTempo = 9;
inline constexpr size_t kPreavviso = 10;
inline constexpr size_t kMontagna = 11;
inline constexpr size_t kVelocita = 12;
inline constexpr size_t kPendenza = 13;
inline constexpr size_t kAderenza = 14;
inline constexpr size_t kByteCella = 15;
// The fewest cells a compile writes: cell 1 carries the header slots.
inline constexpr int64_t kCelleMinime = 2;
}  // namespace formato_celle

void codifica_tratto(std::string* s, const tratto& t);
// The mirror of codifica_tratto; false when the bytes run out.
bool decodifica_tratto(LettoreBinario* in, tratto* t);

void codifica_celle(const std::vector<tratto>& tratti, Uscita* u);

// Cells of a route of length L, n + 1; 0 when L lies outside what the
// compiler accepts (a length it refused after an earlier length record had
// sized the route: the files then give their own sizes).
int64_t celle_attese(int32_t lunghezza);

// The whole file: as many cells as the route length L of the table gives,
// and the format mark in cell 1.
StatoLettura leggi_celle(std::string_view dati, int32_t lunghezza, std::vector<tratto>* tratti);

}  // namespace calvetra

#endif  // CALVETRA_OUTPUT_FILE_CELLE_H_
