// The journal takes each write as the model makes it: every field a record
// changed once, from its value before the record to its value after, in the
// order the readers know (the cells in the order the record reached them,
// their fields in order, then the rows); and the owners and erased objects
// that follow from those writes alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/giornale.h"
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

}  // namespace
}  // namespace calvetra
