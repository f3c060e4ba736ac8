// The readers of the three binary files: what a compile wrote reads back the
// same, and every truncated, padded or corrupt file is refused with the byte
// where it goes wrong.
#include "output/lettura.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compile/compilazione.h"
#include "model/significato.h"
#include "output/file_celle.h"
#include "output/file_geometria.h"
#include "output/file_tabella.h"
#include "output/scrittura.h"
#include "platform/piattaforma_memoria.h"
#include "support/scenario_di_prova.h"

namespace calvetra {
namespace {

// The sample scenario compiled and written into an in-memory directory.
struct Scritto {
  PiattaformaMemoria p;
  Compilazione c = compila_testi(test::kLineaProva, test::kTrenoProva);
  std::string tabella, celle, geometria;
  Scritto() {
    std::string motivo;
    EXPECT_TRUE(scrivi_file_binari(&p, p.cartella(), {}, c.modello, true, &motivo)) << motivo;
    const NomiScenario nomi;
    tabella = p.file[p.percorso(nomi.tabella())];
    celle = p.file[p.percorso(nomi.celle())];
    geometria = p.file[p.percorso(nomi.geometria())];
  }
};

Scritto& scritto() {
  static Scritto s;
  return s;
}

// The message and offset of a refusal, as one string for whole comparisons.
std::string rifiuto(const StatoLettura& s) {
  return s.ok() ? "ok" : "@" + std::to_string(s.offset()) + " " + s.messaggio();
}

TEST(LetturaScenario, WhatWasWrittenReadsBackTheSame) {
  Scritto& s = scritto();
  ASSERT_FALSE(s.c.diagnostica.con_errore());
  ScenarioLetto l;
  const StatoLettura stato = leggi_scenario(&s.p, s.p.cartella(), {}, &l);
  ASSERT_TRUE(stato.ok()) << stato.messaggio();
  EXPECT_TRUE(l.tabella == s.c.modello.tabella);
  EXPECT_TRUE(l.tratti == s.c.modello.tratti);
  ASSERT_TRUE(l.geometria.has_value());
  const Geometria& g = s.c.modello.geometria;
  PuntiPiano punti(g);
  ASSERT_EQ(l.geometria->metri(), static_cast<size_t>(g.ultimo_metro()) + 1);
  for (int32_t m = 0; m <= g.ultimo_metro(); ++m) {
    const auto i = static_cast<size_t>(m);
    ASSERT_EQ(l.geometria->x(i).genere, g.genere(m)) << "metre " << m;
    ASSERT_EQ(l.geometria->y(i).genere, g.genere(m)) << "metre " << m;
    // Bit for bit: the file keeps every double exactly.
    ASSERT_EQ(l.geometria->x(i).valore, punti.x(m)) << "metre " << m;
    ASSERT_EQ(l.geometria->y(i).valore, punti.y(m)) << "metre " << m;
  }
}

TEST(LetturaScenario, EveryTruncationOfTheTableIsRefusedAtTheRowItCuts) {
  const std::string& dati = scritto().tabella;
  Tabella t;
  for (size_t n = 0; n < dati.size(); ++n) {
    const StatoLettura s = leggi_tabella(std::string_view(dati).substr(0, n), &t);
    ASSERT_FALSE(s.ok()) << n;
    ASSERT_EQ(s.messaggio().rfind("troncato: la riga ", 0), 0u) << s.messaggio();
    ASSERT_LE(s.offset(), n);
  }
  EXPECT_EQ(rifiuto(leggi_tabella(dati.substr(0, 100), &t)),
            "@78 troncato: la riga 2, che inizia al byte 78, supera la fine del file (100 byte); "
            "servono 87 righe");
}

TEST(LetturaScenario, PaddedOrCorruptTablesAreRefused) {
  const std::string& dati = scritto().tabella;
  const std::string fine = std::to_string(dati.size());
  std::string piu_righe = dati;  // an 88th row is padding: the table has exactly 87
  codifica_voce(&piu_righe, voce{});
  std::string nome_lungo = dati;  // a name that claims more than the file holds
  nome_lungo[formato_tabella::kLunghezzaNome] = '\xFF';
  nome_lungo[formato_tabella::kLunghezzaNome + 1] = '\xFF';
  Tabella t;
  EXPECT_EQ(rifiuto(leggi_tabella(dati + "xy", &t)), "@" + fine + " 2 byte in eccesso dal byte " +
                                                         fine + ", dopo le 87 righe della tabella");
  EXPECT_EQ(rifiuto(leggi_tabella(piu_righe, &t)), "@" + fine + " 34 byte in eccesso dal byte " +
                                                       fine + ", dopo le 87 righe della tabella");
  EXPECT_EQ(rifiuto(leggi_tabella(nome_lungo, &t))
                .rfind("@0 troncato: la riga 0, che inizia al byte 0, supera la fine del file", 0),
            0u);

  // The mark of row 85: the first byte of `cod_a` after its name.
  Tabella letta;
  ASSERT_TRUE(leggi_tabella(dati, &letta).ok());
  size_t riga85 = 0;
  for (size_t r = 0; r < kRigaLinea; ++r) {
    riga85 += formato_tabella::kByteVoceVuota + letta[r].nome.size();
  }
  const size_t marchio = riga85 + formato_tabella::kNome + letta[kRigaLinea].nome.size();
  std::string senza_marchio = dati;
  senza_marchio[marchio] = 0;
  EXPECT_EQ(rifiuto(leggi_tabella(senza_marchio, &t)),
            "@" + std::to_string(marchio) + " corrotto: al byte " + std::to_string(marchio) +
                " (riga 85, cod_a) c'e' 512 invece del marchio 610");
}

TEST(LetturaScenario, CellFilesMustMatchTheRouteLength) {
  const std::string& dati = scritto().celle;
  const int32_t L = 20000;  // 541 cells
  std::vector<tratto> t;
  ASSERT_TRUE(leggi_celle(dati, L, &t).ok());
  EXPECT_EQ(t.size(), 541u);
  std::string senza_marchio = dati;
  senza_marchio[formato_celle::kByteCella + formato_celle::kValoreA] = 0;
  const struct {
    std::string dati;
    const char* rifiuto;
  } casi[] = {
      {dati.substr(0, dati.size() - 1),
       "@8100 corrotto: 8114 byte non sono un multiplo di 15; gli ultimi 14 byte, dal byte 8100, "
       "non formano una cella"},
      {dati.substr(0, dati.size() - 15),
       "@8100 troncato: il file finisce al byte 8100 dopo 540 celle; la lunghezza 20000 m della "
       "tabella ne vuole 541 (8115 byte)"},
      {dati + std::string(15, '\0'),
       "@8115 15 byte in eccesso dal byte 8115: la lunghezza 20000 m della tabella vuole 541 "
       "celle"},
      {senza_marchio,
       "@16 corrotto: al byte 16 (cella 1, valore_a) c'e' 5120 invece del marchio "
       "5121"},
      {"",
       "@0 troncato: il file finisce al byte 0 dopo 0 celle; la lunghezza 20000 m della "
       "tabella ne vuole 541 (8115 byte)"},
  };
  for (const auto& k : casi) EXPECT_EQ(rifiuto(leggi_celle(k.dati, L, &t)), k.rifiuto);
}

TEST(LetturaScenario, GeometryTruncatedPaddedOrWithAnUnknownTag) {
  const std::string& dati = scritto().geometria;
  const int32_t L = 20000;
  PianoLetto p;
  ASSERT_TRUE(leggi_geometria(dati, L, &p).ok());
  std::string etichetta = dati;
  etichetta[18] = 7;  // the tag of metre 3 of x, after two seeds and one double
  const std::string fine = std::to_string(dati.size());
  // Cut inside the first seed, inside a double, at an element boundary.
  const struct {
    std::string dati;
    int32_t lunghezza;
    std::string rifiuto;
  } casi[] = {
      {dati.substr(0, 3), L,
       "@0 troncato: l'elemento x del metro 0, che inizia al byte 0, supera la fine del file "
       "(3 byte)"},
      {dati.substr(0, 15), L,
       "@8 troncato: l'elemento x del metro 2, che inizia al byte 8, supera la fine del file "
       "(15 byte)"},
      {dati.substr(0, 18), L,
       "@18 troncato: il file finisce al byte 18, prima dell'elemento x del metro 3; la lunghezza "
       "20000 m della tabella vuole 2 x 27001 elementi"},
      {dati + "\x05", L,
       "@" + fine + " 1 byte in eccesso dal byte " + fine +
           ", dopo i 2 x 27001 elementi della lunghezza 20000 m (forse il file di una "
           "compilazione precedente)"},
      {etichetta, L,
       "@18 corrotto: etichetta 7 sconosciuta al byte 18 (elemento x del metro 3); valgono solo "
       "0, 2 e 5"},
  };
  for (const auto& k : casi)
    EXPECT_EQ(rifiuto(leggi_geometria(k.dati, k.lunghezza, &p)), k.rifiuto);
  for (size_t n = 0; n < dati.size(); n += 9973) {
    ASSERT_FALSE(leggi_geometria(dati.substr(0, n), L, &p).ok()) << n;
  }
  // A file of another route length: the element counts disagree.
  EXPECT_NE(leggi_geometria(dati, L - 50, &p).messaggio().find("in eccesso"), std::string::npos);
}

// A plan of many runs, as a file written by hand may hold: every metre reads
// as the element its bytes hold, the first and the last included, and the
// counts and the metres with both coordinates agree with the elements.
TEST(LetturaScenario, APlanOfManyRunsReadsEveryMetreAsItsBytes) {
  const int32_t L = 20000;
  const size_t metri = 27001;
  const auto elemento = [](int c, size_t m) {
    if (m % 7 == 3 + static_cast<size_t>(c)) return ElementoGeometria{};
    if (m % 5 == 0 || m % 11 == 1) {
      return ElementoGeometria{Geometria::Genere::intero, static_cast<double>(m % 3)};
    }
    const auto v = static_cast<double>(m);
    return ElementoGeometria{Geometria::Genere::reale, c == 0 ? v * 0.5 : -1.0 / (v + 1.0)};
  };
  std::string file;
  for (int c = 0; c < 2; ++c) {
    for (size_t m = 0; m < metri; ++m) {
      codifica_elemento(&file, elemento(c, m).genere, elemento(c, m).valore);
    }
  }
  PianoLetto p;
  ASSERT_EQ(rifiuto(leggi_geometria(file, L, &p)), "ok");
  ASSERT_EQ(p.metri(), metri);
  PianoLetto::Conteggio attesi[2];
  std::vector<PianoLetto::Intervallo> pieni;
  for (size_t m = 0; m < metri; ++m) {
    for (int c = 0; c < 2; ++c) {
      const ElementoGeometria e = elemento(c, m), letto = p.elemento(c, m);
      ASSERT_EQ(letto.genere, e.genere) << c << " " << m;
      ASSERT_EQ(letto.valore, e.valore) << c << " " << m;
      switch (e.genere) {
        case Geometria::Genere::vuoto: ++attesi[c].vuoti; break;
        case Geometria::Genere::intero: ++attesi[c].interi; break;
        case Geometria::Genere::reale: ++attesi[c].reali; break;
      }
    }
    if (elemento(0, m).genere == Geometria::Genere::vuoto ||
        elemento(1, m).genere == Geometria::Genere::vuoto) {
      continue;
    }
    if (!pieni.empty() && pieni.back().a + 1 == m) {
      pieni.back().a = m;
    } else {
      pieni.push_back({m, m});
    }
  }
  EXPECT_EQ(p.x(0).genere, Geometria::Genere::intero);
  EXPECT_EQ(p.y(metri - 1).valore, elemento(1, metri - 1).valore);
  for (int c = 0; c < 2; ++c) {
    EXPECT_EQ(p.conteggio(c).vuoti, attesi[c].vuoti);
    EXPECT_EQ(p.conteggio(c).interi, attesi[c].interi);
    EXPECT_EQ(p.conteggio(c).reali, attesi[c].reali);
  }
  const std::vector<PianoLetto::Intervallo> letti = p.pieni();
  ASSERT_EQ(letti.size(), pieni.size());
  for (size_t i = 0; i < pieni.size(); ++i) {
    EXPECT_EQ(letti[i].da, pieni[i].da);
    EXPECT_EQ(letti[i].a, pieni[i].a);
  }
}

// The reader steps over a run of one kind without decoding it, and still
// stops at the first element that differs, deep in the y part or at the
// file's last byte.
TEST(LetturaScenario, AFaultInsideALongRunIsFoundWhereItIs) {
  const std::string& dati = scritto().geometria;
  const int32_t L = 20000;
  const size_t meta = dati.size() / 2;     // x and y alike
  const size_t metro_1000 = 8 + 998 * 10;  // two seeds, then doubles
  std::string etichetta = dati;
  etichetta[meta + metro_1000] = 9;
  std::string vuoto = dati;
  vuoto[metro_1000] = 0;  // a double's tag made an empty one: what follows is misread
  vuoto[metro_1000 + 2] = 0x33;
  vuoto[metro_1000 + 3] = 0;
  const std::string n = std::to_string(dati.size());
  const std::string y = std::to_string(meta + metro_1000);
  const struct {
    std::string dati;
    std::string rifiuto;
  } casi[] = {
      {etichetta, "@" + y + " corrotto: etichetta 9 sconosciuta al byte " + y +
                      " (elemento y del metro 1000); valgono solo 0, 2 e 5"},
      {vuoto, "@" + std::to_string(metro_1000 + 2) +
                  " corrotto: etichetta 51 sconosciuta al byte " + std::to_string(metro_1000 + 2) +
                  " (elemento x del metro 1001); valgono solo 0, 2 e 5"},
      {dati.substr(0, dati.size() - 1),
       "@" + std::to_string(dati.size() - 2) +
           " troncato: l'elemento y del metro 27000, che inizia al byte " +
           std::to_string(dati.size() - 2) + ", supera la fine del file (" +
           std::to_string(dati.size() - 1) + " byte)"},
  };
  PianoLetto p;
  for (const auto& k : casi) EXPECT_EQ(rifiuto(leggi_geometria(k.dati, L, &p)), k.rifiuto);
}

// A compile that refuses a route length (code 1 over the maximum, 25 below the
// run-in) after an earlier record had sized the route writes the refused
// length into row 84: the cells and the plan are read at the sizes of their
// files, and nothing else.
TEST(LetturaScenario, LengthRefusedAfterAnEarlierRecordTakesTheSizesOfTheFiles) {
  for (const char* rifiutata : {"2000000", "-7100"}) {
    SCOPED_TRACE(rifiutata);
    const std::string linea = std::string("[generale]\r\nlunghezza percorso, -6500\r\n") +
                              "lunghezza percorso, " + rifiutata + "\r\n[fine]\r\n";
    const Compilazione c = compila_testi(linea, "[generale]\r\n[fine]\r\n");
    ASSERT_EQ(c.fine, FineCompilazione::pronta);
    ASSERT_TRUE(c.diagnostica.con_errore());
    PiattaformaMemoria p;
    std::string motivo;
    ASSERT_TRUE(scrivi_file_binari(&p, p.cartella(), {}, c.modello, true, &motivo)) << motivo;
    ScenarioLetto s;
    ASSERT_TRUE(leggi_scenario(&p, p.cartella(), {}, &s).ok());
    EXPECT_EQ(Intestazione(s.tabella).lunghezza_percorso(), std::stoi(rifiutata));
    EXPECT_EQ(s.tratti.size(), 11u);
    ASSERT_TRUE(s.geometria.has_value());
    EXPECT_EQ(s.geometria->metri(), 501u);

    const int32_t L = Intestazione(s.tabella).lunghezza_percorso();
    std::vector<tratto> celle;
    EXPECT_EQ(rifiuto(leggi_celle(std::string(15, '\0'), L, &celle)),
              "@15 troncato: 15 byte, meno delle 2 celle che il compilatore scrive almeno");
    // The parse ended in the header: every element is an empty one of 2 bytes.
    PianoLetto piano;
    const std::string geometria = p.file[p.percorso(NomiScenario{}.geometria())];
    EXPECT_EQ(rifiuto(leggi_geometria(geometria.substr(2), L, &piano)),
              "@0 corrotto: 1001 elementi non si dividono in x e y dello stesso numero di metri");
  }
}

TEST(LetturaScenario, MissingFilesAreNamedAndTheGeometryMayBeAbsent) {
  PiattaformaMemoria vuota;
  ScenarioLetto s;
  const StatoLettura nessuno = leggi_scenario(&vuota, vuota.cartella(), {}, &s);
  EXPECT_EQ(nessuno.messaggio(),
            vuota.percorso(NomiScenario{}.tabella()) + ": impossibile leggere: file inesistente");

  PiattaformaMemoria senza;
  const NomiScenario nomi;
  senza.file[senza.percorso(nomi.tabella())] = scritto().tabella;
  senza.file[senza.percorso(nomi.celle())] = scritto().celle;
  ASSERT_TRUE(leggi_scenario(&senza, senza.cartella(), nomi, &s).ok());
  EXPECT_FALSE(s.geometria.has_value());
  senza.file[senza.percorso(nomi.celle())] += "x";
  EXPECT_EQ(leggi_scenario(&senza, senza.cartella(), nomi, &s)
                .messaggio()
                .rfind(senza.percorso(nomi.celle()) + ": corrotto: ", 0),
            0u);
}

}  // namespace
}  // namespace calvetra
