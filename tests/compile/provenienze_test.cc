// Where each object of a compiled model came from: the keyword field of the
// record that placed it, in the right source.
#include "model/provenienze.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "compile/compilazione.h"

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

TEST(Provenienze, EachObjectPointsAtTheKeywordOfItsRecord) {
  const Compilazione c = compila_testi(kLinea, kTreno);
  const Compilazione p =
      compila(Sorgente::di(kLinea), Sorgente::di(kTreno), {}, {.con_provenienze = true});
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
    const Luogo l =
        k.riga ? p.provenienze.riga(k.cella_o_riga) : p.provenienze.cella(k.cella_o_riga);
    ASSERT_EQ(l.file, k.file);
    const std::string_view testo = k.file == FileSorgente::linea ? kLinea : kTreno;
    EXPECT_EQ(testo.substr(l.offset, k.inizio.size()), k.inizio);
  }
  // Free cells and stretches credit no record.
  EXPECT_EQ(p.modello.tratti[100].tipo, kLibero);
  EXPECT_EQ(p.provenienze.cella(100), Luogo{});
  EXPECT_EQ(p.provenienze.derivazione(100), Provenienze::Derivazione::nessuna);
  EXPECT_EQ(p.provenienze.derivazione(266), Provenienze::Derivazione::nessuna);
  EXPECT_EQ(p.provenienze.cella(100000), Luogo{});
  // The cab-code pass's reductions go to the slowdown that caused them, as
  // derived, also where one took a mountain marker (156).
  const std::string_view rallentamento = "rallentamento, 8000";
  for (const size_t cella : {size_t{169}, size_t{156}}) {
    SCOPED_TRACE(cella);
    EXPECT_EQ(p.modello.tratti[cella].tipo, kAbbattimento);
    EXPECT_EQ(p.provenienze.derivazione(cella), Provenienze::Derivazione::posta);
    const Luogo l = p.provenienze.cella(cella);
    EXPECT_EQ(std::string_view(kTreno).substr(l.offset, rallentamento.size()), rallentamento);
    EXPECT_EQ(p.provenienze.causa(cella), l);
  }
  // Unasked, nothing is credited.
  EXPECT_EQ(c.provenienze.cella(266), Luogo{});
}

}  // namespace
}  // namespace calvetra
