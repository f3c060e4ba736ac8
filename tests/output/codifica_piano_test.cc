// The plan's writer: the block encoder writes the same bytes as the element
// encoder, and the file streamed a block at a time through a small buffer is
// the file of a plain integration of every metre, byte for byte.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "model/codifica.h"
#include "model/records.h"
#include "output/file_celle.h"
#include "output/file_geometria.h"
#include "output/file_tabella.h"
#include "platform/piattaforma_memoria.h"
#include "platform/sostituzione.h"

namespace calvetra {
namespace {

// Values with awkward bit patterns, one a metre.
std::vector<double> valori_strani(size_t n) {
  const double strani[] = {-0.0,
                           std::numeric_limits<double>::quiet_NaN(),
                           std::bit_cast<double>(uint64_t{0x0123456789ABCDEF}),
                           -1e300,
                           std::numeric_limits<double>::denorm_min(),
                           65535.5};
  std::vector<double> v;
  for (size_t i = 0; i < n; ++i) v.push_back(strani[i % std::size(strani)]);
  return v;
}

TEST(CodificaElementi, SameBytesAsElementByElement) {
  Geometria vuota;
  vuota.crea(6);  // never seeded: every element empty

  Geometria parziale;  // seeds, three computed metres, then empties
  parziale.crea(12);
  parziale.semina();
  parziale.avanza(5, true, 0.001);

  const std::vector<double> valori = valori_strani(13);
  for (const Geometria* g : {&vuota, &parziale}) {
    for (int32_t da = 0; da <= g->ultimo_metro(); ++da) {
      for (int32_t a = da - 1; a <= g->ultimo_metro(); ++a) {
        std::string uno_per_uno = "prima";
        for (int32_t m = da; m <= a; ++m) {
          codifica_elemento(&uno_per_uno, g->genere(m), valori[static_cast<size_t>(m - da)]);
        }
        std::string a_blocchi = "prima";
        const size_t n = a < da ? 0 : byte_elementi(*g, da, a);
        a_blocchi.resize(a_blocchi.size() + n);
        if (a >= da) codifica_elementi(a_blocchi.data() + 5, *g, da, a, valori.data());
        ASSERT_EQ(a_blocchi, uno_per_uno) << "metres " << da << " to " << a;
      }
    }
  }
}

// The file of a plain loop over every metre, x then y.
std::string file_atteso(int32_t T, int32_t fino, const std::vector<Geometria::Tratto>& tratti) {
  std::vector<double> x = {0.0, 0.0}, y = {0.0, 1.0};
  size_t t = 0;
  for (int32_t m = 2; m < fino; ++m) {
    while (tratti[t].fino <= m) ++t;
    const double k = tratti[t].curva ? tratti[t].k : 0.0;
    const size_t i = static_cast<size_t>(m);
    const double dx = x[i - 1] - x[i - 2];
    const double dy = y[i - 1] - y[i - 2];
    x.push_back(tratti[t].curva ? x[i - 1] + (dx + k * dy) : x[i - 1] + dx);
    y.push_back(tratti[t].curva ? y[i - 1] + (dy - k * dx) : y[i - 1] + dy);
  }
  std::string s;
  for (const std::vector<double>* c : {&x, &y}) {
    for (int32_t m = 0; m <= T; ++m) {
      const auto i = static_cast<size_t>(m);
      const auto genere = m < 2      ? Geometria::Genere::intero
                          : m < fino ? Geometria::Genere::reale
                                     : Geometria::Genere::vuoto;
      codifica_elemento(&s, genere, m < fino ? (*c)[i] : 0.0);
    }
  }
  return s;
}

// A directory in memory that takes its files in blocks, as a disk does.
class PiattaformaABlocchi : public PiattaformaMemoria {
 public:
  explicit PiattaformaABlocchi(size_t blocco) : blocco_(blocco) {}
  size_t blocco_scrittura() const override { return blocco_; }
  bool consegna(int, std::string*, std::string* errore) override {
    *errore = "un file scritto a blocchi non si consegna intero";
    return false;
  }

 private:
  size_t blocco_;
};

TEST(CodificaGeometria, StreamedInBlocksIsThePlainIntegration) {
  // Stretches longer and shorter than a block of metres, both sides, and
  // the metres past the last one computed empty.
  Geometria g;
  const int32_t T = 20000;
  g.crea(T);
  g.semina();
  g.avanza(4100, false, 0.0);
  g.avanza(4101, true, 0.003);
  g.avanza(9000, true, -0.0001);
  g.avanza(12289, false, 0.0);
  g.avanza(12290, false, 0.0);  // goes on as the one before
  g.avanza(19990, true, 0.002);
  ASSERT_EQ(g.tratti().size(), 5u);
  const std::string atteso = file_atteso(T, g.prossimo(), g.tratti());

  EXPECT_EQ(codifica_geometria(g), atteso);
  for (size_t blocco : {size_t{7}, size_t{1000}, size_t{1} << 18}) {
    PiattaformaABlocchi disco(blocco);
    std::string errore;
    ASSERT_TRUE(sostituisci_file(
        &disco, "piano.dat", [&g](Uscita* u) { codifica_geometria(g, u); }, &errore))
        << errore;
    EXPECT_EQ(disco.file["piano.dat"], atteso) << "blocks of " << blocco << " bytes";
  }
  PiattaformaMemoria memoria;
  std::string errore;
  ASSERT_TRUE(sostituisci_file(
      &memoria, "piano.dat", [&g](Uscita* u) { codifica_geometria(g, u); }, &errore));
  EXPECT_EQ(memoria.file["piano.dat"], atteso);
}

TEST(CalcoloPiano, TheSameMetresWhateverTheBlocks) {
  Geometria g;
  g.crea(3000);
  g.semina();
  g.avanza(700, true, 0.002);
  g.avanza(2998, false, 0.0);
  std::vector<uint64_t> riferimento;
  for (int32_t n : {1, 2, 3, 4096}) {
    CalcoloPiano calcolo(g);
    std::vector<double> x(static_cast<size_t>(n)), y(static_cast<size_t>(n));
    std::vector<uint64_t> bit;
    for (int32_t dati; (dati = calcolo.prossimi(x.data(), y.data(), n)) > 0;) {
      for (size_t i = 0; i < static_cast<size_t>(dati); ++i) {
        bit.push_back(std::bit_cast<uint64_t>(x[i]));
        bit.push_back(std::bit_cast<uint64_t>(y[i]));
      }
    }
    EXPECT_EQ(bit.size(), 2u * 2998) << n;
    if (riferimento.empty()) riferimento = bit;
    EXPECT_EQ(bit, riferimento) << "blocks of " << n << " metres";
  }
  // A window that goes back starts again, and an empty metre reads 0.
  PuntiPiano punti(g);
  const double lontano = punti.y(2500);
  EXPECT_EQ(punti.y(1), 1.0);
  EXPECT_EQ(punti.y(2500), lontano);
  EXPECT_EQ(punti.x(2999), 0.0);
  EXPECT_EQ(std::bit_cast<uint64_t>(lontano), riferimento[2 * 2500 + 1]);
}

}  // namespace
}  // namespace calvetra
