// Paths as this system spells and compares them, and as file: URIs name
// them. One implementation per system, in piattaforma_posix.cc and
// piattaforma_windows.cc.
#ifndef CALVETRA_PLATFORM_PERCORSI_H_
#define CALVETRA_PLATFORM_PERCORSI_H_

#include <string>
#include <string_view>

#include "platform/piattaforma.h"

namespace calvetra {

// The path of a file: URI, once unescaped, as a path of this system: itself
// on POSIX; on Windows a drive's "/C:/a/b" (or "/c:/a/b", as editors send
// it) is "C:/a/b". A URI that names a `server` ("file://server/a/b") is a
// share on Windows ("//server/a/b") and names no file ("") on POSIX.
std::string percorso_da_uri_file(std::string_view server, std::string percorso);
// The other way: what follows "file://" in the URI of an absolute path of
// this system, not yet escaped (on Windows "C:\a\b" is "/C:/a/b", and the
// share "\\server\a" is "server/a").
std::string percorso_uri_file(std::string percorso);

// Whether `percorso` is absolute on this system: from the root on POSIX
// ("/a"); on Windows from a drive's root ("C:\a", "C:/a"), a share's
// ("\\server\share", "//server/share") or the current drive's ("\a", "/a").
bool percorso_assoluto(std::string_view percorso);
// A path spelt as this system's paths are compared here: as written on
// POSIX; on Windows with '/' for every '\'.
std::string percorso_normale(std::string percorso);
// Whether two paths name the same file by their spelling: byte for byte on
// POSIX; on Windows whatever their separators and the case of their letters,
// as its file systems compare names.
bool stesso_percorso(std::string_view a, std::string_view b);
// Whether `percorso` lies inside the directory `cartella`, spelt as
// stesso_percorso compares.
inline bool nella_cartella_di(std::string_view percorso, std::string_view cartella) {
  if (cartella.empty() || percorso.size() <= cartella.size()) return false;
  return stesso_percorso(percorso.substr(0, cartella.size()), cartella) &&
         (separatore(cartella.back()) || separatore(percorso[cartella.size()]));
}

}  // namespace calvetra

#endif  // CALVETRA_PLATFORM_PERCORSI_H_
