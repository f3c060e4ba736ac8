// One small broken scenario per error the run can record or report, each
// checked for its code and position, the source files it leaves and what it
// does to the output files of an earlier run.
#include <gtest/gtest.h>

#include <string>

#include "run/form1.h"
#include "support/cartella_temporanea.h"
#include "support/compilazione.h"

namespace calvetra {
namespace {

using test::kFileCelle;
using test::kFileGeometria;
using test::kFileLinea;
using test::kFileTabella;
using test::kFileTreno;

enum class Uscite { scritte, intatte };

struct Caso {
  const char* nome;
  std::string linea;  // "" with senza_linea: no line source at all
  std::string treno;  // "" with senza_treno: no train source at all
  int32_t codice;
  int32_t posizione;
  bool resta_linea;
  bool resta_treno;
  Uscite uscite;
  bool senza_linea = false;
  bool senza_treno = false;
};

std::string linea_con(const std::string& intestazione, const std::string& corpo) {
  return test::sorgente_linea(intestazione, corpo);
}

std::string treno_con(const std::string& voci) { return "[generale]\r\n" + voci + "[fine]\r\n"; }

std::string segnale(int posizione) {
  return "segnale, " + std::to_string(posizione) + ", 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n";
}

std::string stazione(int posizione, int tipo, int lunghezza) {
  return "stazione, " + std::to_string(posizione) + ", " + std::to_string(tipo) + ", " +
         std::to_string(lunghezza) + ", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0, LUOGO\r\n";
}

std::string settantanove_stazioni() {
  std::string s;
  for (int i = 0; i < 79; ++i) s += stazione(1000 + 500 * i, 28, 100);
  return s;
}

const std::string kLinea = linea_con("", "");
const std::string kTreno = test::kTrenoVuoto;

std::vector<Caso> catalogo() {
  return {
      {"1 route too long", test::sorgente_linea("", "", 1000001), kTreno, 1, 0, false, true,
       Uscite::intatte},
      {"2 progressive off the 50 m grid",
       linea_con("progressiva chilometrica uno, 1525, 0, 0\r\n", ""), kTreno, 2, 0, false, false,
       Uscite::scritte},
      {"3 first repetition value", linea_con("ripetizione segnali 4, 25, 50\r\n", ""), kTreno, 3, 0,
       false, true, Uscite::scritte},
      {"4 second repetition value", linea_con("ripetizione segnali 4, 50, 75\r\n", ""), kTreno, 4,
       0, false, true, Uscite::scritte},
      {"5 repetition without 4 or 9", linea_con("ripetizione segnali, 50, 50\r\n", ""), kTreno, 5,
       0, false, true, Uscite::scritte},
      {"6 two signs in one cell",
       linea_con("", "cartello_indicatore, 2500, (A)\r\ncartello_indicatore, 2510, (B)\r\n"),
       kTreno, 6, 2510, false, true, Uscite::scritte},
      {"7 code reduction on a signal", kLinea,
       treno_con(segnale(4950) + "abbattimento, 5000, 60\r\n"), 7, 5000, false, false,
       Uscite::scritte},
      {"8 station off the 50 m grid", kLinea, treno_con(stazione(1525, 2, 800)), 8, 1525, false,
       false, Uscite::scritte},
      {"9 station length off the 100 m grid", kLinea, treno_con(stazione(5000, 28, 150)), 9, 5000,
       false, false, Uscite::scritte},
      {"10 stations reach the sign rows", kLinea, treno_con(settantanove_stazioni()), 10, 0, false,
       false, Uscite::scritte},
      {"11 signal before a warning board with no room", kLinea,
       treno_con(segnale(4950) + segnale(5000) + segnale(5050) +
                 "rallentamento, 6650, 60, 100, 1, 0, 0\r\n"),
       11, 5100, false, false, Uscite::scritte},
      {"12 no room before a slowdown start", kLinea,
       treno_con(segnale(9600) + segnale(9650) + segnale(9700) +
                 "rallentamento, 9950, 60, 100, 1, 0, 0\r\n"),
       12, 10000, false, false, Uscite::scritte},
      {"13 no room before the first signal after a slowdown", kLinea,
       treno_con(segnale(10000) + segnale(10100) + "rallentamento, 9950, 60, 100, 1, 0, 0\r\n"), 13,
       10100, false, false, Uscite::scritte},
      {"15 gradient beyond the cells", linea_con("", "pendenza, 200000, 1\r\n"), kTreno, 15, 200000,
       false, false, Uscite::scritte},
      {"15 speed point beyond the cells", kLinea, treno_con("velocita, 121901, 30\r\n"), 15, 121901,
       false, false, Uscite::scritte},
      {"16 two signals in one cell", kLinea, treno_con(segnale(13250) + segnale(13260)), 16, 13260,
       false, false, Uscite::scritte},
      {"17 warning cell taken", kLinea,
       treno_con(segnale(5450) + "rallentamento, 6650, 60, 100, 1, 0, 0\r\n"), 17, 6650, false,
       false, Uscite::scritte},
      {"18 start cell taken", kLinea,
       treno_con(segnale(6650) + "rallentamento, 6650, 60, 100, 1, 0, 0\r\n"), 18, 6650, false,
       false, Uscite::scritte},
      {"19 end cell taken", kLinea,
       treno_con(segnale(6750) + "rallentamento, 6650, 60, 100, 1, 0, 0\r\n"), 19, 6650, false,
       false, Uscite::scritte},
      {"20 pre-warning cell taken", kLinea,
       treno_con(segnale(5300) + "rallentamento, 6650, 60, 100, 1, 1, 0\r\n"), 20, 6650, false,
       false, Uscite::scritte},
      {"21 two boards in one cell",
       linea_con("",
                 "indicatori_vmax, 1950, 60, 60, 60, 0, , , , 0\r\n"
                 "indicatori_vmax, 1960, 60, 60, 60, 0, , , , 0\r\n"),
       kTreno, 21, 1960, false, true, Uscite::scritte},
      {"22 stations too close", kLinea,
       treno_con(stazione(5000, 28, 200) + stazione(5400, 28, 200)), 22, 5400, false, false,
       Uscite::scritte},
      {"24 stop cell in the first two cells", kLinea, treno_con(stazione(0, 2, 200)), 24, 0, false,
       false, Uscite::scritte},
      {"25 value too big for its field", kLinea, treno_con("sabbia, 40000\r\n"), 25, 0, false,
       false, Uscite::scritte},
      {"25 overflow of a station time", kLinea,
       treno_con("stazione, 5000, 28, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1000000, 0, 0, X\r\n"), 25,
       0, false, false, Uscite::scritte},
      {"25 index outside the cells", kLinea, treno_con(segnale(-1000)), 25, 0, false, false,
       Uscite::scritte},
      {"25 missing train source", kLinea, "", 25, 0, false, false, Uscite::scritte, false, true},
      {"25 end of file inside a record",
       "[generale]\r\nlunghezza percorso, 115000\r\n[curve]\r\npendenza, 1900", kTreno, 25, 0,
       false, false, Uscite::scritte},
      {"101 no line source", "", kTreno, 101, 0, false, true, Uscite::intatte, true},
      {"102 no [generale]", "lunghezza percorso, 115000\r\n", kTreno, 102, 0, false, true,
       Uscite::intatte},
      {"103 curve without class", linea_con("", "curva, 500, 100\r\n"), kTreno, 103, 0, false, true,
       Uscite::scritte},
  };
}

TEST(CatalogoErrori, EachBrokenScenario) {
  for (const Caso& k : catalogo()) {
    SCOPED_TRACE(k.nome);
    test::PiattaformaDiProva p;
    if (!k.senza_linea) p.scrivi_file(kFileLinea, k.linea);
    if (!k.senza_treno) p.scrivi_file(kFileTreno, k.treno);
    for (const std::string& nome : {kFileGeometria, kFileTabella, kFileCelle})
      p.scrivi_file(nome, "old");
    Form1 f(&p);
    const int stato = f.memorizza_percorso(1);

    EXPECT_EQ(numero(f.compilazione()->codice_errore()), k.codice);
    EXPECT_EQ(f.compilazione()->posizione_errore(), k.posizione);
    EXPECT_EQ(p.c_e(kFileLinea), k.resta_linea);
    EXPECT_EQ(p.c_e(kFileTreno), k.resta_treno);
    const bool scritte = k.uscite == Uscite::scritte;
    EXPECT_EQ(stato, scritte ? kUscitaConErrore : kUscitaFatale);
    for (const std::string& nome : {kFileGeometria, kFileTabella, kFileCelle}) {
      EXPECT_EQ(p.leggi_file(nome) == "old", !scritte) << nome;
    }
    // The report names the code; nothing temporary is left behind.
    ASSERT_FALSE(p.rapporti.empty());
    EXPECT_EQ(p.rapporti.back().rfind("errore " + std::to_string(k.codice) + " ", 0), 0u)
        << p.rapporti.back();
    for (const std::string& nome : p.elenco()) EXPECT_NE(nome.front(), '.') << nome;
  }
}

TEST(CatalogoErrori, ReservedHeaderSlotsStopTheRunAndKeepEarlierFiles) {
  struct Fatale {
    std::string linea, treno, messaggio;
  };
  const Fatale casi[] = {
      {linea_con("", "cartello_indicatore, 0, (X)\r\n"), kTreno, " Errore n. 1250"},
      {kLinea, treno_con("rallentamento, 0, 0, 200, 1, 0, 7\r\n"), " Errore n. 1251"},
  };
  for (const Fatale& k : casi) {
    SCOPED_TRACE(k.messaggio);
    test::PiattaformaDiProva p;
    p.scrivi_file(kFileLinea, k.linea);
    p.scrivi_file(kFileTreno, k.treno);
    for (const std::string& nome : {kFileGeometria, kFileTabella, kFileCelle})
      p.scrivi_file(nome, "old");
    Form1 f(&p);
    EXPECT_EQ(f.memorizza_percorso(1), kUscitaFatale);
    ASSERT_EQ(p.fatali.size(), 1u);
    EXPECT_EQ(p.fatali[0], k.messaggio);
    for (const std::string& nome : {kFileGeometria, kFileTabella, kFileCelle}) {
      EXPECT_EQ(p.leggi_file(nome), "old") << nome;
    }
  }
}

}  // namespace
}  // namespace calvetra
