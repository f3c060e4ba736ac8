// The train source of the pair 2718 - 5340: the layout of its station lines.
#ifndef CALVETRA_CONTENT_CONTENUTO_TRENO_H_
#define CALVETRA_CONTENT_CONTENUTO_TRENO_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace calvetra {

// The columns 2 to 18 of a "stazione" line, named after the fields of the
// station row they fill.
struct Stazione {
  int32_t posizione;      // 2: metres from the route origin
  int32_t tipo;           // 3
  int32_t lunghezza;      // 4: metres
  int32_t opz_a;          // 5
  int32_t opz_e;          // 6
  int32_t opz_d;          // 7
  int32_t cod_a;          // 8
  int32_t cod_b;          // 9
  int32_t opz_b;          // 10
  int32_t cod_c;          // 11
  int32_t cod_d;          // 12
  int32_t cod_e;          // 13
  int32_t opz_c;          // 14
  int32_t ore;            // 15
  int32_t minuti;         // 16
  int32_t secondi;        // 17
  std::string_view nome;  // 18: to the end of the line, no comma
};

// The station line as the train source writes it: every number right-aligned
// in its column width (columns 9, 10, 12 and 13 unpadded), single commas, then
// ", " and the name.
std::string riga_stazione(const Stazione& s);

}  // namespace calvetra

#endif  // CALVETRA_CONTENT_CONTENUTO_TRENO_H_
