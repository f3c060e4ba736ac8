// Fuzz target: `scenario lsp` (tools/scenario/lsp/) fed arbitrary bytes as
// its standard input, the framer and the dispatcher first, then whatever
// the messages that get through ask of the documents and features, over a
// small scenario in a directory in memory. For any input:
// - the server ends, with 0 or 1, and never throws;
// - everything it writes is framed messages, each a JSON-RPC 2.0 object:
//   a reply with an id and either a result or an error, or a notification;
// - no more replies than requests could have asked for one each.
//
// This target links the author tool's server as well as the core: the
// server is the thing under test. It needs no bound on the route length: the
// server's compile measures the plan without keeping it, a few milliseconds
// even for the longest route.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "content/righe.h"
#include "platform/piattaforma_memoria.h"
#include "proprieta.h"
#include "scenario/comune/json.h"
#include "scenario/lsp/server.h"
#include "scenario/lsp/trasporto.h"

namespace calvetra::fuzz {
namespace {

// A short route with one record of each common kind, so that hover and
// symbols find something even before a document is opened.
constexpr std::string_view kLinea =
    "[generale]\r\nlunghezza percorso, 3000\r\n[curve]\r\ncurvad3, 500, 200\r\n"
    "pendenza, 100, 5\r\nmontagna, 1000, 1500, 1\r\n[fine]\r\n";
constexpr std::string_view kTreno =
    "[generale]\r\nvelocita, 0, 80\r\n[stazioni]\r\n"
    "stazione, 1000, 2, 400, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0, UNO\r\n"
    "[segnali]\r\nsegnale, 2000, 1, 3, 1, 0, 0, 0, 0, 0, 0, 0\r\n[fine]\r\n";

}  // namespace
}  // namespace calvetra::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione) {
  using calvetra::fuzz::verifica;
  using calvetra::scenario::Json;
  namespace lsp = calvetra::scenario::lsp;
  const std::string_view ingresso(reinterpret_cast<const char*>(dati), dimensione);
  calvetra::PiattaformaMemoria disco("/prova");
  disco.file["/prova/Calvetra_linea.txt"] = std::string(calvetra::fuzz::kLinea);
  disco.file["/prova/Calvetra_2718 - 5340-.txt"] = std::string(calvetra::fuzz::kTreno);

  std::istringstream in{std::string(ingresso)};
  std::ostringstream out, log;
  lsp::OpzioniServer opzioni;
  opzioni.vista_permessa = false;  // an input asking for the live page opens no port
  const int stato = lsp::servi(in, out, log, &disco, opzioni);
  calvetra::fuzz::controllata("uscita");
  verifica(stato == 0 || stato == 1);

  // Requests are counted loosely: each "id" in the input may be one.
  size_t possibili = 0;
  for (size_t i = ingresso.find("\"id\""); i != std::string_view::npos;
       i = ingresso.find("\"id\"", i + 1)) {
    ++possibili;
  }
  std::istringstream scritto(out.str());
  std::ostringstream niente;
  lsp::Trasporto t(scritto, niente);
  std::string corpo, errore;
  size_t risposte = 0;
  lsp::Trasporto::Esito e;
  while ((e = t.leggi(&corpo, &errore)) == lsp::Trasporto::Esito::messaggio) {
    calvetra::fuzz::controllata("messaggi");
    const Json m = Json::parse(corpo, nullptr, false);
    verifica(!m.is_discarded() && m.is_object() && m.value("jsonrpc", "") == "2.0");
    if (m.contains("method")) {
      verifica(!m.contains("id"));
      continue;
    }
    verifica(m.contains("id") && (m.contains("result") != m.contains("error")));
    // A message that could not be read is answered with a null id and
    // needs no "id" in the input.
    if (!m["id"].is_null()) ++risposte;
  }
  verifica(e == lsp::Trasporto::Esito::fine);
  verifica(risposte <= possibili);
  return 0;
}
