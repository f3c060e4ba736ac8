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
  // The three go as one set: none of them is there, nor anything else.
  EXPECT_EQ(p.elenco(), std::set<std::string>{});
}

// ---- a set of files replaced as one ----

// An in-memory directory that fails one operation: the `volta`-th time (from
// 1) it touches the file `bersaglio` (for the operations on a handle, the
// temporary file of `bersaglio`; for a rename, one whose destination is
// `bersaglio`). `Operazione::nessuna` with a `bersaglio` of "": the directory
// sync fails instead, when `cartella_guasta`.
class MemoriaGuasta : public PiattaformaMemoria {
 public:
  enum class Op { nessuna, crea, consegna, sincronizza, chiudi, conserva, rinomina, cartella };
  Op guasto = Op::nessuna;
  std::string bersaglio;
  int volta = 1;

  using PiattaformaMemoria::PiattaformaMemoria;
  bool crea_temporaneo(const std::string& percorso, int* handle, std::string* temporaneo,
                       std::string* errore) override {
    if (colpisce(Op::crea, percorso, errore)) return false;
    const bool ok = PiattaformaMemoria::crea_temporaneo(percorso, handle, temporaneo, errore);
    if (ok && percorso == bersaglio) handle_ = *handle;
    return ok;
  }
  bool consegna(int handle, std::string* dati, std::string* errore) override {
    if (handle == handle_ && colpisce(Op::consegna, bersaglio, errore)) return false;
    return PiattaformaMemoria::consegna(handle, dati, errore);
  }
  bool sincronizza(int handle, std::string* errore) override {
    ++sincronizzati;
    if (handle == handle_ && colpisce(Op::sincronizza, bersaglio, errore)) return false;
    return PiattaformaMemoria::sincronizza(handle, errore);
  }
  bool chiudi(int handle, std::string* errore) override {
    const bool ok = PiattaformaMemoria::chiudi(handle, errore);
    if (handle == handle_ && colpisce(Op::chiudi, bersaglio, errore)) return false;
    return ok;
  }
  bool conserva(const std::string& percorso, std::string* copia, std::string* errore) override {
    if (colpisce(Op::conserva, percorso, errore)) return false;
    return PiattaformaMemoria::conserva(percorso, copia, errore);
  }
  bool rinomina(const std::string& da, const std::string& a, std::string* errore) override {
    if (colpisce(Op::rinomina, a, errore)) return false;
    // Whatever is renamed into place comes after every file's sync.
    if (a == bersaglio || guasto == Op::nessuna) rinominati_dopo_sincronie.push_back(sincronizzati);
    return PiattaformaMemoria::rinomina(da, a, errore);
  }
  bool sincronizza_cartella(const std::string& cartella, std::string* errore) override {
    if (guasto == Op::cartella) {
      *errore = "guasto simulato";
      return false;
    }
    cartelle_sincronizzate.push_back(cartella);
    return PiattaformaMemoria::sincronizza_cartella(cartella, errore);
  }

  int sincronizzati = 0;
  std::vector<int> rinominati_dopo_sincronie;
  std::vector<std::string> cartelle_sincronizzate;

 private:
  bool colpisce(Op op, const std::string& percorso, std::string* errore) {
    if (guasto != op || percorso != bersaglio || ++viste_ != volta) return false;
    *errore = "guasto simulato";
    return true;
  }
  int handle_ = -1;
  int viste_ = 0;
};

const std::vector<std::string> kInsieme = {"/m/Valle_linea.dat", "/m/Valle_1 - 2.sim",
                                           "/m/Valle_1 - 2.dat"};

std::vector<FileDaSostituire> insieme_nuovo() {
  std::vector<FileDaSostituire> v;
  for (const std::string& p : kInsieme) {
    v.push_back({p, [p](Uscita* u) { u->buffer()->append("nuovo " + p); }});
  }
  return v;
}

