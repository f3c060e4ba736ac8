#include "scenario/comune/comando.h"

namespace calvetra::scenario {

std::optional<std::vector<std::string>> parole_comando(std::string_view modello,
                                                       std::string* motivo) {
  std::vector<std::string> parole;
  std::string parola;
  bool in_parola = false;
  char virgolette = '\0';
  for (const char c : modello) {
    if (virgolette != '\0') {
      if (c == virgolette) {
        virgolette = '\0';
      } else {
        parola += c;
      }
    } else if (c == '"' || c == '\'') {
      virgolette = c;
      in_parola = true;
    } else if (c == ' ' || c == '\t') {
      if (in_parola) parole.push_back(std::move(parola));
      parola.clear();
      in_parola = false;
    } else {
      parola += c;
      in_parola = true;
    }
  }
  if (virgolette != '\0') {
    *motivo = std::string("virgolette ") + virgolette + " non chiuse";
    return std::nullopt;
  }
  if (in_parola) parole.push_back(std::move(parola));
  if (parole.empty() || parole[0].empty()) {
    *motivo = "nessun programma";
    return std::nullopt;
  }
  return parole;
}

std::vector<std::string> riempi_comando(const std::vector<std::string>& parole,
                                        const std::string& percorso, int64_t riga,
                                        int64_t colonna) {
  const std::pair<std::string_view, std::string> segnaposto[] = {
      {"{path}", percorso}, {"{line}", std::to_string(riga)}, {"{col}", std::to_string(colonna)}};
  std::vector<std::string> fuori;
  for (const std::string& p : parole) {
    std::string w;
    // Left to right, never inside what was put in: a path holding "{line}"
    // stays the path.
    for (size_t i = 0; i < p.size();) {
      bool messo = false;
      for (const auto& [nome, valore] : segnaposto) {
        if (p.compare(i, nome.size(), nome) == 0) {
          w += valore;
          i += nome.size();
          messo = true;
          break;
        }
      }
      if (!messo) w += p[i++];
    }
    fuori.push_back(std::move(w));
  }
  return fuori;
}

}  // namespace calvetra::scenario
