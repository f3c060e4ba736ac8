// Train phase: placeholder until the train model lands.
#include "driver/form1.h"

namespace calvetra {

void Form1::fase_treno() { chiudi_ed_elimina(nome_file_treno()); }
void Form1::memo_segnale(int32_t, int32_t&, int32_t&, int32_t&, int32_t&, int32_t&, int32_t&,
                         int32_t&, int32_t&, int32_t&, int32_t&) {}
void Form1::memo_rallentamento(int32_t, int32_t&, int32_t&, int32_t&, int32_t, int32_t&) {}

}  // namespace calvetra
