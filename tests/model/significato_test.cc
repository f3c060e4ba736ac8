// What stored values mean: each decoding on a table of stored values and
// what they read as, and the encodings the compiler writes with.
#include "model/significato.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <utility>

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
  EXPECT_EQ(per_mille_da_pendenza(0), -100);  // written or never filled: the simulator reads -100
  EXPECT_EQ(valore_coppia(110, 130), 2226);
  EXPECT_EQ(valore_coppia(60, 0), 1200);
  EXPECT_EQ(coppia_da_valore(2226), (CoppiaVelocita{110, 130}));
  EXPECT_EQ(codice_cabina(8), (CodiceCabina{0, 8, true}));
  EXPECT_EQ(codice_cabina(23), (CodiceCabina{2, 3, true}));
  EXPECT_EQ(codice_cabina(-7), (CodiceCabina{-1, 3, true}));  // rapp -1, sx 1
  EXPECT_EQ(codice_cabina(12), (CodiceCabina{1, 2, false}));  // sx 4: reads as class 2
}

// Each stored value's encoder undone by its decoder, over the values a
// record can give; and where the pair cannot undo, what the cells read.
// Positions as railways write them, the one text every tool shows them
// with: three digits of metres always, the sign before the kilometres, and
// the most negative position too.
TEST(Significato, PositionsReadAsKilometresPlusMetres) {
  const std::pair<int64_t, std::string_view> casi[] = {
      {27250, "27+250"},     {0, "0+000"},
      {999, "0+999"},        {1000, "1+000"},
      {1000005, "1000+005"}, {-20, "-0+020"},
      {-27250, "-27+250"},   {INT64_MIN, "-9223372036854775+808"},
  };
  for (const auto& [metri, testo] : casi) EXPECT_EQ(testo_progressiva(metri), testo) << metri;
}

TEST(Significato, EveryCodecReadsBackWhatItWrote) {
  for (int32_t g = -100; g <= 155; ++g) {
    EXPECT_EQ(per_mille_da_pendenza(pendenza_da_per_mille(g)), g);
  }
  EXPECT_EQ(testo_pendenza(93), "-7 per mille");
  EXPECT_EQ(testo_pendenza(0), "-100 per mille");
  EXPECT_EQ(testo_pendenza(0, true), "-100 per mille");
  EXPECT_EQ(testo_pendenza(0, false), "-100 per mille, che nessuna pendenza ha raggiunto");
  for (int32_t vs = 0; vs <= 1630; vs += 5) {
    for (int32_t vd = 0; vd <= 495; vd += 5) {
      const std::optional<int16_t> v = codifica_coppia(vs, vd);
      ASSERT_TRUE(v) << vs << " " << vd;
      ASSERT_EQ(coppia_da_valore(*v), (CoppiaVelocita{vs, vd})) << vs << " " << vd;
    }
  }
  EXPECT_EQ(coppia_da_valore(*codifica_coppia(112, 0)), (CoppiaVelocita{110, 200}));
  EXPECT_EQ(coppia_da_valore(*codifica_coppia(100, 498)), (CoppiaVelocita{105, 0}));
  EXPECT_EQ(codifica_coppia(1640, 0), std::nullopt);

  for (int32_t sx : {1, 2}) {
    for (int32_t dx : {0, 1, 2}) {
      for (int32_t rapp : {-3, 0, 5}) {
        for (int32_t d : {0, 4, 9}) {
          const ValoriSegnale s{sx, 5, 3, 1, rapp, dx, d, 9 - d, d, 220};
          ValoriSegnale atteso = s;
          if (sx != kSxConTempo) atteso.tempo = 0;
          EXPECT_EQ(decodifica_segnale(codifica_segnale(s)), atteso);
        }
      }
    }
  }
  // The worked signal: codes 23, 31, 11, 8 and time 220.
  EXPECT_EQ(codifica_segnale({2, 2, 3, 1, 0, 2, 3, 1, 1, 220}),
            (CodiciSegnale{23, 31, 11, 8, 220}));
  EXPECT_EQ(codifica_segnale({2, 2, 3, 1, 0, 2, 3, 1, 1, 50}).tempo, 101);
  EXPECT_EQ(codifica_segnale({2, 2, 3, 1, 0, 2, 3, 1, 1, 300}).tempo, 44);
  EXPECT_EQ(decodifica_segnale(codifica_segnale({3, 2, 3, 1, 0, 0, 3, 1, 1, 0})), std::nullopt);

  for (int32_t classe = 3; classe <= 8; ++classe) {
    for (int32_t n = 1; n <= 4; ++n) {
      EXPECT_EQ(preavviso_da_codice(codice_preavviso(classe, n)), (Preavviso{classe, n}));
    }
  }
  EXPECT_EQ(codice_preavviso_fermata(1), 81);
  EXPECT_EQ(codice_preavviso(9, 1), 91);  // an sx of 3 keeps a code of its own

  for (int64_t tipo : {2, 5, 6, 7, 8, 12, 28}) {
    for (int64_t l = 0; l <= 1200; l += 100) {
      const ZonaStazione z = zona_stazione(tipo, 27250, l, true);
      EXPECT_EQ(lunghezza_da_zona(tipo, 27250, z.inizio), l) << tipo;
    }
  }
  EXPECT_EQ(zona_stazione(2, 1500, 800, false), (ZonaStazione{1100, 1900}));
  EXPECT_EQ(zona_stazione(2, 1500, 800, true), (ZonaStazione{1100, 1950}));
  EXPECT_EQ(zona_stazione(5, 1500, 800, true), (ZonaStazione{700, 1650}));
  EXPECT_EQ(cella_fermata(1900), 37);
  EXPECT_EQ(cella_preavviso_fermata(1900, 4), 33);

  for (int32_t h : {0, 7, 23}) {
    for (int32_t m : {0, 54, 59}) {
      for (int32_t s : {1, 30, 59}) {
        const auto orario = static_cast<int32_t>(orario_stazione(h, m, s));
        EXPECT_EQ(ora_stazione(orario), (OraStazione{h, m, s}));
      }
    }
  }
  EXPECT_EQ(ora_stazione(0), std::nullopt);  // a place passed without stopping
  EXPECT_EQ(testo_ora_stazione(0), "");
  EXPECT_EQ(testo_ora_stazione(28440), "07:54:00");

  tratto uno;
  scrivi_slot_cella(uno, {kMarchioCelle, -1234});
  EXPECT_EQ(slot_cella(uno), (SlotCella{kMarchioCelle, -1234}));
  EXPECT_EQ(oggetto_della_cella(uno, kCellaIntestazione), tratto{});
  EXPECT_EQ(oggetto_della_cella(uno, 2), uno);
}

