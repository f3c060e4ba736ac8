// Fixes compiled before they are offered. A warning knows its fixes as
// candidates; each is applied to a copy of its source and the pair compiled
// again, and the first that keeps its promise is the one offered: the
// diagnostic it answers is gone, no other diagnostic is new, and the field it
// writes reads what it promised. A warning none of whose fixes holds says
// what is wrong without one. The CLI's reports, its JSON and the editor's
// quick fixes all read the fixes from here, so none of them offers a fix
// that was not compiled.
#ifndef CALVETRA_COMPILE_CORREZIONI_H_
#define CALVETRA_COMPILE_CORREZIONI_H_

#include <cstddef>
#include <string>

#include "compile/compilazione.h"
#include "fields/lettura.h"
#include "model/costanti.h"
#include "model/diagnostica.h"

namespace calvetra {

// The sources `f` is applied to, with the names and options of the compile
// that offered it.
struct DaCorreggere {
  const Sorgente& linea;
  const Sorgente& treno;
  const NomiScenario& nomi;
  OpzioniCompilazione opzioni;
};

// The most compiles the fixes of one compile may take: each is a compile of
// both sources, and a source full of mistakes would otherwise cost one each.
// The warnings met first get their fixes; the others say what is wrong.
inline constexpr size_t kCompilazioniPerCorreggere = 8;

// `testo` with the fix `f` applied: its bytes at `f.luogo` replaced. A fix
// that does not lie inside `testo` leaves it as it is.
std::string applica(std::string_view testo, const Correzione& f);

// Why the fix `f` does not keep its promise once applied to `s` and
// compiled, in a few words; "" when it keeps it. `prima` is the compile of
// `s` as it stands, and `risposto` the index of the diagnostic of it that `f`
// answers (none: SIZE_MAX, for a fix of a character the editor holds that
// the compile never saw).
std::string prova_correzione(const Compilazione& prima, size_t risposto, const Correzione& f,
                             const DaCorreggere& s);

// Every diagnostic of `c` keeps only the first of its fixes that holds, or
// none and its message without a fix.
void verifica_correzioni(Compilazione& c, const DaCorreggere& s);

}  // namespace calvetra

#endif  // CALVETRA_COMPILE_CORREZIONI_H_
