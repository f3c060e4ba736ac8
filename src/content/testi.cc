// Text writers: placeholders until the embedded content lands.
#include "driver/form1.h"

namespace calvetra {

void Form1::dati_linea() {}
void Form1::dati_treno() {}
void Form1::dati_note() {}
void Form1::dati_rallentamenti() {}
void Form1::dati_scheda() {}

}  // namespace calvetra
