#include "platform/sostituzione.h"

#include <gtest/gtest.h>

#include "run/form1.h"
#include "support/compilazione.h"
#include "support/piattaforma_guasta.h"

namespace calvetra {
namespace {

using test::Operazione;
using test::PiattaformaGuasta;

void scrivi_tanti(Uscita* u) {
  // More than one block, so the file is written in several calls.
  for (int i = 0; i < 300000; ++i) {
    u->buffer()->append("0123456789");
    u->forse_svuota();
  }
}

TEST(SostituisciFile, ReplacesWholeAndLeavesNoTemporary) {
  test::PiattaformaDiProva p;
  p.scrivi_file("out.bin", "old content that is longer");
  std::string errore;
  ASSERT_TRUE(sostituisci_file(&p, p.file("out.bin"), [](Uscita* u) { u->buffer()->append("new"); },
                               &errore));
  EXPECT_EQ(p.leggi_file("out.bin"), "new");
  EXPECT_EQ(p.elenco(), std::set<std::string>{"out.bin"});
}

TEST(SostituisciFile, EveryFailureKeepsTheOldFileAndCleansUp) {
  for (Operazione op : {Operazione::crea, Operazione::scrivi, Operazione::chiudi,
                        Operazione::rinomina}) {
    SCOPED_TRACE(static_cast<int>(op));
    PiattaformaGuasta p;
    p.scrivi_file("out.bin", "old");
    p.guasto = op;
    p.bersaglio = "out.bin";
    std::string errore;
    EXPECT_FALSE(sostituisci_file(&p, p.file("out.bin"), scrivi_tanti, &errore));
    EXPECT_EQ(errore, "guasto simulato");
    EXPECT_EQ(p.leggi_file("out.bin"), "old");
    EXPECT_EQ(p.elenco(), std::set<std::string>{"out.bin"});
  }
}

TEST(SostituisciFile, UnwritableOutputEndsTheRunNamingTheFile) {
  PiattaformaGuasta p;
  p.guasto = Operazione::scrivi;
  p.bersaglio = test::kFileCelle;
  p.scrivi_file(test::kFileLinea, test::sorgente_linea("", ""));
  p.scrivi_file(test::kFileTreno, test::kTrenoVuoto);
  Form1 f(&p);
  f.nome_linea = "Calvetra";
  f.nome_treni = "2718 - 5340";
  EXPECT_EQ(f.memorizza_percorso(1), kUscitaFatale);
  ASSERT_EQ(p.rapporti.size(), 1u);
  EXPECT_NE(p.rapporti[0].find(test::kFileCelle), std::string::npos);
  EXPECT_NE(p.rapporti[0].find("guasto simulato"), std::string::npos);
  // The files before it are complete, the failed one is absent, nothing else.
  const std::set<std::string> attesi{test::kFileGeometria, test::kFileTabella};
  EXPECT_EQ(p.elenco(), attesi);
}

}  // namespace
}  // namespace calvetra
