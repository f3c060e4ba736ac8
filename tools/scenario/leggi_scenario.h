// Reading the three binary files of a scenario back into the records, with
// validation: a file that is truncated, has bytes left over or holds
// something the compiler never writes is refused with one message that names
// the file and the byte offset. Nothing is ever read past the end of a buffer.
//
// The decoding itself is the core's (decodifica_voce, decodifica_tratto,
// decodifica_elemento); this layer adds the checks across records and files.
#ifndef CALVETRA_TOOLS_SCENARIO_LEGGI_SCENARIO_H_
#define CALVETRA_TOOLS_SCENARIO_LEGGI_SCENARIO_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/costanti.h"
#include "model/records.h"
#include "output/file_binari.h"
#include "platform/piattaforma.h"

namespace calvetra::scenario {

// The plan as read: x and y of metres 0 to T.
struct PianoLetto {
  std::vector<ElementoGeometria> x;
  std::vector<ElementoGeometria> y;
};

struct ScenarioLetto {
  Tabella tabella;
  size_t byte_tabella = 0;
  std::vector<tratto> tratti;
  size_t byte_celle = 0;
  std::optional<PianoLetto> geometria;  // absent when there is no geometry file
  size_t byte_geometria = 0;
};

// The route length L of row 84 gives the sizes of the cell and geometry
// files. A length outside what the compiler accepts is one that a compile
// refused (codes 1 and 25) after an earlier length record had sized the
// route: the files then give their own sizes.

// The table file: exactly 87 records and the format mark of row 85.
bool leggi_tabella(std::string_view dati, const std::string& nome, Tabella* tabella,
                   std::string* errore);

// The cell file: 15-byte records, as many as the route length L (row 84 of
// the table) gives, and the format mark of cell 1.
bool leggi_celle(std::string_view dati, const std::string& nome, int32_t lunghezza,
                 std::vector<tratto>* tratti, std::string* errore);

// The geometry file: 2 x (L + 7001) tagged elements (for an L outside the
// limits, any even number of them).
bool leggi_geometria(std::string_view dati, const std::string& nome, int32_t lunghezza,
                     PianoLetto* piano, std::string* errore);

// Reads the table, the cells and (when the file exists) the geometry of the
// scenario `nomi` in `cartella`. The message of a failure names the path.
bool leggi_scenario(const std::string& cartella, const NomiScenario& nomi, ScenarioLetto* s,
                    std::string* errore);

// Cells of a route of length L: n + 1 with n = (L + 7000) / 50 rounded; 0
// when L lies outside what the compiler accepts.
int64_t celle_attese(int32_t lunghezza);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_LEGGI_SCENARIO_H_
