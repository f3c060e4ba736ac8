// The compiler from source text to model, with no directory: whole records of
// each kind, and the diagnostics channel.
#include "compile/compilazione.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/mman.h>
#endif

#include <atomic>
#include <string>
#include <vector>

#include "line/fase_linea.h"
#include "train/fase_treno.h"

namespace calvetra {
namespace {

constexpr char kLinea[] =
    "[generale]\r\nlunghezza percorso, 20000\r\n[curve]\r\n"
    "pendenza, 1000, -7\r\n"
    "curvas2, 500, 300\r\n"
    "montagna, 3000, 3400, 12\r\n"
    "indicatori_vmax, 1950, 110, 130, 160, 1, 100, 120, 150, 2\r\n"
    "cartello_indicatore, 2500, \"(A, B)\"\r\n"
    "[fine]\r\n";
constexpr char kTreno[] =
    "[generale]\r\nvelocita, 0, 100\r\naderenza, 0, 3\r\n"
    "stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, PRIMA\r\n"
    "segnale, 13250, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n"
    "rallentamento, 8000, 60, 500, 1, 0, 0\r\n"
    "abbattimento, 10000, 90\r\n[fine]\r\n";

// A cell with the byte fields every cell of this route shares from cell 20 on:
// speed 100 km/h (20 steps of 5), gradient -7 (93), adhesion 3.
tratto cella(uint8_t tipo, int16_t a = 0, int16_t b = 0, int16_t c = 0, int16_t d = 0,
             uint8_t preavviso = 0, uint8_t montagna = 0) {
  return tratto{tipo, a, b, c, d, 0, preavviso, montagna, 20, 93, 3};
}

TEST(Compila, WholeRecordsOfEachKind) {
  const Compilazione c = compila_testi(kLinea, kTreno);
  ASSERT_EQ(c.fine, FineCompilazione::pronta);
  EXPECT_TRUE(c.diagnostica.voci().empty());
  EXPECT_EQ(c.consumate, (SorgentiConsumate{true, true}));
  const std::vector<tratto>& t = c.modello.tratti;
  ASSERT_EQ(t.size(), 541u);

  EXPECT_EQ(t[40], cella(kIndicatori, 2220, 2624, 3230, 12));  // the two boards side by side
  EXPECT_EQ(t[51], cella(kCartello, 80));                      // its text in row 80
  EXPECT_EQ(t[60], cella(kLibero, 0, 0, 0, 0, 0, 2));          // mountain class 2 ...
  EXPECT_EQ(t[63], cella(kSegnoMontagna, 0, 0, 0, 0, 0, 2));   // ... a marker every fourth cell
  EXPECT_EQ(t[68], cella(kLibero));
  EXPECT_EQ(t[161], cella(kInizioRallentamento, 60, 0, 1));
  EXPECT_EQ(t[171], cella(kFineRallentamento, 60, 0, 1));
  EXPECT_EQ(t[200], cella(kAbbattimento, 90));
  EXPECT_EQ(t[258], cella(kLibero, 0, 0, 0, 0, 34));  // the signal's farthest approach code
  EXPECT_EQ(t[266], cella(kSegnale, 50, 10, 0, 3));

  voce prima;
  prima.tipo = 2;
  prima.inizio = 1100;
  prima.fine = 1900;
  prima.posizione = 1500;
  prima.opz_a = 1;
  prima.nome = "PRIMA";
  prima.cod_a = 4;
  prima.cod_b = 1;
  prima.cod_c = 2;
  prima.cod_d = 1;
  prima.cod_e = 1;
  prima.opz_c = 1;
  prima.orario = 28440;
  EXPECT_EQ(c.modello.tabella[1], prima);
  EXPECT_EQ(c.modello.tabella[80].nome, "(A, B)");
  EXPECT_EQ(c.modello.geometria.prossimo(), 26999);  // straight on to T - 2
}

TEST(Compila, TheSameTextsGiveEqualModels) {
  EXPECT_TRUE(compila_testi(kLinea, kTreno).modello == compila_testi(kLinea, kTreno).modello);
  const std::string altro = std::string(kTreno).replace(std::string(kTreno).find("90"), 2, "95");
  EXPECT_FALSE(compila_testi(kLinea, kTreno).modello == compila_testi(kLinea, altro).modello);
}

TEST(Compila, DiagnosticsInTheOrderRecordedWithTheirPlaces) {
  // A gradient past the cells ends the line body with 15; the train phase
  // stores its slowdown, stops on that standing error and gives it the
  // slowdown's position; the cab-code pass then finds the three signs where
  // a code reduction should go (12 at the start cell, no source field).
  const std::string linea =
      "[generale]\r\nlunghezza percorso, 20000\r\n[curve]\r\n"
      "cartello_indicatore, 9600, A\r\ncartello_indicatore, 9650, B\r\n"
      "cartello_indicatore, 9700, C\r\npendenza, 900000, 1\r\n[fine]\r\n";
  const std::string treno =
      "[generale]\r\nrallentamento, 9950, 60, 100, 1, 0, 0\r\nsabbia, 4\r\n[fine]\r\n";
  const Compilazione c = compila_testi(linea, treno);
  const std::vector<Diagnostico> e = c.diagnostica.errori();
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(numero(e[0].codice), 15);
  EXPECT_EQ(e[0].posizione, 9950);
  EXPECT_EQ(e[0].luogo, (Luogo{FileSorgente::linea, linea.find("900000")}));
  EXPECT_EQ(numero(e[1].codice), 12);
  EXPECT_EQ(e[1].posizione, 10000);
  // The cab-code pass's error points at the slowdown that needed the cell.
  EXPECT_EQ(e[1].luogo, (Luogo{FileSorgente::treno, treno.find("rallentamento")}));
  EXPECT_EQ(numero(c.codice_errore()), 12);
  EXPECT_EQ(c.posizione_errore(), 10000);
  EXPECT_EQ(c.modello.tratti[200].tipo, kInizioRallentamento);
  EXPECT_EQ(c.modello.tabella[kRigaTreni].cod_a, 0);  // read no further
  EXPECT_EQ(stato_uscita(c), kUscitaConErrore);
}

TEST(Diagnostica, CodeAndPositionAreTheLastRecordedAndWarningsChangeNeither) {
  Diagnostica d;
  EXPECT_EQ(numero(d.codice_errore()), 0);
  d.errore(CodiceErrore::segnale_su_cella_occupata, {FileSorgente::treno, 40}, 13250);
  d.avviso("prova", "un avviso", {FileSorgente::linea, 7});
  d.errore(CodiceErrore::fermata_nelle_prime_celle, {FileSorgente::treno, 90});
  EXPECT_EQ(numero(d.codice_errore()), 24);
  EXPECT_EQ(d.posizione_errore(), 13250);
  d.riposiziona(5000);  // a placing step stops on the standing error
  EXPECT_EQ(d.posizione_errore(), 5000);
  ASSERT_EQ(d.voci().size(), 3u);
  EXPECT_EQ(d.voci()[0].posizione, 13250);
  EXPECT_EQ(d.voci()[1].gravita, Gravita::avviso);
  EXPECT_EQ(d.voci()[2].posizione, 5000);
  EXPECT_EQ(d.errori().size(), 2u);
  EXPECT_TRUE(d.ha_avvisi());
}

TEST(Compila, WhatIsRecordedForAuthorsLeavesModelCodeAndPositionAlone) {
  const std::string linea = std::string(kLinea) + "pendneza, 9000, 3\r\nsfondo uno, 1O\r\n";
  const std::string treno = std::string(kTreno) + "segnale, 12000, 1,5,1,0,0,0,0,0,0,0\r\n";
  const auto con = [&](ModoAvvisi modo) {
    return compila(Sorgente::di(linea), Sorgente::di(treno), {}, {.avvisi = modo});
  };
  const Compilazione completa = con(ModoAvvisi::completi);
  const Compilazione asciutta = con(ModoAvvisi::senza_suggerimenti);
  const Compilazione senza = con(ModoAvvisi::spenti);
  for (const Compilazione* c : {&asciutta, &senza}) {
    EXPECT_TRUE(c->modello == completa.modello);
    EXPECT_EQ(c->codice_errore(), completa.codice_errore());
    EXPECT_EQ(c->posizione_errore(), completa.posizione_errore());
  }
  EXPECT_FALSE(senza.diagnostica.ha_avvisi());
  // Without suggestions the same warnings, each message short of its "did
  // you mean" at most.
  const std::vector<Diagnostico>& a = completa.diagnostica.voci();
  const std::vector<Diagnostico>& b = asciutta.diagnostica.voci();
  ASSERT_EQ(a.size(), b.size());
  bool suggerito = false;
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].nome, b[i].nome);
    EXPECT_EQ(a[i].luogo, b[i].luogo);
    const bool forse = a[i].messaggio.find("; forse `pendenza`?") != std::string::npos;
    suggerito = suggerito || forse;
    EXPECT_EQ(a[i].messaggio, forse ? b[i].messaggio + "; forse `pendenza`?" : b[i].messaggio);
  }
  EXPECT_TRUE(suggerito);
}

