// `scenario lsp`: the language server over a pair of streams, one client,
// one thread for the protocol. It never writes a file: it reads the
// scenario's sources from the disk only when the editor does not hold them
// open. With the live page on, the page's server runs beside it on threads
// of its own, fed with a copy of the sources after each check, and asks the
// editor to open a record through the same output, one message at a time.
#ifndef CALVETRA_TOOLS_SCENARIO_LSP_SERVER_H_
#define CALVETRA_TOOLS_SCENARIO_LSP_SERVER_H_

#include <istream>
#include <ostream>

#include "model/costanti.h"
#include "platform/piattaforma.h"

namespace calvetra::scenario::lsp {

struct OpzioniServer {
  NomiScenario nomi;
  bool nomi_dati = false;  // given on the command line: initializationOptions cannot change them
  // --vista: the live page of the route served from the buffers (also asked
  // by initializationOptions.vista).
  bool vista = false;
  // False: initializationOptions.vista is ignored and no port is ever opened
  // (the fuzzer drives the protocol alone).
  bool vista_permessa = true;
};

// Serves the client on `in` and `out` (`log` takes the server's own
// complaints) until `exit` or the end of the input. Returns the exit
// status: 0 after shutdown and exit, 1 otherwise.
int servi(std::istream& in, std::ostream& out, std::ostream& log, Piattaforma* disco,
          const OpzioniServer& o);

}  // namespace calvetra::scenario::lsp

#endif  // CALVETRA_TOOLS_SCENARIO_LSP_SERVER_H_
