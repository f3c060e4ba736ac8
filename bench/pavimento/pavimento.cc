// The floor for a whole run: writes files of the given sizes into a
// directory, each with a single write, and nothing else. Timing it beside
// calvetra shows how much of a run is the cost of its own work.
//
// usage: pavimento DIR SIZE...
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: pavimento DIR SIZE...\n");
    return 2;
  }
  const std::string cartella = argv[1];
  for (int i = 2; i < argc; ++i) {
    const size_t dimensione = std::strtoull(argv[i], nullptr, 10);
    const std::vector<char> dati(dimensione, 'x');
    const std::string nome = cartella + "/pavimento_" + std::to_string(i - 2);
    const int fd = ::open(nome.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, dati.data(), dati.size()) != static_cast<ssize_t>(dati.size()) ||
        ::close(fd) != 0) {
      std::perror(nome.c_str());
      return 1;
    }
  }
  return 0;
}
