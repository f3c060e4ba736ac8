// The geometry file NAME_linea.dat: x of metres 0 to T, then y, each element
// a 16-bit tag and its value. Layout: doc/formats.md, "Geometry file".
#ifndef CALVETRA_OUTPUT_FILE_GEOMETRIA_H_
#define CALVETRA_OUTPUT_FILE_GEOMETRIA_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/codifica.h"
#include "model/records.h"
#include "output/stato.h"
#include "platform/sostituzione.h"

namespace calvetra {

namespace formato_geometria {
inline constexpr size_t kByteEtichetta = 2;
inline constexpr size_t kByteIntero = kByteEtichetta + 2;
inline constexpr size_t kByteReale = kByteEtichetta + 8;
}  // namespace formato_geometria

// Streams the file to `u` as its metres are worked out, a block at a time:
// x of every metre, then y. The plan is never held whole.
void codifica_geometria(const Geometria& geometria, Uscita* u);
// The same bytes as one string, for a tool that reads the plan back whole.
std::string codifica_geometria(const Geometria& geometria);
// One element of the plan: a metre's kind and coordinate.
void codifica_elemento(std::string* s, Geometria::Genere genere, double valore);
// The bytes of the elements of metres da to a of one coordinate: the seeds
// take 4, the computed metres 10, the empty ones 2.
size_t byte_elementi(const Geometria& g, int32_t da, int32_t a);
// The elements of metres da to a (inclusive) of one coordinate, the same
// bytes as codifica_elemento metre by metre, written at p (byte_elementi of
// them); valori[i] is the coordinate of metre da + i, read only for metres
// that hold one. REQUIRES: 0 <= da and a <= g.ultimo_metro().
void codifica_elementi(char* p, const Geometria& g, int32_t da, int32_t a, const double* valori);

// One element of the plan as read back: its kind and its value (a 16-bit seed
// widened to double; 0 for an empty element).
struct ElementoGeometria {
  Geometria::Genere genere = Geometria::Genere::vuoto;
  double valore = 0.0;
};
enum class EsitoElemento { ok, troncato, genere_sconosciuto };
// The mirror of codifica_elemento. On failure the reader may have moved past
// the tag: callers that report the offset take posizione() before the call.
EsitoElemento decodifica_elemento(LettoreBinario* in, ElementoGeometria* e);

// The plan as read: x and y of metres 0 to T.
struct PianoLetto {
  std::vector<ElementoGeometria> x;
  std::vector<ElementoGeometria> y;
};

// The whole file: 2 x (L + 7001) elements with known tags (for an L outside
// the limits, any even number of them).
StatoLettura leggi_geometria(std::string_view dati, int32_t lunghezza, PianoLetto* piano);

}  // namespace calvetra

#endif  // CALVETRA_OUTPUT_FILE_GEOMETRIA_H_
