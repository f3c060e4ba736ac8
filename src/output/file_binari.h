// Encoders of the three binary files. Each appends one record to a buffer in
// the packed little-endian layout the simulator reads.
#ifndef CALVETRA_OUTPUT_FILE_BINARI_H_
#define CALVETRA_OUTPUT_FILE_BINARI_H_

#include <string>
#include <vector>

#include "model/records.h"
#include "platform/sostituzione.h"

namespace calvetra {

inline constexpr size_t kByteCella = 15;
inline constexpr size_t kByteVoceVuota = 34;
// A name is stored with a 16-bit length.
inline constexpr size_t kNomeMassimo = 0xFFFF;

// The three files, record after record, into `u`.
void codifica_geometria(const Geometria& geometria, Uscita* u);
void codifica_tabella(const Tabella& tabella, Uscita* u);
void codifica_celle(const std::vector<tratto>& tratti, Uscita* u);
// False, with the length of the first name too long to store, when a name
// of the table does not fit its 16-bit length.
bool nomi_codificabili(const Tabella& tabella, size_t* lunghezza);

void codifica_voce(std::string* s, const voce& v);
void codifica_tratto(std::string* s, const tratto& t);
// One element of the plan: coordinate 0 (x) or 1 (y) of metre m.
void codifica_elemento(std::string* s, const Geometria& g, int coordinata, int32_t m);
// The elements of metres da to a (inclusive) of one coordinate, the same
// bytes as codifica_elemento metre by metre, in one pass over the buffer.
// REQUIRES: 0 <= da and a <= g.ultimo_metro().
void codifica_elementi(std::string* s, const Geometria& g, int coordinata, int32_t da, int32_t a);

// Decoders, the mirror of the encoders; false when the bytes run out.
class LettoreBinario;
bool decodifica_voce(LettoreBinario* in, voce* v);
bool decodifica_tratto(LettoreBinario* in, tratto* t);

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

}  // namespace calvetra

#endif  // CALVETRA_OUTPUT_FILE_BINARI_H_
