// JSON-RPC 2.0 as the language server protocol uses it: a message body in,
// the reply (if any) out, through the handler registered for its method, and
// the life cycle around them (initialize first, nothing after shutdown but
// exit). A handler refuses bad parameters by throwing ErroreRpc, or simply by
// reading a member that is missing or of the wrong type; nothing a client
// sends ends the server except `exit`.
#ifndef CALVETRA_TOOLS_SCENARIO_LSP_SMISTATORE_H_
#define CALVETRA_TOOLS_SCENARIO_LSP_SMISTATORE_H_

#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "scenario/comune/json.h"

namespace calvetra::scenario::lsp {

// The error codes of JSON-RPC and of the protocol.
enum class CodiceRpc : int {
  json_illeggibile = -32700,
  richiesta_non_valida = -32600,
  metodo_sconosciuto = -32601,
  parametri_non_validi = -32602,
  errore_interno = -32603,
  non_inizializzato = -32002,
};

struct ErroreRpc : std::runtime_error {
  ErroreRpc(CodiceRpc c, const std::string& messaggio) : std::runtime_error(messaggio), codice(c) {}
  CodiceRpc codice;
};

class Smistatore {
 public:
  // The deepest nesting of arrays and objects a message may have; a deeper
  // one is answered with an error and never read into a value.
  static constexpr int kLivelliMassimi = 64;

  using Richiesta = std::function<Json(const Json& parametri)>;
  // A request whose handler writes its result as JSON text itself: the
  // outline of a long route holds thousands of ranges, which as the
  // library's objects cost more than the outline.
  using RichiestaScritta = std::function<std::string(const Json& parametri)>;
  using Notifica = std::function<void(const Json& parametri)>;

  // `initialize` and `shutdown` are requests like the others, registered by
  // the server; the dispatcher only keeps the order they must come in.
  void richiesta(std::string metodo, Richiesta r) { richieste_[std::move(metodo)] = std::move(r); }
  void richiesta_scritta(std::string metodo, RichiestaScritta r) {
    scritte_[std::move(metodo)] = std::move(r);
  }
  void notifica(std::string metodo, Notifica n) { notifiche_[std::move(metodo)] = std::move(n); }

  // Called before a request's handler runs (the server publishes what the
  // request may depend on).
  void prima_di_ogni_richiesta(std::function<void()> f) { prima_ = std::move(f); }

  // Handles one message body; the reply to write, as its text, when it has
  // one.
  std::optional<std::string> tratta(std::string_view corpo);

  // After `exit`: the server stops, with 0 when `shutdown` came first.
  bool finito() const { return finito_; }
  int stato_uscita() const { return chiuso_ ? 0 : 1; }
  bool chiuso() const { return chiuso_; }

 private:
  std::optional<std::string> tratta_richiesta(const Json& id, const std::string& metodo,
                                              const Json& parametri);
  void tratta_notifica(const std::string& metodo, const Json& parametri);

  std::map<std::string, Richiesta, std::less<>> richieste_;
  std::map<std::string, RichiestaScritta, std::less<>> scritte_;
  std::map<std::string, Notifica, std::less<>> notifiche_;
  std::function<void()> prima_;
  bool iniziato_ = false;
  bool chiuso_ = false;
  bool finito_ = false;
};

// A reply with an error, for `id` (null when the request could not be read).
Json risposta_errore(const Json& id, CodiceRpc codice, const std::string& messaggio);

// A message as it goes out: compact, UTF-8 kept, a malformed sequence
// replaced.
std::string testo_messaggio(const Json& messaggio);

}  // namespace calvetra::scenario::lsp

#endif  // CALVETRA_TOOLS_SCENARIO_LSP_SMISTATORE_H_
