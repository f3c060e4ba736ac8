// The command line an author gives to open a source in the editor
// (`view --serve --comando-editor 'notepad++ -n{line} "{path}"'`): split
// into words once, then filled for each record asked for.
#ifndef CALVETRA_TOOLS_SCENARIO_COMUNE_COMANDO_H_
#define CALVETRA_TOOLS_SCENARIO_COMUNE_COMANDO_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace calvetra::scenario {

// The words of `modello`: blanks separate them, and a text in double or
// single quotes is part of one word, quotes taken away, blanks kept. None
// when a quote is left open or there is no word at all.
std::optional<std::vector<std::string>> parole_comando(std::string_view modello,
                                                       std::string* motivo);

// The words with {path}, {line} and {col} replaced: whatever the path
// holds (blanks, quotes, a leading dash), it stays inside its own word.
std::vector<std::string> riempi_comando(const std::vector<std::string>& parole,
                                        const std::string& percorso, int64_t riga, int64_t colonna);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_COMUNE_COMANDO_H_
