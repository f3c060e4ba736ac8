// One compilation from the two source texts to the finished model: the
// parser, the cab-code pass and the header finalisation, with everything the
// run needs to write the files and report. Nothing here touches the disk.
#ifndef CALVETRA_COMPILE_COMPILAZIONE_H_
#define CALVETRA_COMPILE_COMPILAZIONE_H_

#include <cstdint>
#include <string_view>

#include "compile/memorizza_dati.h"
#include "fields/lettura.h"
#include "model/costanti.h"
#include "model/diagnostica.h"
#include "model/provenienze.h"
#include "model/records.h"

namespace calvetra {

// How a compilation ends.
enum class FineCompilazione {
  pronta,       // the model is finished: the files are to be written
  senza_celle,  // the parse made no cells
  poche_celle,  // only cell 0: no room for the header slots of cell 1
  fatale,       // a reserved header slot was taken: report 1250 or 1251
};

struct Compilazione {
  Modello modello;
  Diagnostica diagnostica;
  SorgentiConsumate consumate;
  FineCompilazione fine = FineCompilazione::pronta;
  int32_t errore_fatale = 0;  // 1250 or 1251 when fine is fatale
  // The source record of each object; filled only when asked for.
  Provenienze provenienze;

  int32_t codice_errore() const { return diagnostica.codice_errore(); }
  int32_t posizione_errore() const { return diagnostica.posizione_errore(); }
};

// The compile driver's sequence from the table's first rows to the header
// finalisation; `con_geometria` non-zero builds the plan, and
// `con_provenienze` fills `provenienze` and `avvisi` says what is recorded
// for authors besides the errors (the model, code and position are the same
// whatever it says).
Compilazione compila(const Sorgente& linea, const Sorgente& treno, const NomiScenario& nomi,
                     int32_t con_geometria, bool con_provenienze = false,
                     ModoAvvisi avvisi = ModoAvvisi::completi);

// The exit status of the run that made `c` once every file it writes has
// been written: 1 when it writes none, 3 with a recorded error, 0 otherwise.
int stato_uscita(const Compilazione& c);

// The same with both sources present and holding these texts.
Compilazione compila_testi(std::string_view linea, std::string_view treno,
                           int32_t con_geometria = 1, const NomiScenario& nomi = {});

}  // namespace calvetra

#endif  // CALVETRA_COMPILE_COMPILAZIONE_H_
