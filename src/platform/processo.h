// What the programs take from the process they run in: the command line,
// the environment, the working directory, the standard streams and the
// terminal behind them, and other programs they start. One implementation
// per system (processo_posix.cc, processo_windows.cc).
#ifndef CALVETRA_PLATFORM_PROCESSO_H_
#define CALVETRA_PLATFORM_PROCESSO_H_

#include <optional>
#include <string>
#include <vector>

namespace calvetra {

// The arguments after the program's name, as UTF-8 (on Windows read as wide
// text, whatever the console's code page).
std::vector<std::string> argomenti_processo(int argc, char** argv);

// The value of the environment variable `nome` (UTF-8); none when unset.
std::optional<std::string> variabile_ambiente(const char* nome);

// The working directory, absolute, with '/' or the system's separator; ""
// when it cannot be read.
std::string cartella_corrente();

// Readies the standard streams before a program writes a byte: a window
// program started from a console writes to that console; the bytes written
// are the bytes that arrive (no line-end translation); a console shows
// UTF-8 and takes colour sequences where it can. Returns whether the
// standard error is a terminal that shows colours.
bool prepara_flussi_standard();

// Standard input and output as raw bytes, for a protocol framed by byte
// counts (the language server).
void flussi_binari();

// Starts `argomenti[0]` (looked up on the PATH) with the rest as its
// arguments, each exactly one argument whatever blanks or quotes it holds,
// without a shell and without waiting for it. False with the reason when it
// cannot be started.
bool avvia_programma(const std::vector<std::string>& argomenti, std::string* errore);

}  // namespace calvetra

#endif  // CALVETRA_PLATFORM_PROCESSO_H_
