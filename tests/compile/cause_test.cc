// The mistakes that change what a scenario means, each reported at its
// cause: a warning where the stored value will differ from the one written,
// a note at the record that causes a later error, the hint for the author's
// habit (a decimal comma, a unit, a thousands separator), and the fix the
// warning knows, which leaves the source clean of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compile/compilazione.h"
#include "fields/lettore_campi.h"
#include "support/compilazione.h"
#include "support/scenario_di_prova.h"

namespace calvetra {
namespace {

using test::kTrenoVuoto;
using test::sorgente_linea;
using test::sorgente_treno;

const std::string kLineaBase = sorgente_linea("", "");

const std::string kStazione = "stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, ";

struct Atteso {
  const char* descrizione;
  std::string linea;
  std::string treno;
  FileSorgente file;
  int riga;
  int colonna;
  const char* nome;  // a warning's name, or "errore 25"
  const char* nel_messaggio;
  int riga_nota;  // 0: no note looked for
  const char* nella_nota;
  const char* correzione;  // the text the fix writes; nullptr: no fix
};

std::vector<Atteso> attesi() {
  return {
      {"virgolette non chiuse", kLineaBase,
       sorgente_treno(kStazione + "\"Nord\r\nvelocita, 2000, 80\r\n"), FileSorgente::treno, 2, 65,
       "virgolette-aperte", "nel record `stazione`, non si chiudono", 3, "`velocita`", "\""},
      {"virgolette chiuse righe dopo", kLineaBase,
       sorgente_treno(kStazione + "\"Nord\r\nvelocita, 2000, 80\"\r\n"), FileSorgente::treno, 2, 65,
       // Closed after `Nord`, the quote left at the end of the next line
       // would open a text of its own: no fix compiles clean.
       "virgolette-aperte", "solo alla riga 3", 3, "`velocita`", nullptr},
      {"pendenza oltre gli 8 bit", sorgente_linea("", "pendenza, 3000, 160\r\n"), kTrenoVuoto,
       FileSorgente::linea, 4, 17, "fuori-intervallo", "conservato come -96 per mille", 0, "",
       nullptr},
      {"pendenza sotto gli 8 bit", sorgente_linea("", "pendenza, 3000, -120\r\n"), kTrenoVuoto,
       FileSorgente::linea, 4, 17, "fuori-intervallo", "conservato come 136 per mille", 0, "",
       nullptr},
      {"pendenza con decimali", sorgente_linea("", "pendenza, 3000, 1.5\r\n"), kTrenoVuoto,
       FileSorgente::linea, 4, 17, "arrotondato", "`1.5` sara' letto come 2", 0, "", nullptr},
      {"velocita non multipla di 5", kLineaBase, sorgente_treno("velocita, 0, 73\r\n"),
       FileSorgente::treno, 2, 14, "arrotondato", "conservato come 75 km/h", 0, "", nullptr},
      {"rallentamento lungo meno di zero", kLineaBase,
       sorgente_treno("rallentamento, 3000, 30, -300, 1, 0, 0\r\n"), FileSorgente::treno, 2, 26,
       "fuori-intervallo", "(da 0 m in su)", 0, "", nullptr},
      {"orologio alle 25", kLineaBase, sorgente_treno("orologio, 25, 75, 0\r\n"),
       FileSorgente::treno, 2, 11, "fuori-intervallo",
       "ore vale 25, fuori dai valori che hanno senso (da 0 a 23)", 0, "", nullptr},
      {"stazione ai 75 minuti", kLineaBase,
       sorgente_treno("stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 75, 0, Nord\r\n"),
       FileSorgente::treno, 2, 58, "fuori-intervallo", "minuti vale 75", 0, "", nullptr},
      {"oggetto oltre la fine", sorgente_linea("", "", 10000),
       sorgente_treno("velocita, 10200, 80\r\n"), FileSorgente::treno, 2, 11, "oltre-la-fine",
       "a 10200 m sta oltre la fine del percorso (10000 m)", 2, "il percorso e' lungo 10000 m",
       nullptr},
      {"velocita che non entra nella cella", kLineaBase, sorgente_treno("velocita, 0, 2000\r\n"),
       FileSorgente::treno, 3, 1, "errore 25", "", 2, "2000 km/h non entra nella cella", nullptr},
      {"posizione oltre i 32 bit", kLineaBase, sorgente_treno("velocita, 99999999999, 80\r\n"),
       FileSorgente::treno, 2, 11, "errore 25", "", 2, "da -2147483648 a 2147483647", nullptr},
      {"record con un valore in meno",
       sorgente_linea("", "pendenza, 3000\r\npendenza, 4000, 5\r\n"), kTrenoVuoto,
       FileSorgente::linea, 5, 1, "parola-chiave-come-valore", "manca un valore", 4,
       "il record `pendenza`, a cui manca un valore", nullptr},
      {"commento con parola chiave", kLineaBase,
       sorgente_treno("# la stazione di Nord e' chiusa\r\nvelocita, 2000, 80\r\n"),
       FileSorgente::treno, 2, 1, "commento-con-parola-chiave", "la parola chiave `stazione`", 0,
       "", nullptr},
      {"virgola decimale", sorgente_linea("", "pendenza, 3000,6,5\r\n"), kTrenoVuoto,
       FileSorgente::linea, 4, 18, "campo-ignorato", "scrivi `6`", 0, "", "6"},
      {"punto delle migliaia", kLineaBase, sorgente_treno("velocita, 1.500, 80\r\n"),
       FileSorgente::treno, 2, 11, "arrotondato", "per 1500 scrivi `1500`", 0, "", "1500"},
      {"spazio delle migliaia", kLineaBase, sorgente_treno("velocita, 1 500, 80\r\n"),
       FileSorgente::treno, 2, 11, "numero-spezzato", "per 1500 scrivi `1500`", 0, "", "1500"},
      {"spazio delle migliaia dopo tre cifre", kLineaBase,
       sorgente_treno("velocita, 110 000, 80\r\n"), FileSorgente::treno, 2, 11, "numero-spezzato",
       "per 110000 scrivi `110000`", 0, "", "110000"},
      {"unita attaccata", kLineaBase, sorgente_treno("velocita, 6000, 80km/h\r\n"),
       FileSorgente::treno, 2, 17, "numero-non-valido", "l'unita' `km/h` non si scrive", 0, "",
       "80"},
      {"unita staccata", sorgente_linea("", "pendenza, 3000 m, 5\r\n"), kTrenoVuoto,
       FileSorgente::linea, 4, 16, "numero-non-valido", "e' l'unita' del numero", 0, "", "3000"},
      {"nome in UTF-8", kLineaBase, sorgente_treno(kStazione + "Citt\xC3\xA0\r\n"),
       FileSorgente::treno, 2, 65, "testo-utf8", "il testo `Citt\xE0` e' scritto in UTF-8", 0, "",
       "Citt\xE0"},
      {"parola sbagliata di sette lettere nel treno", kLineaBase, sorgente_treno("vettxrx, 5\r\n"),
       FileSorgente::treno, 2, 1, "campo-ignorato", "forse `numero vetture`?", 0, "",
       "numero vetture"},
      {"parola sbagliata di sette lettere nella linea", sorgente_linea("segnxlx, 0, 0\r\n", ""),
       kTrenoVuoto, FileSorgente::linea, 3, 1, "campo-ignorato",
       "forse `ripetizione segnali 4 codici`?", 0, "", "ripetizione segnali 4 codici"},
      {"commento senza suggerimento", kLineaBase, sorgente_treno("# commento\r\n"),
       FileSorgente::treno, 2, 1, "campo-ignorato", "non apre nessun record", 0, "", nullptr},
      {"nome senza suggerimento", kLineaBase, sorgente_treno("STAZIONI NORD\r\n"),
       FileSorgente::treno, 2, 1, "campo-ignorato", "non apre nessun record", 0, "", nullptr},
      // Quotes closed on the key's line are no cause: the record is short.
      {"record corto dopo un numero tra virgolette", kLineaBase,
       sorgente_treno("velocita, \"2000\"\r\n80\r\n"), FileSorgente::treno, 2, 1, "record-corto",
       "velocita' massima e' letto dalla riga dopo", 0, "", nullptr},
  };
}

// Quotes that run on from the key's line are the cause of the values read
// from the lines after it: they are said there, and the record is not said
// to be short as well.
TEST(Cause, QuotesRunningOnAreTheCauseNotAShortRecord) {
  const std::string treno = sorgente_treno("velocita, \"2000\r\n\", 80\r\n");
  const test::Compilato c(kLineaBase.c_str(), treno.c_str());
  bool virgolette = false;
  for (const Diagnostico& d : c.c.diagnostica.voci()) {
    EXPECT_NE(d.nome, "record-corto") << d.messaggio;
    virgolette = virgolette || d.nome == "virgolette-aperte";
  }
  EXPECT_TRUE(virgolette);
}

const Diagnostico* cerca(const Compilazione& c, const Atteso& k, const std::string& testo) {
  for (const Diagnostico& d : c.diagnostica.voci()) {
    const bool errore = d.gravita == Gravita::errore;
    const std::string nome = errore ? "errore " + std::to_string(numero(d.codice)) : d.nome;
    if (nome != k.nome || d.luogo.file != k.file) continue;
    const PosizioneTesto p = posizione_in(testo, d.luogo.offset);
    if (p.riga == k.riga && p.colonna == k.colonna) return &d;
  }
  return nullptr;
}

TEST(Cause, EachMistakeIsReportedAtItsCauseWithItsFix) {
  for (const Atteso& k : attesi()) {
    SCOPED_TRACE(k.descrizione);
    const test::Compilato c(k.linea.c_str(), k.treno.c_str());
    const std::string& testo = k.file == FileSorgente::linea ? k.linea : k.treno;
    const Diagnostico* d = cerca(c.c, k, testo);
    ASSERT_NE(d, nullptr);
    EXPECT_NE(d->messaggio.find(k.nel_messaggio), std::string::npos) << d->messaggio;
    if (k.riga_nota != 0) {
      bool nota = false;
      for (const Nota& n : d->note) {
        const std::string& sorgente = n.luogo.file == FileSorgente::linea ? k.linea : k.treno;
        nota = nota || (n.testo.find(k.nella_nota) != std::string::npos &&
                        posizione_in(sorgente, n.luogo.offset).riga == k.riga_nota);
      }
      EXPECT_TRUE(nota);
    }
    if (k.correzione == nullptr) {
      EXPECT_TRUE(d->correzioni.empty());
      continue;
    }
    ASSERT_EQ(d->correzioni.size(), 1u);
    const Correzione& f = d->correzioni[0];
    EXPECT_EQ(f.testo, k.correzione);
    std::string linea = k.linea;
    std::string treno = k.treno;
    std::string& corretto = f.luogo.file == FileSorgente::linea ? linea : treno;
    corretto.replace(f.luogo.offset, f.lunghezza, f.testo);
    const test::Compilato dopo(linea.c_str(), treno.c_str());
    for (const Diagnostico& e : dopo.c.diagnostica.voci()) EXPECT_NE(e.nome, k.nome) << corretto;
  }
}

// A fix writes exactly the text meant, byte for byte: a fix that writes a
// wrong number clean of the warning would pass for a good one.
TEST(Cause, EachFixWritesExactlyTheTextMeant) {
  struct Attesa {
    const char* descrizione;
    bool linea;  // the record is in the line source, else in the train source
    std::string prima;
    std::string dopo;
  };
  const Attesa casi[] = {
      {"spazio delle migliaia", false, "velocita, 1 500, 80", "velocita, 1500, 80"},
      {"spazio delle migliaia con tre cifre", false, "velocita, 110 000, 80",
       "velocita, 110000, 80"},
      {"spazio delle migliaia e blanchi", false, "velocita,  2 400 , 110", "velocita,  2400 , 110"},
      {"punto delle migliaia", false, "velocita, 1.500, 80", "velocita, 1500, 80"},
      {"virgola decimale", true, "pendenza, 3000,6,5", "pendenza, 3000,6"},
      {"unita attaccata", false, "velocita, 6000, 80km/h", "velocita, 6000, 80"},
      {"unita staccata", true, "pendenza, 3000 m, 5", "pendenza, 3000, 5"},
      {"nome in UTF-8", false, kStazione + "Citt\xC3\xA0", kStazione + "Citt\xE0"},
      {"nome in UTF-8 tra virgolette", false, kStazione + "\"Citt\xC3\xA0\"",
       kStazione + "\"Citt\xE0\""},
      {"parola chiave", false, "stazoine" + kStazione.substr(8) + "N", kStazione + "N"},
      {"parola chiave tra blanchi", true, "  pendneza , 2000, 10", "  pendenza , 2000, 10"},
      {"parola chiave di due parole", false, "vettxrx, 5", "numero vetture, 5"},
      {"virgolette aperte", false, kStazione + "\"Nord  \r\nvelocita, 2000, 80",
       kStazione + "\"Nord\"  \r\nvelocita, 2000, 80"},
  };
  const auto sorgenti = [](const Attesa& k, const std::string& righe) {
    return k.linea ? std::pair(sorgente_linea("", righe + "\r\n"), std::string(kTrenoVuoto))
                   : std::pair(kLineaBase, sorgente_treno(righe + "\r\n"));
  };
  for (const Attesa& k : casi) {
    SCOPED_TRACE(k.descrizione);
    auto [linea, testo_treno] = sorgenti(k, k.prima);
    const test::Compilato c(linea.c_str(), testo_treno.c_str());
    std::vector<Correzione> correzioni;
    for (const Diagnostico& d : c.c.diagnostica.voci()) {
      correzioni.insert(correzioni.end(), d.correzioni.begin(), d.correzioni.end());
    }
    ASSERT_EQ(correzioni.size(), 1u);
    const Correzione& f = correzioni[0];
    std::string& corretto = f.luogo.file == FileSorgente::linea ? linea : testo_treno;
    corretto.replace(f.luogo.offset, f.lunghezza, f.testo);
    const auto [linea_attesa, treno_atteso] = sorgenti(k, k.dopo);
    EXPECT_EQ(linea, linea_attesa);
    EXPECT_EQ(testo_treno, treno_atteso);
  }
}

// A cause waits for an error only until the next record: an error of a
// later record, that has nothing to do with it, carries no note about it.
TEST(Cause, ANoteWaitsOnlyUntilTheNextRecord) {
  const std::string linea =
      sorgente_linea("", "pendenza, 3000\r\npendenza, 4000, 5\r\npendenza, 900000, 5\r\n", 10000);
  const test::Compilato c(linea.c_str(), kTrenoVuoto);
  ASSERT_EQ(numero(c.codice_errore()), 15);
  const std::vector<Diagnostico> errori = c.c.diagnostica.errori();
  ASSERT_EQ(errori.size(), 1u);
  EXPECT_EQ(posizione_in(linea, errori[0].luogo.offset).riga, 6);
  ASSERT_EQ(errori[0].note.size(), 1u);
  EXPECT_EQ(errori[0].note[0].testo, "il percorso e' lungo 10000 m");
}

TEST(Cause, TheChecksLeaveTheOutputsAlone) {
  // Each source compiled with and without the warnings: one model, one code,
  // one position.
  for (const Atteso& k : attesi()) {
    SCOPED_TRACE(k.descrizione);
    const Compilazione con = compila(Sorgente::di(k.linea), Sorgente::di(k.treno), {});
    const Compilazione senza =
        compila(Sorgente::di(k.linea), Sorgente::di(k.treno), {}, {.avvisi = ModoAvvisi::spenti});
    EXPECT_TRUE(con.modello == senza.modello);
    EXPECT_EQ(con.diagnostica.codice_errore(), senza.diagnostica.codice_errore());
    EXPECT_EQ(con.diagnostica.posizione_errore(), senza.diagnostica.posizione_errore());
    EXPECT_FALSE(senza.diagnostica.ha_avvisi());
  }
}

}  // namespace
}  // namespace calvetra
