#include "platform/sostituzione.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <stdexcept>

#include "platform/piattaforma_memoria.h"
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
  ASSERT_TRUE(sostituisci_file(
      &p, p.file("out.bin"), [](Uscita* u) { u->buffer()->append("new"); }, &errore));
  EXPECT_EQ(p.leggi_file("out.bin"), "new");
  EXPECT_EQ(p.elenco(), std::set<std::string>{"out.bin"});
}

TEST(SostituisciFile, EveryFailureKeepsTheOldFileAndCleansUp) {
  for (Operazione op :
       {Operazione::crea, Operazione::scrivi, Operazione::chiudi, Operazione::rinomina}) {
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

void scrivi_nuovo(Uscita* u) { u->buffer()->append("new"); }

// A file outside the directory of the run, for planted links to point at.
struct Segreto {
  test::PiattaformaDiProva altrove;
  Segreto() { altrove.scrivi_file("segreto", "intatto"); }
  std::string percorso() const { return altrove.file("segreto"); }
  std::string contenuto() const { return altrove.leggi_file("segreto"); }
};

TEST(SostituisciFile, FollowsNoPlantedLinkAndReusesNoLeftover) {
  // At the output name beforehand: nothing, a file, a link.
  for (int prima = 0; prima < 3; ++prima) {
    SCOPED_TRACE(prima);
    const Segreto segreto;
    test::PiattaformaDiProva p;
    if (prima == 1) p.scrivi_file("out.bin", "old");
    if (prima == 2) p.collega("out.bin", segreto.percorso());
    // The fixed name once used for the temporary file, and two of the form
    // used now: links and a file left by a run that crashed.
    p.collega(".out.bin.nuovo", segreto.percorso());
    p.collega(".out.bin.q7-Zx_0aB3", segreto.percorso());
    p.scrivi_file(".out.bin.Lm4_Tt9-pQ", "resto");
    // Wine makes links that its own directory listing leaves out.
    const bool elencati = p.elenco().count(".out.bin.nuovo") == 1;
    std::string errore;
    ASSERT_TRUE(sostituisci_file(&p, p.file("out.bin"), scrivi_nuovo, &errore)) << errore;
    EXPECT_EQ(segreto.contenuto(), "intatto");
    EXPECT_TRUE(p.regolare("out.bin"));
    EXPECT_EQ(p.leggi_file("out.bin"), "new");
    EXPECT_EQ(p.leggi_file(".out.bin.Lm4_Tt9-pQ"), "resto");
    std::set<std::string> attesi{"out.bin", ".out.bin.Lm4_Tt9-pQ"};
    if (elencati) attesi.insert({".out.bin.nuovo", ".out.bin.q7-Zx_0aB3"});
    EXPECT_EQ(p.elenco(), attesi);
#ifndef _WIN32
    // The mode of every file the program writes: 0644 less the umask
    // (Windows keeps no such mode).
    const mode_t maschera = ::umask(0);
    ::umask(maschera);
    struct stat st;
    ASSERT_EQ(::stat(p.file("out.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644 & ~maschera);
#endif
  }
}

TEST(SostituisciFile, FailuresOutsideThePlatformLeaveNoTemporary) {
  test::PiattaformaDiProva p;
  std::filesystem::create_directory(p.file("cartella"));
  std::string errore;
  EXPECT_FALSE(sostituisci_file(&p, p.file("cartella"), scrivi_nuovo, &errore));
  EXPECT_FALSE(errore.empty());
  EXPECT_TRUE(std::filesystem::is_directory(p.file("cartella")));

  p.scrivi_file("out.bin", "old");
  EXPECT_THROW(sostituisci_file(
                   &p, p.file("out.bin"),
                   [](Uscita* u) {
                     scrivi_tanti(u);
                     throw std::runtime_error("produzione interrotta");
                   },
                   &errore),
               std::runtime_error);
  EXPECT_EQ(p.leggi_file("out.bin"), "old");
  EXPECT_EQ(p.elenco(), (std::set<std::string>{"cartella", "out.bin"}));
}

TEST(SostituisciFile, InMemoryATakenNameIsSkipped) {
  PiattaformaMemoria p;
  // The names the in-memory platform would hand out first.
  p.file[p.percorso(".out.bin.1")] = "resto";
  p.file[p.percorso(".out.bin.2")] = "resto";
  std::string errore;
  ASSERT_TRUE(sostituisci_file(&p, p.percorso("out.bin"), scrivi_nuovo, &errore));
  const std::map<std::string, std::string> attesi{{p.percorso(".out.bin.1"), "resto"},
                                                  {p.percorso(".out.bin.2"), "resto"},
                                                  {p.percorso("out.bin"), "new"}};
  EXPECT_EQ(p.file, attesi);
}

TEST(SostituisciFile, ARunFollowsNoPlantedLinkAndReusesNoLeftover) {
  test::PiattaformaDiProva pulita;
  ASSERT_EQ(Form1(&pulita).Form_Load(), kUscitaPulita);
  std::set<std::string> scritti = pulita.elenco();
  const std::set<std::string> uscite = scritti;
  scritti.insert({test::kFileLinea, test::kFileTreno});

  // A link at the fixed temporary name of every file the run writes and a
  // leftover at a name of the current form, then the other way round; every
  // file itself starts as a link too.
  for (const bool link_al_nome_fisso : {true, false}) {
    SCOPED_TRACE(link_al_nome_fisso);
    const Segreto segreto;
    test::PiattaformaDiProva p;
    std::set<std::string> attesi = uscite;
    for (const std::string& nome : scritti) {
      const std::string fisso = "." + nome + ".nuovo";
      const std::string casuale = "." + nome + ".q7-Zx_0aB3";
      p.collega(nome, segreto.percorso());
      p.collega(link_al_nome_fisso ? fisso : casuale, segreto.percorso());
      p.scrivi_file(link_al_nome_fisso ? casuale : fisso, "resto");
      attesi.insert(link_al_nome_fisso ? casuale : fisso);
      // Wine makes links that its own directory listing leaves out.
      if (p.elenco().count(link_al_nome_fisso ? fisso : casuale) == 1) {
        attesi.insert(link_al_nome_fisso ? fisso : casuale);
      }
    }
    EXPECT_EQ(Form1(&p).Form_Load(), kUscitaPulita);
    EXPECT_EQ(segreto.contenuto(), "intatto");
    EXPECT_EQ(p.elenco(), attesi);
    for (const std::string& nome : uscite) {
      EXPECT_TRUE(p.regolare(nome)) << nome;
      EXPECT_TRUE(p.leggi_file(nome) == pulita.leggi_file(nome)) << nome << " differs";
      EXPECT_EQ(p.leggi_file("." + nome + (link_al_nome_fisso ? ".q7-Zx_0aB3" : ".nuovo")),
                "resto");
    }
  }
}

TEST(SostituisciFile, UnwritableOutputEndsTheRunNamingTheFile) {
  PiattaformaGuasta p;
  p.guasto = Operazione::scrivi;
  p.bersaglio = test::kFileCelle;
  p.scrivi_file(test::kFileLinea, test::sorgente_linea("", ""));
  p.scrivi_file(test::kFileTreno, test::kTrenoVuoto);
  Form1 f(&p);
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
