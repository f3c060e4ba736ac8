// The editor's command of `view --serve --comando-editor`: how the author's
// text splits into words and how a record's place fills them, and the
// refusals of the option before anything is served.
#include "scenario/comune/comando.h"

#include <gtest/gtest.h>

#include "scenario/comandi/view.h"
#include "tools/scenario_prova.h"

namespace calvetra {
namespace {

using Parole = std::vector<std::string>;

TEST(ComandoEditor, TheTextSplitsIntoWordsQuotesKeepBlanks) {
  const struct {
    const char* modello;
    Parole parole;
  } casi[] = {
      {"notepad++ -n{line} \"{path}\"", {"notepad++", "-n{line}", "{path}"}},
      {"  gvim   +{line}\t{path} ", {"gvim", "+{line}", "{path}"}},
      {"'C:/Program Files/Notepad++/notepad++.exe' -n{line} {path}",
       {"C:/Program Files/Notepad++/notepad++.exe", "-n{line}", "{path}"}},
      {"code --goto \"{path}:{line}:{col}\"", {"code", "--goto", "{path}:{line}:{col}"}},
      {"ed \"\"", {"ed", ""}},
      {"a\"b c\"d", {"ab cd"}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.modello);
    std::string motivo;
    const auto parole = scenario::parole_comando(c.modello, &motivo);
    ASSERT_TRUE(parole) << motivo;
    EXPECT_EQ(*parole, c.parole);
  }
  for (const char* rifiutato : {"", "   ", "gvim \"{path}", "'ed", "\"\" {path}"}) {
    SCOPED_TRACE(rifiutato);
    std::string motivo;
    EXPECT_FALSE(scenario::parole_comando(rifiutato, &motivo));
    EXPECT_FALSE(motivo.empty());
  }
}

TEST(ComandoEditor, APathStaysOneWordWhateverItHolds) {
  const Parole parole = {"notepad++", "-n{line}", "-c{col}", "{path}", "x{line}{line}"};
  const std::string strano = "/a b/\"c\" -d {line}/;rm -rf ~/$(x)`y`.txt";
  const Parole attese = {"notepad++", "-n27", "-c3", strano, "x2727"};
  EXPECT_EQ(scenario::riempi_comando(parole, strano, 27, 3), attese);
}

TEST(ComandoEditor, TheOptionIsRefusedWhereItCannotWork) {
  const struct {
    scenario::Argomenti argomenti;
    const char* detto;
  } casi[] = {
      {{"--comando-editor", "gvim {path}", "-o", "p.html", "/prova"}, "vale solo con --serve"},
      {{"--serve", "--comando-editor", "gvim {path}", "--editor", "file://{path}", "/prova"},
       "--editor insieme"},
      {{"--serve", "--comando-editor", "gvim \"{path}", "/prova"}, "virgolette \" non chiuse"},
      {{"--serve", "--comando-editor", "  ", "/prova"}, "nessun programma"},
  };
  for (const auto& c : casi) {
    test::Banco b;
    const test::Esito e = test::esegui(&b.disco, scenario::comando_view, c.argomenti);
    EXPECT_EQ(e.stato, kUscitaUso) << e.errori;
    EXPECT_NE(e.errori.find(c.detto), std::string::npos) << e.errori;
  }
}

}  // namespace
}  // namespace calvetra
