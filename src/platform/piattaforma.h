// What the compiler core needs from the process around it: the directory it
// works in, a way to show the waiting notice and to report, and the file system
// of that directory. The real program passes the system's (sistema.h); tests
// pass their own, pointed at a temporary directory or failing on purpose.
#ifndef CALVETRA_PLATFORM_PIATTAFORMA_H_
#define CALVETRA_PLATFORM_PIATTAFORMA_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace calvetra {

class Piattaforma {
 public:
  virtual ~Piattaforma() = default;

  // The directory that holds the program; every file of the run lies there.
  virtual std::string cartella() const = 0;

  // The waiting notice, shown once before the work starts.
  virtual void avviso_attesa(std::string_view testo) = 0;

  // The fatal report (" Errore n. 1250"); the core ends the run after it.
  virtual void rapporto_fatale(std::string_view messaggio) = 0;

  // One diagnostic line for the person who started the run.
  virtual void rapporto(std::string_view riga) = 0;

  // File system primitives. Each returns false and fills `errore` with the
  // reason on failure.
  virtual bool esiste(const std::string& percorso) = 0;
  virtual bool leggi(const std::string& percorso, std::string* contenuto, std::string* errore) = 0;
  virtual bool elimina(const std::string& percorso, std::string* errore) = 0;
  // Creates a new, empty file for writing in the directory of `percorso`,
  // under a name that nothing in the directory has (see `nome_temporaneo`):
  // a file or a link already standing at a name is never opened or followed.
  // Returns a handle >= 0 and the path of the new file in `temporaneo`.
  virtual bool crea_temporaneo(const std::string& percorso, int* handle, std::string* temporaneo,
                               std::string* errore) = 0;
  virtual bool scrivi(int handle, std::string_view dati, std::string* errore) = 0;
  // How many bytes a writer collects before it hands them over (with
  // `scrivi`, or `consegna` for what it appended to a string): a quarter of
  // a megabyte for a real file; the largest size_t for a platform that
  // keeps each file whole, which is then handed over once, by `consegna`.
  virtual size_t blocco_scrittura() const { return size_t{1} << 18; }
  // Writes *dati at the end of the file; *dati may be left in any state
  // (a platform that keeps files as strings takes it whole).
  virtual bool consegna(int handle, std::string* dati, std::string* errore) {
    return scrivi(handle, *dati, errore);
  }
  // Closing flushes; a failing close means the file may be incomplete.
  virtual bool chiudi(int handle, std::string* errore) = 0;
  // Puts `da` in place of whatever stands at `a` (a file or a link, which is
  // replaced, not written through); a directory at `a` is an error.
  virtual bool rinomina(const std::string& da, const std::string& a, std::string* errore) = 0;

  // For outputs replaced as one set (see sostituzione.h).
  // Writes the bytes of the open file `handle` through to the device: a
  // file renamed into place after it is whole even if the machine stops.
  virtual bool sincronizza(int handle, std::string* errore) = 0;
  // Writes the entries of `cartella` (the renames made in it) through to
  // the device, where the system allows it; where it does not, true.
  virtual bool sincronizza_cartella(const std::string& cartella, std::string* errore) = 0;
  // Keeps the file (or link) at `percorso` under a second name beside it
  // that nothing in the directory had (see `nome_temporaneo`), returned in
  // `copia`: the same file by a hard link where the file system has them,
  // else a copy of its bytes. Renaming `copia` over `percorso` puts the old
  // file back after `percorso` was replaced.
  virtual bool conserva(const std::string& percorso, std::string* copia, std::string* errore) = 0;

  // For the tools, which work in directories that the author names.
  // What stands at `percorso`, without following a link: `altro` is a link,
  // a device, a pipe or anything else that is neither file nor directory.
  enum class Genere { assente, file, cartella, altro };
  virtual Genere genere(const std::string& percorso) = 0;
  // Makes the directory `percorso` and any missing directory above it.
  virtual bool crea_cartella(const std::string& percorso, std::string* errore) = 0;
  // The names of the entries of a directory; empty when it cannot be read.
  virtual std::vector<std::string> elenco(const std::string& cartella) = 0;
  // Writes `dati` through whatever stands at `percorso` (a device, a pipe,
  // what a link points to), for a destination that must not be replaced.
  virtual bool scrivi_attraverso(const std::string& percorso, std::string_view dati,
                                 std::string* errore) = 0;
};

// Whether `c` separates the parts of a path on this system: '/' everywhere,
// and '\\' too on Windows.
bool separatore(char c);
// Where the last part of `percorso` starts (0 when it has no separator).
inline size_t inizio_nome(std::string_view percorso) {
  for (size_t i = percorso.size(); i > 0; --i) {
    if (separatore(percorso[i - 1])) return i;
  }
  return 0;
}

// A temporary file beside `percorso`: in its directory, named "." + the file
// name + "." + `suffisso`. The leading dot keeps it out of ordinary listings;
// the rest tells which output it was meant to become.
inline std::string nome_temporaneo(const std::string& percorso, std::string_view suffisso) {
  const size_t inizio = inizio_nome(percorso);
  std::string nome = percorso.substr(0, inizio) + "." + percorso.substr(inizio) + ".";
  nome += suffisso;
  return nome;
}

// `nome` inside `cartella`: the path every file of a run is addressed by.
inline std::string nella_cartella(const std::string& cartella, const std::string& nome) {
  if (cartella.empty()) return nome;
  if (separatore(cartella.back())) return cartella + nome;
  return cartella + "/" + nome;
}

// The directory of the running program; empty when it cannot be found.
std::string cartella_eseguibile();

}  // namespace calvetra

#endif  // CALVETRA_PLATFORM_PIATTAFORMA_H_
