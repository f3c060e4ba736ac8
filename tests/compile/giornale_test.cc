// The compile's journal: where each object came from, what every record
// wrote (replayed, the same model), the spans of its fields, what the compile
// never reached, what a later record erased, and the place of every end.
#include "model/giornale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "compile/compilazione.h"
#include "fields/catalogo.h"
#include "line/catalogo_linea.h"
#include "model/significato.h"
#include "train/catalogo_treno.h"

namespace calvetra {
namespace {

constexpr char kLinea[] =
    "[generale]\r\nlunghezza percorso, 20000\r\n[curve]\r\n"
    "pendenza, 1000, -7\r\n"
    "montagna, 3000, 3400, 12\r\n"
    "montagna, 7650, 8100, 11\r\n"
    "---- separatore, indicatori_vmax, 1950, 110, 130, 160, 1, 100, 120, 150, 2\r\n"
    "cartello_indicatore, 2500, \"(A, B)\"\r\n"
    "[fine]\r\n";
constexpr char kTreno[] =
    "[generale]\r\nvelocita, 0, 100\r\n"
    "stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, PRIMA\r\n"
    "segnale, 13250, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n"
    "rallentamento, 8000, 60, 500, 1, 1, 0\r\n"
    "abbattimento, 10000, 90\r\n[fine]\r\n";

Compilazione senza_giornale(std::string_view linea, std::string_view treno) {
  return compila(Sorgente::di(linea), Sorgente::di(treno), {}, {.avvisi = ModoAvvisi::spenti});
}

TEST(Giornale, EachObjectPointsAtTheKeywordOfItsRecord) {
  const Compilazione c = senza_giornale(kLinea, kTreno);
  const Compilazione p =
      compila(Sorgente::di(kLinea), Sorgente::di(kTreno), {}, {.con_giornale = true});
  ASSERT_EQ(p.fine, FineCompilazione::pronta);
  EXPECT_EQ(p.modello, c.modello);  // the model does not depend on the credit

  struct Caso {
    const char* oggetto;
    size_t cella_o_riga;
    bool riga;
    FileSorgente file;
    std::string_view inizio;  // what the source holds at the offset
  };
  const Caso casi[] = {
      {"board", 40, false, FileSorgente::linea, "indicatori_vmax, 1950"},
      {"sign cell", 51, false, FileSorgente::linea, "cartello_indicatore, 2500"},
      {"sign text", 80, true, FileSorgente::linea, "cartello_indicatore, 2500"},
      {"mountain marker", 63, false, FileSorgente::linea, "montagna, 3000"},
      {"station row", 1, true, FileSorgente::treno, "stazione, 1500"},
      {"stop cell", 37, false, FileSorgente::treno, "stazione, 1500"},
      {"signal", 266, false, FileSorgente::treno, "segnale, 13250"},
      {"slowdown warning", 137, false, FileSorgente::treno, "rallentamento, 8000"},
      {"slowdown pre-warning", 133, false, FileSorgente::treno, "rallentamento, 8000"},
      {"slowdown start", 161, false, FileSorgente::treno, "rallentamento, 8000"},
      {"slowdown end", 171, false, FileSorgente::treno, "rallentamento, 8000"},
      {"code reduction", 200, false, FileSorgente::treno, "abbattimento, 10000"},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.oggetto);
    const Luogo l = k.riga ? p.giornale.riga(k.cella_o_riga) : p.giornale.cella(k.cella_o_riga);
    ASSERT_EQ(l.file, k.file);
    const std::string_view testo = k.file == FileSorgente::linea ? kLinea : kTreno;
    EXPECT_EQ(testo.substr(l.offset, k.inizio.size()), k.inizio);
  }
  // Free cells and stretches credit no record.
  EXPECT_EQ(p.modello.tratti[100].tipo, kLibero);
  EXPECT_EQ(p.giornale.cella(100), Luogo{});
  EXPECT_EQ(p.giornale.derivazione(100), Giornale::Derivazione::nessuna);
  EXPECT_EQ(p.giornale.derivazione(266), Giornale::Derivazione::nessuna);
  EXPECT_EQ(p.giornale.cella(100000), Luogo{});
  // The cab-code pass's reductions go to the slowdown that caused them, as
  // derived, also where one took a mountain marker (156).
  const std::string_view rallentamento = "rallentamento, 8000";
  for (const size_t cella : {size_t{169}, size_t{156}}) {
    SCOPED_TRACE(cella);
    EXPECT_EQ(p.modello.tratti[cella].tipo, kAbbattimento);
    EXPECT_EQ(p.giornale.derivazione(cella), Giornale::Derivazione::posta);
    const Luogo l = p.giornale.cella(cella);
    EXPECT_EQ(std::string_view(kTreno).substr(l.offset, rallentamento.size()), rallentamento);
    EXPECT_EQ(p.giornale.causa(cella), l);
  }
  // Without warnings and unasked (calvetra's run) no journal is kept.
  EXPECT_EQ(c.giornale.cella(266), Luogo{});
  EXPECT_TRUE(c.giornale.records().empty());
}

// The writes of the journal, replayed over an empty model, make the cells and
// rows the compile made, on clean and on broken sources alike; and the
// journal never changes the model.
TEST(Giornale, ItsWritesReplayedMakeTheSameModel) {
  const std::string treno = kTreno;
  const std::pair<std::string, std::string> casi[] = {
      {kLinea, treno},
      {kLinea,
       "[generale]\r\nstazione, 1525, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, X\r\n"},
      {"[generale]\r\nlunghezza percorso, 2000\r\nlunghezza percorso, 3000\r\n[c]\r\n"
       "pendenza, 500, 9\r\n",
       treno},
      {kLinea, "[generale]\r\nsegnale, 1, 13250, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n"},
  };
  for (const auto& [linea, t] : casi) {
    SCOPED_TRACE(linea + t);
    const Compilazione c = compila_testi(linea, t);
    const Modello r = riproduci(c.giornale);
    EXPECT_EQ(r.tratti, c.modello.tratti);
    EXPECT_EQ(r.tabella, c.modello.tabella);
    EXPECT_EQ(senza_giornale(linea, t).modello, c.modello);
  }
}

// Byte 0 of a gradient reads -100 per mille whether a gradient put it there
// or none reached the cell; the journal tells the two apart, even where
// writing -100 over a new cell changed no byte.
TEST(Giornale, KnowsTheCellsNoGradientReached) {
  const std::string linea =
      "[generale]\r\nlunghezza percorso, 20000\r\n[curve]\r\n"
      "pendenza, 1000, -100\r\npendenza, 3000, 5\r\n"
      "cartello_indicatore, 4000, \"(A)\"\r\ncartello_indicatore, 4000, \"(B)\"\r\n"
      "pendenza, 6000, 2\r\n[fine]\r\n";
  const Compilazione c = compila_testi(linea, kTreno);
  ASSERT_EQ(c.diagnostica.codice_errore(), CodiceErrore::cartello_su_cella_occupata);
  const int64_t ultima = static_cast<int64_t>(c.modello.tratti.size()) - 1;
  EXPECT_EQ(sequenze(c.modello.tratti, &tratto::pendenza, &c.giornale),
            (std::vector<Sequenza>{{0, 19, 100, true}, {20, 59, 0, true}, {60, ultima, 0, false}}));
  EXPECT_EQ(sequenze(c.modello.tratti, &tratto::pendenza),
            (std::vector<Sequenza>{{0, 19, 100, {}}, {20, ultima, 0, {}}}));
  // Only the gradient is told apart: its writers are all known.
  EXPECT_EQ(sequenze(c.modello.tratti, &tratto::velocita, &c.giornale).front().raggiunta,
            std::nullopt);
}

// Each record keeps the span of its keyword and of every field, as the field
// reader met them (quotes included, blanks and separators not), with the
// number read there.
TEST(Giornale, RecordsKeepTheSpansOfTheirFields) {
  const Compilazione c = compila_testi(kLinea, kTreno);
  const std::string_view testo = kLinea;
  const RecordRegistrato* r = nullptr;
  for (const RecordRegistrato& x : c.giornale.records()) {
    if (x.nome == "cartello_indicatore") r = &x;
  }
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(testo.substr(r->chiave.offset, r->chiave.fine - r->chiave.offset),
            "cartello_indicatore");
  ASSERT_EQ(r->campi.size(), 2U);
  const auto campo = [&](size_t k) {
    return testo.substr(r->campi[k].inizio, r->campi[k].fine - r->campi[k].inizio);
  };
  EXPECT_EQ(campo(0), "2500");
  EXPECT_EQ(campo(1), "\"(A, B)\"");
  // And the number the compile read there, which the tools show.
  EXPECT_EQ(r->campi[0].valore, 2500);
  EXPECT_EQ(r->campi[1].valore, 0);
  EXPECT_EQ(r->fase, Fase::corpo_linea);
  EXPECT_EQ(testo.substr(c.giornale.sezione_di(*r).offset, 7), "[curve]");
  EXPECT_TRUE(r->compilato);
  // A step of the compile stands under no section.
  for (const RecordRegistrato& x : c.giornale.records()) {
    if (x.passo()) {
      EXPECT_EQ(c.giornale.sezione_di(x).file, FileSorgente::nessuno) << x.nome;
    }
  }
}

// Where each source's reading ended on its closing name, read as the last
// field and taken as no record; nothing for a source that ends otherwise.
TEST(Giornale, KnowsWhereEachSourceClosed) {
  const Compilazione c = compila_testi(kLinea, kTreno);
  const std::vector<Luogo>& chiuse = c.giornale.chiusure();
  ASSERT_EQ(chiuse.size(), 2U);
  const std::string_view linea = kLinea;
  const std::string_view treno = kTreno;
  EXPECT_EQ(chiuse[0].file, FileSorgente::linea);
  EXPECT_EQ(linea.substr(chiuse[0].offset, chiuse[0].fine - chiuse[0].offset), "[fine]");
  EXPECT_EQ(chiuse[1].file, FileSorgente::treno);
  EXPECT_EQ(treno.substr(chiuse[1].offset, chiuse[1].fine - chiuse[1].offset), "[fine]");
  // No closing name: a source that ends on a record, or on a word.
  const Compilazione senza =
      compila_testi("[generale]\r\nlunghezza percorso, 20000\r\n[curve]\r\npendenza, 1000, -7\r\n",
                    "[generale]\r\nvelocita, 0, 100\r\nfine\r\n");
  EXPECT_TRUE(senza.giornale.chiusure().empty());
}

// An error that ends the reading leaves the rest uncompiled: the error says
// what was lost, by kind, from where; the records after it are examined on
// their own, so independent mistakes show at once, marked as not compiled.
TEST(Giornale, WhatAnErrorLeavesUncompiledIsCountedAndStillExamined) {
  struct Caso {
    const char* nome;
    std::string linea;
    std::string treno;
    CodiceErrore codice;
    std::string nota;     // the note under the error that stopped the compile
    std::string_view da;  // where the note points
    const char* avviso;   // a warning about a record never compiled, or null
  };
  const std::string linea_buona = kLinea;
  const Caso casi[] = {
      {"a station off its 50 m step stops the train source", linea_buona,
       "[generale]\r\nstazione, 1525, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, X\r\n"
       "segnale, 13250, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n"
       "segnale, 14250, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n"
       "rallentamento, 8000, 60km/h, 500, 1, 1, 0\r\n",
       CodiceErrore::stazione_fuori_passo,
       "da qui in poi non e' compilato nulla: 2 `segnale`, 1 `rallentamento`", "segnale, 13250",
       "numero-non-valido"},
      {"a curve without its class stops the line: the train source is never read",
       "[generale]\r\nlunghezza percorso, 20000\r\n[curve]\r\ncurva, 7000, 400\r\n"
       "pendenza, 9000, 5\r\n",
       kTreno, CodiceErrore::curva_senza_classe,
       "il sorgente del treno non e' compilato: 1 `velocita`, 1 `stazione`, 1 `segnale`, "
       "1 `rallentamento`, 1 `abbattimento`",
       "velocita, 0, 100", nullptr},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    const Compilazione c = compila_testi(k.linea, k.treno);
    ASSERT_EQ(c.codice_errore(), k.codice);
    const std::vector<Diagnostico> errori = c.diagnostica.errori();
    ASSERT_FALSE(errori.empty());
    const Diagnostico& e = errori.back();
    const auto n = std::find_if(e.note.begin(), e.note.end(),
                                [&](const Nota& x) { return x.testo == k.nota; });
    ASSERT_NE(n, e.note.end()) << (e.note.empty() ? "" : e.note.back().testo);
    const std::string_view testo = n->luogo.file == FileSorgente::linea ? k.linea : k.treno;
    EXPECT_EQ(testo.substr(n->luogo.offset, k.da.size()), k.da);
    size_t non_compilati = 0;
    for (const RecordRegistrato& r : c.giornale.records()) non_compilati += r.compilato ? 0 : 1;
    EXPECT_GT(non_compilati, 0U);
    if (k.avviso != nullptr) {
      bool visto = false;
      for (const Diagnostico& d : c.diagnostica.voci()) {
        visto = visto || (d.nome == k.avviso && d.non_compilato);
      }
      EXPECT_TRUE(visto);
    }
  }
}

// A train source without `[generale]` compiles nothing of itself: said at
// its first line.
TEST(Giornale, ATrainSourceWithoutItsGeneralLineIsWarned) {
  const Compilazione c = compila_testi(kLinea, "stazione, 1500, 2, 800, 1\r\n");
  ASSERT_FALSE(c.diagnostica.voci().empty());
  const Diagnostico& d = c.diagnostica.voci().front();
  EXPECT_EQ(d.nome, "generale-mancante");
  EXPECT_EQ(d.luogo, (Luogo{FileSorgente::treno, 0}));
}

// An object written over another record's object in the same cell is said at
// the record that lost it, with a note at the later one; the bytes stay.
TEST(Giornale, AnObjectErasedByALaterRecordIsWarned) {
  // A station at 12450 of type 2 and 800 m: its stop cell is the signal's cell 256.
  const std::string treno =
      "[generale]\r\nsegnale, 12750, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n"
      "stazione, 12450, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, PONTE\r\n";
  const Compilazione c = compila_testi(kLinea, treno);
  EXPECT_EQ(senza_giornale(kLinea, treno).modello, c.modello);
  const Diagnostico* d = nullptr;
  for (const Diagnostico& x : c.diagnostica.voci()) d = x.nome == "oggetto-cancellato" ? &x : d;
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(std::string_view(treno).substr(d->luogo.offset, 14), "segnale, 12750");
  ASSERT_EQ(d->note.size(), 1U);
  EXPECT_EQ(std::string_view(treno).substr(d->note[0].luogo.offset, 8), "stazione");
}

// The ends that used to have no place: 1250 and 1251 at the record that took
// the header slot, error 2 at the progressive off its step, a table text too
// long for its file at its record.
TEST(Giornale, EveryEndHasAPlace) {
  struct Caso {
    const char* nome;
    std::string linea;
    std::string treno;
    CodiceErrore codice;
    FileSorgente file;
    std::string_view a;
  };
  const std::string lungo(70000, 'x');
  const Caso casi[] = {
      {"a signal at 1 m takes the format mark", kLinea,
       "[generale]\r\nsegnale, 1, 13250, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n",
       CodiceErrore::marchio_occupato, FileSorgente::treno, "segnale, 1,"},
      {"a progressive off its 50 m step",
       "[generale]\r\nlunghezza percorso, 20000\r\nprogressiva chilometrica uno, 1010, 5000, "
       "0\r\n[c]\r\n",
       kTreno, CodiceErrore::progressiva_fuori_passo, FileSorgente::linea, "1010"},
      {"a sign text too long for the table file",
       "[generale]\r\nlunghezza percorso, 20000\r\n[c]\r\ncartello_indicatore, 2500, " + lungo +
           "\r\n",
       kTreno, CodiceErrore::nessuno, FileSorgente::linea, "cartello_indicatore"},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    const Compilazione c = compila_testi(k.linea, k.treno);
    const Diagnostico* d = nullptr;
    for (const Diagnostico& x : c.diagnostica.voci()) {
      if (x.gravita == Gravita::errore && x.codice == k.codice) d = &x;
    }
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->luogo.file, k.file);
    const std::string_view testo = k.file == FileSorgente::linea ? k.linea : k.treno;
    EXPECT_EQ(testo.substr(d->luogo.offset, k.a.size()), k.a);
  }
}

