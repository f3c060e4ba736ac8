// The documents the editor has open, as it holds them (UTF-8, its own
// version numbers), kept up to date by its changes. Nothing else is kept:
// closing a document forgets it, so the memory follows the open documents.
#ifndef CALVETRA_TOOLS_SCENARIO_LSP_DOCUMENTI_H_
#define CALVETRA_TOOLS_SCENARIO_LSP_DOCUMENTI_H_

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "scenario/lsp/posizioni.h"

namespace calvetra::scenario::lsp {

struct Documento {
  std::string testo;  // UTF-8, as the editor holds it
  int64_t versione = 0;
};

// One change of a didChange: the text between two places, or the whole text
// when there is no range.
struct Modifica {
  std::optional<std::pair<Posizione, Posizione>> intervallo;
  std::string testo;
};

class Documenti {
 public:
  void apri(const std::string& uri, std::string testo, int64_t versione);
  void chiudi(const std::string& uri) { aperti_.erase(uri); }
  // Applies `modifiche` in order to a copy of the document and commits the
  // copy whole with `versione`, or the version held plus one when the
  // editor gave none. False, with the document as it was and `motivo`
  // saying why, for a document that is not open, a version below the one
  // held (a change sent before one already applied) or a change whose range
  // is not in the text as it then stands (a line past the last, an end
  // before its start): the editor and the server no longer hold the same
  // text.
  bool cambia(const std::string& uri, const std::vector<Modifica>& modifiche,
              std::optional<int64_t> versione, Codifica c, std::string* motivo);
  const Documento* trova(const std::string& uri) const;
  size_t quanti() const { return aperti_.size(); }
  const std::map<std::string, Documento, std::less<>>& tutti() const { return aperti_; }

 private:
  std::map<std::string, Documento, std::less<>> aperti_;
};

// The path of a file: URI ("file:///a/b%20c.txt" is "/a/b c.txt"); empty for
// any other URI.
std::string percorso_da_uri(std::string_view uri);
// The file: URI of an absolute path.
std::string uri_da_percorso(std::string_view percorso);
// A URI as an author reads it in a message: the path of a file: URI
// ("/a/b c.txt", never "%20"), any other URI as it is.
std::string uri_mostrato(std::string_view uri);

}  // namespace calvetra::scenario::lsp

#endif  // CALVETRA_TOOLS_SCENARIO_LSP_DOCUMENTI_H_
