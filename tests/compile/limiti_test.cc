// The bounds of every catalogue field that keeps a value only within them,
// written out here on their own: each value at its bound is kept without a
// word, and one step past it is warned at its field. And the forecast of a
// speed that no cell can hold, which must say exactly when the compile ends
// with error 25.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "fields/catalogo.h"
#include "fields/lettore_campi.h"
#include "line/catalogo_linea.h"
#include "support/compilazione.h"
#include "train/catalogo_treno.h"

namespace calvetra {
namespace {

constexpr int64_t kSenzaFine = std::numeric_limits<int64_t>::max();

struct Limite {
  const char* record;
  const char* campo;
  int64_t minimo;
  int64_t massimo;   // kSenzaFine: no upper bound
  bool linea;        // a record of the line source, else of the train source
  const char* riga;  // the record, `#` where the value goes
};

const std::string kStazione = "stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, N";

std::vector<Limite> limiti() {
  return {
      {"numero vetture", "coaches", 0, kSenzaFine, false, "numero vetture, #"},
      {"velocita", "speed", 0, 1277, false, "velocita, 1000, #"},
      {"aderenza", "adhesion", 0, 255, false, "aderenza, 1000, #"},
      {"orologio", "hours", 0, 23, false, "orologio, #, 0, 0"},
      {"orologio", "minutes", 0, 59, false, "orologio, 7, #, 0"},
      {"orologio", "seconds", 0, 59, false, "orologio, 7, 0, #"},
      {"segnale", "dx", 0, 2, false, "segnale, 9000, 1, 5, 1, 0, 0, #, 0, 0, 0, 0"},
      {"segnale", "d1", 0, 9, false, "segnale, 9000, 1, 5, 1, 0, 0, 0, #, 0, 0, 0"},
      {"segnale", "d2", 0, 9, false, "segnale, 9000, 1, 5, 1, 0, 0, 0, 0, #, 0, 0"},
      {"segnale", "d3", 0, 9, false, "segnale, 9000, 1, 5, 1, 0, 0, 0, 0, 0, #, 0"},
      {"rallentamento", "v", 0, 32767, false, "rallentamento, 3000, #, 300, 1, 0, 0"},
      {"rallentamento", "l", 0, kSenzaFine, false, "rallentamento, 3000, 30, #, 1, 0, 0"},
      {"rallentamento", "f_tt", -32768, 32767, false, "rallentamento, 3000, 30, 300, #, 0, 0"},
      {"rallentamento", "d_v", -32768, 32767, false, "rallentamento, 3000, 30, 300, 1, 0, #"},
      {"abbattimento", "value", -32768, 32767, false, "abbattimento, 3000, #"},
      {"stazione", "length", 0, kSenzaFine, false,
       "stazione, 1500, 2, #, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, N"},
      {"stazione", "hours", 0, 23, false,
       "stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, #, 54, 0, N"},
      {"stazione", "minutes", 0, 59, false,
       "stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, #, 0, N"},
      {"stazione", "seconds", 0, 59, false,
       "stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, #, N"},
      {"pendenza", "g", -100, 155, true, "pendenza, 3000, #"},
      {"curva", "l", 0, kSenzaFine, true, "curvad2, 1000, #"},
      {"indicatori_vmax", "vas", 0, kSenzaFine, true,
       "indicatori_vmax, 1950, #, 0, 0, 0, 0, 0, 0, 0"},
      {"indicatori_vmax", "vbs", 0, kSenzaFine, true,
       "indicatori_vmax, 1950, 0, #, 0, 0, 0, 0, 0, 0"},
      {"indicatori_vmax", "vcs", 0, kSenzaFine, true,
       "indicatori_vmax, 1950, 0, 0, #, 0, 0, 0, 0, 0"},
      // The right speeds of a board are judged with their pair (how both read).
      {"indicatori_vmax", "strisced", 0, 9, true, "indicatori_vmax, 1950, 0, 0, 0, 0, 0, 0, 0, #"},
  };
}

// The table above is every bounded field of the two catalogues.
TEST(Limiti, TheTableHoldsEveryBoundedField) {
  std::set<std::tuple<std::string, std::string, int64_t, int64_t>> catalogo, tabella;
  for (const auto& elenco : {record_linea(), record_treno()}) {
    for (const DescrizioneRecord* r : elenco) {
      for (const CampoRecord& c : r->campi) {
        if (!c.limiti.limitato()) continue;
        catalogo.insert(
            {std::string(r->nome), std::string(c.nome), c.limiti.minimo, c.limiti.massimo});
      }
    }
  }
  for (const Limite& k : limiti()) tabella.insert({k.record, k.campo, k.minimo, k.massimo});
  EXPECT_EQ(catalogo, tabella);
}

// The catalogue's label of the field of `k`.
std::string etichetta(const Limite& k) {
  for (const DescrizioneRecord* r : k.linea ? record_linea() : record_treno()) {
    if (r->nome != k.record) continue;
    for (const CampoRecord& c : r->campi) {
      if (c.nome == k.campo) return std::string(c.etichetta);
    }
  }
  return "?";
}

// Each bound kept without a word; one step past it, a warning at the field
// that names it.
TEST(Limiti, EachBoundIsKeptAndOneStepPastItIsWarned) {
  for (const Limite& k : limiti()) {
    std::vector<std::pair<int64_t, bool>> valori = {{k.minimo, false}, {k.minimo - 1, true}};
    if (k.massimo != kSenzaFine)
      valori.insert(valori.end(), {{k.massimo, false}, {k.massimo + 1, true}});
    for (const auto& [valore, avvisato] : valori) {
      std::string riga = k.riga;
      const size_t dove = riga.find('#');
      riga.replace(dove, 1, std::to_string(valore));
      SCOPED_TRACE(riga);
      const std::string linea = test::sorgente_linea("", k.linea ? riga + "\r\n" : "", 20000);
      const std::string treno = "[generale]\r\n" + (k.linea ? "" : riga + "\r\n") + "[fine]\r\n";
      const test::Compilato c(linea.c_str(), treno.c_str());
      const std::string& testo = k.linea ? linea : treno;
      const size_t campo = testo.find(riga) + dove;
      int avvisi = 0;
      for (const Diagnostico& d : c.c.diagnostica.voci()) {
        if (d.nome != "fuori-intervallo") continue;
        ++avvisi;
        EXPECT_EQ(d.luogo.offset, campo);
        // Named by its Italian label, never by the system's name.
        EXPECT_NE(d.messaggio.find(": " + etichetta(k) + " vale " + std::to_string(valore)),
                  std::string::npos)
            << d.messaggio;
        EXPECT_EQ(d.messaggio.find("`" + std::string(k.campo) + "`"), std::string::npos)
            << d.messaggio;
      }
      EXPECT_EQ(avvisi, avvisato ? 1 : 0);
    }
  }
}

// The warning about a speed says that the compile will end with error 25
// exactly when it does: up to 1277 km/h a cell holds it (1276 and 1277 as
// 1275), from 1278 none does; and no speed below is a case of its own.
TEST(Limiti, TheSpeedForecastSaysExactlyWhenTheCompileFails) {
  struct Caso {
    int64_t kmh;
    bool errore;
  };
  const Caso casi[] = {{0, false},    {255, false},  {256, false},  {260, false},
                       {1275, false}, {1276, false}, {1277, false}, {1278, true},
                       {1280, true},  {5000, true},  {-2, false},   {-3, true}};
  constexpr const char* kPrevisione = "la compilazione si fermera' con l'errore 25";
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.kmh);
    const std::string treno =
        "[generale]\r\nvelocita, 1000, " + std::to_string(k.kmh) + "\r\n[fine]\r\n";
    const test::Compilato c(test::sorgente_linea("", "", 20000).c_str(), treno.c_str());
    EXPECT_EQ(numero(c.codice_errore()) == 25, k.errore);
    bool previsto = false;
    for (const Diagnostico& d : c.c.diagnostica.voci()) {
      previsto = previsto || d.messaggio.find(kPrevisione) != std::string::npos;
    }
    EXPECT_EQ(previsto, k.errore);
  }
}

