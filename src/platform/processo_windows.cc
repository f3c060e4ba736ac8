#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <streambuf>

#include "platform/console_windows.h"
#include "platform/processo.h"
#include "platform/testo_windows.h"

namespace calvetra {

namespace windows {

namespace {

bool e_console(HANDLE h) {
  DWORD modo = 0;
  return h != nullptr && h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &modo) != 0;
}

// The text of a console line: UTF-8 when the bytes are UTF-8, else
// Windows-1252 (calvetra's own names).
std::wstring caratteri(std::string_view testo) {
  if (testo.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, testo.data(),
                                    static_cast<int>(testo.size()), nullptr, 0);
  return n > 0 ? da_utf8(testo) : da_1252(testo);
}

void scrivi_byte(HANDLE h, std::string_view testo) {
  while (!testo.empty()) {
    DWORD scritti = 0;
    if (!WriteFile(h, testo.data(), static_cast<DWORD>(std::min<size_t>(testo.size(), 1u << 30)),
                   &scritti, nullptr) ||
        scritti == 0) {
      return;
    }
    testo.remove_prefix(scritti);
  }
}

void scrivi_caratteri(HANDLE h, std::string_view testo) {
  const std::wstring w = caratteri(testo);
  std::wstring_view resto = w;
  while (!resto.empty()) {
    DWORD scritti = 0;
    if (!WriteConsoleW(h, resto.data(), static_cast<DWORD>(std::min<size_t>(resto.size(), 8192)),
                       &scritti, nullptr) ||
        scritti == 0) {
      return;
    }
    resto.remove_prefix(scritti);
  }
}

// A standard stream of the C++ library onto a Windows handle: characters to
// a console, whatever its code page (which belongs to the whole console and
// is left alone), bytes to a file or a pipe.
class BufferConsole : public std::streambuf {
 public:
  explicit BufferConsole(DWORD quale) : quale_(quale) { setp(buffer_, buffer_ + sizeof buffer_); }

