// What the fuzz targets share: checking a property, counting which
// properties have been checked (the replay tests require each of theirs to
// have run), and re-encoding what the `dump` reader has read.
#ifndef CALVETRA_FUZZ_PROPRIETA_H_
#define CALVETRA_FUZZ_PROPRIETA_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "model/codifica.h"
#include "output/file_binari.h"
#include "scenario/leggi_scenario.h"

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
                                std::string_view geometria, const scenario::ScenarioLetto& s) {
  controllata("ricodifica");
  std::string di_nuovo;
  for (const voce& v : s.tabella) codifica_voce(&di_nuovo, v);
  verifica(di_nuovo == tabella);
  di_nuovo.clear();
  for (const tratto& t : s.tratti) codifica_tratto(&di_nuovo, t);
  verifica(di_nuovo == celle);
  if (!s.geometria) return;
  di_nuovo.clear();
  for (const auto* coordinata : {&s.geometria->x, &s.geometria->y}) {
    for (const ElementoGeometria& e : *coordinata) {
      put_u16(&di_nuovo, static_cast<uint16_t>(e.genere));
      if (e.genere == Geometria::Genere::intero) {
        put_i16(&di_nuovo, static_cast<int16_t>(e.valore));
      } else if (e.genere == Geometria::Genere::reale) {
        put_f64(&di_nuovo, e.valore);
      }
    }
  }
  verifica(di_nuovo == geometria);
}

}  // namespace calvetra::fuzz

#endif  // CALVETRA_FUZZ_PROPRIETA_H_
