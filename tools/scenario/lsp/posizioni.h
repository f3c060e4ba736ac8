// Places in a text as an editor names them: a line from 0, split where the
// field reader splits lines (CR LF, a lone CR, a lone LF), and a character
// counted in the code units of the encoding the client negotiated (UTF-16
// unless it offered UTF-8).
#ifndef CALVETRA_TOOLS_SCENARIO_LSP_POSIZIONI_H_
#define CALVETRA_TOOLS_SCENARIO_LSP_POSIZIONI_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "scenario/comune/json.h"

namespace calvetra::scenario::lsp {

enum class Codifica { utf16, utf8 };

struct Posizione {
  int64_t riga = 0;
  int64_t carattere = 0;
  bool operator==(const Posizione&) const = default;
};

// {"line": ..., "character": ...} and back; a member missing or negative is
// refused as the dispatcher refuses bad parameters.
Json json_posizione(Posizione p);
Posizione posizione_da_json(const Json& j);

// The places of one text, one entry a character: the i-th character is the
// byte i of the Windows-1252 text the compiler reads, whatever encoding the
// editor holds it in.
class IndicePosizioni {
 public:
  IndicePosizioni() = default;
  // A Windows-1252 text, one character a byte.
  static IndicePosizioni da_1252(std::string_view testo, Codifica c);
  // A UTF-8 text, one character a code point.
  static IndicePosizioni da_utf8(std::string_view testo, Codifica c);

  // The place of character `i` (clamped to the end of the text).
  Posizione posizione(size_t i) const;
  // The character at `p`; a place past the end of its line is the line's
  // end, a line past the last is the end of the text.
  size_t indice(Posizione p) const;
  size_t dimensione() const { return larghezze_.size(); }

 private:
  // Built from the text's characters in one pass, at most `massimo` of
  // them, with no list of code points between: the index is built anew for
  // every check of an open buffer. `prossimo(&i)` decodes the character at
  // byte i and moves i past it.
  template <typename Prossimo>
  void costruisci(std::string_view testo, Prossimo prossimo, Codifica c);

  std::vector<uint8_t> larghezze_;  // code units of each character
  std::vector<size_t> inizi_{0};    // the character each line begins with
  std::vector<size_t> fini_{0};     // the character each line's end begins with
};

// The byte of a UTF-8 text at `p`, clamped as IndicePosizioni::indice does:
// where an edit of the editor's buffer applies.
size_t byte_utf8(std::string_view testo, Posizione p, Codifica c);

}  // namespace calvetra::scenario::lsp

#endif  // CALVETRA_TOOLS_SCENARIO_LSP_POSIZIONI_H_
