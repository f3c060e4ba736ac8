// `scenario compile` on a disk that fills up while it writes: the three
// binary files are one scenario for the simulator, so a compile that cannot
// write them all leaves every old one as it was, byte for byte, with no
// temporary file, and says which files were kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "platform/piattaforma.h"
#include "platform/sistema.h"
#include "scenario/comandi/compile.h"
#include "support/disco_piccolo.h"
#include "support/scadenza.h"
#include "tools/scenario_prova.h"

namespace calvetra {
namespace {

using test::crlf;
using test::kCelle;
using test::kGeometria;
using test::kSorgenteLinea;
using test::kSorgenteTreno;
using test::kTabella;

// Two versions of the sources: every output differs between them.
std::string treno(int kmh) {
  return crlf("[generale]\nnumero vetture, " + std::to_string(kmh / 20) + "\nvelocita, 0, " +
              std::to_string(kmh) + "\nvelocita, 5000, 100\n[fine]\n");
}
std::string linea(int curva) {
  return crlf("[generale]\nlunghezza percorso, 30000\n[curve]\ncurvad3, 2000, " +
              std::to_string(curva) + "\n[fine]\n");
}

struct Esito {
  int stato = -1;
  std::string errori;
};

Esito compila_in(Piattaforma* disco, const std::string& cartella) {
  scenario::OpzioniCompila o;
  o.cartella = cartella;
  std::ostringstream out, err;
  const scenario::EsitoCompila e = scenario::compila_cartella({disco, out, err, false, ""}, o);
  return {e.stato, err.str()};
}

std::map<std::string, std::string> contenuto(const std::string& cartella) {
  std::map<std::string, std::string> c;
  PiattaformaSistema p(cartella);
  for (const std::string& nome : p.elenco(cartella)) {
    std::string dati, errore;
    p.leggi(cartella + "/" + nome, &dati, &errore);
    c[nome] = dati;
  }
  return c;
}

TEST(ScenarioDiscoPieno, ACompileThatRunsOutOfSpaceLeavesEveryOldFile) {
  const test::Scadenza scadenza(50, "compiles on a full disk");
  const test::DiscoPiccolo disco(16 << 20);
  if (!disco.montato()) {
    GTEST_SKIP() << "no small file system can be mounted here (" << disco.motivo()
                 << "): this test needs root with CAP_SYS_ADMIN";
  }
  const std::string& cartella = disco.cartella();
  PiattaformaSistema p(cartella);
  std::string errore;
  ASSERT_TRUE(p.scrivi_attraverso(disco.file(kSorgenteLinea), linea(400), &errore)) << errore;
  ASSERT_TRUE(p.scrivi_attraverso(disco.file(kSorgenteTreno), treno(60), &errore)) << errore;
  ASSERT_EQ(compila_in(&p, cartella).stato, kUscitaPulita);
  const std::map<std::string, std::string> vecchio = contenuto(cartella);
  ASSERT_EQ(vecchio.size(), 5u);
  // The new outputs, as a compile in memory writes them.
  test::CompilaInCartella atteso(linea(500), treno(80));
  size_t pagine = 0;
  for (const char* nome : {kGeometria, kTabella, kCelle}) {
    ASSERT_TRUE(atteso.banco.leggi(nome) != vecchio.at(nome)) << nome << " is the same";
    pagine += (atteso.banco.leggi(nome).size() + 4095) / 4096;
  }
  ASSERT_GT(pagine, 8u);
  ASSERT_TRUE(p.scrivi_attraverso(disco.file(kSorgenteLinea), linea(500), &errore)) << errore;
  ASSERT_TRUE(p.scrivi_attraverso(disco.file(kSorgenteTreno), treno(80), &errore)) << errore;
  std::map<std::string, std::string> prima = vecchio;
  prima[kSorgenteLinea] = linea(500);
  prima[kSorgenteTreno] = treno(80);

  // Room for nothing, one page, half of the three, all but one page.
  for (const size_t liberi : {size_t{0}, size_t{1}, pagine / 2, pagine - 1}) {
    SCOPED_TRACE(std::to_string(liberi) + " of " + std::to_string(pagine) + " pages free");
    ASSERT_TRUE(disco.riempi("riempimento", liberi * 4096, &errore)) << errore;
    const Esito e = compila_in(&p, cartella);
    EXPECT_EQ(e.stato, kUscitaFatale);
    EXPECT_NE(e.errori.find("No space left on device; nessun file sostituito, restano com'erano: " +
                            std::string(kGeometria) + ", " + kTabella + ", " + kCelle + "\n"),
              std::string::npos)
        << e.errori;
    std::map<std::string, std::string> dopo = contenuto(cartella);
    dopo.erase("riempimento");
    EXPECT_TRUE(dopo == prima) << "the directory is not as it was";
    std::filesystem::remove(disco.file("riempimento"));
  }
  // With room enough, the same compile writes the new files.
  ASSERT_TRUE(disco.riempi("riempimento", (pagine + 4) * 4096, &errore)) << errore;
  EXPECT_EQ(compila_in(&p, cartella).stato, kUscitaPulita);
  for (const char* nome : {kGeometria, kTabella, kCelle}) {
    EXPECT_TRUE(contenuto(cartella).at(nome) == atteso.banco.leggi(nome)) << nome;
  }
}

}  // namespace
}  // namespace calvetra
