// Written against stored: what the files keep of each field said at its
// record, with the reason the journal gives; and the reasons of the errors
// and claims that name another record. One row a case met in use.
#include "compile/conservati.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compile/compilazione.h"
#include "fields/lettore_campi.h"
#include "model/significato.h"
#include "support/compilazione.h"

namespace calvetra {
namespace {

using test::kTrenoVuoto;
using test::sorgente_linea;
using test::sorgente_treno;

const std::string kLinea = sorgente_linea("", "");

struct Caso {
  const char* descrizione;
  std::string linea;
  std::string treno;
  // The diagnostic: a warning of this name, or an error of this number.
  const char* nome;
  int32_t codice;
  FileSorgente file;
  const char* a;  // its place begins with this text
  std::vector<const char*> dice;
  std::vector<const char*> non_dice;
  // A note whose text holds `nota` and whose place begins with `nota_a`.
  const char* nota = nullptr;
  FileSorgente file_nota = FileSorgente::nessuno;
  const char* nota_a = nullptr;
};

std::string cartelli(int quanti) {
  std::string s;
  for (int k = 0; k < quanti; ++k) {
    s += "cartello_indicatore, " + std::to_string(1000 + 100 * k) + ", C" + std::to_string(k) +
         "\r\n";
  }
  return s;
}

const std::string kStazione = "stazione, 20000, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, ";

std::vector<Caso> casi() {
  using F = FileSorgente;
  return {
      // ---- what the files keep, said at the record ----
      {"un s1 di 4000 in 16 bit",
       kLinea,
       sorgente_treno("segnale, 9000, 1, 4000, 1, 0, 0, 0, 0, 0, 0, 0\r\n"),
       "conservato-diversamente",
       0,
       F::treno,
       "4000",
       {"primo aspetto scritto 4000, il file conserva -2554",
        "cifra del primo aspetto scritto 0, il file conserva 4", "16 bit bassi, -25536"},
       {}},
      {"un tipo di montagna di 266 in 8 bit",
       sorgente_linea("", "montagna, 1000, 3000, 266\r\n"),
       kTrenoVuoto,
       "conservato-diversamente",
       0,
       F::linea,
       "266",
       {"tipo scritto 266, il file conserva 10", "gli 8 bit bassi, 0, con i segni"},
       {}},
      {"un tipo di montagna di -5",
       sorgente_linea("", "montagna, 1000, 3000, -5\r\n"),
       kTrenoVuoto,
       "conservato-diversamente",
       0,
       F::linea,
       "-5",
       {"scritto -5, il file conserva 251", "8 bit bassi, 251"},
       {}},
      {"un tipo di montagna di 3, senza segni",
       sorgente_linea("", "montagna, 1000, 5600, 3\r\n"),
       kTrenoVuoto,
       "conservato-diversamente",
       0,
       F::linea,
       "3",
       {"il tipo 3 non e' uno di quelli di una linea", "non ha segni di montagna", "si scrive 13"},
       {}},
      {"un abbattimento di 200 abbassato dal passo dei codici",
       kLinea,
       sorgente_treno("segnale, 9000, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\nabbattimento, 8950, 100\r\n"
                      "abbattimento, 9000, 200\r\nrallentamento, 10650, 60, 500, 0, 0, 0\r\n"),
       "conservato-diversamente",
       0,
       F::treno,
       "200",
       {"valore scritto 200 km/h, il file conserva 180 km/h",
        "il passo dei codici lo abbassa a 180 km/h"},
       {},
       "per il cui avviso e' abbassato",
       F::treno,
       "rallentamento, 10650"},
      {"gli indicatori scritti a meta' prima dell'errore 25",
       sorgente_linea("", "indicatori_vmax, 1950, 100, 2000, 60, 0, 0, 0, 0, 0\r\n"),
       kTrenoVuoto,
       "conservato-diversamente",
       0,
       F::linea,
       "2000",
       {"seconda velocita' a sinistra scritto 2000 km/h, il file conserva 0 km/h",
        "l'errore 25 ferma il record prima che scriva `valore_b` e `valore_c`",
        "la cella 40 resta `indicatori`", "`valore_a` 2000 di questo record"},
       {}},
      {"una stazione con una colonna in meno",
       kLinea,
       sorgente_treno("stazione, 1500, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, Molino "
                      "d'Orsa\r\n"),
       "colonna-in-meno",
       0,
       F::treno,
       "Molino",
       {"secondi prende `Molino`", "nome conserva solo `d'Orsa`"},
       {}},
      {"la cella di fermata sopra un segnale",
       kLinea,
       sorgente_treno("segnale, 12750, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n"
                      "stazione, 12450, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 54, 0, PONTE\r\n"),
       "oggetto-cancellato",
       0,
       F::treno,
       "segnale, 12750",
       {"scrive `fermata` nella cella 256", "ne prende `tipo` e `valore_a`",
        "restano di questo record `valore_b` 10, `valore_d` 3 e i codici",
        "i codici di preavviso delle celle 250 e 248",
        "il file non conserva `segnale` di questo record"},
       {},
       "che scrive `fermata` nella cella 256",
       F::treno,
       "stazione, 12450"},
      {"una montagna riscritta da una successiva",
       sorgente_linea("", "montagna, 2000, 4000, 1\r\nmontagna, 1000, 3000, 2\r\n"),
       kTrenoVuoto,
       "conservato-diversamente",
       0,
       F::linea,
       "1\r\n",
       {"tipo scritto 1, il file conserva 3", "piu' avanti lo riscrive"},
       {},
       "che lo riscrive",
       F::linea,
       "montagna, 1000"},
      {"un record dato due volte",
       kLinea,
       sorgente_treno("sabbia, 10\r\nsabbia, 20\r\n"),
       "conservato-diversamente",
       0,
       F::treno,
       "10",
       {"sabbia scritto 10, il file conserva 20", "ripetuto piu' avanti ne prende il posto"},
       {},
       "che lo sostituisce",
       F::treno,
       "sabbia, 20"},
      {"un orario di 7:75",
       kLinea,
       sorgente_treno("stazione, 20000, 2, 800, 1, 1, 0, 4, 1, 0, 2, 1, 1, 1, 7, 75, 0, NORD\r\n"),
       "conservato-diversamente",
       0,
       F::treno,
       "7, 75",
       {"ore scritto 7, il file conserva 8",
        "minuti scritto 75, il file "
        "conserva 15",
        "che si leggono 08:15:00"},
       {}},

      // ---- reasons from the journal ----
      {"un valore sostituito dal record successivo, nominato",
       sorgente_linea("", "pendenza, 0, 300\r\npendenza, 0, 5\r\n"),
       kTrenoVuoto,
       "fuori-intervallo",
       0,
       F::linea,
       "300",
       {"il file conserva 5 per mille", "il record `pendenza` successivo lo sostituisce"},
       {"sara' conservato"},
       "il cui valore tiene la cella 0",
       F::linea,
       "pendenza, 0, 5"},
      {"un valore che la fine della lettura non lascia arrivare",
       sorgente_linea("",
                      "pendenza, 1000, 160\r\n"
                      "indicatori_vmax, 5000, 100, 2000, 60, 0, 0, 0, 0, 0\r\n"),
       kTrenoVuoto,
       "fuori-intervallo",
       0,
       F::linea,
       "160",
       {"il file conserva -100 per mille",
        "la lettura si ferma con l'errore 25 prima che arrivi alla cella 20 (1000 m)"},
       {"successivo", "sara' conservato"},
       "che ferma la lettura",
       F::linea,
       "0\r\n"},
      {"l'errore 15 con la posizione di un segnale",
       sorgente_linea("", "pendenza, 200000, 5\r\n", 10000),
       sorgente_treno("segnale, 2000, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n"),
       "",
       15,
       F::linea,
       "200000",
       {},
       {},
       "la posizione 2000 m e' di questo record",
       F::treno,
       "2000"},
      {"l'errore 11 nomina il segnale senza celle davanti",
       kLinea,
       sorgente_treno("segnale, 8900, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n"
                      "segnale, 8950, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n"
                      "segnale, 9000, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n"
                      "rallentamento, 10650, 60, 500, 0, 0, 0\r\n"),
       "",
       11,
       F::treno,
       "rallentamento",
       {},
       {},
       "qui il segnale a 9000 m",
       F::treno,
       "segnale, 9000"},
      {"un'ora di 25 e' conservata com'e'",
       kLinea,
       sorgente_treno("orologio, 25, 0, 0\r\n"),
       "fuori-intervallo",
       0,
       F::treno,
       "25",
       {"fuori dai valori che hanno senso (da 0 a 23)"},
       {"conserva"}},
      {"l'errore 2 dal segno che aggiunge 100",
       sorgente_linea("progressiva chilometrica uno, 1000, 25, 1\r\n", ""),
       kTrenoVuoto,
       "",
       2,
       F::linea,
       "25",
       {},
       {},
       "25 + 100 = 125, che non e' un multiplo di 50",
       F::linea,
       "1\r\n"},
      {"un record non compilato parla al condizionale",
       kLinea,
       sorgente_treno("segnale, 2000, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\n"
                      "segnale, 2000, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0\r\nvelocita, 0, 2000\r\n"),
       "fuori-intervallo",
       0,
       F::treno,
       "2000\r\n",
       {"la compilazione si fermerebbe con l'errore 25"},
       {"si fermera'"}},
      {"l'errore 10 nomina i cartelli che hanno preso le righe",
       sorgente_linea("", cartelli(78)),
       sorgente_treno(kStazione + "NORD\r\n"),
       "",
       10,
       F::treno,
       "stazione",
       {},
       {},
       "e' l'ultimo dei 78 cartelli della linea, che prendono le righe da 80 a 3",
       F::linea,
       "cartello_indicatore, 8700"},
  };
}

bool comincia(std::string_view testo, size_t offset, std::string_view a) {
  return offset <= testo.size() && testo.substr(offset).starts_with(a);
}

TEST(Conservati, EachCaseIsSaidAtItsRecordWithItsReason) {
  for (const Caso& k : casi()) {
    SCOPED_TRACE(k.descrizione);
    const test::Compilato c(k.linea.c_str(), k.treno.c_str());
    const auto testo = [&](FileSorgente f) -> std::string_view {
      return f == FileSorgente::linea ? k.linea : k.treno;
    };
    const Diagnostico* trovato = nullptr;
    std::vector<std::string> visti;
    for (const Diagnostico& d : c.c.diagnostica.voci()) {
      visti.push_back(d.nome + std::to_string(numero(d.codice)) + " " + d.messaggio);
      const bool suo = k.codice != 0 ? d.gravita == Gravita::errore && numero(d.codice) == k.codice
                                     : d.gravita == Gravita::avviso && d.nome == k.nome;
      if (suo && d.luogo.file == k.file && comincia(testo(k.file), d.luogo.offset, k.a)) {
        trovato = &d;
      }
    }
    ASSERT_NE(trovato, nullptr) << testing::PrintToString(visti);
    for (const char* parte : k.dice) {
      EXPECT_NE(trovato->messaggio.find(parte), std::string::npos) << trovato->messaggio;
    }
    for (const char* parte : k.non_dice) {
      EXPECT_EQ(trovato->messaggio.find(parte), std::string::npos) << trovato->messaggio;
    }
    if (k.nota != nullptr) {
      bool nota = false;
      for (const Nota& n : trovato->note) {
        nota = nota || (n.testo.find(k.nota) != std::string::npos && n.luogo.file == k.file_nota &&
                        comincia(testo(k.file_nota), n.luogo.offset, k.nota_a));
      }
      EXPECT_TRUE(nota) << testing::PrintToString(trovato->note.size()) << " note";
    }
    // Whatever the case, nothing the files keep goes unsaid.
    EXPECT_TRUE(non_dette(c.c, Sorgente::di(k.linea), Sorgente::di(k.treno)).empty());
  }
}

// The property holds because every difference is said, not because none is
// found: the cases above keep fields otherwise, and each is said once.
TEST(Conservati, DifferencesAreFoundAndEachIsSaid) {
  const std::string treno = sorgente_treno(
      "segnale, 9000, 1, 4000, 1, 0, 0, 0, 0, 0, 0, 0\r\nsabbia, 10\r\nsabbia, 20\r\n");
  const test::Compilato c(kLinea.c_str(), treno.c_str());
  const std::vector<Differenza> d = differenze(c.c, Sorgente::di(kLinea), Sorgente::di(treno));
  ASSERT_EQ(d.size(), 3u);  // s1 and d1 of the signal, the first sand
  for (const Differenza& x : d) EXPECT_TRUE(detta(c.c, x));
  // Without the warnings nothing is said, and the property has nothing to hold.
  OpzioniCompilazione o;
  o.avvisi = ModoAvvisi::spenti;
  const Compilazione muta = compila(Sorgente::di(kLinea), Sorgente::di(treno), {}, o);
  EXPECT_TRUE(differenze(muta, Sorgente::di(kLinea), Sorgente::di(treno)).empty());
}

// A slowdown of speed 0 starting in cell 1 is drawn at 0 km/h: cell 1's
// first value holds the format mark, never the slowdown's speed.
TEST(Conservati, ASlowdownInCellOneIsShownAtItsOwnSpeed) {
  const std::string treno = sorgente_treno("rallentamento, 0, 0, 500, 0, 0, 0\r\n");
  const test::Compilato c(kLinea.c_str(), treno.c_str());
  ASSERT_EQ(c.c.modello.tratti[1].tipo, kInizioRallentamento);
  ASSERT_EQ(c.c.modello.tratti[1].valore_a, kMarchioCelle);
  const std::vector<TrattoRallentato> r = rallentamenti(c.c.modello.tratti);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].kmh, 0);
}

}  // namespace
}  // namespace calvetra
