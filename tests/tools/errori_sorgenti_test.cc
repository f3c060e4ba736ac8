// One broken source per error code: `scenario compile` must report the code,
// the position and the line and column of the field that raised it. In the
// table a '@' marks that field (and is removed before compiling); a case
// without '@' expects the file-less report.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tools/scenario_prova.h"

namespace calvetra {
namespace {

using test::crlf;

// L = 10000: cells 0 to 340, positions up to 16900 accepted.
std::string linea(const std::string& intestazione, const std::string& corpo) {
  return crlf("[generale]\nlunghezza percorso,    10000\n" + intestazione + "[curve]\n" + corpo +
              "[fine]\n");
}
std::string treno(const std::string& corpo) { return crlf("[generale]\n" + corpo + "[fine]\n"); }

std::string stazione(const std::string& posizione, const std::string& tipo,
                     const std::string& lunghezza, const char* nome) {
  return "stazione, " + posizione + ", " + tipo + ", " + lunghezza +
         ", 1, 1, 0, 4,1,0, 2,1,1, 1, 7,54,0, " + nome + "\n";
}
std::string segnale(int posizione) {
  return "segnale, " + std::to_string(posizione) + ", 1, 5, 1, 0, 0, 0, 0,0,0, 0\n";
}

std::string cartelli(int quanti) {
  std::string s;
  for (int i = 0; i < quanti; ++i) {
    s += "cartello_indicatore, " + std::to_string(200 + 100 * i) + ", (X)\n";
  }
  return s;
}

struct Guasto {
  const char* nome;
  std::optional<std::string> linea;
  std::optional<std::string> treno;
  int32_t codice;
  int32_t posizione;
  int stato;
};

const std::vector<Guasto>& guasti() {
  static const std::vector<Guasto> tabella = {
      {"1 route too long", crlf("[generale]\nlunghezza percorso, @1000001\n[curve]\n[fine]\n"),
       treno(""), 1, 0, kUscitaFatale},
      {"2 progressive off the 50 m grid", linea("progressiva chilometrica uno, @1525, 0, 0\n", ""),
       treno(""), 2, 0, kUscitaConErrore},
      {"3 first repetition value", linea("ripetizione segnali 4 codici, @25, 50\n", ""), treno(""),
       3, 0, kUscitaConErrore},
      {"4 second repetition value", linea("ripetizione segnali 4 codici, 100, @75\n", ""),
       treno(""), 4, 0, kUscitaConErrore},
      {"5 repetition without 4 or 9", linea("@ripetizione segnali codici, 100, 50\n", ""),
       treno(""), 5, 0, kUscitaConErrore},
      {"6 two signs in one cell",
       linea("", "cartello_indicatore, 2500, (A)\ncartello_indicatore, @2510, (B)\n"), treno(""), 6,
       2510, kUscitaConErrore},
      {"7 code reduction on a signal", linea("", ""),
       treno(segnale(4950) + "abbattimento, @5000, 60\n"), 7, 5000, kUscitaConErrore},
      {"8 station off the 50 m grid", linea("", ""), treno(stazione("@1525", "2", "800", "A")), 8,
       1525, kUscitaConErrore},
      {"9 station length off the 100 m grid", linea("", ""),
       treno(stazione("1500", "2", "@850", "A")), 9, 1500, kUscitaConErrore},
      {"10 stations reach the sign rows", linea("", cartelli(78)),
       treno("@" + stazione("9000", "2", "800", "A")), 10, 0, kUscitaConErrore},
      {"11 signal before a warning board with no room in front", linea("", ""),
       treno(segnale(3350) + segnale(3400) + segnale(3450) +
             "@rallentamento, 5000, 30, 150, 1, 0, 0\n"),
       11, 3500, kUscitaConErrore},
      {"12 no room for a code reduction before a slowdown", linea("", ""),
       treno(segnale(4650) + segnale(4700) + segnale(4750) +
             "@rallentamento, 5000, 30, 150, 1, 0, 0\n"),
       12, 5050, kUscitaConErrore},
      {"13 no room for a code reduction inside a slowdown", linea("", ""),
       treno(segnale(5350) + segnale(5400) + segnale(5450) +
             "@rallentamento, 5000, 30, 1000, 1, 0, 0\n"),
       13, 5450, kUscitaConErrore},
      {"15 gradient beyond the cells", linea("", "pendenza, @16901, 5\n"), treno(""), 15, 16901,
       kUscitaConErrore},
      {"15 speed point beyond the cells", linea("", ""), treno("velocita, @16901, 60\n"), 15, 16901,
       kUscitaConErrore},
      {"16 two signals in one cell", linea("", ""),
       treno(segnale(3000) + "segnale, @3010, 1, 5, 1, 0, 0, 0, 0,0,0, 0\n"), 16, 3010,
       kUscitaConErrore},
      {"17 warning cell taken", linea("", ""),
       treno(segnale(3800) + "rallentamento, @5000, 30, 150, 1, 0, 0\n"), 17, 5000,
       kUscitaConErrore},
      {"18 start cell taken", linea("", ""),
       treno(segnale(5000) + "rallentamento, @5000, 30, 150, 1, 0, 0\n"), 18, 5000,
       kUscitaConErrore},
      {"19 end cell taken", linea("", ""),
       treno(segnale(5150) + "rallentamento, @5000, 30, 150, 1, 0, 0\n"), 19, 5000,
       kUscitaConErrore},
      {"20 pre-warning cell taken", linea("", ""),
       treno(segnale(3700) + "rallentamento, @5000, 30, 150, 1, 1, 0\n"), 20, 5000,
       kUscitaConErrore},
      {"21 two boards in one cell",
       linea("",
             "indicatori_vmax, 1950, 110, 130, 160, 0, 110, 130, 160, 0\n"
             "indicatori_vmax, @1960, 60, 60, 60, 0, , , , 0\n"),
       treno(""), 21, 1960, kUscitaConErrore},
      {"22 stations too close", linea("", ""),
       treno(stazione("1500", "2", "800", "A") + stazione("@2400", "2", "400", "B")), 22, 2400,
       kUscitaConErrore},
      {"24 stop cell in the first cells", linea("", ""),
       treno("@" + stazione("50", "2", "100", "A")), 24, 0, kUscitaConErrore},
      {"25 value too large for its field", linea("", ""), treno("sabbia, @70000\n"), 25, 0,
       kUscitaConErrore},
      {"101 no line source", std::nullopt, treno(""), 101, 0, kUscitaFatale},
      {"102 no [generale]", crlf("ciao\n@mondo\n"), treno(""), 102, 0, kUscitaFatale},
      {"103 curve without class", linea("", "@curva, 100, 100\n"), treno(""), 103, 0,
       kUscitaConErrore},
      {"103 plan beyond metre 1000000",
       crlf("[generale]\nlunghezza percorso, 1000000\n[curve]\ncurvad1, 999950, @100\n[fine]\n"),
       treno(""), 103, 0, kUscitaConErrore},
  };
  return tabella;
}

struct Segno {
  bool presente = false;
  FileSorgente file = FileSorgente::nessuno;
  size_t offset = 0;
  int riga = 0;
  int colonna = 0;
};

// Removes the '@' from one of the two sources and says where it was.
Segno togli_segno(std::optional<std::string>* testo, FileSorgente file, Segno s) {
  if (!*testo) return s;
  const size_t at = (*testo)->find('@');
  if (at == std::string::npos) return s;
  (*testo)->erase(at, 1);
  s = {true, file, at, 1, 1};
  for (size_t i = 0; i < at; ++i) {
    if ((**testo)[i] == '\n') {
      ++s.riga;
      s.colonna = 1;
    } else if ((**testo)[i] != '\r') {
      ++s.colonna;
    }
  }
  return s;
}

TEST(ScenarioCompileErrors, EveryCodeIsReportedAtItsField) {
  for (const Guasto& g : guasti()) {
    SCOPED_TRACE(g.nome);
    std::optional<std::string> l = g.linea;
    std::optional<std::string> t = g.treno;
    Segno segno = togli_segno(&l, FileSorgente::linea, {});
    segno = togli_segno(&t, FileSorgente::treno, segno);

    test::CompilaInCartella c(l, t);
    EXPECT_EQ(numero(c.esito.codice_errore), g.codice);
    EXPECT_EQ(c.esito.posizione_errore, g.posizione);
    EXPECT_EQ(c.esito.stato, g.stato);
    const std::string atteso = "errore " + std::to_string(g.codice) + " (posizione " +
                               std::to_string(g.posizione) + " m): ";
    if (!segno.presente) {
      EXPECT_EQ(c.esito.file_errore, FileSorgente::nessuno);
      // A missing line source is named by the path looked for.
      const std::string file = g.codice == 101 ? c.banco.file(test::kSorgenteLinea) + ": " : "";
      EXPECT_EQ(c.errori.rfind(file + atteso, 0), 0u) << c.errori;
      continue;
    }
    EXPECT_EQ(c.esito.file_errore, segno.file);
    EXPECT_EQ(c.esito.campo_errore, segno.offset);
    const std::string file = c.banco.file(segno.file == FileSorgente::linea ? test::kSorgenteLinea
                                                                            : test::kSorgenteTreno);
    EXPECT_EQ(c.errori.rfind(file + ":" + std::to_string(segno.riga) + ":" +
                                 std::to_string(segno.colonna) + ": " + atteso,
                             0),
              0u)
        << c.errori;
    // The sources are never touched, whatever went wrong.
    if (l) {
      EXPECT_EQ(c.banco.leggi(test::kSorgenteLinea), *l);
    }
    if (t) {
      EXPECT_EQ(c.banco.leggi(test::kSorgenteTreno), *t);
    }
  }
}

TEST(ScenarioCompileErrors, MissingTrainSourceIsAFatalEndWithNoFile) {
  test::CompilaInCartella c(linea("", ""), std::nullopt);
  EXPECT_EQ(c.esito.stato, kUscitaFatale);
  EXPECT_EQ(
      c.errori.rfind(c.banco.file(test::kSorgenteTreno) + ": il sorgente del treno non esiste", 0),
      0u)
      << c.errori;
  EXPECT_EQ(c.banco.elenco(), (std::set<std::string>{test::kSorgenteLinea}));
}

}  // namespace
}  // namespace calvetra
