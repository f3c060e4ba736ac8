// What a parser phase reads and where it reports: the source as the run
// found it, and one reading of it (the field reader that the system calls file
// number 1, the keyword field in hand and the diagnostics channel).
#ifndef CALVETRA_FIELDS_LETTURA_H_
#define CALVETRA_FIELDS_LETTURA_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "fields/avvisi.h"
#include "fields/lettore_campi.h"
#include "model/diagnostica.h"
#include "model/provenienze.h"
#include "model/records.h"

namespace calvetra {

// A source file as the run finds it in its directory.
struct Sorgente {
  enum class Stato { assente, illeggibile, letta };
  Stato stato = Stato::assente;
  std::string_view testo;  // the whole file when letta; must outlive the parse

  static Sorgente di(std::string_view testo) { return {Stato::letta, testo}; }
  bool esiste() const { return stato != Stato::assente; }
};

// Where a parser phase puts what it reads: the model, the diagnostics and,
// when someone asked, the record that placed each object.
struct Destinazione {
  Modello& modello;
  Diagnostica& diagnostica;
  Provenienze* provenienze = nullptr;
};

// What a record handler tells the reading loop to do next.
enum class Seguito {
  avanti,      // go on with the next keyword field
  fine_corpo,  // stop reading, but run the closing steps of the phase
  esci,        // end the phase at once
};

// How a parser phase ended.
enum class FineFase {
  completa,    // the reading and its closing steps ran
  interrotta,  // an error ended the phase; the next phase does not run
  guasto,      // an unexpected failure: code 25, both sources are done with
};

struct Lettura {
  Lettura(FileSorgente file, Diagnostica* diagnostica)
      : file(file), diagnostica(*diagnostica), avvisi(file, diagnostica, &file1) {
    if (diagnostica->avvisi_attivi()) file1.osserva(&avvisi);
  }
  Lettura(const Lettura&) = delete;
  Lettura& operator=(const Lettura&) = delete;

  // Where the field read last begins, and where the field at `offset` does.
  Luogo qui() const { return {file, file1.inizio_campo()}; }
  Luogo a(size_t offset) const { return {file, offset}; }

  // The position bound of a record whose position field begins at
  // `campo_posizione`: past it, error 15 is recorded at that position and
  // true returned (the reading ends; the closing steps still run).
  bool oltre_il_percorso(const Modello& m, int32_t p, int64_t margine, size_t campo_posizione) {
    if (!m.oltre_limite(p, margine)) return false;
    diagnostica.errore(CodiceErrore::oltre_il_percorso, a(campo_posizione), p);
    return true;
  }

  // The start of the credit for the records of this reading, and the credit
  // of one record: what it changed in `m` goes to its keyword field at
  // `chiave`. Nothing happens when no one asked where the objects come from.
  void osserva(const Modello& m) const {
    if (provenienze != nullptr) provenienze->osserva(m);
  }
  void accredita(const Modello& m, size_t chiave) const {
    if (provenienze != nullptr) provenienze->accredita(m, a(chiave));
  }

  LettoreCampi file1;
  std::string campo;  // the keyword field (or sign text) in hand
  FileSorgente file;
  Diagnostica& diagnostica;
  Provenienze* provenienze = nullptr;
  Avvisi avvisi;  // the authors' warnings; they only ever record
};

}  // namespace calvetra

#endif  // CALVETRA_FIELDS_LETTURA_H_
