// What the records mean to a reader of the files: which table rows are
// stations, signs or header rows, the names of the cell kinds, and the byte
// fields of the cells as runs of equal values. Shared by dump and plot.
#ifndef CALVETRA_TOOLS_SCENARIO_VISTA_H_
#define CALVETRA_TOOLS_SCENARIO_VISTA_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/records.h"

namespace calvetra::scenario {

enum class UsoRiga { vuota, stazione, cartello, intestazione };

// Rows 81 to 86 are header rows; a row that a sign cell (kind 14) points at
// is a sign text; any other row with content is a station.
std::array<UsoRiga, kRigheTabella> usi_righe(const Tabella& tabella,
                                             const std::vector<tratto>& tratti);
const char* nome_uso(UsoRiga u);
bool voce_vuota(const voce& v);

// One field of a row, as its name and its value already formatted.
struct Campo {
  const char* nome;
  std::string testo;  // number, or a Windows-1252 text for `nome`
  bool stringa = false;
};
// The fields of a row in file order, by the names of the table file.
std::vector<Campo> campi_voce(const voce& v);

// The system's name of a cell kind ("segnale", "fermata", ...), or nullptr.
const char* nome_tipo_cella(uint8_t tipo);

// The position, in metres, that the source gave the object in cell c: point
// objects sit in the cell after their position, a stop cell in the cell
// before the end of its station, a code reduction in the cell of its position.
int64_t posizione_oggetto(uint8_t tipo, int64_t c);

// A run of cells with the same value in one byte field.
struct Sequenza {
  int64_t da = 0;
  int64_t a = 0;
  uint8_t valore = 0;
};
using CampoByte = uint8_t tratto::*;
std::vector<Sequenza> sequenze(const std::vector<tratto>& tratti, CampoByte campo);

struct CampoNominato {
  const char* nome;
  CampoByte campo;
};
// tempo, preavviso, montagna, velocita, pendenza, aderenza: the byte fields
// in file order.
const std::array<CampoNominato, 6>& campi_byte();

// The two integrity codes as stored and as the core computes them from the
// route name and train pair of rows 85 and 86.
struct Integrita {
  int32_t st_letto = 0;
  int32_t st_atteso = 0;
  int16_t og_letto = 0;
  int16_t og_atteso = 0;
  bool ok() const { return st_letto == st_atteso && og_letto == og_atteso; }
};
// REQUIRES: tratti has cell 1.
Integrita integrita(const Tabella& tabella, const std::vector<tratto>& tratti);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_VISTA_H_
