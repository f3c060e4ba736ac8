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

// The plan as read: x and y of metres 0 to T. The file is checked whole when
// it is read (every tag known, nothing short or left over) and kept as it
// came; a metre is decoded only when asked for. The elements of a coordinate
// are known as runs of one kind (a compiled plan has three: the two seeds,
// the computed metres, the empty ones), so any metre's bytes are found by
// their run without an index of the whole file.
class PianoLetto {
 public:
  // The metres of each coordinate (0 for a plan never read).
  size_t metri() const { return metri_; }
  // REQUIRES: m < metri().
  ElementoGeometria x(size_t m) const { return elemento(0, m); }
  ElementoGeometria y(size_t m) const { return elemento(1, m); }
  // Coordinate 0 is x, 1 is y. REQUIRES: m < metri().
  ElementoGeometria elemento(int coordinata, size_t m) const;

  struct Conteggio {
    int64_t vuoti = 0, interi = 0, reali = 0;
  };
  // The elements of each kind of one coordinate.
  Conteggio conteggio(int coordinata) const;

  // The metres that hold both coordinates, as ranges of metres da to a
  // (inclusive), in order and apart from each other.
  struct Intervallo {
    size_t da = 0, a = 0;
  };
  std::vector<Intervallo> pieni() const;

 private:
  friend StatoLettura leggi_geometria(std::string dati, int32_t lunghezza, PianoLetto* piano);
  // Metres from `metro` (to the next run's first) of one kind, the first of
  // them at `byte` of the file.
  struct Serie {
    size_t metro = 0;
    size_t byte = 0;
    Geometria::Genere genere = Geometria::Genere::vuoto;
  };
  // The run that holds metre m of a coordinate.
  const Serie& serie_di(int coordinata, size_t m) const;
  // The metres of a run.
  size_t fine_serie(int coordinata, size_t i) const;

  std::string dati_;
  size_t metri_ = 0;
  std::vector<Serie> serie_[2];
};

// The whole file: 2 x (L + 7001) elements with known tags (for an L outside
// the limits, any even number of them). The plan keeps `dati`.
StatoLettura leggi_geometria(std::string dati, int32_t lunghezza, PianoLetto* piano);
// The same for bytes held elsewhere: they are copied.
StatoLettura leggi_geometria(std::string_view dati, int32_t lunghezza, PianoLetto* piano);

}  // namespace calvetra

#endif  // CALVETRA_OUTPUT_FILE_GEOMETRIA_H_
