#include "scenario/leggi_scenario.h"

#include <gtest/gtest.h>

#include "compile/compilazione.h"
#include "model/codifica.h"
#include "output/file_binari.h"
#include "output/scrittura.h"
#include "platform/piattaforma_memoria.h"
#include "run/form1.h"
#include "tools/scenario_prova.h"

namespace calvetra {
namespace {

using scenario::leggi_celle;
using scenario::leggi_geometria;
using scenario::leggi_tabella;

// The sample scenario compiled in a temporary directory, with the run object
// that wrote it, so that what is read back can be compared with what was in
// memory.
struct Compilato {
  test::PiattaformaDiProva cartella;
  Form1 f{&cartella};
  std::string tabella, celle, geometria;
  Modello m;
  int32_t codice_errore = -1;
  Compilato() {
    cartella.scrivi_file(test::kSorgenteLinea, test::kLineaProva);
    cartella.scrivi_file(test::kSorgenteTreno, test::kTrenoProva);
    f.memorizza_percorso(1);
    m = f.compilazione()->modello;
    codice_errore = f.compilazione()->codice_errore();
    tabella = cartella.leggi_file(test::kTabella);
    celle = cartella.leggi_file(test::kCelle);
    geometria = cartella.leggi_file(test::kGeometria);
  }
};

Compilato& compilato() {
  static Compilato c;
  return c;
}

bool stessa_voce(const voce& a, const voce& b) {
  return a.tipo == b.tipo && a.inizio == b.inizio && a.fine == b.fine &&
         a.posizione == b.posizione && a.opz_a == b.opz_a && a.nome == b.nome &&
         a.cod_a == b.cod_a && a.cod_b == b.cod_b && a.cod_c == b.cod_c && a.cod_d == b.cod_d &&
         a.cod_e == b.cod_e && a.opz_b == b.opz_b && a.opz_c == b.opz_c && a.opz_d == b.opz_d &&
         a.opz_e == b.opz_e && a.orario == b.orario;
}

bool stesso_tratto(const tratto& a, const tratto& b) {
  return a.tipo == b.tipo && a.valore_a == b.valore_a && a.valore_b == b.valore_b &&
         a.valore_c == b.valore_c && a.valore_d == b.valore_d && a.tempo == b.tempo &&
         a.preavviso == b.preavviso && a.montagna == b.montagna && a.velocita == b.velocita &&
         a.pendenza == b.pendenza && a.aderenza == b.aderenza;
}

TEST(ScenarioRead, RoundTripOfTheThreeFiles) {
  Compilato& c = compilato();
  ASSERT_EQ(c.codice_errore, 0);
  scenario::ScenarioLetto s;
  std::string errore;
  ASSERT_TRUE(scenario::leggi_scenario(c.cartella.cartella(), {}, &s, &errore)) << errore;

  for (size_t r = 0; r < s.tabella.size(); ++r) {
    EXPECT_TRUE(stessa_voce(s.tabella[r], c.m.tabella[r])) << "row " << r;
  }
  ASSERT_EQ(s.tratti.size(), c.m.tratti.size());
  for (size_t i = 0; i < s.tratti.size(); ++i) {
    EXPECT_TRUE(stesso_tratto(s.tratti[i], c.m.tratti[i])) << "cell " << i;
  }
  ASSERT_TRUE(s.geometria.has_value());
  const Geometria& g = c.m.geometria;
  ASSERT_EQ(s.geometria->x.size(), static_cast<size_t>(g.ultimo_metro()) + 1);
  for (int32_t m = 0; m <= g.ultimo_metro(); ++m) {
    const auto i = static_cast<size_t>(m);
    ASSERT_EQ(s.geometria->x[i].genere, g.genere(m)) << "metre " << m;
    if (g.genere(m) == Geometria::Genere::vuoto) continue;
    // Bit for bit: the file keeps every double exactly.
    ASSERT_EQ(s.geometria->x[i].valore, g.x(m)) << "metre " << m;
    ASSERT_EQ(s.geometria->y[i].valore, g.y(m)) << "metre " << m;
  }
}

TEST(ScenarioRead, EveryTruncationOfTheTableIsRefused) {
  const std::string& dati = compilato().tabella;
  Tabella t;
  std::string errore;
  ASSERT_TRUE(leggi_tabella(dati, "T", &t, &errore)) << errore;
  for (size_t n = 0; n < dati.size(); ++n) {
    errore.clear();
    ASSERT_FALSE(leggi_tabella(std::string_view(dati).substr(0, n), "T", &t, &errore)) << n;
    ASSERT_EQ(errore.rfind("T: troncato: la riga ", 0), 0u) << errore;
  }
  EXPECT_FALSE(leggi_tabella(dati.substr(0, 100), "T", &t, &errore));
  EXPECT_EQ(errore,
            "T: troncato: la riga 2, che inizia al byte 78, supera la fine del file (100 byte); "
            "servono 87 righe");
}

TEST(ScenarioRead, PaddedOrCorruptTableIsRefused) {
  const std::string& dati = compilato().tabella;
  Tabella t;
  std::string errore;
  EXPECT_FALSE(leggi_tabella(dati + "xy", "T", &t, &errore));
  EXPECT_EQ(errore, "T: 2 byte in eccesso dal byte " + std::to_string(dati.size()) +
                        ", dopo le 87 righe della tabella");

  // An 88th record would be "padding" too: the table has exactly 87 rows.
  std::string piu_righe = dati;
  codifica_voce(&piu_righe, voce{});
  EXPECT_FALSE(leggi_tabella(piu_righe, "T", &t, &errore));
  EXPECT_NE(errore.find("34 byte in eccesso"), std::string::npos) << errore;

  // A name that claims more characters than the file holds.
  std::string nome_lungo = dati;
  nome_lungo[14] = '\xFF';
  nome_lungo[15] = '\xFF';
  EXPECT_FALSE(leggi_tabella(nome_lungo, "T", &t, &errore));
  EXPECT_EQ(errore.rfind("T: troncato: la riga 0, che inizia al byte 0", 0), 0u) << errore;
}

TEST(ScenarioRead, CellFileMustMatchTheRouteLength) {
  const std::string& dati = compilato().celle;
  const int32_t L = 20000;  // 541 cells
  std::vector<tratto> t;
  std::string errore;
  ASSERT_TRUE(leggi_celle(dati, "C", L, &t, &errore)) << errore;
  EXPECT_EQ(t.size(), 541u);

  EXPECT_FALSE(leggi_celle(dati.substr(0, dati.size() - 1), "C", L, &t, &errore));
  EXPECT_EQ(errore,
            "C: corrotto: 8114 byte non sono un multiplo di 15; gli ultimi 14 byte, dal byte 8100, "
            "non formano una cella");
  EXPECT_FALSE(leggi_celle(dati.substr(0, dati.size() - 15), "C", L, &t, &errore));
  EXPECT_EQ(errore,
            "C: troncato: il file finisce al byte 8100 dopo 540 celle; la lunghezza 20000 m della "
            "tabella ne vuole 541 (8115 byte)");
  EXPECT_FALSE(leggi_celle(dati + std::string(15, '\0'), "C", L, &t, &errore));
  EXPECT_EQ(errore,
            "C: 15 byte in eccesso dal byte 8115: la lunghezza 20000 m della tabella vuole 541 "
            "celle");
  std::string senza_marchio = dati;
  senza_marchio[16] = 0;
  EXPECT_FALSE(leggi_celle(senza_marchio, "C", L, &t, &errore));
  EXPECT_EQ(errore.rfind("C: corrotto: al byte 16 (cella 1, valore_a)", 0), 0u) << errore;
  EXPECT_FALSE(leggi_celle("", "C", L, &t, &errore));
}

TEST(ScenarioRead, GeometryTruncatedPaddedOrWithAnUnknownTag) {
  const std::string& dati = compilato().geometria;
  const int32_t L = 20000;
  scenario::PianoLetto p;
  std::string errore;
  ASSERT_TRUE(leggi_geometria(dati, "G", L, &p, &errore)) << errore;

  // Cut inside the first seed, inside a double, at an element boundary, and
  // at many places in between.
  EXPECT_FALSE(leggi_geometria(dati.substr(0, 3), "G", L, &p, &errore));
  EXPECT_EQ(errore,
            "G: troncato: l'elemento x del metro 0, che inizia al byte 0, supera la fine "
            "del file (3 byte)");
  EXPECT_FALSE(leggi_geometria(dati.substr(0, 15), "G", L, &p, &errore));
  EXPECT_EQ(errore,
            "G: troncato: l'elemento x del metro 2, che inizia al byte 8, supera la fine "
            "del file (15 byte)");
  EXPECT_FALSE(leggi_geometria(dati.substr(0, 18), "G", L, &p, &errore));
  EXPECT_EQ(errore.rfind("G: troncato: il file finisce al byte 18, prima dell'elemento x del "
                         "metro 3",
                         0),
            0u)
      << errore;
  for (size_t n = 0; n < dati.size(); n += 9973) {
    ASSERT_FALSE(leggi_geometria(dati.substr(0, n), "G", L, &p, &errore)) << n;
  }

  EXPECT_FALSE(leggi_geometria(dati + "\x05", "G", L, &p, &errore));
  EXPECT_EQ(errore.rfind("G: 1 byte in eccesso dal byte " + std::to_string(dati.size()), 0), 0u)
      << errore;

  std::string etichetta = dati;
  etichetta[18] = 7;  // the tag of metre 3 of x
  EXPECT_FALSE(leggi_geometria(etichetta, "G", L, &p, &errore));
  EXPECT_EQ(errore,
            "G: corrotto: etichetta 7 sconosciuta al byte 18 (elemento x del metro 3); "
            "valgono solo 0, 2 e 5");

  // A file of another route length: the element counts disagree.
  EXPECT_FALSE(leggi_geometria(dati, "G", L - 50, &p, &errore));
  EXPECT_NE(errore.find("in eccesso"), std::string::npos);
}

// A compile that refuses a route length (code 1 over the maximum, 25 below the
// run-in) after an earlier record had sized the route writes the refused
// length into row 84: the cells and the plan are read at the sizes of their
// files, and nothing else.
TEST(ScenarioRead, LengthRefusedAfterAnEarlierRecordTakesTheSizesOfTheFiles) {
  for (const char* rifiutata : {"2000000", "-7100"}) {
    SCOPED_TRACE(rifiutata);
    const std::string linea = std::string("[generale]\r\nlunghezza percorso, -6500\r\n") +
                              "lunghezza percorso, " + rifiutata + "\r\n[fine]\r\n";
    const Compilazione c = compila_testi(linea, "[generale]\r\n[fine]\r\n");
    ASSERT_EQ(c.fine, FineCompilazione::pronta);
    ASSERT_NE(c.codice_errore(), 0);
    PiattaformaMemoria p;
    std::string errore;
    ASSERT_TRUE(scrivi_file_binari(&p, {}, c.modello, 1, &errore)) << errore;
    const auto file = [&p](const std::string& nome) { return p.file[p.percorso(nome)]; };
    const NomiScenario nomi;
    Tabella t;
    ASSERT_TRUE(leggi_tabella(file(nomi.tabella()), "T", &t, &errore)) << errore;
    const int32_t L = t[kRigaPercorso].fine;
    EXPECT_EQ(L, std::stoi(rifiutata));
    std::vector<tratto> celle;
    ASSERT_TRUE(leggi_celle(file(nomi.celle()), "C", L, &celle, &errore)) << errore;
    EXPECT_EQ(celle.size(), 11u);
    scenario::PianoLetto piano;
    ASSERT_TRUE(leggi_geometria(file(nomi.geometria()), "G", L, &piano, &errore)) << errore;
    EXPECT_EQ(piano.x.size(), 501u);
    EXPECT_EQ(piano.y.size(), 501u);

    EXPECT_FALSE(leggi_celle(std::string(15, '\0'), "C", L, &celle, &errore));
    EXPECT_EQ(errore, "C: troncato: 15 byte, meno delle 2 celle che il compilatore scrive almeno");
    // The parse ended in the header: every element is an empty one of 2 bytes.
    EXPECT_FALSE(leggi_geometria(file(nomi.geometria()).substr(2), "G", L, &piano, &errore));
    EXPECT_EQ(errore,
              "G: corrotto: 1001 elementi non si dividono in x e y dello stesso numero "
              "di metri");
  }
}

TEST(ScenarioRead, MissingFilesAndMissingGeometry) {
  test::PiattaformaDiProva vuota;
  scenario::ScenarioLetto s;
  std::string errore;
  EXPECT_FALSE(scenario::leggi_scenario(vuota.cartella(), {}, &s, &errore));
  EXPECT_NE(errore.find(test::kTabella), std::string::npos);

  test::PiattaformaDiProva senza;
  senza.scrivi_file(test::kTabella, compilato().tabella);
  senza.scrivi_file(test::kCelle, compilato().celle);
  ASSERT_TRUE(scenario::leggi_scenario(senza.cartella(), {}, &s, &errore)) << errore;
  EXPECT_FALSE(s.geometria.has_value());
}

}  // namespace
}  // namespace calvetra
