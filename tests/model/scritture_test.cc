// The journal takes each write as the model makes it: every field a record
// changed once, from its value before the record to its value after, in the
// order the readers know (the cells in the order the record reached them,
// their fields in order, then the rows); and the owners and erased objects
// that follow from those writes alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "model/giornale.h"
#include "model/numeri.h"
#include "model/records.h"

namespace calvetra {
namespace {

using B = Scrittura::Bersaglio;

struct Attesa {
  B bersaglio;
  uint8_t campo;
  int32_t indice;
  int64_t vecchio;
  int64_t nuovo;
  bool operator==(const Attesa&) const = default;
};

std::vector<Attesa> scritture_di(const Giornale& g, size_t record) {
  const RecordRegistrato& r = g.records()[record];
  std::vector<Attesa> a;
  for (size_t k = r.prima_scrittura; k < r.prima_scrittura + r.scritture; ++k) {
    const Scrittura& s = g.scritture()[k];
    a.push_back({s.bersaglio, s.campo, s.indice, s.vecchio, s.nuovo});
  }
  return a;
}

// The same writes a cell at a time, as (cell, field, new value) in the order
// of the cells and their fields: a run stands for each of its cells.
std::vector<Attesa> per_cella(const Giornale& g, size_t record) {
  const RecordRegistrato& r = g.records()[record];
  std::vector<Attesa> a;
  for (size_t k = r.prima_scrittura; k < r.prima_scrittura + r.scritture; ++k) {
    const Scrittura& s = g.scritture()[k];
    if (s.bersaglio == B::riga) {
      a.push_back({B::riga, s.campo, s.indice, 0, s.nuovo});
      continue;
    }
    for (size_t x = 0; x < s.celle(); ++x) {
      a.push_back({B::cella, s.campo, s.indice + static_cast<int32_t>(x), 0, s.nuovo});
    }
  }
  std::sort(a.begin(), a.end(), [](const Attesa& x, const Attesa& y) {
    return std::tie(x.bersaglio, x.indice, x.campo) < std::tie(y.bersaglio, y.indice, y.campo);
  });
  return a;
}

constexpr uint8_t c(CampoCella x) { return static_cast<uint8_t>(x); }
constexpr uint8_t r(CampoRiga x) { return static_cast<uint8_t>(x); }

Luogo chiave(size_t offset) { return {FileSorgente::treno, offset, offset + 5}; }

class Scritture : public ::testing::Test {
 protected:
  void SetUp() override {
    m.osserva(&g);
    m.crea_tratti(10);
  }
  void TearDown() override {
    // Whatever the record did, its writes replayed make the same model.
    g.chiudi();
    const Modello rifatto = riproduci(g);
    EXPECT_EQ(rifatto.tratti, m.tratti);
    EXPECT_EQ(rifatto.tabella, m.tabella);
  }
  Modello m;
  Giornale g;
};

TEST_F(Scritture, EachFieldOnceFromBeforeToAfterInTheOrderReached) {
  const size_t k =
      g.apri(chiave(10), "rallentamento", Fase::treno, Giornale::bit(CampoCella::valore_a));
  m.cella(3);  // judged first, written last
  m.scrivi_cella(7, CampoCella::valore_a, 60);
  m.scrivi_cella(7, CampoCella::tipo, 2);
  m.scrivi_cella(3, CampoCella::valore_b, 5);
  m.scrivi_cella(3, CampoCella::tipo, 4);
  m.scrivi_cella(7, CampoCella::tipo, 3);      // again: one write, 0 to 3
  m.scrivi_cella(5, CampoCella::valore_c, 9);  // and back: no write
  m.scrivi_cella(5, CampoCella::valore_c, 0);
  m.scrivi_cella(6, CampoCella::tempo, 0);         // the value it holds: no write
  m.scrivi_cella(8, CampoCella::valore_d, 70000);  // cut to the field's 16 bits
  m.scrivi_nome(2, "PRIMA");
  m.scrivi_riga(2, CampoRiga::fine, 40);
  m.scrivi_riga(1, CampoRiga::tipo, 300);  // cut to 8 bits
  g.chiudi();
  EXPECT_EQ(scritture_di(g, k), (std::vector<Attesa>{
                                    {B::cella, c(CampoCella::tipo), 3, 0, 4},
                                    {B::cella, c(CampoCella::valore_b), 3, 0, 5},
                                    {B::cella, c(CampoCella::tipo), 7, 0, 3},
                                    {B::cella, c(CampoCella::valore_a), 7, 0, 60},
                                    {B::cella, c(CampoCella::valore_d), 8, 0, 70000 - 65536},
                                    {B::riga, r(CampoRiga::fine), 2, 0, 40},
                                    {B::riga, r(CampoRiga::nome), 2, 0, 1},
                                    {B::riga, r(CampoRiga::tipo), 1, 0, 300 - 256},
                                }));
  EXPECT_EQ(g.testi(), (std::vector<std::string>{"", "PRIMA"}));
  // Reached: the cell only judged and the ones written to no effect too.
  EXPECT_EQ(g.records()[k].toccati, 7u);
  for (const size_t cella : {3, 5, 6, 7, 8}) EXPECT_TRUE(g.raggiunta(cella, CampoCella::valore_a));
  EXPECT_FALSE(g.raggiunta(4, CampoCella::valore_a));
  EXPECT_FALSE(g.raggiunta(3, CampoCella::pendenza));
  // Owners: the cells whose object it changed, and the rows it changed.
  for (const size_t cella : {3, 7, 8}) EXPECT_EQ(g.cella(cella), chiave(10)) << cella;
  for (const size_t cella : {5, 6}) EXPECT_EQ(g.cella(cella), Luogo{}) << cella;
  EXPECT_EQ(g.riga(2), chiave(10));
  EXPECT_EQ(g.ultima_scrittura_cella(7, CampoCella::tipo)->nuovo, 3);
}

// An object another record replaced is erased from it, whichever of its
// fields the later record wrote first; a mark (an approach code) erases
// nothing, and a step of the compile owns nothing.
TEST_F(Scritture, AnObjectReplacedIsErasedAndMarksAndStepsOwnNothing) {
  const size_t primo = g.apri(chiave(10), "segnale", Fase::treno);
  m.scrivi_cella(4, CampoCella::tipo, kSegnale);
  m.scrivi_cella(4, CampoCella::valore_a, 5);
  m.scrivi_cella(6, CampoCella::tipo, kCartello);
  const size_t secondo = g.apri(chiave(20), "stazione", Fase::treno);
  m.scrivi_cella(6, CampoCella::preavviso, 81);
  m.scrivi_cella(4, CampoCella::valore_a, 1);
  m.scrivi_cella(4, CampoCella::tipo, kFermata);
  g.passo("passo dei codici");
  m.scrivi_cella(4, CampoCella::valore_a, 180);
  g.chiudi();
  ASSERT_EQ(g.cancellazioni().size(), 1u);
  const Cancellazione& x = g.cancellazioni()[0];
  EXPECT_EQ(x.cella, 4u);
  EXPECT_EQ(x.erasa, primo);
  EXPECT_EQ(x.da, secondo);
  EXPECT_EQ(x.tipo_prima, kSegnale);
  EXPECT_EQ(x.tipo_dopo, kFermata);
  EXPECT_EQ(g.cella(4), chiave(20));
  EXPECT_EQ(g.cella(6), chiave(10));
}

// Cells made anew in the middle of a record: what it wrote before belongs
// to the cells that went, in its own place before the new ones.
TEST_F(Scritture, CellsMadeAnewSplitTheRecordsWrites) {
  const size_t k = g.apri(chiave(10), "lunghezza percorso", Fase::intestazione_linea);
  m.scrivi_cella(9, CampoCella::pendenza, 7);
  m.scrivi_cella(2, CampoCella::pendenza, 7);
  m.crea_tratti(4);
  m.scrivi_cella(2, CampoCella::pendenza, 9);
  g.chiudi();
  EXPECT_EQ(scritture_di(g, k), (std::vector<Attesa>{
                                    {B::cella, c(CampoCella::pendenza), 9, 0, 7},
                                    {B::cella, c(CampoCella::pendenza), 2, 0, 7},
                                    {B::celle, 0, 0, 0, 4},
                                    {B::cella, c(CampoCella::pendenza), 2, 0, 9},
                                }));
}

// Writes that come back and forth between two cells are put in the same
// order whether they make a few runs in order (merged) or many (sorted by
// the cell reached).
TEST_F(Scritture, FewRunsAndManyComeInTheSameOrder) {
  using C = CampoCella;
  for (const bool molte : {false, true}) {
    SCOPED_TRACE(molte ? "many runs" : "few runs");
    const size_t k = g.apri(chiave(molte ? 30 : 20), "velocita", Fase::treno);
    m.cella(5);
    m.cella(2);
    const int64_t v = molte ? 2 : 1;
    std::vector<C> campi = {C::velocita, C::tipo, C::aderenza};
    if (molte) campi.push_back(C::pendenza);
    for (const C campo : campi) {
      m.scrivi_cella(2, campo, v);
      m.scrivi_cella(5, campo, v);
    }
    g.chiudi();
    std::vector<Attesa> attese;
    for (const int32_t cella : {5, 2}) {
      for (const C campo : {C::tipo, C::velocita, C::pendenza, C::aderenza}) {
        if (campo == C::pendenza && !molte) continue;
        // The second record finds the first one's values, and no gradient.
        const int64_t prima = molte && campo != C::pendenza ? 1 : 0;
        attese.push_back({B::cella, c(campo), cella, prima, v});
      }
    }
    EXPECT_EQ(scritture_di(g, k), attese);
  }
}

// A fill given as one range is the account of the same fill made one cell at
// a time: the same cells written to the same values (a mark's field as runs,
// an object's field as the same single writes), the same cells reached, the
// same owners, the same failure past the last cell. Each case runs twice,
// once a cell at a time and once as ranges.
struct Riempimento {
  int64_t da;
  int64_t a;
  CampoCella campo;
  int64_t valore;
};

struct Resoconto {
  std::vector<Attesa> scritture;
  std::vector<Attesa> celle_scritte;  // per_cella
  std::vector<size_t> toccati;
  std::vector<bool> raggiunte;  // cell by cell, the field the record stores
  std::vector<tratto> celle;
  bool guasto = false;
};

// With `prima_la_sette`, the record reaches cell 7 before its fills;
// without, its first fill is the first thing it does.
Resoconto riempi(const std::vector<Riempimento>& fatti, bool a_intervalli,
                 bool prima_la_sette = true) {
  Modello m;
  Giornale g;
  m.osserva(&g);
  m.crea_tratti(10);
  // Values already there: cells 3 and 4 hold the value the fills write.
  g.apri(chiave(1), "pendenza", Fase::corpo_linea, Giornale::bit(CampoCella::pendenza));
  m.scrivi_cella(3, CampoCella::pendenza, 4);
  m.scrivi_cella(4, CampoCella::pendenza, 4);
  m.scrivi_cella(6, CampoCella::velocita, 9);
  const size_t k = g.apri(chiave(20), "velocita", Fase::treno, Giornale::bit(CampoCella::velocita));
  if (prima_la_sette) m.cella(7);  // reached first: its writes come first
  Resoconto r;
  try {
    for (const Riempimento& f : fatti) {
      if (a_intervalli) {
        m.riempi_celle(f.da, f.a, f.campo, f.valore);
      } else {
        for (int64_t i = f.da; i < f.a; ++i) m.scrivi_cella(i, f.campo, f.valore);
      }
    }
  } catch (const GuastoInatteso&) {
    r.guasto = true;
  }
  g.chiudi();
  r.scritture = scritture_di(g, k);
  r.celle_scritte = per_cella(g, k);
  for (const RecordRegistrato& x : g.records()) r.toccati.push_back(x.toccati);
  for (size_t c = 0; c < m.tratti.size(); ++c) {
    r.raggiunte.push_back(g.raggiunta(c, CampoCella::velocita));
  }
  r.celle = m.tratti;
  EXPECT_EQ(riproduci(g).tratti, m.tratti);
  return r;
}

TEST(RiempimentoScritture, ARangeIsTheSingleWritesInOneCall) {
  using C = CampoCella;
  const struct {
    const char* caso;
    std::vector<Riempimento> fatti;
  } kCasi[] = {
      {"one range over new and equal values", {{1, 8, C::pendenza, 4}}},
      {"a value cut to its field", {{0, 10, C::velocita, 300}}},
      {"two fields over the same cells", {{2, 9, C::velocita, 5}, {0, 6, C::aderenza, 7}}},
      {"a range written again", {{2, 5, C::velocita, 5}, {4, 8, C::velocita, 6}}},
      {"back to the old values", {{0, 10, C::velocita, 3}, {0, 6, C::velocita, 0}}},
      {"an object's field", {{5, 7, C::tipo, 11}}},
      {"an empty range", {{5, 5, C::velocita, 3}, {6, 2, C::velocita, 3}}},
      {"past the last cell", {{7, 13, C::velocita, 2}}},
      {"from past the last cell", {{11, 13, C::velocita, 2}}},
      {"from before the first cell", {{-2, 3, C::velocita, 2}}},
  };
  for (const auto& caso : kCasi) {
    for (const bool prima_la_sette : {true, false}) {
      SCOPED_TRACE(std::string(caso.caso) + (prima_la_sette ? ", cell 7 first" : ""));
      const Resoconto uno = riempi(caso.fatti, false, prima_la_sette);
      const Resoconto tutti = riempi(caso.fatti, true, prima_la_sette);
      EXPECT_EQ(tutti.celle_scritte, uno.celle_scritte);
      EXPECT_EQ(tutti.toccati, uno.toccati);
      EXPECT_EQ(tutti.raggiunte, uno.raggiunte);
      EXPECT_EQ(tutti.celle, uno.celle);
      EXPECT_EQ(tutti.guasto, uno.guasto);
    }
  }
}

TEST(RiempimentoScritture, AMarkIsKeptAsTheRunsOfCellsItChanged) {
  using C = CampoCella;
  // Cells 3 and 4 hold the gradient already, cell 6 a speed.
  const Resoconto r = riempi({{1, 8, C::pendenza, 4}, {0, 9, C::velocita, 9}}, true);
  EXPECT_EQ(r.scritture, (std::vector<Attesa>{
                             {B::fascia, c(C::pendenza), 1, 2, 4},
                             {B::fascia, c(C::pendenza), 5, 3, 4},
                             {B::fascia, c(C::velocita), 0, 6, 9},
                             {B::fascia, c(C::velocita), 7, 2, 9},
                         }));
  // An object's field stays a write a cell.
  const Resoconto tipo = riempi({{5, 7, C::tipo, 11}}, true);
  EXPECT_EQ(tipo.scritture, (std::vector<Attesa>{{B::cella, c(C::tipo), 5, 0, 11},
                                                 {B::cella, c(C::tipo), 6, 0, 11}}));
}

// A run that shares a cell's field with another write of its record makes
// the record's runs the single writes they stand for, and they merge as any
// others: from the value before the first to the value after the last.
TEST_F(Scritture, ARunWrittenOverMergesCellByCell) {
  const size_t k = g.apri(chiave(20), "velocita", Fase::treno);
  m.scrivi_cella(2, CampoCella::velocita, 7);
  m.riempi_celle(0, 5, CampoCella::velocita, 3);
  m.scrivi_cella(4, CampoCella::velocita, 0);  // back to its value before the record
  m.riempi_celle(6, 9, CampoCella::aderenza, 1);
  g.chiudi();
  const ptrdiff_t fasce =
      std::count_if(g.scritture().begin(), g.scritture().end(),
                    [](const Scrittura& s) { return s.bersaglio == B::fascia; });
  EXPECT_EQ(fasce, 0);
  const Scrittura* w = g.ultima_scrittura_cella(7, CampoCella::aderenza);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->nuovo, 1);
  EXPECT_EQ(g.ultima_scrittura_cella(4, CampoCella::velocita), nullptr);
  EXPECT_EQ(g.ultima_scrittura_cella(2, CampoCella::velocita)->nuovo, 3);
  EXPECT_EQ(per_cella(g, k), (std::vector<Attesa>{
                                 {B::cella, c(CampoCella::velocita), 0, 0, 3},
                                 {B::cella, c(CampoCella::velocita), 1, 0, 3},
                                 {B::cella, c(CampoCella::velocita), 2, 0, 3},
                                 {B::cella, c(CampoCella::velocita), 3, 0, 3},
                                 {B::cella, c(CampoCella::aderenza), 6, 0, 1},
                                 {B::cella, c(CampoCella::aderenza), 7, 0, 1},
                                 {B::cella, c(CampoCella::aderenza), 8, 0, 1},
                             }));
}

// What a record wrote to one cell, single writes and runs alike, comes in
// the order of the fields, whichever was made first.
TEST_F(Scritture, ARecordsWritesToACellInTheOrderOfTheFields) {
  const size_t k = g.apri(chiave(20), "montagna", Fase::corpo_linea);
  m.riempi_celle(2, 6, CampoCella::montagna, 3);
  m.scrivi_cella(4, CampoCella::tipo, kSegnoMontagna);
  m.scrivi_cella(4, CampoCella::pendenza, 7);
  g.chiudi();
  std::vector<std::pair<uint8_t, int32_t>> campi;
  for (const Scrittura* s : g.scritture_in_cella(k, 4)) campi.emplace_back(s->campo, s->nuovo);
  EXPECT_EQ(campi, (std::vector<std::pair<uint8_t, int32_t>>{
                       {c(CampoCella::tipo), kSegnoMontagna},
                       {c(CampoCella::montagna), 3},
                       {c(CampoCella::pendenza), 7},
                   }));
  EXPECT_EQ(g.scritture_in_cella(k, 5).size(), 1u);
  EXPECT_TRUE(g.scritture_in_cella(k, 6).empty());
  EXPECT_TRUE(g.scritture_in_cella(k + 1, 4).empty());
}

TEST(RiempimentoScritture, AFillBackToTheOldValueRecordsNothing) {
  const Resoconto r =
      riempi({{0, 10, CampoCella::velocita, 3}, {0, 10, CampoCella::velocita, 0}}, true);
  // Cell 6 held 9 before the record: filled to 3, then to 0, it changed.
  EXPECT_EQ(r.scritture, (std::vector<Attesa>{{B::cella, c(CampoCella::velocita), 6, 9, 0}}));
  EXPECT_EQ(r.toccati.back(), 10u);
}

TEST(RiempimentoScritture, WithoutAJournalTheCellsAreTheSame) {
  Modello m;
  m.crea_tratti(6);
  m.riempi_celle(1, 4, CampoCella::pendenza, 260);
  m.riempi_celle(0, 2, CampoCella::tipo, kSegnoMontagna);
  EXPECT_THROW(m.riempi_celle(5, 8, CampoCella::velocita, 7), GuastoInatteso);
  std::vector<tratto> attese(6);
  for (const size_t i : {1, 2, 3}) attese[i].pendenza = 4;
  for (const size_t i : {0, 1}) attese[i].tipo = kSegnoMontagna;
  attese[5].velocita = 7;
  EXPECT_EQ(m.tratti, attese);
}

// The fields of every record stay as they were given, however many records
// follow, whatever their length, and after the journal is moved.
TEST(CampiRegistrati, EveryRecordKeepsItsFields) {
  Giornale g;
  std::vector<std::vector<Estensione>> dati;
  for (size_t k = 0; k < 3000; ++k) {
    // Mostly a few fields, once far more than fit anywhere but alone.
    const size_t n = k == 1234 ? 9000 : k % 7;
    std::vector<Estensione> campi;
    for (size_t i = 0; i < n; ++i) {
      campi.push_back({static_cast<uint32_t>(k + i), static_cast<uint32_t>(k + i + 1),
                       static_cast<int32_t>(k * i)});
    }
    if (k % 3 == 0) {
      g.esaminato(chiave(k), "segnale", Fase::treno, campi);
    } else {
      g.apri(chiave(k), "segnale", Fase::treno);
      g.chiudi(campi);
    }
    dati.push_back(std::move(campi));
  }
  const Giornale spostato = std::move(g);
  ASSERT_EQ(spostato.records().size(), dati.size());
  for (size_t k = 0; k < dati.size(); ++k) {
    const std::span<const Estensione> c = spostato.records()[k].campi;
    EXPECT_EQ(std::vector<Estensione>(c.begin(), c.end()), dati[k]) << k;
  }
}

}  // namespace
}  // namespace calvetra
