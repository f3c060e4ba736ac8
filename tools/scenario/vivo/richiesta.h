// One request to the live page, read from the bytes as they come, under
// limits that hold before anything else is read: a head of at most 16 KB and
// 64 header lines, the Host once and right, the path under the token, the
// one method of that path; a body only for the one POST, only with
// `Content-Type: application/json` and an Origin (when the browser gives
// one) of the page itself, and no more of it than the limit, chunked or not.
// No socket here: the server feeds the bytes it receives, the fuzzer and the
// tests feed theirs, and both write the answers built below.
//
// The HTTP grammar is Boost.Beast's parser; what it reports is ours to judge.
#ifndef CALVETRA_TOOLS_SCENARIO_VIVO_RICHIESTA_H_
#define CALVETRA_TOOLS_SCENARIO_VIVO_RICHIESTA_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "scenario/vivo/servizio.h"

namespace calvetra::scenario::vivo {

struct RegoleRichiesta {
  std::string_view gettone;
  int porta = 0;
  size_t righe_testa = 64;    // header lines
  size_t byte_testa = 16384;  // the request line and the header lines
  size_t byte_corpo = 4096;   // the POST's body, after the chunked framing
};

class LetturaRichiesta {
 public:
  enum class Esito {
    altro,    // more bytes are needed
    chiudi,   // the request came to nothing (the client left): no answer
    rifiuto,  // answered with `stato()`, then the connection closes
    pagina,   // GET of the page
    eventi,   // GET of the event stream
    apri,     // POST of a place, read whole: `luogo()`
  };

  explicit LetturaRichiesta(const RegoleRichiesta& regole);
  ~LetturaRichiesta();
  LetturaRichiesta(const LetturaRichiesta&) = delete;
  LetturaRichiesta& operator=(const LetturaRichiesta&) = delete;

  // Reads from `byte` (what has come and was not consumed before: a head is
  // judged only when it is whole in one piece) and says how many bytes were
  // consumed. Once it says anything but `altro`, it is done.
  Esito alimenta(std::string_view byte, size_t* consumati);
  // The client closed its side before the request was whole.
  Esito fine_ingresso();

  int stato() const { return stato_; }
  const LuogoDaAprire& luogo() const { return luogo_; }

 private:
  Esito rifiuta(int stato);
  Esito giudica_testa();
  Esito giudica_corpo();

  struct Lettore;
  std::unique_ptr<Lettore> l_;
  RegoleRichiesta regole_;
  bool testa_letta_ = false;
  bool finito_ = false;
  Esito esito_ = Esito::altro;
  int stato_ = 0;
  LuogoDaAprire luogo_;
};

// The answers, whole as they go on the wire: each closes its connection,
// and each carries `Cache-Control: no-store`, `X-Content-Type-Options:
// nosniff` and `Referrer-Policy: no-referrer`.
// A refusal or a 204, with `testo` or the status's own reason in Italian.
std::string risposta_breve(int stato, std::string_view testo = {});
// The page, with the policy `politica` (Content-Security-Policy).
std::string risposta_pagina(std::string_view html, std::string_view politica);
// The head of an event stream; the events follow until it closes.
std::string testa_eventi();

}  // namespace calvetra::scenario::vivo

#endif  // CALVETRA_TOOLS_SCENARIO_VIVO_RICHIESTA_H_