// A claim about what will be stored holds for what this compile stored: a
// value that a later record replaces before any cell keeps it is said so,
// and an error 25 that never comes is not announced.
TEST(Giornale, ClaimsAboutWhatIsStoredHoldForThisCompile) {
  struct Caso {
    const char* nome;
    std::string linea;
    std::string treno;
    const char* detto;  // the end of the warning's message
  };
  const std::string linea = kLinea;
  const std::string corpo = "[generale]\r\nlunghezza percorso, 20000\r\n[curve]\r\n";
  const Caso casi[] = {
      {"a gradient replaced before any cell keeps it",
       corpo + "pendenza, 0, 300\r\npendenza, 0, 5\r\n", kTreno,
       "il file conserva 5 per mille: il record `pendenza` successivo lo sostituisce: la cella 0 "
       "(0 m) ne tiene il valore"},
      {"a gradient kept", corpo + "pendenza, 1000, 160\r\npendenza, 3000, 5\r\n", kTreno,
       "sara' conservato come -96 per mille"},
      {"a speed too fast replaced before any cell keeps it", linea,
       "[generale]\r\nvelocita, 0, 2000\r\nvelocita, 0, 60\r\n",
       "nessuna cella lo conserva (il record `velocita` successivo lo sostituisce prima) e la "
       "compilazione non si ferma"},
      {"a speed too fast kept", linea, "[generale]\r\nvelocita, 0, 2000\r\nvelocita, 3000, 60\r\n",
       "la compilazione si fermera' con l'errore 25"},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    const Compilazione c = compila_testi(k.linea, k.treno);
    const Diagnostico* d = nullptr;
    for (const Diagnostico& x : c.diagnostica.voci()) {
      if (x.pretesa.tipo != Pretesa::Tipo::nessuna) d = d == nullptr ? &x : d;
    }
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->messaggio.ends_with(k.detto)) << d->messaggio;
  }
}

