// The fixed quantities of a scenario, named once for the compiler and the
// tools: the cell length, the run-out past the route, the route limit, the
// rows of the table, the format marks and the names of the files.
#ifndef CALVETRA_MODEL_COSTANTI_H_
#define CALVETRA_MODEL_COSTANTI_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace calvetra {

// Length of one track cell, metres.
inline constexpr int32_t kMetriCella = 50;
// The cells and the plan run this far past the end of the route, metres.
inline constexpr int32_t kRincorsa = 7000;
// The longest route a line source may give, metres.
inline constexpr int32_t kLunghezzaMassima = 1000000;
// The position bound of a record at p: (p + margin) / 50 at most the last
// cell. Stations need room for their zone.
inline constexpr int32_t kMargineRecord = 100;
inline constexpr int32_t kMargineStazione = 800;
// Mountain records a line source may hold.
inline constexpr int32_t kMassimoMontagne = 80;

// Rows of the table: stations from row 1 upward, sign texts from row 80
// downward, header rows 81 to 86.
inline constexpr int kRigheTabella = 87;
inline constexpr int32_t kPrimaRigaStazione = 1;
inline constexpr int32_t kUltimaRigaCartello = 80;
inline constexpr size_t kRigaProgressivaTre = 81;  // after ordering: largest first number
inline constexpr size_t kRigaProgressivaDue = 82;
inline constexpr size_t kRigaProgressivaUno = 83;  // after ordering: smallest first number
// What a progressive's flag of 1 adds to its second number once the three
// are ordered.
inline constexpr int32_t kAggiuntaSegno = 100;
inline constexpr size_t kRigaPercorso = 84;  // braked mass, route length, cars
inline constexpr size_t kRigaLinea = 85;     // backgrounds, route name, marks
inline constexpr size_t kRigaTreni = 86;     // repetition, train pair, sand, clock

// The cell that carries two header values besides its own content.
inline constexpr size_t kCellaIntestazione = 1;
// Format marks: row 85 `cod_a` and cell 1 `valore_a`.
inline constexpr int16_t kMarchioTabella = 610;
inline constexpr int16_t kMarchioCelle = 5121;

// The route and train pair that calvetra carries.
inline constexpr const char* kNomeLinea = "Calvetra";
inline constexpr const char* kNomeTreni = "2718 - 5340";

// Exit statuses of every program of the project.
enum StatoUscita : int {
  kUscitaPulita = 0,
  kUscitaFatale = 1,
  kUscitaUso = 2,
  kUscitaConErrore = 3,
  kUscitaConAvvisi = 4,  // scenario --rigoroso: warnings, no error, files written
};

// The names of a scenario's files, built from the route name and the train pair.
struct NomiScenario {
  std::string linea = kNomeLinea;
  std::string treni = kNomeTreni;
  // The names as the table keeps them, one Windows-1252 byte a character,
  // when they differ from the bytes of the file names (a name given on a
  // UTF-8 command line); empty: the same bytes.
  std::string linea_1252;
  std::string treni_1252;

  const std::string& linea_in_tabella() const { return linea_1252.empty() ? linea : linea_1252; }
  const std::string& treni_in_tabella() const { return treni_1252.empty() ? treni : treni_1252; }

  // The sources.
  std::string sorgente_linea() const { return linea + "_linea.txt"; }
  std::string sorgente_treno() const { return linea + "_" + treni + "-.txt"; }
  // The driver documents.
  std::string note() const { return stelo() + "_note.txt"; }
  std::string rallentamenti() const { return stelo() + "_rallentamenti.txt"; }
  std::string scheda() const { return stelo() + "_scheda_treno.txt"; }
  // The binary files.
  std::string geometria() const { return linea + "_linea.dat"; }
  std::string tabella() const { return stelo() + ".sim"; }
  std::string celle() const { return stelo() + ".dat"; }

 private:
  std::string stelo() const { return linea + "_" + treni; }
};

}  // namespace calvetra

#endif  // CALVETRA_MODEL_COSTANTI_H_
