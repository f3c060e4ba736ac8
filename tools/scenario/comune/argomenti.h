// The command line of every subcommand, read by one skeleton: a subcommand
// declares its options and its directory, and gets --help, "--", the usage
// line and the refusals of bad usage (exit status 2) from here.
//
// An option takes its value as the next argument or after '='; "--" ends
// the options; the one positional argument is the scenario directory.
#ifndef CALVETRA_TOOLS_SCENARIO_COMUNE_ARGOMENTI_H_
#define CALVETRA_TOOLS_SCENARIO_COMUNE_ARGOMENTI_H_

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "model/costanti.h"

namespace calvetra::scenario {

// The arguments after the subcommand's name.
using Argomenti = std::vector<std::string>;

class Sintassi {
 public:
  // `comando` as it follows "scenario" in messages; `aiuto` the text of --help.
  Sintassi(std::string comando, std::string aiuto);

  // An option alone, which sets *v.
  Sintassi& bandiera(const char* nome, bool* v);
  // An option with a value; `segnaposto` names the value in the usage line.
  Sintassi& valore(const char* nome, const char* segnaposto, std::string* v);
  // A value that becomes part of file names inside the directory: refused
  // when it could lead outside it.
  Sintassi& nome_file(const char* nome, const char* segnaposto, std::string* v);
  // A whole number of decimal digits from `minimo` to `massimo`.
  Sintassi& numero(const char* nome, const char* segnaposto, int32_t minimo, int32_t massimo,
                   int32_t* v);
  // --linea NOME and --treni COPPIA, the names of the scenario's files.
  Sintassi& nomi_scenario(NomiScenario* nomi);
  // Another name for the option declared last (--output for -o).
  Sintassi& alias(const char* nome);
  // The option declared last must be given; the usage line shows it after
  // the directory.
  Sintassi& obbligatoria();
  // The directory, the one positional argument (a command that declares
  // none takes no positional argument).
  Sintassi& cartella(std::string* v);

  // "[--json] [--linea NOME] CARTELLA -o FILE.svg"
  std::string uso() const;

  // Reads `a` into the declared places. Returns nothing when the subcommand
  // is to run; otherwise its exit status: 0 once --help has printed the help
  // on `out`, 2 once bad usage has been reported on `err`, the refused
  // argument named, with the usage line.
  std::optional<int> leggi(const Argomenti& a, std::ostream& out, std::ostream& err) const;

 private:
  enum class Genere { bandiera, valore, nome_file, numero };
  struct Opzione {
    std::vector<std::string> nomi;  // the first is the one shown
    std::string segnaposto;
    Genere genere = Genere::bandiera;
    bool obbligatoria = false;
    bool* bandiera = nullptr;
    std::string* testo = nullptr;
    std::string* testo_1252 = nullptr;  // a name: the same in Windows-1252
    int32_t* numero = nullptr;
    int32_t minimo = 0;
    int32_t massimo = 0;
  };

  const Opzione* trova(std::string_view nome) const;
  // Stores `v` in the place of `o`; false with the refusal in `motivo`.
  bool assegna(const Opzione& o, const std::string& v, std::string* motivo) const;
  // Why the arguments cannot run, or "".
  std::string motivo(const Argomenti& a, bool* aiuto) const;

  std::string comando_;
  std::string aiuto_;
  std::vector<Opzione> opzioni_;
  std::string* cartella_ = nullptr;
};

// Whether `nome` may become part of a file name inside the directory: no
// path separator, no NUL. Otherwise false with the refusal in `motivo`.
bool nome_accettabile(std::string_view nome, std::string* motivo);

// A route or train name as given (UTF-8, as command lines and editors give
// it) in Windows-1252, as the table keeps it: nullopt with the refusal in
// `motivo`, naming the character that the code page cannot hold, or the
// byte that is not UTF-8.
std::optional<std::string> nome_in_1252(std::string_view nome, std::string* motivo);

// Both checks of a route or train name: `*nome` takes the name as given and
// `*nome_1252` the same in Windows-1252 (empty when the bytes are the same).
bool accetta_nome(std::string_view dato, std::string* nome, std::string* nome_1252,
                  std::string* motivo);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMUNE_ARGOMENTI_H_