// What a record stores reaches the model either while it is read or, for a
// stretch, when the next record of its kind is read or its phase closes:
// the claims of the warnings about what is kept are judged by that. One row
// a record that a claim can be made about (a field whose value the cells
// keep otherwise than written), each with a value that is kept: the claim
// says what the cells hold, and they hold it.
TEST(Giornale, EveryStorageKindKeepsWhatItsClaimsSay) {
  struct Caso {
    const char* record;
    Conservazione conservazione;
    bool linea;              // the record in the line source, else in the train source
    const char* riga;        // the record, alone in its source
    const char* detto;       // the end of the claim
    uint8_t tratto::*campo;  // for a stretch, the byte it fills
    size_t cella;
    uint8_t byte;
  };
  const Caso casi[] = {
      {"pendenza", Conservazione::tratto, true, "pendenza, 1000, 160",
       "sara' conservato come -96 per mille", &tratto::pendenza, 30, 4},
      {"velocita", Conservazione::tratto, false, "velocita, 1000, 1277",
       "sara' conservato come 1275 km/h", &tratto::velocita, 30, 255},
      {"aderenza", Conservazione::tratto, false, "aderenza, 0, 300", "sara' conservato come 44",
       &tratto::aderenza, 30, 44},
      // The values of these go into their own cells as they are read: one
      // that no cell can keep ends the compile there, as claimed.
      {"rallentamento", Conservazione::propria, false, "rallentamento, 3000, 30, 500, 40000, 1, 0",
       "la compilazione si fermera' con l'errore 25", nullptr, 0, 0},
      {"abbattimento", Conservazione::propria, false, "abbattimento, 6000, 40000",
       "la compilazione si fermera' con l'errore 25", nullptr, 0, 0},
  };
  std::set<std::string_view> con_pretese, righe;
  for (const auto& elenco : {record_linea(), record_treno()}) {
    for (const DescrizioneRecord* r : elenco) {
      for (const CampoRecord& c : r->campi) {
        if (c.conserva != nullptr) con_pretese.insert(r->nome);
      }
    }
  }
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.record);
    righe.insert(k.record);
    const DescrizioneRecord* d =
        descrizione_record(k.linea ? FileSorgente::linea : FileSorgente::treno, k.record);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->conservazione, k.conservazione);
    const std::string corpo = std::string(k.riga) + "\r\n";
    const std::string linea = "[generale]\r\nlunghezza percorso, 20000\r\n[curve]\r\n" +
                              (k.linea ? corpo : "") + "[fine]\r\n";
    const std::string treno = "[generale]\r\n" + (k.linea ? "" : corpo) + "[fine]\r\n";
    const Compilazione c = compila_testi(linea, treno);
    const Diagnostico* pretesa = nullptr;
    for (const Diagnostico& x : c.diagnostica.voci()) {
      if (x.pretesa.tipo != Pretesa::Tipo::nessuna) {
        EXPECT_EQ(pretesa, nullptr) << "one claim";
        pretesa = &x;
      }
    }
    ASSERT_NE(pretesa, nullptr);
    EXPECT_TRUE(pretesa->messaggio.ends_with(k.detto)) << pretesa->messaggio;
    if (k.campo == nullptr) {
      EXPECT_EQ(numero(c.codice_errore()), 25);
      continue;
    }
    EXPECT_EQ(c.codice_errore(), CodiceErrore::nessuno);
    ASSERT_GT(c.modello.tratti.size(), k.cella);
    EXPECT_EQ(c.modello.tratti[k.cella].*k.campo, k.byte);
  }
  EXPECT_EQ(righe, con_pretese) << "a row for every record a claim is made about";
}

