// The authors' warnings: each kind on a small source, where it points and
// what it is called; that they leave the model, the error code and its
// position as they are; the notes that name the route length under the
// errors it causes; and none at all on the embedded scenario.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "compile/compilazione.h"
#include "content/righe.h"
#include "content/testi.h"
#include "fields/lettore_campi.h"
#include "model/significato.h"
#include "support/compilazione.h"
#include "support/scenario_di_prova.h"

namespace calvetra {
namespace {

using test::kTrenoVuoto;
using test::sorgente_linea;
using test::sorgente_treno;

const std::string kLineaBase = sorgente_linea("", "");

struct Caso {
  const char* descrizione;
  std::string linea;
  std::string treno;
  FileSorgente file;
  int riga;
  int colonna;
  const char* nome;
  const char* nel_messaggio;
  // Sources that give the same model with no warning; empty: not compared.
  std::string linea_pulita;
  std::string treno_pulito;
};

const std::string kStazione = "stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, ";

std::vector<Caso> casi() {
  return {
      {"parola chiave sbagliata nel corpo", sorgente_linea("", "pendneza, 2000, 10\r\n"),
       kTrenoVuoto, FileSorgente::linea, 4, 1, "campo-ignorato", "forse `pendenza`?", kLineaBase,
       kTrenoVuoto},
      {"record del corpo nell'intestazione", sorgente_linea("curvad2, 500, 300\r\n", ""),
       kTrenoVuoto, FileSorgente::linea, 3, 1, "campo-ignorato", "record del corpo", kLineaBase,
       kTrenoVuoto},
      {"intestazione in maiuscolo", sorgente_linea("Sfondo uno, 5\r\n", ""), kTrenoVuoto,
       FileSorgente::linea, 3, 1, "campo-ignorato", "minuscolo", kLineaBase, kTrenoVuoto},
      {"valore di troppo", sorgente_linea("", "pendenza, 2000, 10, 5\r\n"), kTrenoVuoto,
       FileSorgente::linea, 4, 21, "campo-ignorato", "di troppo",
       sorgente_linea("", "pendenza, 2000, 10\r\n"), kTrenoVuoto},
      {"numero con una lettera", sorgente_linea("", "pendenza, 2000, 1O\r\n"), kTrenoVuoto,
       FileSorgente::linea, 4, 17, "numero-non-valido", "`1O` non e' un numero",
       sorgente_linea("", "pendenza, 2000, 0\r\n"), kTrenoVuoto},
      {"pendenze non crescenti", sorgente_linea("", "pendenza, 5000, 10\r\npendenza, 3000, 5\r\n"),
       kTrenoVuoto, FileSorgente::linea, 5, 1, "fuori-ordine", "a 3000 m", "", ""},
      {"curve sovrapposte", sorgente_linea("", "curvad2, 1000, 800\r\ncurvas3, 1500, 200\r\n"),
       kTrenoVuoto, FileSorgente::linea, 5, 1, "sovrapposizione", "(1800 m)", "", ""},
      {"montagne sovrapposte",
       sorgente_linea("", "montagna, 1000, 3000, 1\r\nmontagna, 2000, 4000, 2\r\n"), kTrenoVuoto,
       FileSorgente::linea, 5, 1, "sovrapposizione", "la montagna da 2000 m", "", ""},
      {"sfondo ripetuto", sorgente_linea("sfondo uno, 5\r\nsfondo uno, 6\r\n", ""), kTrenoVuoto,
       FileSorgente::linea, 4, 1, "sovrascrittura", "`sfondo uno`",
       sorgente_linea("sfondo uno, 6\r\n", ""), kTrenoVuoto},
      {"cartello senza testo",
       sorgente_linea("", "cartello_indicatore, 1000\r\ncartello_indicatore, 2000, B\r\n"),
       kTrenoVuoto, FileSorgente::linea, 5, 1, "parola-chiave-come-valore", "manca il testo", "",
       ""},
      {"cartello in UTF-8", sorgente_linea("", "cartello_indicatore, 1000, Citt\xC3\xA0\r\n"),
       kTrenoVuoto, FileSorgente::linea, 4, 28, "testo-utf8", "UTF-8", "", ""},
      {"stazione sbagliata", kLineaBase, sorgente_treno("stazoine" + kStazione.substr(8) + "N\r\n"),
       FileSorgente::treno, 2, 1, "campo-ignorato", "forse `stazione`?", kLineaBase, kTrenoVuoto},
      // Its keyword fixed, the record would read the lines after it: no fix.
      {"stazione sbagliata e corta", kLineaBase, sorgente_treno("stazoine, 1500\r\n"),
       FileSorgente::treno, 2, 1, "campo-ignorato", "ignorato: non apre nessun record", kLineaBase,
       kTrenoVuoto},
      {"velocita con l'unita", kLineaBase, sorgente_treno("velocita, 6000, 80km/h\r\n"),
       FileSorgente::treno, 2, 17, "numero-non-valido", "`80km/h`", kLineaBase,
       sorgente_treno("velocita, 6000, 0\r\n")},
      {"stazione di 16 colonne", kLineaBase,
       sorgente_treno("stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, A\r\n" +
                      kStazione + "B\r\n"),
       FileSorgente::treno, 3, 1, "parola-chiave-come-valore", "`stazione`", "", ""},
      {"limiti di velocita non crescenti", kLineaBase,
       sorgente_treno("velocita, 6000, 80\r\nvelocita, 2000, 60\r\n"), FileSorgente::treno, 3, 1,
       "fuori-ordine", "limite di velocita a 2000 m", "", ""},
      {"sabbia ripetuta", kLineaBase, sorgente_treno("sabbia, 10\r\nsabbia, 20\r\n"),
       FileSorgente::treno, 3, 1, "sovrascrittura", "`sabbia`", kLineaBase,
       sorgente_treno("sabbia, 20\r\n")},
      {"sezione con parola chiave", kLineaBase, sorgente_treno("[velocita]\r\nvelocita, 0, 80\r\n"),
       FileSorgente::treno, 2, 1, "sezione-con-parola-chiave", "`velocit`", "", ""},
      {"nome di stazione in UTF-8", kLineaBase, sorgente_treno(kStazione + "Citt\xC3\xA0\r\n"),
       FileSorgente::treno, 2, 65, "testo-utf8", "Windows-1252", "", ""},
  };
}

TEST(Avvisi, EachKindPointsAtItsFieldAndLeavesTheOutputsAlone) {
  for (const Caso& k : casi()) {
    SCOPED_TRACE(k.descrizione);
    const test::Compilato c(k.linea.c_str(), k.treno.c_str());
    const std::string& testo = k.file == FileSorgente::linea ? k.linea : k.treno;
    bool trovato = false;
    for (const Diagnostico& d : c.c.diagnostica.voci()) {
      if (d.gravita != Gravita::avviso || d.nome != k.nome || d.luogo.file != k.file) continue;
      const PosizioneTesto p = posizione_in(testo, d.luogo.offset);
      if (p.riga != k.riga || p.colonna != k.colonna) continue;
      trovato = true;
      EXPECT_NE(d.messaggio.find(k.nel_messaggio), std::string::npos) << d.messaggio;
    }
    EXPECT_TRUE(trovato);
    if (k.linea_pulita.empty()) continue;
    // The same model, code and position as sources that say the same plainly.
    test::Compilato pulito(k.linea_pulita.c_str(), k.treno_pulito.c_str());
    EXPECT_FALSE(pulito.c.diagnostica.ha_avvisi());
    EXPECT_TRUE(c.c.modello == pulito.m());
    EXPECT_EQ(c.codice_errore(), pulito.codice_errore());
    EXPECT_EQ(c.posizione_errore(), pulito.posizione_errore());
    EXPECT_EQ(c.stato(), pulito.stato());
  }
}

// Values that the cells keep otherwise than written once the whole record is
// stored: each claim is checked against the cell the compile wrote.
struct CasoConservato {
  const char* descrizione;
  std::string linea;
  std::string treno;
  FileSorgente file;
  int riga;
  int colonna;
  const char* nel_messaggio;
  size_t cella;
  bool (*vero)(const tratto& t);
};

std::vector<CasoConservato> casi_conservati() {
  return {
      {"sinistra non multipla di 5",
       sorgente_linea("", "indicatori_vmax, 1950, 112, 60, 60, 0, 0, 0, 0, 0\r\n"), kTrenoVuoto,
       FileSorgente::linea, 4, 24, "saranno lette come 110 e 200 km/h", 40,
       [](const tratto& t) {
         return coppia_da_valore(t.valore_a) == CoppiaVelocita{110, 200};
       }},
      {"destra di 498",
       sorgente_linea("", "indicatori_vmax, 1950, 100, 60, 60, 0, 498, 0, 0, 0\r\n"), kTrenoVuoto,
       FileSorgente::linea, 4, 40, "saranno lette come 105 e 0 km/h", 40,
       [](const tratto& t) {
         return coppia_da_valore(t.valore_a) == CoppiaVelocita{105, 0};
       }},
      {"montagna rovesciata", sorgente_linea("", "montagna, 3000, 1000, 1\r\n"), kTrenoVuoto,
       FileSorgente::linea, 4, 17, "viene prima dell'inizio", 40,
       [](const tratto& t) { return t.montagna == 0; }},
      {"sx 3", kLineaBase, sorgente_treno("segnale, 9000, 3, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n"),
       FileSorgente::treno, 2, 16, "preavviso prima del segnale 91-94", 179,
       [](const tratto& t) { return t.preavviso == 91; }},
      {"sx 4 letto come un'altra classe", kLineaBase,
       sorgente_treno("segnale, 9000, 4, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n"), FileSorgente::treno, 2,
       16, "sara' 12, letto come rappresentazione 1 e classe 2", 181,
       [](const tratto& t) { return t.valore_d == 12; }},
      {"tempo alzato", kLineaBase,
       sorgente_treno("segnale, 9000, 2, 5, 1, 0, 0, 0, 0, 0, 0, 50\r\n"), FileSorgente::treno, 2,
       43, "conservato come 101 (un tempo da 1 a 100", 181,
       [](const tratto& t) { return t.tempo == 101; }},
      {"tempo oltre 8 bit", kLineaBase,
       sorgente_treno("segnale, 9000, 2, 5, 1, 0, 0, 0, 0, 0, 0, 300\r\n"), FileSorgente::treno, 2,
       43, "conservato come 44 (la cella", 181, [](const tratto& t) { return t.tempo == 44; }},
      {"tempo senza sx 2", kLineaBase,
       sorgente_treno("segnale, 9000, 1, 5, 1, 0, 0, 0, 0, 0, 0, 220\r\n"), FileSorgente::treno, 2,
       43, "la cella tiene 0", 181, [](const tratto& t) { return t.tempo == 0; }},
      {"rallentamento lungo 0", kLineaBase,
       sorgente_treno("rallentamento, 4000, 30, 0, 1, 0, 0\r\n"), FileSorgente::treno, 2, 26,
       "ogni 400 m dall'inizio fino alla prossima cella di fine", 81,
       [](const tratto& t) { return t.tipo == kInizioRallentamento; }},
  };
}

TEST(Avvisi, ValuesKeptOtherwiseSayWhatTheCellsHold) {
  for (const CasoConservato& k : casi_conservati()) {
    SCOPED_TRACE(k.descrizione);
    const test::Compilato c(k.linea.c_str(), k.treno.c_str());
    const std::string& testo = k.file == FileSorgente::linea ? k.linea : k.treno;
    std::vector<std::string> visti;
    for (const Diagnostico& d : c.c.diagnostica.voci()) {
      const PosizioneTesto p = posizione_in(testo, d.luogo.offset);
      visti.push_back(d.nome + " " + std::to_string(p.riga) + ":" + std::to_string(p.colonna) +
                      " " + d.messaggio);
    }
    ASSERT_EQ(visti.size(), 1u) << testing::PrintToString(visti);
    EXPECT_NE(visti[0].find("conservato-diversamente " + std::to_string(k.riga) + ":" +
                            std::to_string(k.colonna) + " "),
              std::string::npos)
        << visti[0];
    EXPECT_NE(visti[0].find(k.nel_messaggio), std::string::npos) << visti[0];
    ASSERT_LT(k.cella, c.c.modello.tratti.size());
    EXPECT_TRUE(k.vero(c.c.modello.tratti[k.cella]));
  }
}

// The code pass goes on past a slowdown with no end cell: what the warning
// says it does.
TEST(Avvisi, ASlowdownWithoutEndLeavesReductionsToTheRouteEnd) {
  const test::Compilato c(kLineaBase.c_str(),
                          sorgente_treno("rallentamento, 4000, 30, 0, 1, 0, 0\r\n").c_str());
  const std::vector<tratto>& t = c.c.modello.tratti;
  size_t dopo = 0;
  for (size_t i = 82; i < t.size(); ++i) dopo += t[i].tipo == kAbbattimento ? 1 : 0;
  EXPECT_GT(dopo, (t.size() - 82) / 8 - 2);
  const test::Compilato lento(kLineaBase.c_str(),
                              sorgente_treno("rallentamento, 4000, 110, 0, 1, 0, 0\r\n").c_str());
  ASSERT_EQ(lento.c.diagnostica.voci().size(), 1u);
  EXPECT_EQ(lento.c.diagnostica.voci()[0].messaggio.find("passo dei codici"), std::string::npos);
}

TEST(Avvisi, SignalsHaveNoOrderAndWholeRecordsAreNoComments) {
  const test::Compilato segnali(kLineaBase.c_str(),
                                sorgente_treno("segnale, 9000, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n"
                                               "segnale, 8000, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n")
                                    .c_str());
  EXPECT_TRUE(segnali.c.diagnostica.voci().empty());
  const std::string intera = sorgente_linea("ripetizione segnali a 9 codici, 0, 0\r\n", "");
  EXPECT_TRUE(test::Compilato(intera.c_str(), kTrenoVuoto).c.diagnostica.voci().empty());
  const struct {
    std::string linea;
    std::string treno;
  } commenti[] = {
      {kLineaBase,
       sorgente_treno("// segnale di partenza, 9000, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n")},
      {sorgente_linea("ripetizione segnali a 9 codici del tratto, 0\r\n", ""), kTrenoVuoto},
  };
  for (const auto& k : commenti) {
    SCOPED_TRACE(k.linea + k.treno);
    const test::Compilato c(k.linea.c_str(), k.treno.c_str());
    bool visto = false;
    for (const Diagnostico& d : c.c.diagnostica.voci()) {
      visto = visto || d.nome == "commento-con-parola-chiave";
    }
    EXPECT_TRUE(visto);
  }
}

// Where a warning looks along a line or back at the field before, it looks
// at the fields as the compile read them: each case is one where bytes
// counted on the line said otherwise (quotes, a `;`, a trailing comma,
// blanks, a lone CR, a quoted keyword over two lines, a field that is no
// number).
TEST(Avvisi, LooksAlongALineOrBackAreTheReadersFields) {
  const struct {
    const char* descrizione;
    std::string linea;
    std::string treno;
    const char* nome;               // the warning looked for
    bool atteso;                    // whether it is said
    const char* nel_messaggio;      // and, when said, what it says ("" for anything)
    const char* non_nel_messaggio;  // and what it does not (nullptr for nothing)
  } casi[] = {
      // A sentence that reads as a whole record is no comment.
      {"record intero con un numero tra virgolette",
       sorgente_linea("ripetizione segnali a 9 codici, \"0\", 0\r\n", ""), kTrenoVuoto,
       "commento-con-parola-chiave", false, "", nullptr},
      {"record intero, poi un commento dopo il `;`",
       sorgente_linea("ripetizione segnali a 9 codici, 0, 0 ;nota\r\n", ""), kTrenoVuoto,
       "commento-con-parola-chiave", false, "", nullptr},
      {"record intero con la virgola in fondo",
       sorgente_linea("ripetizione segnali a 9 codici, 0, 0,\r\n", ""), kTrenoVuoto,
       "commento-con-parola-chiave", false, "", nullptr},
      {"record intero separato da spazi",
       sorgente_linea("ripetizione segnali a 9 codici, 0 0\r\n", ""), kTrenoVuoto,
       "commento-con-parola-chiave", false, "", nullptr},
      {"record che continua dopo un CR da solo",
       sorgente_linea("ripetizione segnali a 9 codici, 0\r0\r\n", ""), kTrenoVuoto,
       "commento-con-parola-chiave", true, "", nullptr},
      {"parola chiave tra virgolette su due righe",
       sorgente_linea("\"ripetizione segnali a 9 codici, 0, 0\r\naltro\", 0, 0\r\n", ""),
       kTrenoVuoto, "commento-con-parola-chiave", true, "", nullptr},
      // The whole part of `6,5` is the number the field before read.
      {"virgola decimale", sorgente_linea("", "pendenza, 2000, 6,5\r\n"), kTrenoVuoto,
       "campo-ignorato", true, "la virgola separa i campi: `6,5`", nullptr},
      {"virgola dopo un campo che non e' un numero", sorgente_linea("", "pendenza, 2000, x6,5\r\n"),
       kTrenoVuoto, "campo-ignorato", true, "come i numeri che lo seguono", "la virgola"},
      {"virgola dopo un numero tra virgolette", sorgente_linea("", "pendenza, 2000, \"6\",5\r\n"),
       kTrenoVuoto, "campo-ignorato", true, "come i numeri che lo seguono", "la virgola"},
      // A unit apart belongs to the number read before it.
      {"unita' dopo il numero", sorgente_linea("", "pendenza, 2000 m, 10\r\n"), kTrenoVuoto,
       "numero-non-valido", true, "e' l'unita' del numero che lo precede", nullptr},
      {"unita' dopo un campo che non e' un numero", sorgente_linea("", "pendenza, x2000 m, 10\r\n"),
       kTrenoVuoto, "numero-non-valido", true, "`m` non e' un numero e vale 0", "unita'"},
      {"unita' attaccata dopo una virgola decimale", sorgente_linea("", "pendenza, 2000, 0,4%\r\n"),
       kTrenoVuoto, "numero-non-valido", true, "`0,4%`: la virgola separa i campi", nullptr},
      // A word after a number is read as a record.
      {"parola dopo il numero", kLineaBase, sorgente_treno("vetture, 3 vetture\r\n"),
       "parola-dopo-il-numero", true, "dopo il numero `3`", nullptr},
      {"parola dopo il numero, un tab tra i due", kLineaBase,
       sorgente_treno("vetture, 3\tvetture\r\n"), "parola-dopo-il-numero", true,
       "dopo il numero `3`", nullptr},
      {"parola chiave sulla riga dopo il numero", kLineaBase,
       sorgente_treno("vetture, 3\r\nvetture, 4\r\n"), "parola-dopo-il-numero", false, "", nullptr},
      // A sentence of more than four words, blanks around them, is a comment.
      {"frase di sei parole tra tab e spazi", kLineaBase,
       sorgente_treno(" \tqui  il\tsegnale di partenza\tdel treno \r\n"),
       "commento-con-parola-chiave", true, "sembra un commento", nullptr},
      {"quattro parole non sono un commento", kLineaBase,
       sorgente_treno(" \til segnale di\tpartenza \r\n"), "commento-con-parola-chiave", false, "",
       nullptr},
      {"parola dopo un campo che non e' un numero", kLineaBase,
       sorgente_treno("vetture, x3 vetture\r\n"), "parola-dopo-il-numero", false, "", nullptr},
      // The section name looked for among the fields the reading passed over.
      {"sezione sbagliata tra virgolette", kLineaBase, "\"[generali]\"\r\nsabbia, 1\r\n",
       "generale-mancante", true, "la sezione `[generali]`", nullptr},
      {"sezione sbagliata dopo una virgola", kLineaBase, "nota, [generali]\r\nsabbia, 1\r\n",
       "generale-mancante", true, "la sezione `[generali]`", nullptr},
      {"sezione spezzata su due righe", kLineaBase, "[genera\r\nli]\r\nsabbia, 1\r\n",
       "generale-mancante", true, "manca la riga `[generale]`", nullptr},
      // What the text keeps is what the reader takes: a quoted text whole.
      {"colonna in meno prima di un testo tra virgolette", kLineaBase,
       sorgente_treno("stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, Nord "
                      "\"Citta, bassa\"\r\n"),
       "colonna-in-meno", true, "conserva solo `Citta, bassa`", nullptr},
  };
  for (const auto& k : casi) {
    SCOPED_TRACE(k.descrizione);
    const test::Compilato c(k.linea.c_str(), k.treno.c_str());
    std::vector<std::string> detti;
    for (const Diagnostico& d : c.c.diagnostica.voci()) {
      if (d.gravita == Gravita::avviso && d.nome == k.nome) detti.push_back(d.messaggio);
    }
    if (!k.atteso) {
      EXPECT_TRUE(detti.empty()) << testing::PrintToString(detti);
      continue;
    }
    const auto dice = [&](const char* parte) {
      return std::any_of(detti.begin(), detti.end(),
                         [&](const std::string& m) { return m.find(parte) != std::string::npos; });
    };
    EXPECT_TRUE(dice(k.nel_messaggio)) << testing::PrintToString(detti);
    if (k.non_nel_messaggio != nullptr) {
      EXPECT_FALSE(dice(k.non_nel_messaggio)) << testing::PrintToString(detti);
    }
  }
}

// The later gradient, out of order, holds from after the earlier one's cells
// only: its own cell keeps what the earlier one's reading filled it with.
TEST(Avvisi, OrderWarningsNoteTheEarlierRecord) {
  const std::string linea = sorgente_linea("", "pendenza, 5000, 10\r\npendenza, 3000, 5\r\n");
  const test::Compilato c(linea.c_str(), kTrenoVuoto);
  ASSERT_EQ(c.c.diagnostica.voci().size(), 2u);
  const Diagnostico& d = c.c.diagnostica.voci()[0];
  EXPECT_EQ(d.nome, "fuori-ordine");
  ASSERT_EQ(d.note.size(), 1u);
  EXPECT_EQ(d.note[0].testo, "qui la pendenza precedente");
  EXPECT_EQ(posizione_in(linea, d.note[0].luogo.offset).riga, 4);
  const Diagnostico& e = c.c.diagnostica.voci()[1];
  EXPECT_EQ(e.nome, "conservato-diversamente");
  EXPECT_EQ(posizione_in(linea, e.luogo.offset).riga, 5);
  EXPECT_NE(e.messaggio.find("scritto 5 per mille, il file conserva 0 per mille"),
            std::string::npos)
      << e.messaggio;
  ASSERT_EQ(e.note.size(), 1u);
  EXPECT_EQ(posizione_in(linea, e.note[0].luogo.offset).riga, 4);
}

TEST(Avvisi, CurvesWithoutThePlanAreNoSurplusValues) {
  const std::string linea = sorgente_linea("", "curvad2, 1000, 800\r\n");
  const test::Compilato c(linea.c_str(), kTrenoVuoto, 0);
  EXPECT_TRUE(c.c.diagnostica.voci().empty());
}

TEST(Avvisi, KeywordsInTextsOnTheirOwnLineAreNames) {
  const std::string linea = sorgente_linea("", "cartello_indicatore, 1000, CURVA\r\n");
  const std::string treno = "[generale]\r\n" + kStazione + "Stazione Velocita\r\n[fine]\r\n";
  const test::Compilato c(linea.c_str(), treno.c_str());
  EXPECT_TRUE(c.c.diagnostica.voci().empty());
}

TEST(Avvisi, NoneOnTheEmbeddedAndTheSampleScenarios) {
  const std::string linea = testo_righe(dati_linea());
  const std::string treno_calvetra = testo_righe(dati_treno());
  for (bool con_geometria : {true, false}) {
    SCOPED_TRACE(con_geometria);
    const test::Compilato calvetra(linea.c_str(), treno_calvetra.c_str(), con_geometria);
    EXPECT_TRUE(calvetra.c.diagnostica.voci().empty());
    const test::Compilato prova(test::kLineaProva.c_str(), test::kTrenoProva.c_str(),
                                con_geometria);
    EXPECT_TRUE(prova.c.diagnostica.voci().empty());
  }
}

// The route length under the errors it causes: a position beyond a short
// route, and a route with no cells at all.
TEST(Avvisi, ErrorsCausedByTheRouteLengthCarryANote) {
  struct NotaAttesa {
    const char* linea;
    int32_t codice;
    const char* nota;
    int riga;  // of the note's place; 0 for none
  };
  const NotaAttesa casi[] = {
      {"[generale]\r\nlunghezza percorso, 0\r\n[curve]\r\npendenza, 9000, 1\r\n[fine]\r\n", 15,
       "la lunghezza del percorso e' 0 m", 2},
      {"[generale]\r\nlunghezza percorso, 12km\r\n[curve]\r\npendenza, 9000, 1\r\n[fine]\r\n", 15,
       "la lunghezza del percorso non e' un numero e vale 0", 2},
      {"[generale]\r\nlunghezza percorso, 1000\r\n[curve]\r\npendenza, 9000, 1\r\n[fine]\r\n", 15,
       "il percorso e' lungo 1000 m", 2},
      {"[generale]\r\nsfondo uno, 1\r\n[curve]\r\npendenza, 900, 1\r\n[fine]\r\n", 25,
       "nell'intestazione della linea manca il record `lunghezza percorso`: il percorso non ha "
       "celle",
       0},
  };
  for (const NotaAttesa& k : casi) {
    SCOPED_TRACE(k.linea);
    const test::Compilato c(k.linea, kTrenoVuoto);
    const std::vector<Diagnostico> errori = c.c.diagnostica.errori();
    ASSERT_FALSE(errori.empty());
    EXPECT_EQ(numero(errori[0].codice), k.codice);
    // The route length is the last note (an error 25 says first what failed).
    ASSERT_EQ(errori[0].note.size(), k.codice == 25 ? 2u : 1u);
    const Nota& nota = errori[0].note.back();
    EXPECT_EQ(nota.testo, k.nota);
    if (k.riga == 0) {
      EXPECT_EQ(nota.luogo.file, FileSorgente::nessuno);
    } else {
      EXPECT_EQ(posizione_in(k.linea, nota.luogo.offset).riga, k.riga);
    }
  }
  // An error in the train source points back at the line source.
  const test::Compilato c("[generale]\r\nlunghezza percorso, 0\r\n[curve]\r\n[fine]\r\n",
                          "[generale]\r\nvelocita, 9000, 50\r\n[fine]\r\n");
  ASSERT_EQ(numero(c.codice_errore()), 15);
  const Diagnostico e = c.c.diagnostica.errori().back();
  ASSERT_EQ(e.note.size(), 1u);
  EXPECT_EQ(e.note[0].luogo.file, FileSorgente::linea);
}

}  // namespace
}  // namespace calvetra
