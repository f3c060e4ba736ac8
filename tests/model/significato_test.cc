// What stored values mean: each decoding on a table of stored values and
// what they read as, and the encodings the compiler writes with.
#include "model/significato.h"

#include <gtest/gtest.h>

namespace calvetra {
namespace {

TEST(Significato, SpeedsAreCountsOfFiveRoundedToTheNearest) {
  const struct {
    int64_t kmh;
    uint8_t cella;
  } casi[] = {{0, 0}, {2, 0}, {3, 1}, {7, 1}, {12, 2}, {13, 3}, {72, 14}, {73, 15}, {1277, 255}};
  for (const auto& k : casi) {
    EXPECT_EQ(velocita_da_kmh(k.kmh), k.cella) << k.kmh;
    EXPECT_EQ(kmh_da_velocita(k.cella), k.cella * 5);
  }
  EXPECT_THROW(velocita_da_kmh(1278), GuastoInatteso);
  EXPECT_THROW(velocita_da_kmh(-3), GuastoInatteso);
}

TEST(Significato, GradientsAndBoardPairsAndSignalCodes) {
  EXPECT_EQ(pendenza_da_per_mille(-10), 90);
  EXPECT_EQ(pendenza_da_per_mille(155), 255);
  EXPECT_EQ(pendenza_da_per_mille(-101), 255);  // the low 8 bits
  EXPECT_EQ(per_mille_da_pendenza(90), -10);
  EXPECT_EQ(per_mille_da_pendenza(255), 155);
  EXPECT_EQ(per_mille_da_pendenza(0), std::nullopt);  // never filled
  EXPECT_EQ(valore_coppia(110, 130), 2226);
  EXPECT_EQ(valore_coppia(60, 0), 1200);
  EXPECT_EQ(coppia_da_valore(2226), (CoppiaVelocita{110, 130}));
  EXPECT_EQ(codice_cabina(8), (CodiceCabina{0, 8}));
  EXPECT_EQ(codice_cabina(23), (CodiceCabina{2, 3}));
}

TEST(Significato, CellsOfObjectsAndTheirPositionsBack) {
  // A signal at 13250 m stands in cell 266; 13275 rounds to the even 266.
  EXPECT_EQ(cella_di_oggetto(13250), 266);
  EXPECT_EQ(cella_di_oggetto(13275), 266);
  EXPECT_EQ(cella_di_oggetto(13325), 268);
  EXPECT_EQ(cella_di_tratto(1900), 38);
  EXPECT_EQ(ultima_cella_per(115000), 2440);
  const struct {
    uint8_t tipo;
    int64_t cella, posizione;
    const char* nome;
  } casi[] = {{kSegnale, 266, 13250, "segnale"},
              {kInizioRallentamento, 81, 4000, "inizio_rallentamento"},
              {kFineRallentamento, 84, 4150, "fine_rallentamento"},
              {kAvvisoRallentamento, 57, 2800, "avviso_rallentamento"},
              {kIndicatori, 40, 1950, "indicatori"},
              {kCartello, 173, 8600, "cartello"},
              {kFermata, 37, 1900, "fermata"},
              {kAbbattimento, 100, 5000, "abbattimento"},
              {kAbbattimentoNullo, 100, 5000, "abbattimento_nullo"},
              {kPreavvisoRallentamento, 56, 2800, "preavviso_rallentamento"},
              {kSegnoMontagna, 235, 11750, "segno_montagna"},
              {kLibero, 7, 350, "libero"}};
  for (const auto& k : casi) {
    EXPECT_EQ(posizione_oggetto(k.tipo, k.cella), k.posizione) << k.nome;
    EXPECT_STREQ(nome_tipo_cella(k.tipo), k.nome);
  }
  EXPECT_EQ(nome_tipo_cella(7), nullptr);
}

TEST(Significato, ValuesOfAnObjectInWords) {
  tratto segnale;
  segnale.tipo = kSegnale;
  segnale.valore_a = 23;
  segnale.valore_b = 31;
  segnale.valore_c = 11;
  segnale.valore_d = 8;
  segnale.tempo = 220;
  EXPECT_EQ(significato_cella(segnale), (std::vector<ValoreNominato>{{"codice 1", "23"},
                                                                     {"codice 2", "31"},
                                                                     {"codice 3", "11"},
                                                                     {"classe di cabina", "8"},
                                                                     {"rapp", "0"},
                                                                     {"tempo", "220"}}));
  tratto indicatori;
  indicatori.tipo = kIndicatori;
  indicatori.valore_a = 2226;
  indicatori.valore_b = 1200;
  indicatori.valore_c = 3232;
  EXPECT_EQ(significato_cella(indicatori)[0].valore, "110/130 km/h");
  EXPECT_EQ(significato_cella(indicatori)[1].valore, "60/0 km/h");
  tratto inizio;
  inizio.tipo = kInizioRallentamento;
  inizio.valore_a = 30;
  inizio.valore_c = 1;
  EXPECT_EQ(significato_cella(inizio),
            (std::vector<ValoreNominato>{{"velocita", "30 km/h"}, {"d_v", "0"}, {"f_tt", "1"}}));
  EXPECT_TRUE(significato_cella(tratto{}).empty());

  tratto cartello;
  cartello.tipo = kCartello;
  cartello.valore_a = 80;
  EXPECT_EQ(riga_puntata(cartello), 80);
  EXPECT_EQ(riga_puntata(segnale), std::nullopt);
  EXPECT_TRUE(stazione_con_celle(24));
  EXPECT_FALSE(stazione_con_celle(25));
}

TEST(Significato, SlowdownStretchesRowsAndHeader) {
  std::vector<tratto> t(20);
  t[3].tipo = kInizioRallentamento;
  t[3].valore_a = 30;
  t[6].tipo = kFineRallentamento;
  t[10].tipo = kInizioRallentamento;  // shorter than a cell: no end of its own
  t[10].valore_a = 60;
  t[12].tipo = kInizioRallentamento;
  t[12].valore_a = 80;
  t[15].tipo = kFineRallentamento;
  t[17].tipo = kCartello;
  t[17].valore_a = 80;
  EXPECT_EQ(rallentamenti(t),
            (std::vector<TrattoRallentato>{{3, 6, 30}, {10, 10, 60}, {12, 15, 80}}));
  EXPECT_EQ(rallentamenti(t)[0].da(), 100);
  EXPECT_EQ(rallentamenti(t)[0].a(), 250);

  Tabella tab{};
  tab[1].nome = "Porto";
  tab[80].nome = "(PONTE)";
  tab[kRigaPercorso].fine = 20000;
  tab[kRigaTreni].cod_c = 7;
  tab[kRigaTreni].cod_d = 53;
  tab[kRigaTreni].cod_e = 30;
  const auto usi = usi_righe(tab, t);
  EXPECT_EQ(usi[0], UsoRiga::vuota);
  EXPECT_EQ(usi[1], UsoRiga::stazione);
  EXPECT_EQ(usi[80], UsoRiga::cartello);
  EXPECT_EQ(usi[kRigaProgressivaTre], UsoRiga::intestazione);
  EXPECT_STREQ(nome_uso(usi[80]), "cartello");
  const Intestazione i(tab);
  EXPECT_EQ(i.lunghezza_percorso(), 20000);
  EXPECT_EQ(i.orologio(), (std::array<int16_t, 3>{7, 53, 30}));
  EXPECT_EQ(ora_del_giorno(7 * 3600 + 53 * 60 + 30), "07:53:30");
  EXPECT_EQ(sequenze(t, &tratto::velocita), (std::vector<Sequenza>{{0, 19, 0}}));
}

// The records given back as their authors wrote them: a station's length
// from its zone, whatever its type adds at the end, and its time; a
// signal's ten values from its four packed codes.
TEST(Significato, RecordsGivenBackFromCellsAndRows) {
  const struct {
    uint8_t tipo;
    int32_t inizio, fine;
  } stazioni[] = {{5, 4600, 5150}, {7, 4600, 5400}, {12, 4800, 5250}};
  for (const auto& k : stazioni) {
    voce v;
    v.tipo = k.tipo;
    v.posizione = 5000;
    v.inizio = k.inizio;
    v.fine = k.fine;
    v.orario = 28440;
    const RecordLetto r = record_della_stazione(v);
    ASSERT_EQ(r.campi.size(), 16u);
    EXPECT_EQ(r.campi[2], (CampoLetto{"length", 400})) << int{k.tipo};
    EXPECT_EQ(std::vector<CampoLetto>(r.campi.end() - 3, r.campi.end()),
              (std::vector<CampoLetto>{{"hours", 7}, {"minutes", 54}, {"seconds", 0}}));
  }
  std::vector<tratto> t(300);
  t[266] = {.tipo = kSegnale,
            .valore_a = 23,
            .valore_b = 31,
            .valore_c = 11,
            .valore_d = 18,
            .tempo = 220};
  EXPECT_EQ(record_della_cella(t, 266).campi, (std::vector<CampoLetto>{{"posizione", 13250},
                                                                       {"sx", 2},
                                                                       {"s1", 2},
                                                                       {"s2", 3},
                                                                       {"s3", 1},
                                                                       {"rapp", 1},
                                                                       {"dx", 2},
                                                                       {"d1", 3},
                                                                       {"d2", 1},
                                                                       {"d3", 1},
                                                                       {"tempo", 220}}));
  EXPECT_EQ(codice_preavviso(8, 1), 81);
  EXPECT_EQ(record_della_cella(t, 0).record, nullptr);  // a free cell: no record
  EXPECT_EQ(record_della_cella(t, 300).record, nullptr);
}

}  // namespace
}  // namespace calvetra
