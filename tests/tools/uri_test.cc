// The file: URIs an editor sends, to the system's paths and back: on Windows
// a drive letter, written plain or escaped and in either case as VS Code
// sends it ("file:///c%3A/..."), names the drive's path, a server's name
// its share, and a path given back becomes a URI the editor matches with its
// own.
#include <gtest/gtest.h>

#include <string>

#include "scenario/lsp/documenti.h"

namespace calvetra {
namespace {

using scenario::lsp::percorso_da_uri;
using scenario::lsp::uri_da_percorso;

struct Caso {
  const char* uri;
  const char* percorso;  // "" where the URI names no file
};

TEST(UriFile, EachUriNamesThePathOfThisSystem) {
#ifdef _WIN32
  const Caso casi[] = {
      {"file:///C:/Utenti/anna/Calvetra_linea.txt", "C:/Utenti/anna/Calvetra_linea.txt"},
      {"file:///c%3A/Utenti/anna%20b/Calvetra_linea.txt", "c:/Utenti/anna b/Calvetra_linea.txt"},
      {"file:///z%3a/tmp/x", "z:/tmp/x"},
      {"file:///D:", "D:"},
      {"file://localhost/C:/a", "C:/a"},
      // A server's share.
      {"file://server/share/anna%20b/x.txt", "//server/share/anna b/x.txt"},
      // Not a drive: a letter and a colon inside a name, or a longer name.
      {"file:///CD:/a", "/CD:/a"},
      {"file:///a/C:", "/a/C:"},
      {"http://C:/a", ""},
  };
#else
  const Caso casi[] = {
      {"file:///home/anna/Calvetra_linea.txt", "/home/anna/Calvetra_linea.txt"},
      {"file:///a/b%20c.txt", "/a/b c.txt"},
      {"file://localhost/a", "/a"},
      // Another machine's file is none of this one's.
      {"file://server/share/a", ""},
      // A drive letter means nothing here: the path is as written.
      {"file:///C:/a", "/C:/a"},
      {"file:///c%3A/a", "/c:/a"},
      {"http://C:/a", ""},
  };
#endif
  for (const Caso& c : casi) {
    EXPECT_EQ(percorso_da_uri(c.uri), c.percorso) << c.uri;
  }
}

TEST(UriFile, APathGoesToItsUriAndComesBack) {
#ifdef _WIN32
  EXPECT_EQ(uri_da_percorso("C:\\Utenti\\anna b\\Calvetra_linea.txt"),
            "file:///C%3A/Utenti/anna%20b/Calvetra_linea.txt");
  EXPECT_EQ(uri_da_percorso("c:/a"), "file:///c%3A/a");
  EXPECT_EQ(uri_da_percorso("\\\\server\\share\\anna b"), "file://server/share/anna%20b");
  const char* percorsi[] = {"C:/Utenti/anna b/Calvetra_linea.txt", "c:/a/Citt\xC3\xA0", "Z:/",
                            "//server/share/a"};
#else
  EXPECT_EQ(uri_da_percorso("/home/anna b/Calvetra_linea.txt"),
            "file:///home/anna%20b/Calvetra_linea.txt");
  const char* percorsi[] = {"/home/anna b/Calvetra_linea.txt", "/a/Citt\xC3\xA0", "/C:/a"};
#endif
  for (const char* p : percorsi) {
    EXPECT_EQ(percorso_da_uri(uri_da_percorso(p)), p) << uri_da_percorso(p);
  }
}

}  // namespace
}  // namespace calvetra
