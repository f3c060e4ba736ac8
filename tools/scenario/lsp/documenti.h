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

#include "scenario/lsp/posizioni.h"

namespace calvetra::scenario::lsp {

struct Documento {
  std::string testo;  // UTF-8, as the editor holds it
  int64_t versione = 0;
};

class Documenti {
 public:
  void apri(const std::string& uri, std::string testo, int64_t versione);
  void chiudi(const std::string& uri) { aperti_.erase(uri); }
  // Replaces the text between `da` and `a` (the whole text when there is no
  // range) with `testo`; false for a document that is not open.
  bool cambia(const std::string& uri, std::optional<std::pair<Posizione, Posizione>> intervallo,
              std::string_view testo, int64_t versione, Codifica c);
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

}  // namespace calvetra::scenario::lsp

#endif  // CALVETRA_TOOLS_SCENARIO_LSP_DOCUMENTI_H_