 protected:
  int_type overflow(int_type c) override {
    svuota(false);
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override {
    svuota(true);
    return 0;
  }

 private:
  void svuota(bool tutto) {
    std::string_view dati(pbase(), static_cast<size_t>(pptr() - pbase()));
    HANDLE h = GetStdHandle(quale_);
    size_t fino = dati.size();
    const bool console = e_console(h);
    if (console && !tutto) {
      // A character cut by the buffer's end waits for the rest of it.
      size_t k = fino;
      while (k > 0 && fino - k < 4 && (static_cast<unsigned char>(dati[k - 1]) & 0xC0) == 0x80) --k;
      if (k > 0 && static_cast<unsigned char>(dati[k - 1]) >= 0xC0) fino = k - 1;
    }
    if (h != nullptr && h != INVALID_HANDLE_VALUE) {
      if (console) {
        scrivi_caratteri(h, dati.substr(0, fino));
      } else {
        scrivi_byte(h, dati.substr(0, fino));
      }
    }
    const size_t resta = dati.size() - fino;
    std::memmove(buffer_, dati.data() + fino, resta);
    setp(buffer_, buffer_ + sizeof buffer_);
    pbump(static_cast<int>(resta));
  }

  DWORD quale_;
  char buffer_[8192];
};

// A window program (calvetra) has no standard handles unless redirected;
// started from a console it takes its parent's for those it lacks.
void collega_console() {
  const auto manca = [](DWORD quale) {
    const HANDLE h = GetStdHandle(quale);
    return h == nullptr || h == INVALID_HANDLE_VALUE;
  };
  if (!manca(STD_OUTPUT_HANDLE) && !manca(STD_ERROR_HANDLE)) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  const HANDLE conout =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (conout == INVALID_HANDLE_VALUE) return;
  if (manca(STD_OUTPUT_HANDLE)) SetStdHandle(STD_OUTPUT_HANDLE, conout);
  if (manca(STD_ERROR_HANDLE)) SetStdHandle(STD_ERROR_HANDLE, conout);
}

}  // namespace

void scrivi_console(unsigned long quale, std::string_view testo) {
  // Through the standard stream, so that the report stays in order with
  // what the program wrote there before.
  std::ostream& flusso = quale == STD_OUTPUT_HANDLE ? std::cout : std::cerr;
  flusso << testo;
  flusso.flush();
}

}  // namespace windows

std::vector<std::string> argomenti_processo(int, char**) {
  std::vector<std::string> argomenti;
  int n = 0;
  wchar_t** w = CommandLineToArgvW(GetCommandLineW(), &n);
  if (w == nullptr) return argomenti;
  for (int i = 1; i < n; ++i) argomenti.push_back(windows::a_utf8(w[i]));
  LocalFree(w);
  return argomenti;
}

std::optional<std::string> variabile_ambiente(const char* nome) {
  const std::wstring w = windows::da_utf8(nome);
  const DWORD n = GetEnvironmentVariableW(w.c_str(), nullptr, 0);
  if (n == 0) {
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::string();
  }
  std::wstring valore(n, L'\0');
  const DWORD letti = GetEnvironmentVariableW(w.c_str(), valore.data(), n);
  valore.resize(letti);
  return windows::a_utf8(valore);
}

std::string cartella_corrente() {
  const DWORD n = GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return "";
  std::wstring w(n, L'\0');
  const DWORD letti = GetCurrentDirectoryW(n, w.data());
  if (letti == 0 || letti >= n) return "";
  w.resize(letti);
  return windows::a_utf8(w);
}

bool prepara_flussi_standard() {
  windows::collega_console();
  // The C library's own streams write bytes as they are, as on POSIX.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  // Never destroyed: the streams flush into them up to the process's end.
  static windows::BufferConsole* const uscita = new windows::BufferConsole(STD_OUTPUT_HANDLE);
  static windows::BufferConsole* const errori = new windows::BufferConsole(STD_ERROR_HANDLE);
  std::cout.flush();
  std::cerr.flush();
  std::cout.rdbuf(uscita);
  std::cerr.rdbuf(errori);
  std::clog.rdbuf(errori);
  const HANDLE h = GetStdHandle(STD_ERROR_HANDLE);
  DWORD modo = 0;
  if (!windows::e_console(h) || !GetConsoleMode(h, &modo)) return false;
  // Colours are escape sequences, which a console takes in its
  // virtual-terminal mode (Windows 10 and later).
  return SetConsoleMode(h, modo | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING) !=
         0;
}

void flussi_binari() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

namespace {

// One argument as the C runtime of the started program splits it back
// (CommandLineToArgvW's rules): quoted when it holds a blank, a tab or a
// quote, or is empty; a quote escaped, and the backslashes before a quote
// (or before the closing one) doubled.
void aggiungi_argomento(std::wstring* riga, const std::wstring& a) {
  if (!riga->empty()) riga->push_back(L' ');
  if (!a.empty() && a.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    *riga += a;
    return;
  }
  riga->push_back(L'"');
  size_t barre = 0;
  for (wchar_t c : a) {
    if (c == L'\\') {
      ++barre;
      continue;
    }
    if (c == L'"') {
      riga->append(barre * 2 + 1, L'\\');
    } else {
      riga->append(barre, L'\\');
    }
    barre = 0;
    riga->push_back(c);
  }
  riga->append(barre * 2, L'\\');
  riga->push_back(L'"');
}

}  // namespace

bool avvia_programma(const std::vector<std::string>& argomenti, std::string* errore) {
  if (argomenti.empty() || argomenti[0].empty()) {
    *errore = "nessun programma da avviare";
    return false;
  }
  std::wstring riga;
  for (const std::string& a : argomenti) aggiungi_argomento(&riga, windows::da_utf8(a));
  STARTUPINFOW avvio{};
  avvio.cb = sizeof avvio;
  PROCESS_INFORMATION processo{};
  // The program is looked up as the system does (the program's folder, the
  // system's, the PATH), with ".exe" added to a bare name; it gets no
  // console of ours and reads nothing of ours.
  if (!CreateProcessW(nullptr, riga.data(), nullptr, nullptr, FALSE,
                      CREATE_NEW_PROCESS_GROUP | DETACHED_PROCESS, nullptr, nullptr, &avvio,
                      &processo)) {
    *errore = argomenti[0] + ": " + windows::ultimo_errore();
    return false;
  }
  CloseHandle(processo.hThread);
  CloseHandle(processo.hProcess);
  return true;
}

}  // namespace calvetra
