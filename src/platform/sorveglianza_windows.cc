#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <set>

#include "platform/sorveglianza.h"
#include "platform/testo_windows.h"

namespace calvetra {

namespace {

using Orologio = std::chrono::steady_clock;

// A save that never stops being followed by another still shows within
// this long of the first.
constexpr auto kAttesaMassima = std::chrono::milliseconds(150);
// A file held open for writing is read after this long anyway.
constexpr auto kScritturaMassima = std::chrono::seconds(2);
// Windows tells a write, not a close: a file written is tried this often
// until no writer holds it open.
constexpr DWORD kProvaScrittoreMs = 20;
// A read cancelled on closing ends at once on Windows; one that does not end
// within this long is left to itself, with the memory it writes into.
constexpr DWORD kFineLetturaMs = 5000;

constexpr DWORD kCambiFile = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE |
                             FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_ATTRIBUTES |
                             FILE_NOTIFY_CHANGE_SECURITY | FILE_NOTIFY_CHANGE_CREATION;

// The event the console's control handler sets: one watch at a time.
std::atomic<HANDLE> g_fine{nullptr};

BOOL WINAPI controllo_console(DWORD tipo) {
  if (tipo != CTRL_C_EVENT && tipo != CTRL_BREAK_EVENT && tipo != CTRL_CLOSE_EVENT) return FALSE;
  const HANDLE e = g_fine.load();
  if (e == nullptr) return FALSE;
  SetEvent(e);
  // The console's closing ends the process when the handler returns: time
  // for the server to end as it would on Ctrl-C.
  if (tipo == CTRL_CLOSE_EVENT) Sleep(2000);
  return TRUE;
}

bool stessi(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// What a pending read writes into, until it ends.
struct Richiesta {
  OVERLAPPED ov{};
  alignas(DWORD) unsigned char buffer[32768];
};

// One directory read asynchronously for changes.
struct Lettura {
  HANDLE cartella = INVALID_HANDLE_VALUE;
  HANDLE evento = nullptr;
  std::unique_ptr<Richiesta> r = std::make_unique<Richiesta>();
  bool in_corso = false;
  std::wstring percorso;
  DWORD filtro = 0;

  ~Lettura() { chiudi(); }
  bool apri(const std::wstring& p) {
    chiudi();
    percorso = p;
    cartella =
        CreateFileW(percorso.c_str(), FILE_LIST_DIRECTORY,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    return cartella != INVALID_HANDLE_VALUE;
  }
  bool aperta() const { return cartella != INVALID_HANDLE_VALUE; }
  void chiudi() {
    if (cartella != INVALID_HANDLE_VALUE) {
      // Never a wait without end: a read that outlives its cancelling
      // keeps its memory (and its event) after the handle is closed.
      bool finita = true;
      if (in_corso) {
        CancelIoEx(cartella, &r->ov);
        finita = WaitForSingleObject(evento, kFineLetturaMs) == WAIT_OBJECT_0;
      }
      CloseHandle(cartella);
      if (!finita) abbandona();
    }
    cartella = INVALID_HANDLE_VALUE;
    in_corso = false;
  }
  void abbandona() {
    static_cast<void>(r.release());
    r = std::make_unique<Richiesta>();
    evento = nullptr;
  }
  bool arma(DWORD f) {
    if (!aperta() || in_corso) return aperta();
    filtro = f;
    if (evento == nullptr) evento = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ResetEvent(evento);
    r->ov = OVERLAPPED{};
    r->ov.hEvent = evento;
    in_corso = ReadDirectoryChangesW(cartella, r->buffer, sizeof r->buffer, FALSE, filtro, nullptr,
                                     &r->ov, nullptr) != 0;
    return in_corso;
  }
  enum class Esito {
    letta,    // the changes were handed on
    riletta,  // nothing read: asked again, its changes come with the new read
    perduta,  // the directory can no longer be read (gone, or going)
  };
  // The changes read, each with its action and name.
  template <typename F>
  Esito raccogli(F&& per_ognuno, bool* perse) {
    DWORD n = 0;
    in_corso = false;
    *perse = false;
    if (!GetOverlappedResult(cartella, &r->ov, &n, FALSE)) {
      // A read ends with the thread that started it (a watch waited on by
      // one thread, then another): the changes since stay with the handle,
      // for a read asked again, unless the directory has gone meanwhile.
      const bool annullata = GetLastError() == ERROR_OPERATION_ABORTED;
      const DWORD a = GetFileAttributesW(percorso.c_str());
      const bool c_e = a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
      return annullata && c_e && arma(filtro) ? Esito::riletta : Esito::perduta;
    }
    // Too many changes for the buffer: they are lost, not the directory.
    *perse = n == 0;
    for (DWORD i = 0; n > 0 && i < n;) {
      FILE_NOTIFY_INFORMATION info;
      std::memcpy(&info, r->buffer + i, offsetof(FILE_NOTIFY_INFORMATION, FileName));
      std::wstring nome(info.FileNameLength / sizeof(wchar_t), L'\0');
      std::memcpy(nome.data(), r->buffer + i + offsetof(FILE_NOTIFY_INFORMATION, FileName),
                  info.FileNameLength);
      per_ognuno(info.Action, nome);
      if (info.NextEntryOffset == 0) break;
      i += info.NextEntryOffset;
    }
    return Esito::letta;
  }
  // Asked again: whether the new read has its changes already.
  bool pronta() const { return in_corso && WaitForSingleObject(evento, 0) == WAIT_OBJECT_0; }
};

}  // namespace

struct Sorveglianza::Stato {
  HANDLE fine = nullptr;
  bool gestore = false;
  Lettura cartella;
  Lettura sopra;
  std::wstring percorso;
  std::wstring percorso_sopra;
  std::wstring nome_cartella;
  std::vector<std::wstring> nomi;

  bool cambiato = false;
  Orologio::time_point primo;
  std::set<std::wstring> scritti;  // written since the last read: maybe still open
  Orologio::time_point ultima_scrittura;
  bool scrittore_atteso = false;  // this save waited for a writer to close
  // Since when the news of a writer's last writes, which come after its
  // close, are waited for.
  std::optional<Orologio::time_point> assesta_da;
  bool toccata = false;
  bool assente = false;
  bool assenza_detta = false;

  ~Stato() {
    if (gestore) {
      SetConsoleCtrlHandler(controllo_console, FALSE);
      g_fine.store(nullptr);
    }
    if (fine != nullptr) CloseHandle(fine);
    for (Lettura* l : {&cartella, &sopra}) {
      l->chiudi();
      if (l->evento != nullptr) CloseHandle(l->evento);
    }
  }

  const std::wstring* nostro(const std::wstring& nome) const {
    for (const std::wstring& n : nomi) {
      if (stessi(n, nome)) return &n;
    }
    return nullptr;
  }

  void segna_cambio() {
    if (!cambiato) primo = Orologio::now();
    cambiato = true;
    toccata = true;
  }

  bool riprendi() {
    if (!cartella.apri(percorso)) return false;
    assente = false;
    assenza_detta = false;
    segna_cambio();
    return true;
  }

  void persa() {
    cartella.chiudi();
    scritti.clear();
    if (!riprendi()) assente = true;
  }

  // Whether another still holds `nome` open for writing: it then refuses a
  // reader that would not share the writing.
  bool aperto_in_scrittura(const std::wstring& nome) const {
    const std::wstring p = percorso + L"\\" + nome;
    HANDLE h = CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
  }
  bool scrittori() const {
    return std::any_of(scritti.begin(), scritti.end(),
                       [this](const std::wstring& n) { return aperto_in_scrittura(n); });
  }

  void leggi_cartella() {
    bool perse = false;
    const Lettura::Esito esito = cartella.raccogli(
        [this](DWORD azione, const std::wstring& nome) {
          const std::wstring* n = nostro(nome);
          if (n == nullptr) return;
          if (azione == FILE_ACTION_ADDED || azione == FILE_ACTION_MODIFIED ||
              azione == FILE_ACTION_RENAMED_NEW_NAME) {
            scritti.insert(*n);
            ultima_scrittura = Orologio::now();
          }
          segna_cambio();
        },
        &perse);
    if (esito == Lettura::Esito::perduta) {
      persa();
    } else if (perse) {
      segna_cambio();
    } else if (esito == Lettura::Esito::riletta && cartella.pronta()) {
      leggi_cartella();
    }
  }

  void leggi_sopra() {
    bool perse = false;
    const Lettura::Esito esito = sopra.raccogli(
        [this](DWORD azione, const std::wstring& nome) {
          if (!stessi(nome, nome_cartella)) return;
          if (azione == FILE_ACTION_REMOVED || azione == FILE_ACTION_RENAMED_OLD_NAME) {
            persa();
          } else if (assente) {
            riprendi();
          }
        },
        &perse);
    if (esito == Lettura::Esito::perduta) {
      // Read again from a new handle: the directory above is still there.
      sopra.apri(percorso_sopra);
    } else if (perse && assente) {
      riprendi();
    } else if (esito == Lettura::Esito::riletta && sopra.pronta()) {
      leggi_sopra();
    }
  }

  void ritira_segnale() {
    if (fine != nullptr) ResetEvent(fine);
  }
};

Sorveglianza::Sorveglianza() : s_(std::make_unique<Stato>()) {}

Sorveglianza::~Sorveglianza() = default;

bool Sorveglianza::apri(const std::string& cartella, std::vector<std::string> nomi,
                        std::string* errore) {
  Stato& s = *s_;
  s.percorso = windows::da_utf8(cartella);
  while (s.percorso.size() > 1 && (s.percorso.back() == L'/' || s.percorso.back() == L'\\')) {
    s.percorso.pop_back();
  }
  for (const std::string& n : nomi) s.nomi.push_back(windows::da_utf8(n));
  const size_t barra = s.percorso.find_last_of(L"/\\");
  std::wstring sopra = barra == std::wstring::npos ? L"." : s.percorso.substr(0, barra + 1);
  s.nome_cartella = barra == std::wstring::npos ? s.percorso : s.percorso.substr(barra + 1);
  s.fine = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (s.fine == nullptr) {
    *errore = "sorveglianza non disponibile: " + windows::ultimo_errore();
    return false;
  }
  HANDLE nessuno = nullptr;
  if (g_fine.compare_exchange_strong(nessuno, s.fine)) {
    s.gestore = SetConsoleCtrlHandler(controllo_console, TRUE) != 0;
    if (!s.gestore) g_fine.store(nullptr);
  }
  if (!s.cartella.apri(s.percorso) || !s.cartella.arma(kCambiFile)) {
    *errore = cartella + ": non si puo' sorvegliare: " + windows::ultimo_errore();
    return false;
  }
  // Without it the directory made again is not seen; everything else works.
  s.percorso_sopra = sopra;
  if (s.sopra.apri(sopra)) s.sopra.arma(FILE_NOTIFY_CHANGE_DIR_NAME);
  return true;
}

Sorveglianza::Evento Sorveglianza::attendi(int quiete_ms) {
  Stato& s = *s_;
  for (;;) {
    if (s.assente && !s.assenza_detta) {
      s.assenza_detta = true;
      s.cambiato = false;
      s.scrittore_atteso = false;
      s.assesta_da.reset();
      return Evento::cartella_assente;
    }
    s.cartella.arma(kCambiFile);
    s.sopra.arma(FILE_NOTIFY_CHANGE_DIR_NAME);
    DWORD attesa = INFINITE;
    const auto adesso = Orologio::now();
    if (s.cambiato) {
      // Settling, every change starts the quiet time again, up to a limit.
      const auto resta = s.assesta_da ? *s.assesta_da + kAttesaMassima - adesso
                                      : s.primo + kAttesaMassima - adesso;
      attesa = static_cast<DWORD>(std::clamp<int64_t>(
          std::chrono::duration_cast<std::chrono::milliseconds>(resta).count(), 0, quiete_ms));
      if (s.assesta_da && resta.count() > 0) attesa = static_cast<DWORD>(quiete_ms);
    }
    HANDLE attese[3] = {s.fine, nullptr, nullptr};
    DWORD quante = 1;
    if (s.cartella.in_corso) attese[quante++] = s.cartella.evento;
    if (s.sopra.in_corso) attese[quante++] = s.sopra.evento;
    const DWORD r = WaitForMultipleObjects(quante, attese, FALSE, attesa);
    if (r == WAIT_OBJECT_0) {
      s.ritira_segnale();
      return Evento::fine;
    }
    if (r == WAIT_TIMEOUT) {
      if (!s.cambiato) continue;
      // A file still open for writing is waited for, up to a limit.
      if (Orologio::now() - s.ultima_scrittura < kScritturaMassima && s.scrittori()) {
        s.scrittore_atteso = true;
        if (WaitForSingleObject(s.fine, kProvaScrittoreMs) == WAIT_OBJECT_0) {
          s.ritira_segnale();
          return Evento::fine;
        }
        continue;
      }
      // Windows tells a writer's last writes after it has closed the file,
      // often after we have seen it closed: they are part of this save, not
      // a touch of what is about to be read. A quiet time is waited for them.
      if (s.scrittore_atteso && !s.assesta_da) {
        s.assesta_da = Orologio::now();
        continue;
      }
      s.scrittore_atteso = false;
      s.assesta_da.reset();
      s.cambiato = false;
      s.scritti.clear();
      s.toccata = false;
      return Evento::salvato;
    }
    if (r == WAIT_FAILED) return Evento::fine;
    const HANDLE pronto = attese[r - WAIT_OBJECT_0];
    if (pronto == s.cartella.evento) s.leggi_cartella();
    if (pronto == s.sopra.evento) s.leggi_sopra();
  }
}

bool Sorveglianza::intatta() {
  Stato& s = *s_;
  for (Lettura* l : {&s.cartella, &s.sopra}) {
    if (l->pronta()) {
      if (l == &s.cartella) {
        s.leggi_cartella();
      } else {
        s.leggi_sopra();
      }
    }
  }
  return !s.toccata;
}

void Sorveglianza::termina() {
  if (s_->fine != nullptr) SetEvent(s_->fine);
}

void chiedi_fine(std::thread::native_handle_type) { controllo_console(CTRL_BREAK_EVENT); }

}  // namespace calvetra
