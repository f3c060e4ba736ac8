// Waits, without polling, for a save of either source of a scenario or for
// the end the user asks (SIGINT, SIGTERM). The directory is watched, not the
// files: an editor that saves by writing a new file and renaming it over the
// old one (Neovim, among others) replaces the file a watch would hold.
#ifndef CALVETRA_TOOLS_SCENARIO_VIVO_SORVEGLIA_H_
#define CALVETRA_TOOLS_SCENARIO_VIVO_SORVEGLIA_H_

#include <signal.h>

#include <string>
#include <vector>

namespace calvetra::scenario::vivo {

class Sorveglianza {
 public:
  // Watches `nomi` in `cartella`; SIGINT and SIGTERM are blocked from here
  // on, in this thread and in those it starts, and read by `attendi`, until
  // the watch ends.
  Sorveglianza() = default;
  ~Sorveglianza();
  Sorveglianza(const Sorveglianza&) = delete;
  Sorveglianza& operator=(const Sorveglianza&) = delete;

  // False with the reason in `errore` when the directory cannot be watched.
  bool apri(const std::string& cartella, std::vector<std::string> nomi, std::string* errore);

  enum class Evento { salvato, fine };
  // Blocks until one of the files changed (a burst of saves comes back as
  // one, once the directory has been quiet for `quiete_ms`) or a signal
  // asks to end.
  Evento attendi(int quiete_ms = 25);

 private:
  // Reads the pending events; true when one names a watched file.
  bool leggi_eventi();

  sigset_t maschera_prima_{};  // restored at the end, with the actions
  struct sigaction azione_prima_[2]{};
  bool maschera_salvata_ = false;
  int inotify_ = -1;
  int segnali_ = -1;
  std::vector<std::string> nomi_;
};

}  // namespace calvetra::scenario::vivo

#endif  // CALVETRA_TOOLS_SCENARIO_VIVO_SORVEGLIA_H_
