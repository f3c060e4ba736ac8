// The run: the thin front that carries out the system's sequence. It writes
// the sources and documents, has them compiled, deletes the sources the
// parser is done with, writes the binary files and turns the outcome into
// reports and an exit status.
//
// It never touches the process itself: files, the waiting notice and the
// reports go through the Piattaforma it is given.
#ifndef CALVETRA_RUN_FORM1_H_
#define CALVETRA_RUN_FORM1_H_

#include <cstdint>
#include <optional>
#include <string>

#include "compile/compilazione.h"
#include "content/righe.h"
#include "model/costanti.h"
#include "platform/piattaforma.h"

namespace calvetra {

class Form1 {
 public:
  explicit Form1(Piattaforma* piattaforma, NomiScenario nomi = {});

  // The whole run; returns the exit status.
  int Form_Load();
  // The compile driver over the sources in the directory; j non-zero builds
  // and writes the geometry. Returns the exit status: files written (0 or 3)
  // or a fatal end (1).
  int memorizza_percorso(int32_t j);

  // What the last memorizza_percorso compiled; empty before it.
  const std::optional<Compilazione>& compilazione() const { return compilazione_; }
  const NomiScenario& nomi() const { return nomi_; }

 private:
  // Full path of a file of the program directory.
  std::string percorso(const std::string& nome_file) const;
  // The text-emission sequence: the line list into the named file. False
  // (with the reason reported) when it cannot be written.
  bool emetti_righe(const std::string& nome_file, const Righe& righe);
  // What the run finds of a source in the directory.
  Sorgente leggi_sorgente(const std::string& nome_file, std::string* testo);
  // Deletes a source the parser is done with; a failure is reported and the
  // run goes on.
  void elimina_sorgente(const std::string& nome_file);
  // The fatal report " Errore n. " + a; the run then ends with status 1.
  int errore(const std::string& a);

  Piattaforma* piattaforma_;
  NomiScenario nomi_;
  std::optional<Compilazione> compilazione_;
};

}  // namespace calvetra

#endif  // CALVETRA_RUN_FORM1_H_