// What the decoded views say the simulator reads, on cells that a plain
// reading got wrong.
TEST(Significato, DecodedViewsOfNestedSlowdownsCellOneSignsAndStops) {
  std::vector<tratto> t(30);
  t[3].tipo = kInizioRallentamento;  // 3 to 20, with 6 to 9 inside it
  t[3].valore_a = 30;
  t[6].tipo = kInizioRallentamento;
  t[6].valore_a = 60;
  t[9].tipo = kFineRallentamento;
  t[20].tipo = kFineRallentamento;
  EXPECT_EQ(rallentamenti(t), (std::vector<TrattoRallentato>{{3, 20, 30}, {6, 9, 60}}));

  // A slowdown of speed 0 in cell 1 under the format mark and og.
  t[1].tipo = kInizioRallentamento;
  t[1].valore_c = 1;
  scrivi_slot_cella(t[1], {kMarchioCelle, 777});
  const RecordLetto r = record_della_cella(t, 1);
  ASSERT_GE(r.campi.size(), 2u);
  EXPECT_EQ(r.campi[1], (CampoLetto{"v", 0}));
  EXPECT_EQ(significato_cella(oggetto_della_cella(t[1], 1))[0].valore, "0 km/h");

  // A signal of sx 4 tells its position only; one of sx 1 every value.
  t[25].tipo = kSegnale;
  t[25].valore_d = 12;
  EXPECT_EQ(record_della_cella(t, 25).campi.size(), 1u);
  EXPECT_EQ(significato_cella(t[25])[3], (ValoreNominato{"codice 4", "12"}));
  t[25].valore_d = 3;
  EXPECT_EQ(record_della_cella(t, 25).campi.size(), 11u);

  // A sign row whose cell a stop took stays a sign text; a stop cell's
  // position is its station's.
  Tabella tab{};
  tab[80].nome = "(PONTE)";
  tab[1].tipo = 2;
  tab[1].posizione = 1500;
  tab[1].inizio = 1100;
  tab[1].fine = 1900;
  t[12] = tratto{};
  t[12].tipo = kFermata;
  t[12].valore_a = 1;
  EXPECT_EQ(usi_righe(tab, t)[80], UsoRiga::cartello);
  EXPECT_EQ(usi_righe(tab, t)[1], UsoRiga::stazione);
  EXPECT_EQ(posizione_della_cella(t, tab, 12), 1500);

  // A station without a time gives back no time.
  RecordLetto senza = record_della_stazione(tab[1]);
  EXPECT_EQ(senza.campi.size(), 13u);
  tab[1].orario = 28440;
  EXPECT_EQ(record_della_stazione(tab[1]).campi.back(), (CampoLetto{"seconds", 0}));
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
  tab[1].posizione = 1500;
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
  EXPECT_EQ(sequenze(t, &tratto::velocita), (std::vector<Sequenza>{{0, 19, 0, {}}}));
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
