// The record tables of doc/formats.md, made from the catalogues of the two
// sources. A table stands in the document between a line
// "<!-- catalogo NAME -->" and a line "<!-- fine catalogo -->", NAME being
// one of `intestazione-linea`, `corpo-linea` and `treno`.
#ifndef CALVETRA_COMPILE_DOCUMENTAZIONE_H_
#define CALVETRA_COMPILE_DOCUMENTAZIONE_H_

#include <string>
#include <string_view>

namespace calvetra {

// The tables of the block NAME; empty for an unknown name.
std::string tabelle_catalogo(std::string_view nome);

// `documento` with every block's tables made anew from the catalogues.
std::string aggiorna_documentazione(std::string_view documento);

}  // namespace calvetra

#endif  // CALVETRA_COMPILE_DOCUMENTAZIONE_H_
