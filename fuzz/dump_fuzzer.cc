// Fuzz target: the reader of the binary files over a table file, a cell
// file and a geometry file taken from one input: whatever it accepts has the
// sizes the route length gives and re-encodes to the same bytes.
//
// Input layout: one flag byte (bit 0: there is a geometry file), the table
// length and the cell length as 32-bit little-endian numbers, then the table
// bytes, the cell bytes and, with the flag, the rest as the geometry file.
// Lengths beyond the input are cut to what is left.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/costanti.h"
#include "model/significato.h"
#include "output/file_celle.h"
#include "output/file_geometria.h"
#include "output/file_tabella.h"
#include "output/lettura.h"
#include "proprieta.h"

namespace {

uint32_t u32(std::string_view s, size_t da) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) {
    v |= static_cast<uint32_t>(static_cast<uint8_t>(s[da + i])) << (8 * i);
  }
  return v;
}

std::string_view prendi(std::string_view* resto, uint32_t quanti) {
  const size_t n = quanti < resto->size() ? quanti : resto->size();
  const std::string_view parte = resto->substr(0, n);
  resto->remove_prefix(n);
  return parte;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione) {
  std::string_view resto(reinterpret_cast<const char*>(dati), dimensione);
  if (resto.size() < 9) return 0;
  const bool con_geometria = (static_cast<uint8_t>(resto[0]) & 1u) != 0;
  const uint32_t byte_tabella = u32(resto, 1);
  const uint32_t byte_celle = u32(resto, 5);
  resto.remove_prefix(9);
  const std::string_view tabella = prendi(&resto, byte_tabella);
  const std::string_view celle = prendi(&resto, byte_celle);
  const std::string_view geometria = con_geometria ? resto : std::string_view();

  // Table, then cells and plan sized by the route length of the table (by
  // the files themselves for a length outside the limits).
  using namespace calvetra;
  ScenarioLetto s;
  if (!leggi_tabella(tabella, &s.tabella).ok()) return 0;
  const int32_t L = Intestazione(s.tabella).lunghezza_percorso();
  if (!leggi_celle(celle, L, &s.tratti).ok()) return 0;
  const int64_t attese = celle_attese(L);
  fuzz::verifica(
      static_cast<int64_t>(s.tratti.size()) == attese ||
      (attese == 0 && static_cast<int64_t>(s.tratti.size()) >= formato_celle::kCelleMinime));
  if (con_geometria) {
    PianoLetto piano;
    if (!leggi_geometria(geometria, L, &piano).ok()) return 0;
    fuzz::verifica(static_cast<int64_t>(piano.metri()) == int64_t{L} + kRincorsa + 1 ||
                   (attese == 0 && piano.metri() > 0));
    s.geometria = std::move(piano);
  }
  fuzz::verifica_ricodifica(tabella, celle, geometria, s);
  return 0;
}
