// The source parser: the line phase, then the train phase, and which
// sources each way of ending leaves done with.
#include "compile/memorizza_dati.h"

#include "line/fase_linea.h"
#include "train/fase_treno.h"

namespace calvetra {

SorgentiConsumate memorizza_dati(const Sorgente& linea_data, const Sorgente& treno_dato,
                                 const NomiScenario& nomi, bool con_geometria, Destinazione dest) {
  const Sorgente linea = entro_il_massimo(linea_data);
  const Sorgente treno = entro_il_massimo(treno_dato);
  SorgentiConsumate consumate;
  // The line phase is done with its source however it ends.
  consumate.linea = linea.esiste();
  const EsitoLinea esito = fase_linea(linea, nomi, con_geometria, dest);
  if (esito.fine != FineFase::completa && dest.giornale != nullptr)
    dest.giornale->treno_mai_letto(dest.diagnostica.ultimo_errore());
  if (esito.fine == FineFase::interrotta) return consumate;
  // The train source goes after its own phase, and on a failure of the line
  // phase too.
  consumate.treno = treno.esiste();
  if (esito.fine == FineFase::guasto) return consumate;
  fase_treno(treno, esito.corpo.riga_cartello, dest);
  // The route length explains the train phase's errors, not a train source
  // that could not be read.
  if (treno.stato == Sorgente::Stato::letta) annota_lunghezza(esito.lunghezza, dest.diagnostica);
  return consumate;
}

}  // namespace calvetra
