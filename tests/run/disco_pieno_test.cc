// calvetra's run on a disk that fills up while it writes the binary files:
// they are one scenario for the simulator, so a run that cannot write them
// all leaves every old one as it was, byte for byte, with no temporary file,
// and its one report says which files were kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/piattaforma.h"
#include "platform/sistema.h"
#include "run/form1.h"
#include "support/compilazione.h"
#include "support/disco_piccolo.h"
#include "support/scadenza.h"

namespace calvetra {
namespace {

// The POSIX platform in a given directory, its reports kept.
class SulDisco : public PiattaformaSistema {
 public:
  using PiattaformaSistema::PiattaformaSistema;
  void avviso_attesa(std::string_view) override {}
  void rapporto_fatale(std::string_view m) override { rapporti.emplace_back(m); }
  void rapporto(std::string_view m) override { rapporti.emplace_back(m); }
  std::string leggi_file(const std::string& nome) {
    std::string dati, errore;
    leggi(cartella() + "/" + nome, &dati, &errore);
    return dati;
  }
  std::vector<std::string> rapporti;
};

const std::vector<std::string> kBinari = {test::kFileGeometria, test::kFileTabella,
                                          test::kFileCelle};

TEST(DiscoPieno, ARunThatRunsOutOfSpaceLeavesEveryOldBinaryFile) {
  const test::Scadenza scadenza(50, "runs of calvetra on a full disk");
  const test::DiscoPiccolo disco(64 << 20);
  if (!disco.montato()) {
    GTEST_SKIP() << "no small file system can be mounted here (" << disco.motivo()
                 << "): this test needs root with CAP_SYS_ADMIN";
  }
  SulDisco p(disco.cartella());
  ASSERT_EQ(Form1(&p).Form_Load(), kUscitaPulita);
  // The outputs of an earlier run, told apart from what this one writes.
  size_t pagine = 0;
  std::vector<std::string> nuovi, vecchi;
  for (const std::string& nome : kBinari) {
    nuovi.push_back(p.leggi_file(nome));
    vecchi.push_back(nuovi.back() + "(esecuzione precedente)");
    std::string errore;
    ASSERT_TRUE(p.scrivi_attraverso(disco.file(nome), vecchi.back(), &errore)) << errore;
    pagine += (nuovi.back().size() + 4095) / 4096;
  }
  // The sources and documents need a few pages while they are written.
  constexpr size_t kTesti = 16;
  ASSERT_GT(pagine, 2 * kTesti);
  const std::set<std::string> elenco = [&] {
    const std::vector<std::string> v = p.elenco(disco.cartella());
    return std::set<std::string>(v.begin(), v.end());
  }();

  for (const size_t liberi : {kTesti, pagine / 2, pagine - 1}) {
    SCOPED_TRACE(std::to_string(liberi) + " of " + std::to_string(pagine) + " pages free");
    std::string errore;
    ASSERT_TRUE(disco.riempi("riempimento", liberi * 4096, &errore)) << errore;
    p.rapporti.clear();
    EXPECT_EQ(Form1(&p).Form_Load(), kUscitaFatale);
    ASSERT_EQ(p.rapporti.size(), 1u);
    EXPECT_TRUE(p.rapporti[0].starts_with("calvetra: impossibile scrivere " + disco.cartella()))
        << p.rapporti[0];
    EXPECT_TRUE(p.rapporti[0].ends_with(
        "No space left on device; nessun file sostituito, restano com'erano: " + kBinari[0] + ", " +
        kBinari[1] + ", " + kBinari[2]))
        << p.rapporti[0];
    for (size_t i = 0; i < kBinari.size(); ++i) {
      EXPECT_TRUE(p.leggi_file(kBinari[i]) == vecchi[i]) << kBinari[i] << " is not the old file";
    }
    std::filesystem::remove(disco.file("riempimento"));
    const std::vector<std::string> v = p.elenco(disco.cartella());
    EXPECT_EQ(std::set<std::string>(v.begin(), v.end()), elenco) << "a file left behind";
  }
  std::string errore;
  ASSERT_TRUE(disco.riempi("riempimento", (pagine + kTesti) * 4096, &errore)) << errore;
  EXPECT_EQ(Form1(&p).Form_Load(), kUscitaPulita);
  for (size_t i = 0; i < kBinari.size(); ++i) {
    EXPECT_TRUE(p.leggi_file(kBinari[i]) == nuovi[i]) << kBinari[i] << " is not the new file";
  }
}

}  // namespace
}  // namespace calvetra