// Given up from another thread (the live page ending), a compile stops at
// the next keyword of whatever it reads, the records examined after an
// error too: whatever the size of the sources, it ends at once.
TEST(Compila, AGivenUpCompileReadsNoFurtherRecord) {
  const std::string linea = std::string(kLinea) + "pendneza, 9000, 3\r\n";
  const auto letti = [](const Giornale& g) {
    size_t n = 0;
    for (const RecordRegistrato& r : g.records()) n += r.passo() ? 0 : 1;
    return n;
  };
  std::atomic<bool> annullo{false};
  const OpzioniCompilazione o{.annullo = &annullo};
  const Compilazione intera = compila(Sorgente::di(linea), Sorgente::di(kTreno), {}, o);
  EXPECT_GT(letti(intera.giornale), 10u);
  annullo = true;
  const Compilazione data_su = compila(Sorgente::di(linea), Sorgente::di(kTreno), {}, o);
  EXPECT_EQ(letti(data_su.giornale), 0u);
  for (std::atomic<bool>* a : {static_cast<std::atomic<bool>*>(nullptr), &annullo}) {
    Diagnostica d;
    Giornale g;
    esamina_linea(linea, 0, Fase::intestazione_linea, false, d, g, a);
    esamina_treno(kTreno, 0, true, d, g, a);
    EXPECT_EQ(letti(g) == 0, a != nullptr);
  }
}

