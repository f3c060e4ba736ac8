// The windows of calvetra.exe, found as a user would see them: a test program
// of the Windows build, run under Wine with a screen (xvfb-run).
//
//   finestre CALVETRA_EXE   finds the waiting window of a run of
//       calvetra.exe by its label, then the message box of a run that ends
//       in 1250 by its text, presses its OK, and checks both statuses.
//   finestre --fatale                            the run that ends in 1250:
//       calvetra's compile driver over sources with a reserved slot filled,
//       in this program's directory, with the real window system.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/sistema.h"
#include "run/form1.h"
#include "support/compilazione.h"

namespace {

using Orologio = std::chrono::steady_clock;

int fatale() {
  const std::string cartella = calvetra::cartella_eseguibile();
  calvetra::PiattaformaSistema p(cartella, calvetra::NomiFile::windows_1252);
  const calvetra::NomiScenario nomi;
  std::string errore;
  const auto scrivi = [&](const std::string& nome, const std::string& testo) {
    return p.scrivi_attraverso(calvetra::nella_cartella(cartella, nome), testo, &errore);
  };
  if (!scrivi(nomi.sorgente_linea(),
              calvetra::test::sorgente_linea("", "cartello_indicatore, 0, (X)\r\n")) ||
      !scrivi(nomi.sorgente_treno(), calvetra::test::kTrenoVuoto)) {
    std::fprintf(stderr, "finestre: %s\n", errore.c_str());
    return 99;
  }
  p.avviso_attesa("Attendere");
  return calvetra::Form1(&p).memorizza_percorso(1);
}

// The text of a window of another process, without a message to it (the
// waiting window's thread never reads one).
std::wstring testo(HWND w) {
  wchar_t t[256] = {};
  InternalGetWindowText(w, t, 256);
  return t;
}

struct Cercata {
  DWORD processo;
  std::wstring testo;  // of a child control
  HWND trovata = nullptr;
  HWND figlia = nullptr;
};

BOOL CALLBACK figlia_con_testo(HWND w, LPARAM p) {
  auto* c = reinterpret_cast<Cercata*>(p);
  if (testo(w) != c->testo) return TRUE;
  c->figlia = w;
  return FALSE;
}

BOOL CALLBACK finestra_con_testo(HWND w, LPARAM p) {
  auto* c = reinterpret_cast<Cercata*>(p);
  DWORD di = 0;
  GetWindowThreadProcessId(w, &di);
  if (di != c->processo || !IsWindowVisible(w)) return TRUE;
  EnumChildWindows(w, figlia_con_testo, p);
  if (c->figlia == nullptr) return TRUE;
  c->trovata = w;
  return FALSE;
}

struct Esito {
  bool trovata = false;
  DWORD stato = 0;
};

// Starts `riga`, looks for its window with a child reading `cercato` while
// it runs; `trovata` is called once it is found.
template <typename F>
Esito esegui_e_cerca(std::wstring riga, const std::wstring& cercato, F&& trovata) {
  Esito e;
  STARTUPINFOW avvio{};
  avvio.cb = sizeof avvio;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, riga.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &avvio,
                      &pi)) {
    std::fwprintf(stderr, L"finestre: impossibile avviare %ls (%lu)\n", riga.c_str(),
                  GetLastError());
    return e;
  }
  const auto limite = Orologio::now() + std::chrono::seconds(60);
  while (Orologio::now() < limite) {
    if (!e.trovata) {
      Cercata c{pi.dwProcessId, cercato};
      EnumWindows(finestra_con_testo, reinterpret_cast<LPARAM>(&c));
      if (c.trovata != nullptr) {
        e.trovata = true;
        trovata(c.trovata);
      }
    }
    if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) break;
  }
  if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 98);
  WaitForSingleObject(pi.hProcess, INFINITE);
  GetExitCodeProcess(pi.hProcess, &e.stato);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return e;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"--fatale") return fatale();
  if (argc < 2) {
    std::fprintf(stderr, "uso: finestre CALVETRA_EXE | --fatale\n");
    return 2;
  }
  int falliti = 0;

  const Esito attesa =
      esegui_e_cerca(L"\"" + std::wstring(argv[1]) + L"\"", L"Attendere", [](HWND) {});
  std::printf("finestra d'attesa: %s, uscita %lu\n", attesa.trovata ? "trovata" : "non trovata",
              attesa.stato);
  falliti += !attesa.trovata || attesa.stato != 0;

  wchar_t questo[MAX_PATH];
  GetModuleFileNameW(nullptr, questo, MAX_PATH);
  const Esito errore =
      esegui_e_cerca(L"\"" + std::wstring(questo) + L"\" --fatale", L" Errore n. 1250", [](HWND w) {
        // The box waits for its OK, pressed as a click would.
        PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      });
  std::printf("messaggio \" Errore n. 1250\": %s, uscita %lu\n",
              errore.trovata ? "trovato e chiuso con OK" : "non trovato", errore.stato);
  falliti += !errore.trovata || errore.stato != 1;
  return falliti == 0 ? 0 : 1;
}