// A speed fits its cell by its steps of 5 km/h, 255 of them: 300 and 1275
// km/h are kept as written without a word, and 1280 km/h is one step too
// many, said and then met as error 25.
TEST(Limiti, ASpeedFitsByItsStepsOfFiveKmh) {
  struct Caso {
    int64_t kmh;
    bool entra;
  };
  for (const Caso& k : {Caso{300, true}, Caso{1275, true}, Caso{1280, false}}) {
    SCOPED_TRACE(k.kmh);
    const std::string treno = "[generale]\r\nvelocita, 0, " + std::to_string(k.kmh) +
                              "\r\nvelocita, 1000, 60\r\n[fine]\r\n";
    const test::Compilato c(test::sorgente_linea("", "", 20000).c_str(), treno.c_str());
    if (k.entra) {
      for (const Diagnostico& d : c.c.diagnostica.voci()) ADD_FAILURE() << d.messaggio;
      EXPECT_EQ(c.c.modello.tratti[10].velocita * 5, k.kmh);
      continue;
    }
    EXPECT_EQ(numero(c.codice_errore()), 25);
    // One warning at the record of 1280 km/h; the next record, which the
    // error stops, has its own.
    std::vector<std::string> avvisi;
    const size_t riga_2 = treno.find("velocita");
    const size_t riga_3 = treno.find("velocita", riga_2 + 1);
    for (const Diagnostico& d : c.c.diagnostica.voci()) {
      if (d.gravita != Gravita::errore && d.luogo.offset < riga_3) avvisi.push_back(d.messaggio);
    }
    ASSERT_EQ(avvisi.size(), 1u) << testing::PrintToString(avvisi);
    EXPECT_TRUE(avvisi[0].ends_with("si fermera' con l'errore 25")) << avvisi[0];
  }
}

}  // namespace
}  // namespace calvetra
