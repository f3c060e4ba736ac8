// The floor for a compile: writes the same bytes as the files given, the way
// a streaming writer that replaces them safely would, and computes nothing.
// Each file goes to a fresh temporary file beside its place through one
// buffer of 256 KB, reused; the files after --insieme are one set, each
// synced before the first is renamed over the old one (kept aside by a hard
// link until the set is whole), then the directory is synced. That is every
// file operation `scenario compile` and `calvetra` make for their outputs.
//
// The bytes are read from the files given before the work starts; the
// microseconds spent reading them are printed on stdout, so that a script
// timing the whole process can take them off.
//
// usage: pavimento_flusso DIR FILE... [--insieme FILE...]
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr size_t kBlocco = size_t{1} << 18;

struct File {
  std::string nome;
  std::string dati;
  bool insieme = false;
  std::string temporaneo;
  std::string vecchio;
};

[[noreturn]] void fallisci(const std::string& cosa) {
  std::perror(cosa.c_str());
  std::exit(1);
}

std::string nome_di(const std::string& percorso) {
  const size_t barra = percorso.rfind('/');
  return barra == std::string::npos ? percorso : percorso.substr(barra + 1);
}

// Writes f's bytes into a new temporary file through the one buffer.
void scrivi(const std::string& cartella, File* f, char* buffer) {
  f->temporaneo = cartella + "/." + f->nome + ".nuovo";
  ::unlink(f->temporaneo.c_str());
  const int fd = ::open(f->temporaneo.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) fallisci(f->temporaneo);
  for (size_t da = 0; da < f->dati.size(); da += kBlocco) {
    const size_t n = std::min(kBlocco, f->dati.size() - da);
    std::memcpy(buffer, f->dati.data() + da, n);
    if (::write(fd, buffer, n) != static_cast<ssize_t>(n)) fallisci(f->temporaneo);
  }
  if (f->insieme && ::fsync(fd) != 0) fallisci(f->temporaneo);
  if (::close(fd) != 0) fallisci(f->temporaneo);
}

void al_suo_posto(const std::string& cartella, File* f) {
  const std::string percorso = cartella + "/" + f->nome;
  if (f->insieme) {
    f->vecchio = cartella + "/." + f->nome + ".vecchio";
    ::unlink(f->vecchio.c_str());
    if (::link(percorso.c_str(), f->vecchio.c_str()) != 0) f->vecchio.clear();
  }
  if (std::rename(f->temporaneo.c_str(), percorso.c_str()) != 0) fallisci(percorso);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: pavimento_flusso DIR FILE... [--insieme FILE...]\n");
    return 2;
  }
  const auto inizio = std::chrono::steady_clock::now();
  const std::string cartella = argv[1];
  std::vector<File> file;
  bool insieme = false;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--insieme") == 0) {
      insieme = true;
      continue;
    }
    std::ifstream in(argv[i], std::ios::binary);
    if (!in) fallisci(argv[i]);
    File f;
    f.nome = nome_di(argv[i]);
    f.dati.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    f.insieme = insieme;
    file.push_back(std::move(f));
  }
  const auto letti = std::chrono::steady_clock::now();

  std::vector<char> buffer(kBlocco);
  for (File& f : file) {
    if (!f.insieme) {
      scrivi(cartella, &f, buffer.data());
      al_suo_posto(cartella, &f);
    }
  }
  for (File& f : file) {
    if (f.insieme) scrivi(cartella, &f, buffer.data());
  }
  bool un_insieme = false;
  for (File& f : file) {
    if (f.insieme) {
      al_suo_posto(cartella, &f);
      un_insieme = true;
    }
  }
  if (un_insieme) {
    const int fd = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0 || ::close(fd) != 0) fallisci(cartella);
    for (const File& f : file) {
      if (!f.vecchio.empty()) ::unlink(f.vecchio.c_str());
    }
  }
  std::printf("%lld\n",
              static_cast<long long>(
                  std::chrono::duration_cast<std::chrono::microseconds>(letti - inizio).count()));
  return 0;
}
