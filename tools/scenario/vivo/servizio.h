// The live page of a route over HTTP on the loopback: the page, a stream of
// Server-Sent Events that brings every new state of the route to it, and,
// when a language server stands behind it, the one request that opens a
// record in the author's editor. The sockets are Asio's and the HTTP
// grammar Beast's (richiesta.h); what is ours is which requests are
// answered at all, and the limits that hold before anything else is read.
//
// Safe by construction: bound to 127.0.0.1 only, on a port no other server
// shares; every request names a token of 256 random bits, fresh each start,
// in its path, or is answered 404; a Host other than 127.0.0.1:PORT or
// localhost:PORT is refused (a page of another site that rebinds its name
// to 127.0.0.1 cannot read it), and so are two Hosts; no CORS header;
// nothing else is served, no file of the disk above all; a small body for
// the one POST, of JSON from the page itself; a bounded head, read within
// one deadline; a bounded number of connections and of event streams, a
// stream's place free as soon as its reader leaves; and an end that waits
// for no client.
#ifndef CALVETRA_TOOLS_SCENARIO_VIVO_SERVIZIO_H_
#define CALVETRA_TOOLS_SCENARIO_VIVO_SERVIZIO_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "scenario/comune/json.h"

namespace calvetra::scenario::vivo {

// What a request is for, once it has passed the checks.
enum class Via { pagina, eventi, apri };

// The answer to a request before the library reads its body: a refusal
// with its HTTP status, or the way it goes.
struct Verdetto {
  int stato = 0;  // 0: accepted, along `via`
  Via via = Via::pagina;
};

// Checks one request by its method, path (without the query) and Host
// header against the token and the port; pure, so the table of refusals
// and the fuzzer try it without a socket.
Verdetto esamina(std::string_view metodo, std::string_view percorso, std::string_view host,
                 std::string_view gettone, int porta);

// A source place the page asks to open: the file name (one of the two
// sources), its line and column from 1. Empty for a body that is not one.
struct LuogoDaAprire {
  std::string file;
  int64_t riga = 0;
  int64_t colonna = 0;
};
std::optional<LuogoDaAprire> leggi_luogo(std::string_view corpo);

struct OpzioniServizio {
  int porta = 0;                     // 0: the system chooses
  size_t flussi_massimi = 16;        // event streams open at once
  size_t corpo_massimo = 4096;       // bytes of the POST's body, chunked or not
  int secondi_tra_segnali = 15;      // a comment on an idle stream, to find readers gone
  size_t righe_testa = 64;           // header lines of a request
  size_t byte_testa = 16384;         // bytes of a request's head
  int secondi_richiesta = 5;         // for the whole request, however slowly it comes
  size_t connessioni_massime = 128;  // open at once; past it a connection is closed at once
};

class Servizio {
 public:
  // Opens a place in the editor; false when it cannot (answered 404). Called
  // on a thread of the server.
  using Apri = std::function<bool(const LuogoDaAprire&)>;

  explicit Servizio(OpzioniServizio o = {}, Apri apri = {});
  ~Servizio();
  Servizio(const Servizio&) = delete;
  Servizio& operator=(const Servizio&) = delete;

  // Binds 127.0.0.1 and serves on a thread of its own; false with the
  // reason in `errore` when the port cannot be had.
  bool avvia(std::string* errore);
  void ferma();

  // http://127.0.0.1:PORT/TOKEN/
  std::string indirizzo() const;
  int porta() const;
  const std::string& gettone() const;

  // A new state of the route for every page: the data of the page, or the
  // fatal message (UTF-8) shown in place of the route. The last one wins.
  void pubblica(const Json& dati);
  void pubblica_fatale(const std::string& messaggio);
  // How many states were published; for tests and benchmarks.
  uint64_t pubblicati() const;

 private:
  void metti(std::string evento);

  struct Stato;
  std::unique_ptr<Stato> s_;
};

}  // namespace calvetra::scenario::vivo

#endif  // CALVETRA_TOOLS_SCENARIO_VIVO_SERVIZIO_H_
