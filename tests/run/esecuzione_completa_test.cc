// The whole run as the program makes it: the embedded sources and documents
// written, compiled and turned into the three binary files.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "content/testi.h"
#include "content/testo_scritto.h"
#include "model/codifica.h"
#include "output/file_celle.h"
#include "output/file_geometria.h"
#include "output/file_tabella.h"
#include "run/form1.h"
#include "support/cartella_temporanea.h"

namespace calvetra {
namespace {

const std::string kGeometria = "Calvetra_linea.dat";
const std::string kTabella = "Calvetra_2718 - 5340.sim";
const std::string kCelle = "Calvetra_2718 - 5340.dat";
const std::string kScheda = "Calvetra_2718 - 5340_scheda_treno.txt";
const std::string kOrdine = "Calvetra_2718 - 5340_rallentamenti.txt";
const std::string kNote = "Calvetra_2718 - 5340_note.txt";

// One run in a fresh directory, decoded once for all the tests below.
struct Esecuzione {
  test::PiattaformaDiProva piattaforma;
  int stato = -1;
  int32_t codice_errore = -1;
  std::map<std::string, std::string> file;
  std::vector<voce> tabella;
  std::vector<tratto> tratti;
  bool tabella_intera = false;
  bool celle_intere = false;

  Esecuzione() {
    Form1 f(&piattaforma);
    stato = f.Form_Load();
    codice_errore = numero(f.compilazione()->codice_errore());
    for (const std::string& nome : piattaforma.elenco()) file[nome] = piattaforma.leggi_file(nome);

    const std::string byte_tabella = piattaforma.leggi_file(kTabella);
    LettoreBinario t(byte_tabella);
    voce v;
    while (tabella.size() < 87 && decodifica_voce(&t, &v)) tabella.push_back(v);
    tabella_intera = tabella.size() == 87 && t.finito();

    const std::string byte_celle = piattaforma.leggi_file(kCelle);
    LettoreBinario c(byte_celle);
    tratto x;
    while (decodifica_tratto(&c, &x)) tratti.push_back(x);
    celle_intere = c.finito();
  }
};

const Esecuzione& esecuzione() {
  static const Esecuzione e;
  return e;
}

class EsecuzioneCompleta : public ::testing::Test {
 protected:
  void SetUp() override {
    const Esecuzione& e = esecuzione();
    ASSERT_TRUE(e.tabella_intera) << "table file is not 87 whole rows";
    ASSERT_TRUE(e.celle_intere) << "cell file is not whole cells";
    ASSERT_EQ(e.tratti.size(), 2441u);
  }
  const std::vector<voce>& tabella() const { return esecuzione().tabella; }
  const tratto& cella(size_t i) const { return esecuzione().tratti.at(i); }
};

TEST(EsecuzioneCompletaFile, LeavesTheSixFilesAndNothingElse) {
  const Esecuzione& e = esecuzione();
  EXPECT_EQ(e.stato, 0);
  EXPECT_EQ(e.codice_errore, 0);
  EXPECT_TRUE(e.piattaforma.fatali.empty());
  EXPECT_TRUE(e.piattaforma.rapporti.empty()) << e.piattaforma.rapporti.front();
  EXPECT_EQ(e.piattaforma.avvisi, (std::vector<std::string>{"Attendere"}));
  std::set<std::string> nomi;
  for (const auto& [nome, contenuto] : e.file) nomi.insert(nome);
  EXPECT_EQ(nomi, (std::set<std::string>{kGeometria, kTabella, kCelle, kScheda, kOrdine, kNote}));
  EXPECT_EQ(e.file.at(kCelle).size(), 36615u);
  EXPECT_EQ(e.file.at(kGeometria).size(), 2439964u);
}

TEST(EsecuzioneCompletaFile, RunningTwiceGivesTheSameFiles) {
  const Esecuzione& prima = esecuzione();
  test::PiattaformaDiProva piattaforma;
  for (int volta = 0; volta < 2; ++volta) {
    Form1 f(&piattaforma);
    EXPECT_EQ(f.Form_Load(), 0);
  }
  std::map<std::string, std::string> file;
  for (const std::string& nome : piattaforma.elenco()) file[nome] = piattaforma.leggi_file(nome);
  EXPECT_EQ(file.size(), 6u);
  for (const auto& [nome, contenuto] : prima.file) {
    EXPECT_TRUE(file[nome] == contenuto) << nome << " differs between runs";
  }
}

TEST(EsecuzioneCompletaFile, OlderLongerFilesAreReplacedWhole) {
  const Esecuzione& prima = esecuzione();
  test::PiattaformaDiProva piattaforma;
  const NomiScenario n;
  for (const std::string& nome :
       {n.sorgente_linea(), n.sorgente_treno(), n.note(), n.rallentamenti(), n.scheda(),
        n.geometria(), n.tabella(), n.celle()}) {
    piattaforma.scrivi_file(nome, std::string(3000000, 'x'));
  }
  Form1 f(&piattaforma);
  ASSERT_EQ(f.Form_Load(), 0);
  EXPECT_EQ(piattaforma.leggi_file(n.note()), testo_righe(dati_note()));
  EXPECT_EQ(piattaforma.leggi_file(n.rallentamenti()), testo_righe(dati_rallentamenti()));
  EXPECT_EQ(piattaforma.leggi_file(n.scheda()), testo_righe(dati_scheda()));
  for (const std::string& nome : {n.geometria(), n.tabella(), n.celle()}) {
    EXPECT_TRUE(piattaforma.leggi_file(nome) == prima.file.at(nome)) << nome;
  }
  EXPECT_FALSE(piattaforma.c_e(n.sorgente_linea()));
  EXPECT_FALSE(piattaforma.c_e(n.sorgente_treno()));
}

TEST_F(EsecuzioneCompleta, HeaderRows) {
  const std::vector<voce>& t = tabella();
  EXPECT_EQ(t[81].inizio, 2550);
  EXPECT_EQ(t[81].fine, 105100);
  EXPECT_EQ(t[81].posizione, 1);
  EXPECT_EQ(t[82].inizio, 2050);
  EXPECT_EQ(t[82].fine, 53950);
  EXPECT_EQ(t[82].posizione, 0);
  EXPECT_EQ(t[83].inizio, 1550);
  EXPECT_EQ(t[83].fine, -1500);
  EXPECT_EQ(t[83].posizione, 0);
  EXPECT_EQ(t[84].inizio, 150);
  EXPECT_EQ(t[84].fine, 115000);
  EXPECT_EQ(t[84].posizione, 3);
  EXPECT_EQ(t[85].inizio, 100000);
  EXPECT_EQ(t[85].fine, 54000);
  EXPECT_EQ(t[85].posizione, 1);
  EXPECT_EQ(t[85].nome, "Calvetra");
  EXPECT_EQ(t[85].cod_a, 610);
  // "2718 - 5340calvetrabbddff", weighted by position and plain.
  EXPECT_EQ(t[85].orario, 29846);
  EXPECT_EQ(cella(1).valore_a, 5121);
  EXPECT_EQ(cella(1).valore_b, 1973);
  EXPECT_EQ(t[86].inizio, 0);
  EXPECT_EQ(t[86].fine, 0);
  EXPECT_EQ(t[86].posizione, 0);
  EXPECT_EQ(t[86].nome, "2718 - 5340");
  EXPECT_EQ(t[86].cod_a, 300);
  EXPECT_EQ(t[86].cod_c, 7);
  EXPECT_EQ(t[86].cod_d, 53);
  EXPECT_EQ(t[86].cod_e, 30);
}

TEST_F(EsecuzioneCompleta, StationRowsAndTheirCells) {
  struct Attesa {
    int riga;
    int32_t inizio, fine, orario;
    uint8_t opz_e;
    int fermata;  // stop cell, 0 for none
  };
  const Attesa attese[] = {
      {1, 1100, 1900, 28440, 0, 37},        {2, 7250, 7450, 0, 0, 0},
      {3, 11100, 11500, 28920, 0, 0},       {4, 12900, 13300, 29100, 0, 0},
      {5, 14800, 15200, 29280, 0, 303},     {6, 18800, 19200, 29580, 0, 0},
      {7, 22750, 22950, 0, 0, 0},           {8, 27000, 27500, 30120, 0, 549},
      {9, 32300, 32700, 0, 0, 0},           {10, 36100, 36500, 30600, 0, 729},
      {11, 41800, 42200, 0, 0, 0},          {12, 49250, 49750, 32400, 0, 994},
      {13, 51950, 52350, 32640, 0, 0},      {14, 56650, 57050, 32940, 0, 0},
      {15, 62150, 62550, 33300, 0, 1250},   {16, 64250, 64750, 33540, 0, 1294},
      {17, 72600, 73000, 34140, 0, 1459},   {18, 78050, 78450, 34500, 0, 1568},
      {19, 84900, 85300, 34980, 0, 1705},   {20, 89100, 89500, 35400, 0, 0},
      {21, 95000, 95400, 0, 0, 0},          {22, 97450, 97850, 35940, 0, 0},
      {23, 99400, 99800, 36120, 0, 0},      {24, 104000, 104600, 36540, 1, 2091},
      {25, 106700, 107300, 36960, 1, 2145}, {26, 110700, 111300, 37320, 1, 2225},
  };
  const std::vector<voce>& t = tabella();
  for (const Attesa& a : attese) {
    SCOPED_TRACE("station row " + std::to_string(a.riga));
    const voce& v = t[static_cast<size_t>(a.riga)];
    EXPECT_EQ(v.inizio, a.inizio);
    EXPECT_EQ(v.fine, a.fine);
    EXPECT_EQ(v.orario, a.orario);
    EXPECT_EQ(v.opz_e, a.opz_e);
    EXPECT_EQ(v.opz_d, 0);
    EXPECT_FALSE(v.nome.empty());
    if (a.fermata == 0) continue;
    const size_t f = static_cast<size_t>(a.fermata);
    EXPECT_EQ(cella(f).tipo, kFermata);
    EXPECT_EQ(cella(f).valore_a, a.riga);
    for (size_t k = 1; k <= 4; ++k) {
      EXPECT_EQ(cella(f - k).preavviso, 80 + k) << "cell " << f - k;
    }
  }
  // Stations take rows 1 to 26, the signs rows 80 down to 43; the rows between stay empty.
  for (size_t r = 27; r <= 42; ++r) {
    EXPECT_TRUE(t[r].nome.empty()) << "row " << r;
  }
  int segni = 0;
  for (size_t r = 43; r <= 80; ++r) segni += t[r].nome.empty() ? 0 : 1;
  EXPECT_EQ(segni, 38);
  EXPECT_EQ(t[80].nome, "(INIZIO TRATTO )(CORRISPONDENTE)(ALLA REALTA'  )");
  EXPECT_EQ(t[43].nome, "(          )(FINE LINEA)(          )");
}

TEST_F(EsecuzioneCompleta, StationNamesMatchTheTimetableCard) {
  const auto scheda = test::righe_crlf(esecuzione().file.at(kScheda));
  ASSERT_TRUE(scheda.has_value());
  ASSERT_EQ(scheda->size(), 61u);
  std::vector<size_t> slot;
  for (size_t i = 15; i <= 26; ++i) slot.push_back(i);
  for (size_t i = 46; i <= 59; ++i) slot.push_back(i);
  for (size_t r = 1; r <= 26; ++r) {
    std::string nome = (*scheda)[slot[r - 1]].substr(32, 27);
    nome.erase(nome.find_last_not_of(' ') + 1);
    EXPECT_EQ(tabella()[r].nome, nome) << "row " << r;
  }
}

TEST_F(EsecuzioneCompleta, SignalWorkedExamples) {
  const tratto& a = cella(266);
  EXPECT_EQ(a.tipo, kSegnale);
  EXPECT_EQ(a.valore_a, 50);
  EXPECT_EQ(a.valore_b, 10);
  EXPECT_EQ(a.valore_c, 0);
  EXPECT_EQ(a.valore_d, 3);
  EXPECT_EQ(a.tempo, 0);
  EXPECT_EQ(cella(264).preavviso, 31);
  EXPECT_EQ(cella(262).preavviso, 32);
  EXPECT_EQ(cella(260).preavviso, 33);
  EXPECT_EQ(cella(258).preavviso, 34);

  const tratto& b = cella(2066);
  EXPECT_EQ(b.tipo, kSegnale);
  EXPECT_EQ(b.valore_a, 23);
  EXPECT_EQ(b.valore_b, 31);
  EXPECT_EQ(b.valore_c, 11);
  EXPECT_EQ(b.valore_d, 8);
  EXPECT_EQ(b.tempo, 220);
  EXPECT_EQ(cella(2064).preavviso, 81);
  EXPECT_EQ(cella(2062).preavviso, 82);
  EXPECT_EQ(cella(2060).preavviso, 83);
  EXPECT_EQ(cella(2058).preavviso, 84);
}

TEST_F(EsecuzioneCompleta, BoardCellsAndSlowdowns) {
  const tratto& a = cella(40);
  EXPECT_EQ(a.tipo, kIndicatori);
  EXPECT_EQ(a.valore_a, 2222);
  EXPECT_EQ(a.valore_b, 2626);
  EXPECT_EQ(a.valore_c, 3232);
  EXPECT_EQ(a.valore_d, 0);
  const tratto& b = cella(533);
  EXPECT_EQ(b.tipo, kIndicatori);
  EXPECT_EQ(b.valore_a, 1200);
  EXPECT_EQ(b.valore_b, 1200);
  EXPECT_EQ(b.valore_c, 1200);
  EXPECT_EQ(b.valore_d, 0);

  // The two slowdowns: end, start, warning and the four pre-warning cells.
  struct Rallentamento {
    size_t fine, inizio, avviso;
    int16_t v;
  };
  for (const Rallentamento& r : {Rallentamento{84, 81, 57, 30}, Rallentamento{809, 799, 775, 60}}) {
    SCOPED_TRACE("slowdown starting in cell " + std::to_string(r.inizio));
    EXPECT_EQ(cella(r.fine).tipo, kFineRallentamento);
    EXPECT_EQ(cella(r.inizio).tipo, kInizioRallentamento);
    EXPECT_EQ(cella(r.avviso).tipo, kAvvisoRallentamento);
    for (size_t c : {r.fine, r.inizio, r.avviso}) {
      EXPECT_EQ(cella(c).valore_a, r.v);
    }
    EXPECT_EQ(cella(r.fine).valore_c, 1);
    EXPECT_EQ(cella(r.inizio).valore_c, 1);
    for (size_t k = 0; k < 4; ++k) {
      EXPECT_EQ(cella(r.avviso - 1 - k).tipo, kPreavvisoRallentamento);
      EXPECT_EQ(cella(r.avviso - 1 - k).valore_a, static_cast<int16_t>(k + 1));
    }
  }
}

TEST_F(EsecuzioneCompleta, SpeedAndAdhesionProfiles) {
  struct Tratta {
    size_t da, a;  // cells da to a - 1
    uint8_t velocita;
  };
  const Tratta profilo[] = {
      {0, 48, 7},      {48, 80, 22},     {80, 83, 7},     {83, 527, 22},    {527, 550, 6},
      {550, 798, 22},  {798, 808, 7},    {808, 968, 22},  {968, 1000, 7},   {1000, 1268, 22},
      {1268, 1303, 7}, {1303, 2065, 22}, {2065, 2092, 7}, {2092, 2146, 12}, {2146, 2199, 22},
      {2199, 2438, 6}, {2438, 2441, 0},
  };
  for (const Tratta& t : profilo) {
    for (size_t i = t.da; i < t.a; ++i) {
      ASSERT_EQ(cella(i).velocita, t.velocita) << "cell " << i;
      ASSERT_EQ(cella(i).aderenza, i < 2438 ? 100 : 0) << "cell " << i;
    }
  }
}

TEST_F(EsecuzioneCompleta, GradientsSignsAndMountainsOfTheRoute) {
  // Level out of ROVELLA, a dip under the street, the steep drop at 12.7 km,
  // the long descent, and the three last cells never filled.
  for (size_t i = 0; i < 38; ++i) {
    ASSERT_EQ(cella(i).pendenza, 100) << "cell " << i;
  }
  EXPECT_EQ(cella(38).pendenza, 90);
  EXPECT_EQ(cella(39).pendenza, 90);
  EXPECT_EQ(cella(40).pendenza, 100);
  for (size_t i = 254; i < 257; ++i) {
    EXPECT_EQ(cella(i).pendenza, 80) << "cell " << i;
  }
  for (size_t i = 1588; i < 1698; ++i) {
    ASSERT_EQ(cella(i).pendenza, 86) << "cell " << i;
  }
  for (size_t i = 1698; i < 1706; ++i) {
    EXPECT_EQ(cella(i).pendenza, 100) << "cell " << i;
  }
  EXPECT_EQ(cella(2437).pendenza, 100);
  for (size_t i = 2438; i <= 2440; ++i) {
    EXPECT_EQ(cella(i).pendenza, 0) << "cell " << i;
  }

  // Each sign holds its cell with the row of its text, 80 downward.
  const std::vector<int> posizioni = {
      1000,  1900,  2200,  2500,  3950,  4700,  5400,  10850, 12600,  13600,  14650,  17700, 19900,
      21150, 22700, 24650, 25700, 26000, 26250, 30700, 39200, 49800,  50300,  51650,  52400, 53300,
      54950, 57000, 57500, 64700, 65150, 78400, 78500, 94150, 101150, 106550, 107300, 111250};
  for (size_t k = 0; k < posizioni.size(); ++k) {
    const tratto& c = cella(static_cast<size_t>(posizioni[k] / 50 + 1));
    EXPECT_EQ(c.tipo, kCartello) << "sign at " << posizioni[k];
    EXPECT_EQ(c.valore_a, static_cast<int16_t>(80 - k)) << "sign at " << posizioni[k];
  }

  // The underpass under the sign at 1900, and the Cerasola tunnel, which
  // starts 50 m after the underpass before it and so is of kind 3.
  EXPECT_EQ(cella(39).montagna, 2);
  EXPECT_EQ(cella(1571).montagna, 3);
  EXPECT_EQ(cella(1695).montagna, 3);
  EXPECT_EQ(cella(1696).montagna, 0);
}

}  // namespace
}  // namespace calvetra
