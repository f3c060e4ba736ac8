// The platform on Windows: the waiting window and the message box of the
// window system, and the file system through the wide API.
#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/casuale.h"
#include "platform/console_windows.h"
#include "platform/lettura_intera.h"
#include "platform/percorsi.h"
#include "platform/sistema.h"
#include "platform/testo_windows.h"

namespace calvetra {

namespace {

bool fallito(std::string* errore) {
  *errore = windows::ultimo_errore();
  return false;
}

// Sizes of the waiting window in twips, as the form was laid out: a client
// area of 4200 by 2688 with the label at 960, 960, 2652 wide and 792 high.
constexpr int kLarghezzaTwip = 4200;
constexpr int kAltezzaTwip = 2688;
constexpr int kEtichettaSinistraTwip = 960;
constexpr int kEtichettaAltoTwip = 960;
constexpr int kEtichettaLarghezzaTwip = 2652;
constexpr int kEtichettaAltezzaTwip = 792;
constexpr int kPuntiCarattere = 24;

constexpr wchar_t kClasseAttesa[] = L"calvetra_Form1";
constexpr wchar_t kTitolo[] = L"calvetra";

LRESULT CALLBACK procedura_attesa(HWND w, UINT messaggio, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(w, messaggio, wp, lp);
}

}  // namespace

bool separatore(char c) { return c == '/' || c == '\\'; }

namespace {

// "C:" at `i`: a drive letter and its colon, ending there or before a separator.
bool unita(std::string_view p, size_t i) {
  const auto lettera = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  return p.size() >= i + 2 && lettera(p[i]) && p[i + 1] == ':' &&
         (p.size() == i + 2 || separatore(p[i + 2]));
}

// "\\server\share" at the start: two separators, then a name.
bool condivisione(std::string_view p) {
  return p.size() > 2 && separatore(p[0]) && separatore(p[1]) && !separatore(p[2]);
}

}  // namespace

std::string percorso_da_uri_file(std::string_view server, std::string percorso) {
  if (!server.empty()) return "//" + std::string(server) + percorso;
  if (percorso.size() >= 3 && percorso[0] == '/' && unita(percorso, 1)) percorso.erase(0, 1);
  return percorso;
}

std::string percorso_uri_file(std::string percorso) {
  percorso = percorso_normale(std::move(percorso));
  if (condivisione(percorso)) return percorso.substr(2);
  if (unita(percorso, 0)) percorso.insert(0, 1, '/');
  return percorso;
}

bool percorso_assoluto(std::string_view percorso) {
  // "\\a" is the root of the current drive: an editor's "file:///a" names it.
  return (unita(percorso, 0) && percorso.size() > 2) ||
         (!percorso.empty() && separatore(percorso[0]));
}

std::string percorso_normale(std::string percorso) {
  std::replace(percorso.begin(), percorso.end(), '\\', '/');
  return percorso;
}

bool stesso_percorso(std::string_view a, std::string_view b) {
  const std::wstring x = windows::da_utf8(percorso_normale(std::string(a)));
  const std::wstring y = windows::da_utf8(percorso_normale(std::string(b)));
  return CompareStringOrdinal(x.data(), static_cast<int>(x.size()), y.data(),
                              static_cast<int>(y.size()), TRUE) == CSTR_EQUAL;
}

bool byte_casuali(unsigned char* byte, size_t n, std::string* errore) {
  while (n > 0) {
    const ULONG parte = static_cast<ULONG>(std::min<size_t>(n, 1u << 30));
    const NTSTATUS s = BCryptGenRandom(nullptr, byte, parte, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    if (s < 0) {
      *errore = "nessun byte casuale dal sistema (" + std::to_string(s) + ")";
      return false;
    }
    byte += parte;
    n -= parte;
  }
  return true;
}

struct PiattaformaSistema::Sistema {
  // The open files: a handle of the interface is an index here.
  std::vector<HANDLE> aperti;
  HWND finestra = nullptr;
  HFONT carattere = nullptr;

  ~Sistema() {
    for (HANDLE h : aperti) {
      if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    if (finestra != nullptr) DestroyWindow(finestra);
    if (carattere != nullptr) DeleteObject(carattere);
  }

  int tieni(HANDLE h) {
    for (size_t i = 0; i < aperti.size(); ++i) {
      if (aperti[i] == INVALID_HANDLE_VALUE) {
        aperti[i] = h;
        return static_cast<int>(i);
      }
    }
    aperti.push_back(h);
    return static_cast<int>(aperti.size() - 1);
  }
  HANDLE di(int handle) const {
    if (handle < 0 || static_cast<size_t>(handle) >= aperti.size()) return INVALID_HANDLE_VALUE;
    return aperti[static_cast<size_t>(handle)];
  }
};

PiattaformaSistema::PiattaformaSistema(std::string cartella, NomiFile nomi)
    : cartella_(std::move(cartella)), nomi_(nomi), s_(std::make_unique<Sistema>()) {}

PiattaformaSistema::~PiattaformaSistema() = default;

namespace {

// The wide path of `percorso`: UTF-8, or for calvetra's names Windows-1252
// after the directory, which the system named and is kept as UTF-8.
std::wstring largo(const std::string& percorso, const std::string& cartella, NomiFile nomi) {
  if (nomi == NomiFile::windows_1252) {
    if (!cartella.empty() && percorso.size() > cartella.size() &&
        percorso.compare(0, cartella.size(), cartella) == 0) {
      return windows::da_utf8(std::string_view(percorso).substr(0, cartella.size())) +
             windows::da_1252(std::string_view(percorso).substr(cartella.size()));
    }
    return windows::da_1252(percorso);
  }
  return windows::da_utf8(percorso);
}

}  // namespace

void PiattaformaSistema::avviso_attesa(std::string_view testo) {
  windows::scrivi_console(STD_OUTPUT_HANDLE, std::string(testo) + "\n");
  const HINSTANCE istanza = GetModuleHandleW(nullptr);
  WNDCLASSEXW classe{};
  classe.cbSize = sizeof classe;
  classe.lpfnWndProc = procedura_attesa;
  classe.hInstance = istanza;
  classe.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32514));  // IDC_WAIT
  classe.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  classe.lpszClassName = kClasseAttesa;
  RegisterClassExW(&classe);
  // Twips to the screen's pixels: 1440 twips an inch.
  const HDC schermo = GetDC(nullptr);
  const int dpi_x = schermo != nullptr ? GetDeviceCaps(schermo, LOGPIXELSX) : 96;
  const int dpi_y = schermo != nullptr ? GetDeviceCaps(schermo, LOGPIXELSY) : 96;
  if (schermo != nullptr) ReleaseDC(nullptr, schermo);
  const auto px = [](int twip, int dpi) { return MulDiv(twip, dpi, 1440); };
  const DWORD stile = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT r{0, 0, px(kLarghezzaTwip, dpi_x), px(kAltezzaTwip, dpi_y)};
  AdjustWindowRectEx(&r, stile, FALSE, 0);
  HWND w = CreateWindowExW(0, kClasseAttesa, kTitolo, stile, CW_USEDEFAULT, CW_USEDEFAULT,
                           r.right - r.left, r.bottom - r.top, nullptr, nullptr, istanza, nullptr);
  if (w == nullptr) return;  // no window system: the line above says it
  s_->finestra = w;
  const std::wstring etichetta = windows::da_1252(testo);
  HWND label = CreateWindowExW(0, L"STATIC", etichetta.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT,
                               px(kEtichettaSinistraTwip, dpi_x), px(kEtichettaAltoTwip, dpi_y),
                               px(kEtichettaLarghezzaTwip, dpi_x), px(kEtichettaAltezzaTwip, dpi_y),
                               w, nullptr, istanza, nullptr);
  s_->carattere = CreateFontW(-MulDiv(kPuntiCarattere, dpi_y, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE,
                              FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Microsoft Sans Serif");
  if (label != nullptr && s_->carattere != nullptr) {
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(s_->carattere), FALSE);
  }
  ShowWindow(w, SW_SHOWNORMAL);
  // Painted once, children included; no message is serviced after this.
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void PiattaformaSistema::rapporto_fatale(std::string_view messaggio) {
  windows::scrivi_console(STD_ERROR_HANDLE, std::string(messaggio) + "\n");
  const std::wstring testo = windows::da_1252(messaggio);
  MessageBoxW(s_->finestra, testo.c_str(), kTitolo, MB_OK | MB_SETFOREGROUND);
}

void PiattaformaSistema::rapporto(std::string_view riga) {
  windows::scrivi_console(STD_ERROR_HANDLE, std::string(riga) + "\n");
}

bool PiattaformaSistema::esiste(const std::string& percorso) {
  const DWORD a = GetFileAttributesW(largo(percorso, cartella_, nomi_).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool PiattaformaSistema::leggi(const std::string& percorso, std::string* contenuto,
                               std::string* errore) {
  HANDLE h = CreateFileW(largo(percorso, cartella_, nomi_).c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return fallito(errore);
  LARGE_INTEGER dimensione{};
  const size_t previsto = GetFileSizeEx(h, &dimensione) && dimensione.QuadPart > 0
                              ? static_cast<size_t>(dimensione.QuadPart)
                              : 0;
  const bool letto = leggi_intero(contenuto, previsto, [h](char* dove, size_t quanto) -> int64_t {
    DWORD n = 0;
    const auto chiesti = static_cast<DWORD>(std::min<size_t>(quanto, DWORD{1} << 30));
    if (!ReadFile(h, dove, chiesti, &n, nullptr)) return -1;
    return n;
  });
  if (!letto) {
    fallito(errore);
    CloseHandle(h);
    return false;
  }
  CloseHandle(h);
  return true;
}

bool PiattaformaSistema::elimina(const std::string& percorso, std::string* errore) {
  if (!DeleteFileW(largo(percorso, cartella_, nomi_).c_str())) return fallito(errore);
  return true;
}

bool PiattaformaSistema::crea_temporaneo(const std::string& percorso, int* handle,
                                         std::string* temporaneo, std::string* errore) {
  for (int tentativo = 0; tentativo < kTentativiNome; ++tentativo) {
    std::string suffisso;
    if (!suffisso_casuale(&suffisso, errore)) return false;
    const std::string nome = nome_temporaneo(percorso, suffisso);
    // CREATE_NEW fails on any name that exists; with OPEN_REPARSE_POINT a
    // link or junction there counts as the name itself, never its target.
    HANDLE h =
        CreateFileW(largo(nome, cartella_, nomi_).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      *handle = s_->tieni(h);
      *temporaneo = nome;
      return true;
    }
    const DWORD e = GetLastError();
    if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) {
      *errore = windows::messaggio_errore(e);
      return false;
    }
  }
  *errore = "nessun nome libero per il file temporaneo";
  return false;
}

bool PiattaformaSistema::scrivi(int handle, std::string_view dati, std::string* errore) {
  HANDLE h = s_->di(handle);
  if (h == INVALID_HANDLE_VALUE) {
    *errore = "file non aperto";
    return false;
  }
  while (!dati.empty()) {
    const DWORD parte = static_cast<DWORD>(std::min<size_t>(dati.size(), 1u << 30));
    DWORD scritti = 0;
    if (!WriteFile(h, dati.data(), parte, &scritti, nullptr)) return fallito(errore);
    dati.remove_prefix(scritti);
  }
  return true;
}

bool PiattaformaSistema::chiudi(int handle, std::string* errore) {
  HANDLE h = s_->di(handle);
  if (h == INVALID_HANDLE_VALUE) {
    *errore = "file non aperto";
    return false;
  }
  s_->aperti[static_cast<size_t>(handle)] = INVALID_HANDLE_VALUE;
  if (!CloseHandle(h)) return fallito(errore);
  return true;
}

bool PiattaformaSistema::rinomina(const std::string& da, const std::string& a,
                                  std::string* errore) {
  // The directory entry at `a` is replaced, a link there included (never
  // what it points to); write-through returns once the rename is on disk.
  if (!MoveFileExW(largo(da, cartella_, nomi_).c_str(), largo(a, cartella_, nomi_).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return fallito(errore);
  }
  return true;
}

bool PiattaformaSistema::sincronizza(int handle, std::string* errore) {
  HANDLE h = s_->di(handle);
  if (h == INVALID_HANDLE_VALUE) {
    *errore = "file non aperto";
    return false;
  }
  if (!FlushFileBuffers(h)) return fallito(errore);
  return true;
}

// The renames were made with write-through: nothing of the directory is left
// to write, and Windows offers no handle of a directory to flush.
bool PiattaformaSistema::sincronizza_cartella(const std::string&, std::string*) { return true; }

bool PiattaformaSistema::conserva(const std::string& percorso, std::string* copia,
                                  std::string* errore) {
  for (int tentativo = 0; tentativo < kTentativiNome; ++tentativo) {
    std::string suffisso;
    if (!suffisso_casuale(&suffisso, errore)) return false;
    const std::string nome = nome_temporaneo(percorso, suffisso);
    const std::wstring da = largo(percorso, cartella_, nomi_);
    const std::wstring a = largo(nome, cartella_, nomi_);
    // A second name costs no space where the volume has hard links; else a
    // copy of the bytes, which never overwrites a name that exists.
    if (CreateHardLinkW(a.c_str(), da.c_str(), nullptr) || CopyFileW(da.c_str(), a.c_str(), TRUE)) {
      *copia = nome;
      return true;
    }
    const DWORD e = GetLastError();
    if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) {
      *errore = windows::messaggio_errore(e);
      return false;
    }
  }
  *errore = "nessun nome libero per la copia del file";
  return false;
}

std::string cartella_eseguibile() {
  std::wstring percorso(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n =
        GetModuleFileNameW(nullptr, percorso.data(), static_cast<DWORD>(percorso.size()));
    if (n == 0) return "";
    if (n < percorso.size()) {
      percorso.resize(n);
      break;
    }
    if (percorso.size() >= 32768) return "";
    percorso.resize(percorso.size() * 2);
  }
  const std::string s = windows::a_utf8(percorso);
  const size_t inizio = inizio_nome(s);
  if (inizio == 0) return "";
  // "C:\" keeps its separator: "C:" alone is the drive's current directory.
  if (inizio >= 2 && s[inizio - 2] == ':') return s.substr(0, inizio);
  return s.substr(0, inizio - 1);
}

Piattaforma::Genere PiattaformaSistema::genere(const std::string& percorso) {
  const DWORD a = GetFileAttributesW(largo(percorso, cartella_, nomi_).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return Genere::assente;
  const bool cartella = (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if ((a & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    // "DIR/." names what a link to a directory leads to, as on POSIX.
    const bool punto =
        percorso.size() >= 2 && percorso.back() == '.' && separatore(percorso[percorso.size() - 2]);
    return cartella && punto ? Genere::cartella : Genere::altro;
  }
  if (cartella) return Genere::cartella;
  if ((a & FILE_ATTRIBUTE_DEVICE) != 0) return Genere::altro;
  return Genere::file;
}

bool PiattaformaSistema::crea_cartella(const std::string& percorso, std::string* errore) {
  // Each directory from the top down; one that is there already is fine
  // (and so is a drive or a share, which cannot be made).
  for (size_t fine = 1; fine <= percorso.size(); ++fine) {
    if (fine < percorso.size() && !separatore(percorso[fine])) continue;
    const std::string parte = percorso.substr(0, fine);
    const std::wstring w = largo(parte, cartella_, nomi_);
    const DWORD a = GetFileAttributesW(w.c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    if (!CreateDirectoryW(w.c_str(), nullptr)) {
      const DWORD e = GetLastError();
      if (e == ERROR_ALREADY_EXISTS || fine < percorso.size()) continue;
      *errore = parte + ": " + windows::messaggio_errore(e);
      return false;
    }
  }
  const DWORD a = GetFileAttributesW(largo(percorso, cartella_, nomi_).c_str());
  if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    *errore = percorso + ": non e' una cartella";
    return false;
  }
  return true;
}

std::vector<std::string> PiattaformaSistema::elenco(const std::string& cartella) {
  std::vector<std::string> nomi;
  WIN32_FIND_DATAW dati;
  const std::wstring modello = largo(nella_cartella(cartella, "*"), cartella_, nomi_);
  HANDLE h =
      FindFirstFileExW(modello.c_str(), FindExInfoBasic, &dati, FindExSearchNameMatch, nullptr, 0);
  if (h == INVALID_HANDLE_VALUE) return nomi;
  do {
    const std::wstring nome = dati.cFileName;
    if (nome != L"." && nome != L"..") nomi.push_back(windows::a_utf8(nome));
  } while (FindNextFileW(h, &dati));
  FindClose(h);
  return nomi;
}

bool PiattaformaSistema::scrivi_attraverso(const std::string& percorso, std::string_view dati,
                                           std::string* errore) {
  HANDLE h = CreateFileW(largo(percorso, cartella_, nomi_).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return fallito(errore);
  // A file is emptied first; a device (NUL, CON) has nothing to empty.
  if (GetFileType(h) == FILE_TYPE_DISK && !SetEndOfFile(h)) {
    fallito(errore);
    CloseHandle(h);
    return false;
  }
  const int k = s_->tieni(h);
  const bool scritto = scrivi(k, dati, errore);
  std::string chiusura;
  const bool chiuso = chiudi(k, &chiusura);
  if (scritto && !chiuso) *errore = chiusura;
  return scritto && chiuso;
}

}  // namespace calvetra
