#include "platform/testo_windows.h"

#include <windows.h>

namespace calvetra::windows {

std::wstring da_utf8(std::string_view s) {
  if (s.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::wstring da_1252(std::string_view s) {
  if (s.empty()) return {};
  const int n = MultiByteToWideChar(1252, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(1252, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string a_utf8(std::wstring_view s) {
  if (s.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string u(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), u.data(), n, nullptr,
                      nullptr);
  return u;
}

std::string messaggio_errore(unsigned long codice) {
  wchar_t* testo = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, codice, 0, reinterpret_cast<wchar_t*>(&testo), 0, nullptr);
  std::wstring w = n > 0 && testo != nullptr ? std::wstring(testo, n) : std::wstring();
  if (testo != nullptr) LocalFree(testo);
  while (!w.empty() && (w.back() == L'\n' || w.back() == L'\r' || w.back() == L'.')) w.pop_back();
  if (w.empty()) return "errore di sistema " + std::to_string(codice);
  return a_utf8(w);
}

std::string ultimo_errore() { return messaggio_errore(GetLastError()); }

}  // namespace calvetra::windows
