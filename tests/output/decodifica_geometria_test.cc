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
  using Genere = Geometria::Genere;
  const struct {
    Genere genere;
    double valore;
  } elementi[] = {{Genere::intero, 0.0}, {Genere::intero, 1.0},
                  {Genere::reale, -0.1}, {Genere::reale, std::nextafter(1e6, 2e6)},
                  {Genere::vuoto, 0.0},  {Genere::intero, -1.0},
                  {Genere::reale, -3.5}, {Genere::reale, 1.9999999999999998}};
  std::string s;
  for (const auto& e : elementi) codifica_elemento(&s, e.genere, e.valore);
  LettoreBinario in(s);
  for (const auto& atteso : elementi) {
    ElementoGeometria e;
    ASSERT_EQ(decodifica_elemento(&in, &e), EsitoElemento::ok);
    EXPECT_EQ(e.genere, atteso.genere) << atteso.valore;
    EXPECT_EQ(e.valore, atteso.valore);
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
