// The block encoder of the plan writes the same bytes as the element encoder,
// whatever range it is given and whatever the buffer already holds.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>

#include "model/records.h"
#include "output/file_celle.h"
#include "output/file_geometria.h"
#include "output/file_tabella.h"

namespace calvetra {
namespace {

std::string uno_per_uno(const Geometria& g, int coordinata, int32_t da, int32_t a) {
  std::string s = "prima";
  for (int32_t m = da; m <= a; ++m) codifica_elemento(&s, g, coordinata, m);
  return s;
}

std::string a_blocchi(const Geometria& g, int coordinata, int32_t da, int32_t a) {
  std::string s = "prima";
  codifica_elementi(&s, g, coordinata, da, a);
  return s;
}

TEST(CodificaElementi, SameBytesAsElementByElement) {
  Geometria vuota;
  vuota.crea(6);  // never seeded: every element empty

  Geometria parziale;  // seeds, computed metres with awkward bit patterns, then empties
  parziale.crea(12);
  parziale.semina();
  parziale.aggiungi(-0.0, std::numeric_limits<double>::quiet_NaN());
  parziale.aggiungi(std::bit_cast<double>(uint64_t{0x0123456789ABCDEF}), -1e300);
  parziale.aggiungi(std::numeric_limits<double>::denorm_min(), 65535.5);

  for (const Geometria* g : {&vuota, &parziale}) {
    for (int coordinata = 0; coordinata < 2; ++coordinata) {
      for (int32_t da = 0; da <= g->ultimo_metro(); ++da) {
        for (int32_t a = da - 1; a <= g->ultimo_metro(); ++a) {
          ASSERT_EQ(a_blocchi(*g, coordinata, da, a), uno_per_uno(*g, coordinata, da, a))
              << "coordinate " << coordinata << ", metres " << da << " to " << a;
        }
      }
    }
  }
}

}  // namespace
}  // namespace calvetra
