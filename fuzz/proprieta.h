// What the fuzz targets share: checking a property, counting which
// properties have been checked (the replay tests require each of theirs to
// have run), and re-encoding what the reader of the binary files has read.
#ifndef CALVETRA_FUZZ_PROPRIETA_H_
#define CALVETRA_FUZZ_PROPRIETA_H_

#include <bit>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <string_view>

#include "compile/conservati.h"
#include "model/codifica.h"
#include "output/file_celle.h"
#include "output/file_geometria.h"
#include "output/file_tabella.h"
#include "output/lettura.h"

namespace calvetra::fuzz {

// Stops the fuzzer on a property that does not hold.
[[noreturn]] inline void violata() { __builtin_trap(); }

inline void verifica(bool condizione) {
  if (!condizione) violata();
}

// How many inputs each property has been checked on.
inline std::map<std::string_view, uint64_t>& proprieta_controllate() {
  static std::map<std::string_view, uint64_t> conteggi;
  return conteggi;
}

// Records that the property `nome` (a literal) is checked on the current input.
inline void controllata(const char* nome) { ++proprieta_controllate()[nome]; }

// What the reader accepted is exactly what the encoders write back.
inline void verifica_ricodifica(std::string_view tabella, std::string_view celle,
                                std::string_view geometria, const ScenarioLetto& s) {
  controllata("ricodifica");
  std::string di_nuovo;
  for (const voce& v : s.tabella) codifica_voce(&di_nuovo, v);
  verifica(di_nuovo == tabella);
  di_nuovo.clear();
  for (const tratto& t : s.tratti) codifica_tratto(&di_nuovo, t);
  verifica(di_nuovo == celle);
  if (!s.geometria) return;
  // The plan, thousands of elements, is compared element by element where it
  // stands rather than built again.
  size_t k = 0;
  for (int c = 0; c < 2; ++c) {
    for (size_t m = 0; m < s.geometria->metri(); ++m) {
      const ElementoGeometria e = s.geometria->elemento(c, m);
      using namespace formato_geometria;
      char b[kByteReale];
      size_t n = kByteEtichetta;
      scrivi_le(b, static_cast<uint16_t>(e.genere), kByteEtichetta);
      if (e.genere == Geometria::Genere::intero) {
        scrivi_le(b + kByteEtichetta, static_cast<uint16_t>(static_cast<int16_t>(e.valore)), 2);
        n = kByteIntero;
      } else if (e.genere == Geometria::Genere::reale) {
        scrivi_le(b + kByteEtichetta, std::bit_cast<uint64_t>(e.valore), 8);
        n = kByteReale;
      }
      verifica(n <= geometria.size() - k && std::memcmp(geometria.data() + k, b, n) == 0);
      k += n;
    }
  }
  verifica(k == geometria.size());
}

// Nothing unsaid: for every compiled record of `c` and every field it
// stores, the files keep the value as read, or a diagnostic of that record
// says what they keep. Counted where some field is kept otherwise.
inline void verifica_nulla_di_non_detto(const Compilazione& c, std::string_view linea,
                                        std::string_view treno) {
  const Sorgente l = Sorgente::di(linea);
  const Sorgente t = Sorgente::di(treno);
  if (differenze(c, l, t).empty()) return;
  controllata("nulla_di_non_detto");
  verifica(non_dette(c, l, t).empty());
}

}  // namespace calvetra::fuzz

#endif  // CALVETRA_FUZZ_PROPRIETA_H_
