// Cab-code pass: placeholder until the train model lands.
#include "driver/form1.h"

namespace calvetra {

void Form1::passo_codici() {}

}  // namespace calvetra
