// One short sentence for each error number the run can record.
#ifndef CALVETRA_MODEL_MESSAGGI_H_
#define CALVETRA_MODEL_MESSAGGI_H_

#include <cstdint>
#include <string>

namespace calvetra {

const char* descrizione_errore(int32_t codice);

// "errore N (posizione P m): sentence", the report of a recorded error.
std::string riga_errore(int32_t codice, int32_t posizione);

}  // namespace calvetra

#endif  // CALVETRA_MODEL_MESSAGGI_H_
