#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/processo.h"

extern char** environ;

namespace calvetra {

std::vector<std::string> argomenti_processo(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

std::optional<std::string> variabile_ambiente(const char* nome) {
  const char* v = std::getenv(nome);
  if (v == nullptr) return std::nullopt;
  return std::string(v);
}

std::string cartella_corrente() {
  std::string s(4096, '\0');
  for (;;) {
    if (::getcwd(s.data(), s.size()) != nullptr) {
      s.resize(std::strlen(s.c_str()));
      return s;
    }
    if (errno != ERANGE || s.size() > (size_t{1} << 20)) return "";
    s.resize(s.size() * 2);
  }
}

// The streams are bytes already, and a terminal takes colour sequences.
bool prepara_flussi_standard() { return ::isatty(STDERR_FILENO) != 0; }

void flussi_binari() {}

bool avvia_programma(const std::vector<std::string>& argomenti, std::string* errore) {
  if (argomenti.empty() || argomenti[0].empty()) {
    *errore = "nessun programma da avviare";
    return false;
  }
  std::vector<char*> argv;
  for (const std::string& a : argomenti) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  // The program reads nothing of ours: its input is /dev/null, so that an
  // editor that would read the terminal does not take the server's.
  posix_spawn_file_actions_t azioni;
  posix_spawn_file_actions_init(&azioni);
  posix_spawn_file_actions_addopen(&azioni, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  const int e = posix_spawnp(&pid, argv[0], &azioni, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&azioni);
  if (e != 0) {
    *errore = argomenti[0] + ": " + std::strerror(e);
    return false;
  }
  // Reaped when it ends, however long the author keeps the editor open.
  std::thread([pid] {
    int stato = 0;
    while (::waitpid(pid, &stato, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace calvetra
