// The watch of the sources' directory that drives the live page: the
// platform's (platform/sorveglianza.h), by the name the page's code uses.
#ifndef CALVETRA_TOOLS_SCENARIO_VIVO_SORVEGLIA_H_
#define CALVETRA_TOOLS_SCENARIO_VIVO_SORVEGLIA_H_

#include "platform/sorveglianza.h"

namespace calvetra::scenario::vivo {

using Sorveglianza = calvetra::Sorveglianza;

}  // namespace calvetra::scenario::vivo

#endif  // CALVETRA_TOOLS_SCENARIO_VIVO_SORVEGLIA_H_
