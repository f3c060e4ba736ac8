// Text between this project's byte strings and the wide characters of the
// Windows API. Only the Windows files of this floor include it.
#ifndef CALVETRA_PLATFORM_TESTO_WINDOWS_H_
#define CALVETRA_PLATFORM_TESTO_WINDOWS_H_

#include <string>
#include <string_view>

namespace calvetra::windows {

// UTF-8 to UTF-16; bytes that are not UTF-8 become U+FFFD.
std::wstring da_utf8(std::string_view s);
// Windows-1252 to UTF-16, every byte a character.
std::wstring da_1252(std::string_view s);
// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string a_utf8(std::wstring_view s);

// The message of a system error code, in the system's language, as UTF-8.
std::string messaggio_errore(unsigned long codice);
// The same for GetLastError().
std::string ultimo_errore();

}  // namespace calvetra::windows

#endif  // CALVETRA_PLATFORM_TESTO_WINDOWS_H_
