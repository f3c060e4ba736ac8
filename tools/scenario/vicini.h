// Near misses among the files of a directory, for a source that is not
// where the tool looked.
#ifndef CALVETRA_TOOLS_SCENARIO_VICINI_H_
#define CALVETRA_TOOLS_SCENARIO_VICINI_H_

#include <string>

namespace calvetra::scenario {

// The name of a file in `cartella` that differs from `nome` only in letter
// case, hyphens, blanks or the extension, binary scenario files (.dat, .sim) aside
// (`Calvetra_2718 - 5340.txt` for
// `Calvetra_2718 - 5340-.txt`); empty when there is none.
std::string nome_vicino(const std::string& cartella, const std::string& nome);

}  // namespace calvetra::scenario

#endif  // CALVETRA_TOOLS_SCENARIO_VICINI_H_
