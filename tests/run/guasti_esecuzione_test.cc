// The whole run with one file-system operation failing on one of the files it
// writes: the run ends with one message naming the file and a non-zero
// status, leaves no temporary file, and every output of an earlier run is
// either untouched or wholly replaced; sources written before a failing
// writer stay where they are. Deleting a source after reading it may
// fail without stopping the run: the sources are transient and the outputs
// do not depend on their removal.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "content/testi.h"
#include "run/form1.h"
#include "support/compilazione.h"
#include "support/piattaforma_guasta.h"

namespace calvetra {
namespace {

using test::Operazione;
using test::PiattaformaGuasta;

// Every file the run writes, in the order it writes them.
const std::vector<std::string>& file_scritti() {
  static const std::vector<std::string> nomi{
      test::kFileLinea,
      test::kFileTreno,
      "Calvetra_2718 - 5340_note.txt",
      "Calvetra_2718 - 5340_rallentamenti.txt",
      "Calvetra_2718 - 5340_scheda_treno.txt",
      test::kFileGeometria,
      test::kFileTabella,
      test::kFileCelle,
  };
  return nomi;
}

bool sorgente(size_t i) { return i < 2; }
constexpr size_t kPrimoBinario = 5;

const char* nome_operazione(Operazione op) {
  switch (op) {
    case Operazione::crea: return "crea";
    case Operazione::scrivi: return "scrivi";
    case Operazione::sincronizza: return "sincronizza";
    case Operazione::chiudi: return "chiudi";
    case Operazione::rinomina: return "rinomina";
    case Operazione::elimina: return "elimina";
    case Operazione::nessuna: break;
  }
  return "nessuna";
}

// The bytes of every file of a clean run, sources included.
const std::map<std::string, std::string>& contenuti_nuovi() {
  static const std::map<std::string, std::string> contenuti = [] {
    std::map<std::string, std::string> c;
    test::PiattaformaDiProva p;
    c[test::kFileLinea] = testo_righe(dati_linea());
    c[test::kFileTreno] = testo_righe(dati_treno());
    Form1 g(&p);
    if (g.Form_Load() != kUscitaPulita) return c;
    for (const std::string& nome : p.elenco()) c[nome] = p.leggi_file(nome);
    return c;
  }();
  return contenuti;
}

// The outputs of an earlier run, marked so that a test can tell them from the
// ones the run under test writes.
std::string vecchio(const std::string& nome) {
  return contenuti_nuovi().at(nome) + "(esecuzione precedente)";
}

struct Esito {
  int stato = -1;
  int32_t codice_errore = -1;
  std::vector<std::string> rapporti;
  std::vector<std::string> fatali;
  std::map<std::string, std::string> file;  // what the directory holds afterwards
};

Esito esegui_con_guasto(Operazione op, const std::string& bersaglio) {
  PiattaformaGuasta p;
  for (size_t i = 0; i < file_scritti().size(); ++i) {
    if (!sorgente(i)) p.scrivi_file(file_scritti()[i], vecchio(file_scritti()[i]));
  }
  p.guasto = op;
  p.bersaglio = bersaglio;
  Form1 f(&p);
  Esito e;
  e.stato = f.Form_Load();
  e.codice_errore = numero(f.compilazione()->codice_errore());
  e.rapporti = p.rapporti;
  e.fatali = p.fatali;
  for (const std::string& nome : p.elenco()) e.file[nome] = p.leggi_file(nome);
  return e;
}

void nessun_temporaneo(const Esito& e) {
  for (const auto& [nome, contenuto] : e.file) {
    EXPECT_NE(nome.front(), '.') << "temporary file left: " << nome;
  }
}

class GuastiEsecuzione : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(contenuti_nuovi().size(), file_scritti().size()) << "the clean run failed";
  }
};

