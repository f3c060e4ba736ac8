// The framing of the language server protocol: each message is a JSON text
// after a header block ("Content-Length: N", maybe other fields, then an
// empty line), over a pair of byte streams that the caller hands in, so a
// test can drive the server through strings.
#ifndef CALVETRA_TOOLS_SCENARIO_LSP_TRASPORTO_H_
#define CALVETRA_TOOLS_SCENARIO_LSP_TRASPORTO_H_

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace calvetra::scenario::lsp {

class Trasporto {
 public:
  // The largest body accepted: a source of a route of 1,000,000 m with every
  // record is far below it, and an editor never sends more than a document.
  static constexpr size_t kCorpoMassimo = size_t{64} << 20;
  // The longest header line and the most header lines of one message.
  static constexpr size_t kRigaMassima = 1024;
  static constexpr int kRigheMassime = 32;

  Trasporto(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

  enum class Esito {
    messaggio,  // a body was read
    fine,       // the input ended between two messages
    guasto,     // a header that cannot be read, or the input ended inside a message
  };
  // Reads the next message. After `guasto` (with the reason in `errore`) the
  // stream cannot be trusted to be at the start of a message again.
  Esito leggi(std::string* corpo, std::string* errore);

  // Writes one message and flushes it.
  void scrivi(std::string_view corpo);

  // Whether bytes of another message are already waiting, so the server can
  // put off work that the next message may make stale.
  bool in_attesa() const;

 private:
  // One header line without its line end; false at the end of the input or
  // past kRigaMassima.
  bool riga(std::string* r, bool* troppo_lunga);

  std::istream& in_;
  std::ostream& out_;
};

}  // namespace calvetra::scenario::lsp

#endif  // CALVETRA_TOOLS_SCENARIO_LSP_TRASPORTO_H_
