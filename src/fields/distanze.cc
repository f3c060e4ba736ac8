#include "fields/distanze.h"

#include <algorithm>
#include <vector>

namespace calvetra {

namespace {

char minuscola(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Fills row i (from 1) of the edit table of `a` against `b`, letter case
// ignored, from the row before (`una`) and, for a swap of neighbours, the one
// before that (`due`, read only when i > 1); returns the row's least entry.
size_t riga_modifica(std::string_view a, std::string_view b, size_t i, const size_t* due,
                     const size_t* una, size_t* ora) {
  ora[0] = i;
  size_t minimo = i;
  for (size_t j = 1; j <= b.size(); ++j) {
    const bool uguale = minuscola(a[i - 1]) == minuscola(b[j - 1]);
    ora[j] = std::min({una[j] + 1, ora[j - 1] + 1, una[j - 1] + (uguale ? 0 : 1)});
    if (i > 1 && j > 1 && minuscola(a[i - 1]) == minuscola(b[j - 2]) &&
        minuscola(a[i - 2]) == minuscola(b[j - 1])) {
      ora[j] = std::min(ora[j], due[j - 2] + 1);
    }
    minimo = std::min(minimo, ora[j]);
  }
  return minimo;
}

}  // namespace

size_t distanza_modifica(std::string_view a, std::string_view b) {
  // Three rows of the edit table: two back for the swap of neighbours.
  std::vector<size_t> due(b.size() + 1), una(b.size() + 1), ora(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) una[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    riga_modifica(a, b, i, due.data(), una.data(), ora.data());
    std::swap(due, una);
    std::swap(una, ora);
  }
  return una[b.size()];
}

size_t distanza_entro(std::string_view a, std::string_view b, size_t tetto) {
  constexpr size_t kColonne = 64;
  if (b.size() >= kColonne) return std::min(distanza_modifica(a, b), tetto);
  // The difference of the lengths is a lower bound of the distance.
  if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) >= tetto) return tetto;
  // Three rows of the edit table used in turn: row i lives in righe[i % 3],
  // so row i - 2 in righe[(i + 1) % 3].
  size_t righe[3][kColonne];
  for (size_t j = 0; j <= b.size(); ++j) righe[0][j] = j;
  size_t minimo_prima = 0;  // the least entry of the row before the last
  for (size_t i = 1; i <= a.size(); ++i) {
    const size_t minimo =
        riga_modifica(a, b, i, righe[(i + 1) % 3], righe[(i - 1) % 3], righe[i % 3]);
    // Every later entry grows from one of the last two rows: once both are
    // at the ceiling, so is the distance.
    if (i > 1 && minimo >= tetto && minimo_prima >= tetto) return tetto;
    minimo_prima = minimo;
  }
  return std::min(righe[a.size() % 3][b.size()], tetto);
}

}  // namespace calvetra
