// Runs a fuzz target over the files of its seed corpus (files or directories
// named on the command line), for builds without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione);

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> file;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path p(argv[i]);
    if (std::filesystem::is_directory(p)) {
      for (const auto& e : std::filesystem::directory_iterator(p)) {
        if (e.is_regular_file()) file.push_back(e.path());
      }
    } else {
      file.push_back(p);
    }
  }
  for (const auto& p : file) {
    std::ifstream in(p, std::ios::binary);
    const std::string dati((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(dati.data()), dati.size());
  }
  std::printf("%zu inputs replayed\n", file.size());
  return file.empty() ? 1 : 0;
}
