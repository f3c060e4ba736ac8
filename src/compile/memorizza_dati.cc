// The source parser: the line phase, then the train phase, with the failure
// path that turns any unexpected failure into code 25.
#include "run/form1.h"
#include "model/numeri.h"

namespace calvetra {

void Form1::memorizza_dati() {
  try {
    if (!fase_linea()) return;
    fase_treno();
  } catch (const GuastoInatteso&) {
    // Failure path: close every file, delete both sources if still there.
    const size_t campo_guasto = file1.inizio_campo();
    registra_errore(25, campo_guasto);
    chiudi_ed_elimina(nome_file_linea());
    chiudi_ed_elimina(nome_file_treno());
  }
  file_corrente = FileSorgente::nessuno;
}

}  // namespace calvetra
