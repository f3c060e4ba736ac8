// A fix is compiled before it is offered: applied to a copy of its source,
// it must clear its warning, bring no new one and make the field read what
// the message promised; otherwise the next candidate is tried, and with none
// left the warning says what is wrong without a fix. Units and decimals are
// read in full, and a character pasted from another encoding is named.
#include "compile/correzioni.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "compile/compilazione.h"
#include "fields/lettore_campi.h"
#include "line/catalogo_linea.h"
#include "support/compilazione.h"
#include "support/promesse.h"
#include "train/catalogo_treno.h"

namespace calvetra {
namespace {

using test::kTrenoVuoto;
using test::sorgente_linea;
using test::sorgente_treno;

const std::string kLineaBase = sorgente_linea("", "");

struct Caso {
  const char* descrizione;
  bool linea;        // the line is in the body of the line source, else in the train source
  std::string riga;  // as written; the rest of the sources is clean
  const char* nome;
  const char* nel_messaggio;
  const char* corretta;  // the line once the fix is applied; nullptr: no fix
};

std::vector<Caso> casi() {
  return {
      {"parola chiave di una curva con la classe", true, "curvs4, 3000, 200", "campo-ignorato",
       "forse `curvas4`?", "curvas4, 3000, 200"},
      {"virgola decimale e percento", true, "pendenza, 4500, 0,4%", "numero-non-valido",
       "0,4 % sono 4 per mille: scrivi `4`", "pendenza, 4500, 4"},
      {"percento con decimali", true, "pendenza, 4500, 0.25%", "numero-non-valido",
       "0.25 % sono 2.5 per mille, che il campo conserva come 2 (numeri interi): scrivi `2`",
       "pendenza, 4500, 2"},
      {"chilometri con decimali", true, "pendenza, 1.2345km, 5", "numero-non-valido",
       "1.2345 km sono 1234.5 m, che il campo conserva come 1234 (numeri interi): scrivi "
       "`1234`",
       "pendenza, 1234, 5"},
      {"progressiva col piu'", false, "velocita, 23+000, 80", "numero-non-valido",
       "`23+000` sono 23000 m; scrivi `23000`", "velocita, 23000, 80"},
      {"trattino medio per meno", true,
       "pendenza, 4500, \x96"
       "4",
       "numero-non-valido", "U+2013 trattino medio non e' il segno meno dei numeri; scrivi `-4`",
       "pendenza, 4500, -4"},
      {"segno meno in UTF-8", true,
       "pendenza, 4500, \xE2\x88\x92"
       "4",
       "numero-non-valido", "`<U+2212 segno meno>4` non e' un numero e vale 0: U+2212 segno meno",
       "pendenza, 4500, -4"},
      {"spazio invisibile", false,
       "velocita, 2000, \xE2\x80\x8B"
       "80",
       "carattere-invisibile", "il campo contiene U+200B spazio invisibile (da un testo incollato)",
       "velocita, 2000, 80"},
      {"spazio indivisibile", false,
       "velocita, 2000,\xA0"
       "80",
       "spazio-indivisibile", "il campo contiene U+00A0 spazio indivisibile", "velocita, 2000,80"},
      {"virgola decimale", true, "pendenza, 3000,6,5", "campo-ignorato",
       "`6,5` e' 6.5, che il campo conserva come 6 (numeri interi): scrivi `6`",
       "pendenza, 3000,6"},
      {"unita' di un'altra misura", false, "velocita, 2000, 80 m", "numero-non-valido",
       "il campo e' in km/h", nullptr},
      // Its keyword fixed, the record would take its values from the lines after.
      {"parola chiave di un record corto", false, "stazoine, 1500", "campo-ignorato",
       "campo `stazoine` ignorato: non apre nessun record", nullptr},
      // The fix would put the limit past the end of the route: error 15.
      {"correzione che porta un errore", false, "velocita, 200km, 90", "numero-non-valido",
       "200 km sono 200000 m", nullptr},
  };
}

std::pair<std::string, std::string> sorgenti(const Caso& k, const std::string& riga) {
  if (k.linea) return {sorgente_linea("", riga + "\r\n"), kTrenoVuoto};
  return {kLineaBase, sorgente_treno(riga + "\r\nvelocita, 90000, 80\r\n")};
}

TEST(Correzioni, EachMistakeGetsTheFixThatCompilesClean) {
  for (const Caso& k : casi()) {
    SCOPED_TRACE(k.descrizione);
    auto [linea, treno] = sorgenti(k, k.riga);
    const test::Compilato c(linea.c_str(), treno.c_str());
    const Diagnostico* d = nullptr;
    for (const Diagnostico& e : c.c.diagnostica.voci()) {
      if (e.nome == k.nome) d = &e;
    }
    ASSERT_NE(d, nullptr);
    EXPECT_NE(d->messaggio.find(k.nel_messaggio), std::string::npos) << d->messaggio;
    if (k.corretta == nullptr) {
      EXPECT_TRUE(d->correzioni.empty());
      EXPECT_EQ(d->messaggio.find("scrivi"), std::string::npos) << d->messaggio;
      EXPECT_EQ(d->messaggio.find("forse"), std::string::npos) << d->messaggio;
      continue;
    }
    ASSERT_EQ(d->correzioni.size(), 1u);
    std::string& corretto = k.linea ? linea : treno;
    corretto = applica(corretto, d->correzioni[0]);
    EXPECT_EQ(std::pair(linea, treno), sorgenti(k, k.corretta));
    const test::Compilato dopo(linea.c_str(), treno.c_str());
    for (const Diagnostico& e : dopo.c.diagnostica.voci()) {
      ADD_FAILURE() << "dopo la correzione: " << e.nome << ": " << e.messaggio;
    }
  }
}

// A message quotes what was written as the letters it stands for: no byte
// of a UTF-8 sequence reaches it as a character of its own.
TEST(Correzioni, APastedCharacterIsNamedNeverShownAsItsBytes) {
  for (const Caso& k : casi()) {
    SCOPED_TRACE(k.descrizione);
    const auto [linea, treno] = sorgenti(k, k.riga);
    const test::Compilato c(linea.c_str(), treno.c_str());
    for (const Diagnostico& d : c.c.diagnostica.voci()) {
      for (const std::string* t : {&d.messaggio, &d.senza_correzione}) {
        EXPECT_EQ(t->find('\xE2'), std::string::npos) << *t;
      }
    }
  }
}

// The candidates for a keyword are every keyword by the edits it takes, the
// rest of the field kept: the first that compiles clean is the one offered.
TEST(Correzioni, AMisspeltKeywordTriesEveryKeywordByDistance) {
  struct Parola {
    std::string scritta;
    bool linea;
    std::vector<std::string> prime;  // the first candidates, in order
  };
  const Parola parole[] = {
      {"curvs4", true, {"curvas4", "curva", "curvad1"}},
      {"pendneza", true, {"pendenza"}},
      {"stazoine", false, {"stazione"}},
      {"vettxrx", false, {"numero vetture"}},
  };
  for (const Parola& p : parole) {
    SCOPED_TRACE(p.scritta);
    const Lessico& l = p.linea ? lessico_linea() : lessico_treno();
    const std::vector<Lessico::Candidato> c = l.candidati(p.scritta, 4);
    ASSERT_GE(c.size(), p.prime.size());
    for (size_t i = 0; i < p.prime.size(); ++i) EXPECT_EQ(c[i].testo, p.prime[i]);
  }
  // `curva` (the name, with no class: error 103) comes after, and is never offered.
  const std::string linea = sorgente_linea("", "curvs4, 3000, 200\r\n");
  const test::Compilato c(linea.c_str(), kTrenoVuoto);
  for (const Diagnostico& d : c.c.diagnostica.voci()) {
    for (const Correzione& f : d.correzioni) EXPECT_EQ(f.testo, "curvas4");
  }
}

// The mistakes of the generated scenarios and of the compile fuzz corpus:
// every fix offered keeps its promise.
std::string leggi(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void prova_tutte(const std::string& linea, const std::string& treno, const std::string& nome,
                 size_t* provate) {
  const OpzioniCompilazione o{.coordinate = false};
  try {
    const Compilazione c = compila(Sorgente::di(linea), Sorgente::di(treno), {}, o);
    for (const std::string& m : test::promesse_mancate(linea, treno, o, c, provate)) {
      ADD_FAILURE() << nome << ": " << m;
    }
  } catch (const GuastoInatteso&) {
    // The compile fuzz target checks those that end in the core's own failure.
  }
}

// Under the sanitizers a compile costs ten times as much: these tests take
// one input in four there, and the compile fuzz target's replay, which
// checks the same promise, still takes every one.
#if defined(__SANITIZE_ADDRESS__)
constexpr size_t kUnoOgni = 4;
#else
constexpr size_t kUnoOgni = 1;
#endif

TEST(Correzioni, EveryFixOfTheFuzzCorpusKeepsItsPromise) {
  size_t quanti = 0;
  size_t provate = 0;
  for (const char* cartella : {"/fuzz/corpus/compila", "/fuzz/regressioni/compila"}) {
    for (const auto& e :
         std::filesystem::directory_iterator(CALVETRA_RADICE + std::string(cartella))) {
      if (quanti++ % kUnoOgni != 0) continue;
      const std::string dati = leggi(e.path());
      const size_t nul = dati.find('\0');
      prova_tutte(dati.substr(0, nul), nul == std::string::npos ? "" : dati.substr(nul + 1),
                  e.path().filename().string(), &provate);
    }
  }
  EXPECT_GT(quanti, 1000u);
  EXPECT_GT(provate, 50u / kUnoOgni);
}

#ifdef CALVETRA_GENERA
TEST(Correzioni, EveryFixOfTheGeneratedScenariosKeepsItsPromise) {
  const std::filesystem::path cartella =
      std::filesystem::temp_directory_path() /
      ("correzioni_generati_" + std::to_string(std::random_device{}()));
  const std::string comando = std::string(CALVETRA_GENERA) + " 2718 " +
                              std::to_string(300 / kUnoOgni) + " '" + cartella.string() +
                              "' > /dev/null";
  ASSERT_EQ(std::system(comando.c_str()), 0);
  const NomiScenario nomi;
  size_t quanti = 0;
  size_t provate = 0;
  for (const auto& e : std::filesystem::directory_iterator(cartella)) {
    prova_tutte(leggi(e.path() / nomi.sorgente_linea()), leggi(e.path() / nomi.sorgente_treno()),
                e.path().filename().string(), &provate);
    ++quanti;
  }
  std::filesystem::remove_all(cartella);
  EXPECT_EQ(quanti, 300u / kUnoOgni);
  EXPECT_GT(provate, 5u / kUnoOgni);
}
#endif

}  // namespace
}  // namespace calvetra
