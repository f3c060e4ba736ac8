// One compilation from the two source texts to the finished model: the
// parser, the cab-code pass and the header finalisation, with everything the
// run needs to write the files and report. Nothing here touches the disk.
#ifndef CALVETRA_COMPILE_COMPILAZIONE_H_
#define CALVETRA_COMPILE_COMPILAZIONE_H_

#include <atomic>
#include <cstdint>
#include <string_view>

#include "compile/memorizza_dati.h"
#include "fields/lettura.h"
#include "model/costanti.h"
#include "model/diagnostica.h"
#include "model/errori.h"
#include "model/giornale.h"
#include "model/records.h"

namespace calvetra {

// How a compilation ends.
enum class FineCompilazione {
  pronta,       // the model is finished: the files are to be written
  senza_celle,  // the parse made no cells
  poche_celle,  // only cell 0: no room for the header slots of cell 1
  fatale,       // a reserved header slot was taken: report 1250 or 1251
  rifiutata,    // not compiled: a source is no text of the code page (UTF-16),
                // said by a fatal diagnostic at its first line
};

// The name of an ending, as the tools' JSON documents give it.
const char* nome_fine(FineCompilazione f);

struct Compilazione {
  Modello modello;
  Diagnostica diagnostica;
  SorgentiConsumate consumate;
  FineCompilazione fine = FineCompilazione::pronta;
  CodiceErrore errore_fatale = CodiceErrore::nessuno;  // 1250 or 1251 when fine is fatale
  // The compile's own account of what it did: kept when asked for, and
  // whenever warnings are (they are judged by what was stored).
  Giornale giornale;
  bool con_giornale = false;

  CodiceErrore codice_errore() const { return diagnostica.codice_errore(); }
  int32_t posizione_errore() const { return diagnostica.posizione_errore(); }
  // Whether the binary files are to be written.
  bool scrive_file() const { return fine == FineCompilazione::pronta; }
};

// What a compile builds besides the model, code and position, which are the
// same whatever is asked here: the plan, the record of each object, and what
// is recorded for authors besides the errors.
struct OpzioniCompilazione {
  bool con_geometria = true;
  // With the plan, its coordinates too; without them the plan is only
  // measured (every diagnostic is the same, nothing can be written): for a
  // check that writes nothing.
  bool coordinate = true;
  // The journal even without warnings.
  bool con_giornale = false;
  ModoAvvisi avvisi = ModoAvvisi::completi;
  // Set by another thread to give the compile up: it stops reading at the
  // next keyword, and its result is for no one (see Destinazione).
  const std::atomic<bool>* annullo = nullptr;
  // With the warnings, each fix they know is compiled before it is offered
  // (compile/correzioni.h): a compile more for each fix, where there are any.
  bool verifica_correzioni = true;
};

// The compile driver's sequence from the table's first rows to the header
// finalisation.
Compilazione compila(const Sorgente& linea, const Sorgente& treno, const NomiScenario& nomi,
                     const OpzioniCompilazione& opzioni = {});

// The catalogue entry of the record `nome` of source `f` (the name a
// journal's record keeps); nullptr for none.
const DescrizioneRecord* descrizione_record(FileSorgente f, std::string_view nome);

// The exit status of the run that made `c` once every file it writes has
// been written: 1 when it writes none, 3 with a recorded error, 0 otherwise.
int stato_uscita(const Compilazione& c);

// Why a compilation that ended with `f` writes no file, in a few words
// ("nessuna cella creata"); nullptr when it writes them and for a fatal end,
// which its own report names.
const char* senza_file(FineCompilazione f);

// The same with both sources present and holding these texts.
Compilazione compila_testi(std::string_view linea, std::string_view treno,
                           bool con_geometria = true, const NomiScenario& nomi = {});

}  // namespace calvetra

#endif  // CALVETRA_COMPILE_COMPILAZIONE_H_
