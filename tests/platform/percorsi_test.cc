// How paths are read and compared on the system the tests run on: which are
// absolute, which two name the same file, which lie inside a directory. On
// Windows a drive's, a share's and the current drive's root paths are absolute, and separators and
// the letters' case do not tell two paths apart; on POSIX every byte counts.
#include "platform/percorsi.h"

#include <gtest/gtest.h>

namespace calvetra {
namespace {

TEST(Percorsi, AbsolutePathsOfThisSystem) {
  struct Caso {
    const char* percorso;
    bool assoluto;
  };
#ifdef _WIN32
  const Caso casi[] = {
      {"C:\\Utenti\\anna", true},
      {"c:/utenti", true},
      {"Z:\\", true},
      {"\\\\server\\share", true},
      {"//server/share", true},
      // The root of the current drive, as an editor's "file:///rotta" names it.
      {"\\rotta", true},
      {"/rotta", true},
      // Relative to a drive's own current directory, or to the current one.
      {"C:", false},
      {"C:rotta", false},
      {"rotta\\linea", false},
      {"", false},
  };
#else
  const Caso casi[] = {
      {"/home/anna", true},   {"/", true}, {"//server/share", true}, {"C:\\Utenti\\anna", false},
      {"rotta/linea", false}, {"", false},
  };
#endif
  for (const Caso& c : casi) EXPECT_EQ(percorso_assoluto(c.percorso), c.assoluto) << c.percorso;
}

TEST(Percorsi, TheSameFileByItsSpellingAndTheFilesOfADirectory) {
  struct Caso {
    const char* a;
    const char* b;
    bool stesso;
  };
#ifdef _WIN32
  const Caso casi[] = {
      {"C:\\Utenti\\Anna\\Calvetra_linea.txt", "c:/utenti/anna/calvetra_LINEA.txt", true},
      {"\\\\Server\\Rotte\\x", "//server/rotte/X", true},
      // Beyond ASCII too, as NTFS compares names.
      {"C:/Citt\xC3\xA0", "C:/CITT\xC3\x80", true},
      {"C:/a/b", "C:/a/bb", false},
      {"C:/a", "D:/a", false},
  };
#else
  const Caso casi[] = {
      {"/home/anna/Calvetra_linea.txt", "/home/anna/Calvetra_linea.txt", true},
      {"/home/Anna", "/home/anna", false},
      {"/a/b", "/a\\b", false},
  };
#endif
  for (const Caso& c : casi) {
    EXPECT_EQ(stesso_percorso(c.a, c.b), c.stesso) << c.a << " | " << c.b;
  }

  struct Dentro {
    const char* percorso;
    const char* cartella;
    bool dentro;
  };
#ifdef _WIN32
  const Dentro dentro[] = {
      {"c:/rotte/calvetra/Calvetra_linea.txt", "C:\\Rotte", true},
      {"C:/Rotte", "C:/Rotte", false},
      {"C:/Rotte2/x", "C:/Rotte", false},
      {"C:/x", "C:/", true},
  };
#else
  const Dentro dentro[] = {
      {"/rotte/calvetra/Calvetra_linea.txt", "/rotte", true},
      {"/Rotte/x", "/rotte", false},
      {"/rotte", "/rotte", false},
      {"/rotte2/x", "/rotte", false},
      {"/x", "/", true},
  };
#endif
  for (const Dentro& d : dentro) {
    EXPECT_EQ(nella_cartella_di(d.percorso, d.cartella), d.dentro)
        << d.percorso << " in " << d.cartella;
  }
}

}  // namespace
}  // namespace calvetra