// Every way a set can fail before its last rename (at the temporary file,
// its bytes, its sync, its close, keeping the old file aside, its rename, or
// the directory's sync), at each of the three files, with old files there
// or none: the directory is as it was, byte for byte, with no temporary
// file and no copy, and the message names the file and what was kept.
TEST(SostituisciInsieme, EveryFailureBeforeTheLastRenameLeavesEveryOldFile) {
  using Op = MemoriaGuasta::Op;
  const struct {
    Op op;
    const char* nome;
    const char* detto;
  } guasti[] = {
      {Op::crea, "crea", "impossibile scrivere "},
      {Op::consegna, "consegna", "impossibile scrivere "},
      {Op::sincronizza, "sincronizza", "impossibile scrivere "},
      {Op::chiudi, "chiudi", "impossibile scrivere "},
      {Op::conserva, "conserva", "impossibile mettere da parte "},
      {Op::rinomina, "rinomina", "impossibile scrivere "},
      {Op::cartella, "cartella", "impossibile sincronizzare la cartella di "},
  };
  for (const bool vecchi : {true, false}) {
    for (const auto& g : guasti) {
      for (size_t k = 0; k < kInsieme.size(); ++k) {
        // Keeping an old file aside only happens when there is one; the
        // directory is synced once.
        if ((g.op == Op::conserva && !vecchi) || (g.op == Op::cartella && k > 0)) continue;
        SCOPED_TRACE(std::string(g.nome) + " " + kInsieme[k] + (vecchi ? ", old files" : ""));
        MemoriaGuasta p("/m");
        if (vecchi) {
          for (const std::string& f : kInsieme) p.file[f] = "vecchio " + f;
        }
        p.file["/m/altro.txt"] = "altro";
        const std::map<std::string, std::string> prima = p.file;
        p.guasto = g.op;
        p.bersaglio = kInsieme[k];
        std::string errore;
        EXPECT_FALSE(sostituisci_insieme(&p, insieme_nuovo(), &errore));
        EXPECT_TRUE(p.file == prima) << "the directory is not as it was";
        const std::string chi = g.op == Op::cartella ? kInsieme[0] : kInsieme[k];
        EXPECT_EQ(errore.rfind(g.detto + chi + ": guasto simulato; ", 0), 0u) << errore;
        EXPECT_TRUE(errore.ends_with(
            vecchi ? "; nessun file sostituito, restano com'erano: Valle_linea.dat, "
                     "Valle_1 - 2.sim, Valle_1 - 2.dat"
                   : "; nessun file scritto"))
            << errore;
      }
    }
  }
}

TEST(SostituisciInsieme, AllThreeAreSyncedBeforeTheFirstRenameAndTheDirectoryAfter) {
  for (const bool vecchi : {true, false}) {
    SCOPED_TRACE(vecchi);
    MemoriaGuasta p("/m");
    if (vecchi) {
      for (const std::string& f : kInsieme) p.file[f] = "vecchio";
    }
    std::string errore;
    ASSERT_TRUE(sostituisci_insieme(&p, insieme_nuovo(), &errore)) << errore;
    EXPECT_EQ(p.rinominati_dopo_sincronie, (std::vector<int>{3, 3, 3}));
    EXPECT_EQ(p.cartelle_sincronizzate, std::vector<std::string>{"/m"});
    ASSERT_EQ(p.file.size(), 3u) << "no temporary file, no copy of an old one";
    for (const std::string& f : kInsieme) EXPECT_EQ(p.file.at(f), "nuovo " + f);
  }
}

// When a rename fails and an old file cannot be put back either, the
// message says which one is new and where its old bytes are; the others
// are as they were.
TEST(SostituisciInsieme, AnOldFileThatCannotBePutBackIsSaid) {
  // The second rename onto the first file is the one that puts it back.
  struct Doppia : MemoriaGuasta {
    using MemoriaGuasta::MemoriaGuasta;
    int volte = 0;
    bool rinomina(const std::string& da, const std::string& a, std::string* errore) override {
      if (a == kInsieme[2] || (a == kInsieme[0] && ++volte == 2)) {
        *errore = "guasto simulato";
        return false;
      }
      return MemoriaGuasta::rinomina(da, a, errore);
    }
  } d("/m");
  for (const std::string& f : kInsieme) d.file[f] = "vecchio " + f;
  std::string errore;
  EXPECT_FALSE(sostituisci_insieme(&d, insieme_nuovo(), &errore));
  EXPECT_EQ(d.file.at(kInsieme[0]), "nuovo " + kInsieme[0]);
  EXPECT_EQ(d.file.at(kInsieme[1]), "vecchio " + kInsieme[1]);
  EXPECT_EQ(d.file.at(kInsieme[2]), "vecchio " + kInsieme[2]);
  EXPECT_TRUE(
      errore.ends_with("; restano com'erano: Valle_1 - 2.sim, Valle_1 - 2.dat; "
                       "Valle_linea.dat resta quello nuovo (guasto simulato), quello di "
                       "prima e' in .Valle_linea.dat.4"))
      << errore;
  EXPECT_EQ(d.file.at("/m/.Valle_linea.dat.4"), "vecchio " + kInsieme[0]);
  EXPECT_EQ(d.file.size(), 4u);
}

}  // namespace
}  // namespace calvetra
