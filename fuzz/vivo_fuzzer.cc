// Fuzz target: what the live page's server decides on its own, past the HTTP
// library: which requests it answers (method, path and Host against the
// token and the port) and the place a page's click asks to open (the one
// POST's JSON body). The input is "METHOD PATH\nHOST\nBODY". For any input:
// - a request is accepted only for the three exact paths under the token,
//   each with its one method, and a Host of 127.0.0.1 or localhost at the
//   port; never anything else;
// - a body read as a place has a file name and a line and column from 1;
//   none throws.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "proprieta.h"
#include "scenario/vivo/servizio.h"

namespace calvetra::fuzz {
namespace {

constexpr std::string_view kGettone =
    "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff";
constexpr int kPorta = 8080;

std::string_view riga(std::string_view* resto) {
  const size_t a_capo = resto->find('\n');
  const std::string_view r = resto->substr(0, a_capo);
  *resto = a_capo == std::string_view::npos ? std::string_view() : resto->substr(a_capo + 1);
  return r;
}

}  // namespace
}  // namespace calvetra::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione) {
  using calvetra::fuzz::verifica;
  namespace vivo = calvetra::scenario::vivo;
  std::string_view resto(reinterpret_cast<const char*>(dati), dimensione);
  const std::string_view prima = calvetra::fuzz::riga(&resto);
  const std::string_view host = calvetra::fuzz::riga(&resto);
  const size_t spazio = prima.find(' ');
  const std::string_view metodo = prima.substr(0, spazio);
  const std::string_view percorso =
      spazio == std::string_view::npos ? std::string_view() : prima.substr(spazio + 1);

  const vivo::Verdetto v =
      vivo::esamina(metodo, percorso, host, calvetra::fuzz::kGettone, calvetra::fuzz::kPorta);
  calvetra::fuzz::controllata("richieste");
  if (v.stato == 0) {
    const std::string base = "/" + std::string(calvetra::fuzz::kGettone) + "/";
    verifica(host == "127.0.0.1:8080" || host == "localhost:8080");
    verifica((percorso == base && metodo == "GET" && v.via == vivo::Via::pagina) ||
             (percorso == base + "eventi" && metodo == "GET" && v.via == vivo::Via::eventi) ||
             (percorso == base + "apri" && metodo == "POST" && v.via == vivo::Via::apri));
  } else {
    verifica(v.stato == 403 || v.stato == 404 || v.stato == 405);
  }

  if (const std::optional<vivo::LuogoDaAprire> l = vivo::leggi_luogo(resto)) {
    calvetra::fuzz::controllata("luoghi");
    verifica(!l->file.empty() && l->riga >= 1 && l->colonna >= 1);
  }
  return 0;
}
