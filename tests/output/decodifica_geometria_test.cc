// The geometry decoder against the encoder: the reader of the author tools
// decodes exactly what the writer encodes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "model/codifica.h"
#include "model/records.h"
#include "output/file_celle.h"
#include "output/file_geometria.h"
#include "output/file_tabella.h"

namespace calvetra {
namespace {

TEST(DecodificaElemento, MirrorsTheEncoder) {
  Geometria g;
  g.crea(5);
  g.semina();
  g.aggiungi(-0.1, 1.9999999999999998);
  g.aggiungi(std::nextafter(1e6, 2e6), -3.5);
  std::string s;
  for (int c = 0; c < 2; ++c) {
    for (int32_t m = 0; m <= 5; ++m) codifica_elemento(&s, g, c, m);
  }
  LettoreBinario in(s);
  for (int c = 0; c < 2; ++c) {
    for (int32_t m = 0; m <= 5; ++m) {
      ElementoGeometria e;
      ASSERT_EQ(decodifica_elemento(&in, &e), EsitoElemento::ok);
      EXPECT_EQ(e.genere, g.genere(m)) << c << " " << m;
      if (e.genere != Geometria::Genere::vuoto) {
        EXPECT_EQ(e.valore, c == 0 ? g.x(m) : g.y(m)) << c << " " << m;
      } else {
        EXPECT_EQ(e.valore, 0.0);
      }
    }
  }
  EXPECT_TRUE(in.finito());
}

TEST(DecodificaElemento, TruncatedOrUnknownTag) {
  ElementoGeometria e;
  for (const std::string& dati : {std::string("\x02"), std::string("\x02\x00\x01", 3),
                                  std::string("\x05\x00\x01\x02\x03\x04\x05\x06\x07", 9)}) {
    LettoreBinario in(dati);
    EXPECT_EQ(decodifica_elemento(&in, &e), EsitoElemento::troncato) << dati.size();
  }
  const std::string sconosciuta("\x03\x00\x01\x00", 4);
  LettoreBinario in(sconosciuta);
  EXPECT_EQ(decodifica_elemento(&in, &e), EsitoElemento::genere_sconosciuto);
}

}  // namespace
}  // namespace calvetra
