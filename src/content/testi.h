// The five texts that a run writes before it compiles: the two sources and
// the three driver documents, each as a filled line list.
#ifndef CALVETRA_CONTENT_TESTI_H_
#define CALVETRA_CONTENT_TESTI_H_

#include "content/righe.h"

namespace calvetra {

Righe dati_linea();          // the line source
Righe dati_treno();          // the train source
Righe dati_note();           // the notes document
Righe dati_rallentamenti();  // the slow-down order
Righe dati_scheda();         // the timetable card

}  // namespace calvetra

#endif  // CALVETRA_CONTENT_TESTI_H_
