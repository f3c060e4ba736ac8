// The habits of authors that the fields read otherwise than meant (a time in
// one field, `;` between fields, a unit, a thousands comma, a pasted blank),
// each named at its own line and column, with the fix that writes the value
// meant where it is certain, and leaves the source clean.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compile/compilazione.h"
#include "fields/lettore_campi.h"
#include "support/compilazione.h"

namespace calvetra {
namespace {

using test::kTrenoVuoto;
using test::sorgente_linea;
using test::sorgente_treno;

const std::string kLineaBase = sorgente_linea("", "");

// A station up to its time: 13 fields, then hours, minutes, seconds, name.
const std::string kStazione = "stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, ";

struct Sbaglio {
  const char* descrizione;
  bool linea;        // the mistake is in the line source, else in the train source
  std::string riga;  // as written; the other lines of the source are clean
  int numero_riga;
  int colonna;
  const char* nome;
  const char* parole;    // in the message
  const char* corretta;  // the line once the fix is applied; nullptr: no fix
};

std::vector<Sbaglio> sbagli() {
  return {
      {"orario col punto", false, kStazione + "8.22, SAN LORENZO", 2, 55, "orario-in-un-campo",
       "ore, minuti e secondi sono campi separati",
       "stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, "
       "1, 1, 1, 8, 22, 0, SAN LORENZO"},
      {"orario coi due punti", false, kStazione + "8:22, 0, SAN LORENZO", 2, 55,
       "orario-in-un-campo", "scrivi `8, 22`",
       "stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 8, 22, 0, SAN LORENZO"},
      {"orologio in un campo", false, "orologio, 7:53:30", 2, 11, "orario-in-un-campo",
       "scrivi `7, 53, 30`", "orologio, 7, 53, 30"},
      {"punto e virgola", false, "velocita; 2000; 80", 2, 9, "punto-e-virgola",
       "il `;` non separa i campi", "velocita, 2000, 80"},
      {"chilometri in un campo in metri", true, "lunghezza percorso, 115 km", 2, 25,
       "numero-non-valido", "115 km sono 115000 m", "lunghezza percorso, 115000"},
      {"percento in un campo per mille", true, "pendenza, 4500, 2%", 4, 17, "numero-non-valido",
       "2 % sono 20 per mille", "pendenza, 4500, 20"},
      {"percento con decimali in un campo per mille", true, "pendenza, 4500, 2.5%", 4, 17,
       "numero-non-valido", "2.5 % sono 25 per mille", "pendenza, 4500, 25"},
      {"chilometri col punto in un campo in metri", false, "velocita, 1.250 km, 80", 2, 17,
       "numero-non-valido", "1.250 km sono 1250 m", "velocita, 1250, 80"},
      {"parola dopo il numero", false, "numero vetture, 3 vetture", 2, 19, "parola-dopo-il-numero",
       "`vetture` dopo il numero `3` non si scrive", "numero vetture, 3"},
      {"segno staccato", true, "pendenza, 4500, - 4", 4, 17, "segno-staccato",
       "il segno `-` e' staccato dal numero", "pendenza, 4500, -4"},
      {"virgola nel nome di una stazione", false, kStazione + "8, 22, 0, SAN ROCCO, NORD", 2, 65,
       "testo-con-virgola", "un testo con la virgola va tra virgolette",
       "stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 8, 22, 0, \"SAN ROCCO, NORD\""},
      {"virgola nel testo di un cartello", true, "cartello_indicatore, 3000, GALLERIA, CORRENTE", 4,
       28, "testo-con-virgola", "`CORRENTE` e' ignorato",
       "cartello_indicatore, 3000, \"GALLERIA, CORRENTE\""},
      {"spazio indivisibile", false,
       "velocita, 2000,\xA0"
       "80",
       2, 16, "spazio-indivisibile", "U+00A0 spazio indivisibile (da un testo incollato)",
       "velocita, 2000,80"},
      {"virgola delle migliaia in una posizione", false, "velocita, 26,350, 30", 2, 11,
       "posizione-con-virgola", "per 26350 m scrivi `26350`", "velocita, 26350, 30"},
      {"una colonna in piu'", false, kStazione + "8, 22, 0, 0, SAN ROCCO", 2, 65, "colonna-in-piu",
       "nome prende `0`", nullptr},
      {"lunghezza col punto delle migliaia", true, "lunghezza percorso, 115.000", 2, 21,
       "arrotondato", "per 115000 scrivi `115000`", "lunghezza percorso, 115000"},
      {"sezione generale sbagliata nel treno", false, "[generali]", 1, 1, "generale-mancante",
       "la sezione `[generali]` non e' `[generale]`", "[generale]"},
      {"sezione generale sbagliata nella linea", true, "[Generali]", 1, 1, "generale-mancante",
       "scrivi `[generale]`", "[generale]"},
      {"record corto", false, "orologio, 7, 53", 2, 1, "record-corto",
       "secondi e' letto dalla riga dopo", nullptr},
  };
}

// The two sources with `riga` as the mistake's line.
std::pair<std::string, std::string> sorgenti(const Sbaglio& k, const std::string& riga) {
  // A section name in place of `[generale]`.
  if (riga.starts_with("[") && k.linea) {
    return {riga + "\r\nlunghezza percorso, 115000\r\n[curve]\r\n[fine]\r\n", kTrenoVuoto};
  }
  if (riga.starts_with("[")) return {kLineaBase, riga + "\r\nvelocita, 90000, 80\r\n[fine]\r\n"};
  if (!k.linea) return {kLineaBase, sorgente_treno(riga + "\r\nvelocita, 90000, 80\r\n")};
  if (riga.starts_with("lunghezza")) {
    return {"[generale]\r\n" + riga + "\r\n[curve]\r\n[fine]\r\n", kTrenoVuoto};
  }
  return {sorgente_linea("", riga + "\r\n"), kTrenoVuoto};
}

TEST(Suggerimenti, EachHabitIsNamedAtItsPlaceAndItsFixClearsIt) {
  for (const Sbaglio& k : sbagli()) {
    SCOPED_TRACE(k.descrizione);
    auto [linea, testo_treno] = sorgenti(k, k.riga);
    const test::Compilato c(linea.c_str(), testo_treno.c_str());
    const std::string& testo = k.linea ? linea : testo_treno;
    const Diagnostico* d = nullptr;
    for (const Diagnostico& e : c.c.diagnostica.voci()) {
      if (e.nome != k.nome) continue;
      const PosizioneTesto p = posizione_in(testo, e.luogo.offset);
      EXPECT_EQ(p.riga, k.numero_riga);
      EXPECT_EQ(p.colonna, k.colonna);
      d = &e;
    }
    ASSERT_NE(d, nullptr);
    EXPECT_NE(d->messaggio.find(k.parole), std::string::npos) << d->messaggio;
    if (k.corretta == nullptr) {
      EXPECT_TRUE(d->correzioni.empty());
      continue;
    }
    ASSERT_EQ(d->correzioni.size(), 1u);
    const Correzione& f = d->correzioni[0];
    std::string& corretto = k.linea ? linea : testo_treno;
    corretto.replace(f.luogo.offset, f.lunghezza, f.testo);
    EXPECT_EQ(std::pair(linea, testo_treno), sorgenti(k, k.corretta));
    const test::Compilato dopo(linea.c_str(), testo_treno.c_str());
    for (const Diagnostico& e : dopo.c.diagnostica.voci()) {
      ADD_FAILURE() << "dopo la correzione: " << e.nome << ": " << e.messaggio;
    }
  }
}

// A value that reads as written needs no hint, however it is written: a
// speed of `80.000` is 80 km/h, not a thousands dot.
TEST(Suggerimenti, NothingIsSaidOfAValueReadAsWritten) {
  struct Quieto {
    bool linea;
    const char* riga;
  };
  const Quieto quieti[] = {
      {false, "velocita, 0, 80.000"},  {false, "velocita, 0, 80.0"}, {false, "velocita, 0, 8.0e1"},
      {true, "pendenza, 4500, 2.000"}, {true, "pendenza, 4500, -0"},
  };
  for (const Quieto& k : quieti) {
    SCOPED_TRACE(k.riga);
    const std::string linea =
        k.linea ? sorgente_linea("", std::string(k.riga) + "\r\n") : kLineaBase;
    const std::string treno =
        k.linea ? std::string(kTrenoVuoto) : sorgente_treno(std::string(k.riga) + "\r\n");
    const test::Compilato c(linea.c_str(), treno.c_str());
    for (const Diagnostico& e : c.c.diagnostica.voci()) {
      ADD_FAILURE() << e.nome << ": " << e.messaggio;
    }
  }
}

// An error about a cell or a row already taken names the record in the way,
// as the compile's journal has it.
TEST(Suggerimenti, AnErrorInTheWayOfARecordNotesThatRecord) {
  const std::string segnale = "segnale, 3700, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0\r\n";
  struct Caso {
    const char* descrizione;
    std::string righe;
    int codice;
    int riga_errore;
    const char* nella_nota;
  };
  const Caso casi[] = {
      {"segnale su un segnale", segnale + "segnale, 3710, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0\r\n", 16, 3,
       "il record `segnale` che occupa gia' la cella 75"},
      {"preavviso su un segnale", segnale + "rallentamento, 5000, 30, 500, 0, 1, 0\r\n", 20, 3,
       "il record `segnale` che occupa gia' la cella 75"},
      {"stazioni troppo vicine",
       kStazione + "7, 54, 0, NORD\r\n" + "stazione, 2000, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, " +
           "8, 0, 0, SUD\r\n",
       22, 3, "il record `stazione` che ha scritto la riga 1"},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.descrizione);
    const std::string testo = sorgente_treno(k.righe);
    const test::Compilato c(kLineaBase.c_str(), testo.c_str());
    const Diagnostico* e = nullptr;
    for (const Diagnostico& d : c.c.diagnostica.voci()) {
      if (d.gravita == Gravita::errore && numero(d.codice) == k.codice) e = &d;
    }
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(posizione_in(testo, e->luogo.offset).riga, k.riga_errore);
    bool nota = false;
    for (const Nota& n : e->note) {
      nota = nota || (n.testo.find(k.nella_nota) != std::string::npos &&
                      posizione_in(testo, n.luogo.offset).riga == 2);
    }
    EXPECT_TRUE(nota);
  }
}

// Stations that reach the sign rows (error 10) name the sign whose text
// holds the row, in the line source.
TEST(Suggerimenti, StationsOnTheSignRowsNoteTheSign) {
  std::string cartelli;
  for (int k = 0; k < 79; ++k) {
    cartelli += "cartello_indicatore, " + std::to_string(1000 + 50 * k) + ", C" +
                std::to_string(k) + "\r\n";
  }
  const std::string linea = sorgente_linea("", cartelli);
  const std::string testo = sorgente_treno(kStazione + "7, 54, 0, NORD\r\n");
  const test::Compilato c(linea.c_str(), testo.c_str());
  ASSERT_EQ(numero(c.codice_errore()), 10);
  const Diagnostico e = c.c.diagnostica.errori().back();
  bool nota = false;
  for (const Nota& n : e.note) {
    nota =
        nota ||
        (n.luogo.file == FileSorgente::linea &&
         std::string_view(linea).substr(n.luogo.offset).starts_with("cartello_indicatore, 4900"));
  }
  EXPECT_TRUE(nota) << (e.note.empty() ? "" : e.note.front().testo);
}

}  // namespace
}  // namespace calvetra