TEST_F(GuastiEsecuzione, AFailedWriteEndsTheRunAndLeavesEveryFileWholeOrOld) {
  const auto& nuovi = contenuti_nuovi();
  for (Operazione op : {Operazione::crea, Operazione::scrivi, Operazione::sincronizza,
                        Operazione::chiudi, Operazione::rinomina}) {
    for (size_t k = 0; k < file_scritti().size(); ++k) {
      // Only the binary files, a set for the simulator, are synced.
      if (op == Operazione::sincronizza && k < kPrimoBinario) continue;
      const std::string& bersaglio = file_scritti()[k];
      SCOPED_TRACE(std::string(nome_operazione(op)) + " " + bersaglio);
      const Esito e = esegui_con_guasto(op, bersaglio);

      EXPECT_EQ(e.stato, kUscitaFatale);
      EXPECT_TRUE(e.fatali.empty());
      ASSERT_EQ(e.rapporti.size(), 1u);
      EXPECT_NE(e.rapporti[0].find("impossibile scrivere"), std::string::npos) << e.rapporti[0];
      EXPECT_NE(e.rapporti[0].find("/" + bersaglio + ": guasto simulato"), std::string::npos)
          << e.rapporti[0];
      nessun_temporaneo(e);

      // Before the failed file: the new version; from it on: the old one.
      // The binary files go as one set: a failure at any of them leaves all
      // three old, and the report says so. A source stays when a writer
      // after it fails; the parser deletes it.
      const bool parser_eseguito = k >= kPrimoBinario;
      if (parser_eseguito) {
        EXPECT_TRUE(e.rapporti[0].ends_with(
            "; nessun file sostituito, restano com'erano: " + file_scritti()[5] + ", " +
            file_scritti()[6] + ", " + file_scritti()[7]))
            << e.rapporti[0];
      }
      for (size_t i = 0; i < file_scritti().size(); ++i) {
        const std::string& nome = file_scritti()[i];
        const auto trovato = e.file.find(nome);
        if (sorgente(i) && (parser_eseguito || i >= k)) {
          EXPECT_EQ(trovato, e.file.end()) << nome;
          continue;
        }
        ASSERT_NE(trovato, e.file.end()) << nome << " has disappeared";
        const bool nuovo = i < k && !(parser_eseguito && i >= kPrimoBinario);
        const std::string& atteso = nuovo ? nuovi.at(nome) : vecchio(nome);
        EXPECT_TRUE(trovato->second == atteso)
            << nome << (nuovo ? " is not the new file" : " is not the old file");
      }
      EXPECT_LE(e.file.size(), file_scritti().size());
    }
  }
}

TEST_F(GuastiEsecuzione, OutputsAreReplacedWithoutDeletingThem) {
  // Replacing an output renames over it; a failing delete never stops the
  // run. Of a binary file, whose old version is kept aside by a second name
  // until the set is whole, that hidden name may be left behind.
  for (size_t k = 2; k < file_scritti().size(); ++k) {
    SCOPED_TRACE(file_scritti()[k]);
    const Esito e = esegui_con_guasto(Operazione::elimina, file_scritti()[k]);
    EXPECT_EQ(e.stato, kUscitaPulita);
    EXPECT_TRUE(e.rapporti.empty());
    std::map<std::string, std::string> attesi = contenuti_nuovi();
    attesi.erase(test::kFileLinea);
    attesi.erase(test::kFileTreno);
    std::map<std::string, std::string> trovati = e.file;
    std::erase_if(trovati, [&](const auto& f) {
      return f.first.starts_with("." + file_scritti()[k] + ".") && k >= kPrimoBinario &&
             f.second == vecchio(file_scritti()[k]);
    });
    EXPECT_TRUE(trovati == attesi);
  }
}

TEST_F(GuastiEsecuzione, ASourceThatCannotBeDeletedDoesNotStopTheRun) {
  for (size_t k = 0; k < 2; ++k) {
    const std::string& bersaglio = file_scritti()[k];
    SCOPED_TRACE(bersaglio);
    const Esito e = esegui_con_guasto(Operazione::elimina, bersaglio);
    // The outputs are those of a clean run, with a clean status; the source
    // stays, whole, and the next run replaces it.
    EXPECT_EQ(e.stato, kUscitaPulita);
    EXPECT_EQ(e.codice_errore, 0);
    EXPECT_TRUE(e.fatali.empty());
    ASSERT_EQ(e.rapporti.size(), 1u);
    EXPECT_NE(e.rapporti[0].find("impossibile eliminare"), std::string::npos) << e.rapporti[0];
    EXPECT_NE(e.rapporti[0].find("/" + bersaglio + ": guasto simulato"), std::string::npos)
        << e.rapporti[0];
    nessun_temporaneo(e);
    std::map<std::string, std::string> attesi = contenuti_nuovi();
    attesi.erase(file_scritti()[1 - k]);
    EXPECT_TRUE(e.file == attesi);
  }
}

}  // namespace
}  // namespace calvetra
