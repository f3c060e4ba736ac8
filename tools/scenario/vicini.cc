#include "vicini.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace calvetra::scenario {

namespace {

// The name without its extension, in lower case, hyphens and blanks left out.
std::string chiave(const std::string& nome) {
  const size_t punto = nome.rfind('.');
  const std::string stelo = punto == std::string::npos ? nome : nome.substr(0, punto);
  std::string k;
  for (char c : stelo) {
    if (c == '-' || c == ' ' || c == '\t') continue;
    k += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return k;
}

// The binary files of a scenario share their stems with the sources.
bool binario(const std::string& nome) {
  const size_t punto = nome.rfind('.');
  if (punto == std::string::npos) return false;
  std::string e = nome.substr(punto + 1);
  for (char& c : e) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return e == "dat" || e == "sim";
}

}  // namespace

std::string nome_vicino(const std::string& cartella, const std::string& nome) {
  const std::string cercata = chiave(nome);
  std::vector<std::string> vicini;
  std::error_code ec;
  for (const auto& voce : std::filesystem::directory_iterator(cartella, ec)) {
    const std::string n = voce.path().filename().string();
    if (n != nome && !binario(n) && chiave(n) == cercata && voce.is_regular_file(ec))
      vicini.push_back(n);
  }
  if (vicini.empty()) return "";
  // The directory's order is the system's: the first in name order is shown.
  return *std::min_element(vicini.begin(), vicini.end());
}

}  // namespace calvetra::scenario