TEST(Compila, WithoutWarningsNoGuessAboutTheRouteLength) {
  // The route length record is watched only with the warnings; without them
  // an error 25 carries no note rather than "the record is missing".
  const std::string linea = "[generale]\r\nlunghezza percorso, -9000\r\n[curve]\r\n[fine]\r\n";
  for (ModoAvvisi modo : {ModoAvvisi::completi, ModoAvvisi::spenti}) {
    const Compilazione c = compila(Sorgente::di(linea), Sorgente::di(kTreno), {}, {.avvisi = modo});
    const std::vector<Diagnostico> e = c.diagnostica.errori();
    ASSERT_FALSE(e.empty());
    EXPECT_EQ(numero(e.back().codice), 25);
    if (modo == ModoAvvisi::spenti) {
      EXPECT_TRUE(e.back().note.empty());
    } else {
      // What failed, then why, then what the train source had that was lost.
      ASSERT_EQ(e.back().note.size(), 3u);
      EXPECT_EQ(e.back().note[1].testo, "la lunghezza del percorso e' -9000 m");
    }
  }
}

TEST(Compila, RunsThatWriteNothing) {
  const Compilazione senza_linea = compila(Sorgente{}, Sorgente::di(kTreno), {});
  EXPECT_EQ(senza_linea.fine, FineCompilazione::senza_celle);
  EXPECT_EQ(numero(senza_linea.codice_errore()), 101);
  EXPECT_EQ(senza_linea.consumate, (SorgentiConsumate{false, false}));
  EXPECT_EQ(stato_uscita(senza_linea), kUscitaFatale);

  const Compilazione una_cella =
      compila_testi("[generale]\r\nlunghezza percorso, -7000\r\n[curve]\r\n[fine]\r\n", kTreno, 0);
  EXPECT_EQ(una_cella.fine, FineCompilazione::poche_celle);

  const Compilazione illeggibile =
      compila(Sorgente{Sorgente::Stato::illeggibile, {}}, Sorgente::di(kTreno), {});
  EXPECT_EQ(numero(illeggibile.codice_errore()), 25);
  EXPECT_EQ(illeggibile.consumate, (SorgentiConsumate{true, true}));
}

#ifndef _WIN32
// A source past 4 GiB is refused where its phase opens it, as an unreadable
// one is, and not a byte of it is read or examined: it lies in memory that
// no one may touch.
TEST(Compila, ASourcePastFourGiBIsRefusedUnread) {
  const size_t n = size_t{kMassimoSorgente} + 1;
  void* p = mmap(nullptr, n, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(p, MAP_FAILED);
  const std::string_view enorme(static_cast<const char*>(p), n);
  const auto detto = [](const Compilazione& c, const std::string& testo) {
    for (const Diagnostico& d : c.diagnostica.voci()) {
      for (const Nota& nota : d.note) {
        if (nota.testo == testo) return true;
      }
    }
    return false;
  };
  const Compilazione linea = compila(Sorgente::di(enorme), Sorgente::di(kTreno), {});
  EXPECT_EQ(numero(linea.codice_errore()), 25);
  EXPECT_TRUE(detto(linea, "il file della linea supera i 4 GiB, e non e' letto"));
  const Compilazione treno = compila(Sorgente::di(kLinea), Sorgente::di(enorme), {});
  EXPECT_EQ(numero(treno.codice_errore()), 25);
  EXPECT_TRUE(detto(treno, "il file del treno supera i 4 GiB, e non e' letto"));
  munmap(p, n);
}
#endif

}  // namespace
}  // namespace calvetra
