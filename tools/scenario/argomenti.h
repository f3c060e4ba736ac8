// Command-line arguments of one subcommand, consumed left to right. Options
// take their value as the next argument or after '='; "--" ends the options.
#ifndef CALVETRA_TOOLS_SCENARIO_ARGOMENTI_H_
#define CALVETRA_TOOLS_SCENARIO_ARGOMENTI_H_

#include <string>
#include <string_view>
#include <vector>

namespace calvetra::scenario {

class Argomenti {
 public:
  // The arguments after the subcommand's name.
  Argomenti(int argc, const char* const* argv);

  bool finiti() const { return i_ >= argomenti_.size(); }
  // Consumes the current argument when it is the flag `nome`.
  bool opzione(const char* nome);
  // Consumes `nome VALUE` or `nome=VALUE`; a missing value is an error.
  bool valore(const char* nome, std::string* v);
  // The same for a name that becomes part of file names in the directory:
  // a value with a path separator or a NUL is an error that names it.
  bool nome(const char* nome, std::string* v);
  // Consumes a positional argument; an unknown option is an error.
  bool posizionale(std::vector<std::string>* p);

  bool errore() const { return !messaggio_.empty(); }
  const std::string& messaggio() const { return messaggio_; }

 private:
  bool dopo_doppio_trattino() const { return fine_opzioni_; }

  std::vector<std::string> argomenti_;
  size_t i_ = 0;
  bool fine_opzioni_ = false;
  std::string messaggio_;
};

// Why `posizionali` is not exactly one directory: none given, or the first
// argument too many, named. Empty when it is.
std::string motivo_cartella(const std::vector<std::string>& posizionali);

// Whether `nome` may become part of a file name inside the directory: no
// path separator, no NUL. Otherwise false with the refusal in `motivo`.
bool nome_accettabile(std::string_view nome, std::string* motivo);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_ARGOMENTI_H_