// A gradient that reached a cell stays reached when a later record of
// another kind (a mountain, a sign) writes in that cell: byte 0 there is the
// -100 per mille a record wrote, not a cell that no gradient reached. Told
// apart only where the line source stops on an error, before its closing
// step fills the cells past the last gradient.
TEST(Giornale, ACellAGradientReachedStaysReachedWhateverComesLater) {
  const std::string linea =
      "[generale]\r\nlunghezza percorso, 20000\r\n[curve]\r\n"
      "pendenza, 0, -100\r\n"
      "pendenza, 2000, 5\r\n"
      "montagna, 500, 800, 12\r\n"
      "cartello_indicatore, 1000, (A)\r\n"
      "cartello_indicatore, 1000, (B)\r\n"
      "[fine]\r\n";
  const Compilazione c = compila_testi(linea, kTreno);
  ASSERT_EQ(c.codice_errore(), CodiceErrore::cartello_su_cella_occupata);
  const Giornale& g = c.giornale;
  // The mountain's cells and the sign's cell lie inside the first gradient.
  for (const size_t cella : {size_t{10}, size_t{15}, size_t{21}}) {
    SCOPED_TRACE(cella);
    EXPECT_NE(c.modello.tratti[cella].montagna + c.modello.tratti[cella].tipo, 0);
    EXPECT_TRUE(g.raggiunta(cella, CampoCella::pendenza));
  }
  const int64_t ultima = static_cast<int64_t>(c.modello.tratti.size()) - 1;
  EXPECT_EQ(sequenze(c.modello.tratti, &tratto::pendenza, &g),
            (std::vector<Sequenza>{{0, 39, 0, true}, {40, ultima, 0, false}}));
}

}  // namespace
}  // namespace calvetra
