// Reading a compiled record back from the files' values: what each of its
// stored fields holds once the compile is over, in the field's own unit,
// decoded with the same codecs the compiler stores with. The records whose
// catalogue storage says it all (a header row, a stretch's cell) are read
// back here from that column alone; the others bring their own reading
// (`DescrizioneRecord::rileggi`) and use the pieces below.
#ifndef CALVETRA_FIELDS_RILETTURA_H_
#define CALVETRA_FIELDS_RILETTURA_H_

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "fields/catalogo.h"
#include "model/giornale.h"
#include "model/records.h"

namespace calvetra {

// Whether field `c` is kept by a cell or row field of its own name: what is
// compared with the value as read.
bool campo_conservato(const CampoRecord& c);

// The cell or row field that keeps `c`, by its catalogue storage.
std::optional<CampoCella> campo_cella_di(const CampoRecord& c);
std::optional<CampoRiga> campo_riga_di(const CampoRecord& c);

// A raw cell or row value back in the field's unit, for the ways of storing
// that need nothing but the value (km/h in steps of 5, per mille + 100, the
// low bits); the others give the raw value.
int64_t da_conservato(Modo m, int64_t grezzo);

// Fills `campi` for record `d` read back as `r` says: the compared fields
// marked, then read back by the record's own reading or from its storage
// column. REQUIRES: campi.size() == d.campi.size().
void rileggi_record(const DescrizioneRecord& d, const DaRileggere& r, std::span<Riletto> campi);

// The storage column alone: a fixed header row's field, or the cell of a
// stretch (the cell of its position, p / 50, where its value begins).
void rileggi_da_deposito(const DescrizioneRecord& d, const DaRileggere& r,
                         std::span<Riletto> campi);

// The object of kind `tipo` that the record read back placed in cell `c`
// (the journal's owner of the cell), as the files keep it: cell 1 without
// its header slots. Every field is marked kept in that cell; nullopt when the
// record's object is not there.
std::optional<tratto> oggetto_riletto(const DaRileggere& r, int64_t c, uint8_t tipo,
                                      std::span<Riletto> campi);

// The compared fields of `campi` kept, with the values `v` (in catalogue order).
void presenti(std::span<Riletto> campi, std::span<const int64_t> v);

// Field `campo` kept in cell `c`, or nothing when the cell does not exist.
void da_cella(const Modello& m, int64_t c, const CampoRecord& campo, Riletto& r);

// Why a field stored as `m` keeps `letto` as `conservato`, in a few words;
// "" when its way of storing keeps every value as written.
std::string perche_modo(Modo m, int64_t letto, int64_t conservato);

}  // namespace calvetra

#endif  // CALVETRA_FIELDS_RILETTURA_H_
