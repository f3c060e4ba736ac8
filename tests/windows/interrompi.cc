// Ctrl-Break and Ctrl-C as a console gives them: a test program of the
// Windows build that runs a program in a console of its own and, when asked
// on its standard input, raises the console's control events.
//
//   interrompi PROGRAMMA [ARGOMENTO...]
// The program gets this one's standard handles, so its output is read as
// if it were started directly. A line on standard input raises Ctrl-Break;
// if the console refuses it, or the program has not ended within a few
// seconds, Ctrl-C follows. Each step is told on standard error, in lines that
// begin "interrompi:"; the exit status is the program's (99: still running
// after both, then ended by force; 98: not started).
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HANDLE g_errore = INVALID_HANDLE_VALUE;

// Straight to the handle: the C runtime's stderr follows the console, which
// this program leaves for one of its own.
void di(const std::string& riga) {
  const std::string r = "interrompi: " + riga + "\n";
  DWORD scritti = 0;
  WriteFile(g_errore, r.data(), static_cast<DWORD>(r.size()), &scritti, nullptr);
}

// One argument of a command line, quoted as CommandLineToArgvW reads it.
std::wstring tra_virgolette(const std::wstring& a) {
  std::wstring r = L"\"";
  size_t barre = 0;
  for (const wchar_t c : a) {
    if (c == L'\\') {
      ++barre;
      continue;
    }
    r.append(c == L'"' ? barre * 2 + 1 : barre, L'\\');
    barre = 0;
    r.push_back(c);
  }
  r.append(barre * 2, L'\\');
  return r + L"\"";
}

BOOL WINAPI ignora(DWORD) { return TRUE; }

// Raises `evento` in the console; true when the program ended within `ms`.
bool alza(DWORD evento, const char* nome, HANDLE processo, DWORD ms) {
  if (!GenerateConsoleCtrlEvent(evento, 0)) {
    di(std::string(nome) + " non consegnato dalla console (GenerateConsoleCtrlEvent: errore " +
       std::to_string(GetLastError()) + ")");
    return false;
  }
  if (WaitForSingleObject(processo, ms) != WAIT_OBJECT_0) {
    di(std::string(nome) + " consegnato, ma il programma non e' terminato");
    return false;
  }
  di(std::string("terminato con ") + nome);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const HANDLE dentro = GetStdHandle(STD_INPUT_HANDLE);
  const HANDLE fuori = GetStdHandle(STD_OUTPUT_HANDLE);
  g_errore = GetStdHandle(STD_ERROR_HANDLE);
  if (argc < 2) {
    di("uso: interrompi PROGRAMMA [ARGOMENTO...]");
    return 98;
  }
  // Control events go to the processes of one console: one of its own, for
  // this program and the one it runs, whatever it was started from.
  FreeConsole();
  if (!AllocConsole())
    di("nessuna console propria (errore " + std::to_string(GetLastError()) + ")");
  SetConsoleCtrlHandler(ignora, TRUE);

  std::wstring riga;
  for (int i = 1; i < argc; ++i) riga += (i > 1 ? L" " : L"") + tra_virgolette(argv[i]);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = nullptr;
  si.hStdOutput = fuori;
  si.hStdError = g_errore;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, riga.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                      &pi)) {
    di("non avviato (errore " + std::to_string(GetLastError()) + ")");
    return 98;
  }
  CloseHandle(pi.hThread);

  char c = 0;
  DWORD letti = 0;
  while (ReadFile(dentro, &c, 1, &letti, nullptr) && letti == 1 && c != '\n') {
  }
  constexpr DWORD kAttesaMs = 5000;
  if (!alza(CTRL_BREAK_EVENT, "Ctrl-Break", pi.hProcess, kAttesaMs) &&
      !alza(CTRL_C_EVENT, "Ctrl-C", pi.hProcess, kAttesaMs)) {
    TerminateProcess(pi.hProcess, 99);
    WaitForSingleObject(pi.hProcess, kAttesaMs);
  }
  DWORD stato = 99;
  GetExitCodeProcess(pi.hProcess, &stato);
  di("uscita " + std::to_string(stato));
  return static_cast<int>(stato);
}
