#include <gtest/gtest.h>

#include "model/codifica.h"
#include "output/file_celle.h"
#include "output/file_geometria.h"
#include "output/file_tabella.h"
#include "output/scrittura.h"
#include "platform/piattaforma_memoria.h"
#include "support/compilazione.h"

namespace calvetra {
namespace {

using test::Compilato;

TEST(CodificaVoce, FieldsAtTheirOffsetsAndTheNameShiftsTheRest) {
  voce v;
  v.tipo = 2;
  v.inizio = 1100;
  v.fine = -1900;
  v.posizione = 0x01020304;
  v.opz_a = 9;
  v.nome = "abc";
  v.cod_a = 610;
  v.cod_b = -2;
  v.cod_c = 3;
  v.cod_d = 4;
  v.cod_e = 5;
  v.opz_b = 6;
  v.opz_c = 7;
  v.opz_d = 8;
  v.opz_e = 10;
  v.orario = 28440;
  std::string s;
  codifica_voce(&s, v);
  const std::string atteso(
      "\x02"
      "\x4c\x04\x00\x00"
      "\x94\xf8\xff\xff"
      "\x04\x03\x02\x01"
      "\x09"
      "\x03\x00"
      "abc"
      "\x62\x02"
      "\xfe\xff"
      "\x03\x00\x04\x00\x05\x00"
      "\x06\x07\x08\x0a"
      "\x18\x6f\x00\x00",
      37);
  EXPECT_EQ(s, atteso);

  LettoreBinario in(s);
  voce letta;
  ASSERT_TRUE(decodifica_voce(&in, &letta));
  EXPECT_TRUE(in.finito());
  EXPECT_EQ(letta.nome, "abc");
  EXPECT_EQ(letta.orario, 28440);
  EXPECT_EQ(letta.cod_b, -2);
}

TEST(CodificaTratto, FifteenBytesInOrder) {
  tratto t;
  t.tipo = 1;
  t.valore_a = 50;
  t.valore_b = -1;
  t.valore_c = 0x1234;
  t.valore_d = 3;
  t.tempo = 220;
  t.preavviso = 31;
  t.montagna = 2;
  t.velocita = 22;
  t.pendenza = 90;
  t.aderenza = 100;
  std::string s;
  codifica_tratto(&s, t);
  EXPECT_EQ(s, std::string("\x01\x32\x00\xff\xff\x34\x12\x03\x00\xdc\x1f\x02\x16\x5a\x64", 15));
  LettoreBinario in(s);
  tratto letto;
  ASSERT_TRUE(decodifica_tratto(&in, &letto));
  EXPECT_EQ(letto.valore_b, -1);
  EXPECT_EQ(letto.aderenza, 100);
  LettoreBinario corto(std::string_view(s).substr(0, 14));
  EXPECT_FALSE(decodifica_tratto(&corto, &letto));
}

TEST(CodificaElemento, TagsEmptyIntegerAndDouble) {
  using Genere = Geometria::Genere;
  std::string s;
  codifica_elemento(&s, Genere::vuoto, 0.0);
  EXPECT_EQ(s, std::string("\x00\x00", 2));
  s.clear();
  codifica_elemento(&s, Genere::intero, 1.0);
  EXPECT_EQ(s, std::string("\x02\x00\x01\x00", 4));
  s.clear();
  codifica_elemento(&s, Genere::reale, 2.0);
  EXPECT_EQ(s, std::string("\x05\x00\x00\x00\x00\x00\x00\x00\x00\x40", 10));
}

// The files of a model written into an in-memory directory.
struct Scritti {
  PiattaformaMemoria p;
  std::string motivo;
  bool ok = false;
  // `celle_prima`: the cell file of an earlier run, if any.
  Scritti(const Modello& m, bool con_geometria, const std::string& celle_prima = "") {
    if (!celle_prima.empty()) p.file[p.percorso(test::kFileCelle)] = celle_prima;
    ok = scrivi_file_binari(&p, p.cartella(), {}, m, con_geometria, &motivo);
  }
  bool c_e(const std::string& nome) { return p.file.count(p.percorso(nome)) != 0; }
  const std::string& operator[](const std::string& nome) { return p.file[p.percorso(nome)]; }
};

TEST(FileBinari, EmptyNamesTableAndCellFileSizes) {
  Compilato c(test::sorgente_linea("", "").c_str(), test::kTrenoVuoto, 0);
  ASSERT_EQ(c.stato(), kUscitaPulita);
  Scritti f(c.m(), 0);
  ASSERT_TRUE(f.ok) << f.motivo;
  // Every name is empty but the route name and the train pair of rows 85, 86.
  EXPECT_EQ(f[test::kFileTabella].size(), 2958u + 8u + 11u);
  EXPECT_EQ(f[test::kFileCelle].size(), 36615u);
  EXPECT_FALSE(f.c_e(test::kFileGeometria));  // j = 0

  // Table without names: exactly 2958 bytes.
  c.m().tabella[85].nome.clear();
  c.m().tabella[86].nome.clear();
  Scritti senza_nomi(c.m(), 0);
  EXPECT_EQ(senza_nomi[test::kFileTabella].size(), 2958u);
}

TEST(FileBinari, TableRoundTripWithHeaderRows) {
  Compilato c(test::sorgente_linea("", "").c_str(), test::kTrenoVuoto, 0);
  Scritti f(c.m(), 0);
  const std::string dati = f[test::kFileTabella];
  LettoreBinario in(dati);
  for (int r = 0; r < kRigheTabella; ++r) {
    voce v;
    ASSERT_TRUE(decodifica_voce(&in, &v)) << r;
    EXPECT_TRUE(v == c.m().tabella[static_cast<size_t>(r)]) << r;
  }
  EXPECT_TRUE(in.finito());
  EXPECT_EQ(c.m().tabella[85].cod_a, 610);
  EXPECT_EQ(c.m().tabella[84].fine, 115000);
}

TEST(FileBinari, OversizedNameWritesNothing) {
  Compilato c(test::sorgente_linea("", "").c_str(), test::kTrenoVuoto, 0);
  c.m().tabella[85].nome.assign(65536, 'x');
  Scritti f(c.m(), 0, "old");
  EXPECT_FALSE(f.ok);
  EXPECT_EQ(f[test::kFileCelle], "old");
  EXPECT_NE(f.motivo.find("65535"), std::string::npos);
}

}  // namespace
}  // namespace calvetra
