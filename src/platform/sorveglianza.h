// Waits, without polling, for a save of either source of a scenario or for
// the end the user asks (Ctrl-C; SIGTERM on POSIX, Ctrl-Break and the
// console's closing on Windows). The directory is watched, not the files: an
// editor that saves by writing a new file and renaming it over the old one
// (Neovim, among others) replaces the file a watch would hold.
//
// A save counts once it is complete: on the close after writing, or on the
// rename that brings the file; a file still open for writing is waited for,
// so a file caught between its truncation and its last write is never
// handed on. The directory's life is followed: when it goes the watch says
// so, and when it is made again the watch takes it up by itself.
//
// One implementation per system: sorveglianza_posix.cc (inotify and
// signalfd), sorveglianza_windows.cc (ReadDirectoryChangesW and the
// console's control handler).
#ifndef CALVETRA_PLATFORM_SORVEGLIANZA_H_
#define CALVETRA_PLATFORM_SORVEGLIANZA_H_

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace calvetra {

class Sorveglianza {
 public:
  Sorveglianza();
  // Restores what `apri` took over (the signals' mask and actions, the
  // console's handler).
  ~Sorveglianza();
  Sorveglianza(const Sorveglianza&) = delete;
  Sorveglianza& operator=(const Sorveglianza&) = delete;

  // Watches `nomi` in `cartella`. From here on the end the user asks is
  // read by `attendi` (on POSIX SIGINT and SIGTERM are blocked, in this
  // thread and in those it starts, until the watch ends). False with the
  // reason in `errore` when the directory cannot be watched.
  bool apri(const std::string& cartella, std::vector<std::string> nomi, std::string* errore);

  enum class Evento {
    salvato,           // a watched file changed (or the directory came back): read them
    cartella_assente,  // the directory is gone; it is waited for
    fine,              // the user asked to end, or termina() was called
  };
  // Blocks until one of the files changed and no writer holds it open (a
  // burst of saves comes back as one, once the directory has been quiet
  // for `quiete_ms`), the directory went, or the end is asked.
  Evento attendi(int quiete_ms = 25);

  // After `salvato`, once the files are read: whether nothing touched them
  // meanwhile. When something did, what was read may be a save caught
  // halfway: it is dropped, and the next `attendi` brings the whole one.
  bool intatta();

  // Makes `attendi` return `fine`, from any thread.
  void termina();

 private:
  struct Stato;
  std::unique_ptr<Stato> s_;
};

// The end the user asks, raised from inside the process as the system raises
// it: SIGTERM to `filo` on POSIX (the thread that opened the watch reads it),
// Ctrl-Break from the console on Windows (to the watch of the process,
// whichever thread it is on). For tests and programs that have no terminal
// to press it in.
void chiedi_fine(std::thread::native_handle_type filo);

}  // namespace calvetra

#endif  // CALVETRA_PLATFORM_SORVEGLIANZA_H_
