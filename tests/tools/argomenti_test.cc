// The one argument skeleton of every subcommand, and the program's own
// arguments (help, version, an unknown subcommand).
#include "scenario/comune/argomenti.h"

#include <gtest/gtest.h>

#include <sstream>

#include "scenario/comandi/principale.h"
#include "scenario/comune/contesto.h"
#include "tools/scenario_prova.h"
#include "versione.h"

namespace calvetra {
namespace {

using scenario::Argomenti;

// What a command line read into the places of a skeleton with every kind of
// option: the exit status it ends with (-1: the command runs), what it
// printed, and the values read.
struct Letto {
  int stato = -1;
  std::string uscita, errori;
  std::string cartella, uscita_file;
  NomiScenario nomi;
  bool json = false;
  int32_t passo = 1000;
};

Letto leggi(const Argomenti& a) {
  Letto l;
  scenario::Sintassi s("prova", "aiuto\n");
  s.bandiera("--json", &l.json)
      .nomi_scenario(&l.nomi)
      .numero("--passo", "METRI", 1, 5000, &l.passo)
      .cartella(&l.cartella);
  s.valore("-o", "FILE.svg", &l.uscita_file).alias("--output").obbligatoria();
  std::ostringstream out, err;
  if (const std::optional<int> fine = s.leggi(a, out, err)) l.stato = *fine;
  l.uscita = out.str();
  l.errori = err.str();
  return l;
}

TEST(ScenarioArgomenti, EveryCommandLineReadsOrIsRefusedByName) {
  const std::string uso =
      "uso: scenario prova [--json] [--linea NOME] [--treni COPPIA] [--passo METRI] CARTELLA -o "
      "FILE.svg\n";
  struct Caso {
    Argomenti argomenti;
    int stato;
    std::string errore;  // the first line on standard error
  };
  const Caso casi[] = {
      {{"d", "-o", "x.svg"}, -1, ""},
      {{"--json", "--passo=250", "d", "--output", "-"}, -1, ""},
      {{"--linea", "Valle", "--treni=1 - 2", "-o=x", "d"}, -1, ""},
      {{"-o", "x", "--", "-d"}, -1, ""},  // after "--" a leading '-' is a directory
      {{"-o", "x", "-"}, -1, ""},         // "-" alone is an argument
      {{"d", "-o", "x", "--help"}, 0, ""},
      {{"--boh", "--help"}, 2, "opzione sconosciuta --boh"},
      {{}, 2, "serve una CARTELLA"},
      {{"-o", "x"}, 2, "serve una CARTELLA"},
      {{"a", "b", "-o", "x"}, 2, "argomento in piu' b"},
      {{"d"}, 2, "serve -o FILE.svg"},
      {{"d", "-o"}, 2, "manca il valore di -o"},
      {{"d", "-o", "x", "--json=1"}, 2, "opzione sconosciuta --json=1"},
      {{"d", "-o", "x", "--passo", "0"}, 2, "--passo vuole un numero da 1 a 5000, non \"0\""},
      {{"d", "-o", "x", "--passo=99999999999"},
       2,
       "--passo vuole un numero da 1 a 5000, non \"99999999999\""},
      {{"d", "-o", "x", "--passo", "-3"}, 2, "--passo vuole un numero da 1 a 5000, non \"-3\""},
      {{"d", "-o", "x", "--treni", "a/b"},
       2,
       "--treni: nome rifiutato \"a/b\": contiene un separatore di percorso '/' e i file devono "
       "restare nella CARTELLA"},
      {{"d", "-o", "x", "--linea", "Citt\xE2\x98\x83"},
       2,
       "--linea: nome rifiutato \"Citt\xE2\x98\x83\": il carattere '\xE2\x98\x83' (U+2603) non sta "
       "in "
       "Windows-1252, la codifica in cui la tabella conserva i nomi"},
      {{"d", "-o", "x", "--treni", "1 \xE0 2"},
       2,
       "--treni: nome rifiutato \"1 \xE0 2\": il byte 0xE0 non e' UTF-8; scrivi il nome in UTF-8, "
       "sara' conservato in Windows-1252"},
      {{"d", "-o", "x", std::string("--linea=a\0b", 11)},
       2,
       "--linea: nome rifiutato \"a\\0b\": contiene un carattere NUL e i file devono restare "
       "nella CARTELLA"},
  };
  for (const Caso& k : casi) {
    std::string riga;
    for (const std::string& a : k.argomenti) riga += "[" + a + "]";
    SCOPED_TRACE(riga);
    const Letto l = leggi(k.argomenti);
    EXPECT_EQ(l.stato, k.stato);
    EXPECT_EQ(l.uscita, k.stato == 0 ? "aiuto\n" : "");
    EXPECT_EQ(l.errori, k.errore.empty() ? "" : "scenario prova: " + k.errore + "\n" + uso);
  }
}

TEST(ScenarioArgomenti, ValuesLandInTheirPlaces) {
  const Letto l = leggi({"--json", "--passo", "250", "--linea", "Valle", "--treni=1 - 2",
                         "--output", "p.svg", "dir"});
  EXPECT_EQ(l.stato, -1);
  EXPECT_TRUE(l.json);
  EXPECT_EQ(l.passo, 250);
  EXPECT_EQ(l.nomi.linea, "Valle");
  EXPECT_EQ(l.nomi.linea_in_tabella(), "Valle");
  // A name from a UTF-8 command line: the files keep its bytes, the table
  // one Windows-1252 byte a character.
  const Letto accentato =
      leggi({"--linea", "Citt\xC3\xA0", "--treni", "1 \xE2\x80\x93 2", "-o", "x", "d"});
  EXPECT_EQ(accentato.nomi.linea, "Citt\xC3\xA0");
  EXPECT_EQ(accentato.nomi.linea_in_tabella(), "Citt\xE0");
  EXPECT_EQ(accentato.nomi.treni_in_tabella(), "1 \x96 2");
  EXPECT_EQ(l.nomi.treni, "1 - 2");
  EXPECT_EQ(l.uscita_file, "p.svg");
  EXPECT_EQ(l.cartella, "dir");
}

TEST(ScenarioArgomenti, TheProgramsCommandLine) {
  PiattaformaMemoria disco;
  struct Caso {
    Argomenti argomenti;
    int stato;
    std::string uscita;  // the start of stdout
    std::string errori;  // the start of stderr
  };
  const Caso casi[] = {
      {{"--version"}, kUscitaPulita, std::string("scenario ") + CALVETRA_VERSIONE + "\n", ""},
      {{"--version", "extra"},
       kUscitaUso,
       "",
       "scenario: argomento non accettato dopo --version: extra\n"},
      {{"--help"}, kUscitaPulita, "uso: scenario COMANDO", ""},
      {{"--help", "init"}, kUscitaUso, "", "scenario: argomento non accettato dopo --help: init\n"},
      {{}, kUscitaUso, "", "uso: scenario COMANDO"},
      {{"compila", "d"}, kUscitaUso, "", "scenario: comando sconosciuto compila\n\nuso:"},
      // Each subcommand gets the arguments after its name.
      {{"init", "--forza", "x"},
       kUscitaUso,
       "",
       "scenario init: opzione sconosciuta --forza\n"
       "uso: scenario init [--linea NOME] [--treni COPPIA] CARTELLA\n"},
  };
  for (const Caso& k : casi) {
    std::string riga;
    for (const std::string& a : k.argomenti) riga += a + " ";
    SCOPED_TRACE(riga);
    const test::Esito e = test::esegui(&disco, scenario::esegui, k.argomenti);
    EXPECT_EQ(e.stato, k.stato);
    EXPECT_EQ(e.uscita.rfind(k.uscita, 0), 0u) << e.uscita;
    EXPECT_EQ(e.errori.rfind(k.errori, 0), 0u) << e.errori;
    if (k.uscita.empty()) {
      EXPECT_EQ(e.uscita, "");
    }
    if (k.errori.empty()) {
      EXPECT_EQ(e.errori, "");
    }
  }
  // Every option of every subcommand is in the program's help.
  const std::string aiuto = test::esegui(&disco, scenario::esegui, {"--help"}).uscita;
  for (const char* opzione : {"--passo", "--json", "--rigoroso", "--senza-geometria", "-o"}) {
    EXPECT_NE(aiuto.find(opzione), std::string::npos) << opzione;
  }
}

TEST(ScenarioArgomenti, ColoursOnlyOnATerminalThatHasThem) {
  struct Caso {
    const char* no_color;
    const char* term;
    bool terminale;
    bool colori;
  };
  const Caso casi[] = {
      {nullptr, "xterm-256color", true, true},
      {nullptr, nullptr, true, true},
      {"", "xterm", true, true},
      {"1", "xterm", true, false},
      {nullptr, "dumb", true, false},
      {nullptr, "xterm", false, false},
  };
  for (const Caso& k : casi) {
    EXPECT_EQ(scenario::colori_voluti(k.no_color, k.term, k.terminale), k.colori)
        << (k.no_color ? k.no_color : "-") << " " << (k.term ? k.term : "-") << " " << k.terminale;
  }
}

}  // namespace
}  // namespace calvetra
