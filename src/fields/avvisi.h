// Warnings for authors: what the parser reads without complaint but most
// likely not as the author meant (a misspelt keyword, a record short by a
// value, a number with junk, records out of order). They go to the
// diagnostics as avvisi and never touch the model, the error code or the
// error position: every method here only reads what it is given and records.
#ifndef CALVETRA_FIELDS_AVVISI_H_
#define CALVETRA_FIELDS_AVVISI_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "fields/lettore_campi.h"
#include "model/diagnostica.h"

namespace calvetra {

// Edits (insert, delete, change one letter, swap two neighbours) that turn
// `a` into `b`, letter case ignored.
size_t distanza_modifica(std::string_view a, std::string_view b);
// The same, but `tetto` for any distance of `tetto` or more: it stops as soon
// as the distance cannot come below it, and needs no memory of its own for
// words of up to 63 letters.
size_t distanza_entro(std::string_view a, std::string_view b, size_t tetto);

// The record name closest to some word of `campo`, or empty when none is
// close: a word matches a name's word when a few edits turn it (or its start,
// as long as that word) into it, or it into the start of that word. Short
// words like "uno" are not compared.
std::string_view suggerimento(FileSorgente file, std::string_view campo);

// True when some bytes of `testo` form a UTF-8 multi-byte character, as text
// saved as UTF-8 does (`Citt\xC3\xA0` for `Citt\xE0`).
bool sembra_utf8(std::string_view testo);

// The record names of a source as its authors write them, for "did you
// mean"; and the keywords its parser tests (lower case), for a keyword field
// read in place of a value.
const std::vector<std::string_view>& nomi_record(FileSorgente file);
const std::vector<std::string_view>& parole_chiave(FileSorgente file);

// A bracketed field: after blanks it starts with `[` and holds a `]`.
bool tra_parentesi(std::string_view campo);

class Avvisi final : public OsservatoreNumeri {
 public:
  // `lettore` reads the source the warnings point into.
  Avvisi(FileSorgente file, Diagnostica* d, const LettoreCampi* lettore)
      : file_(file), d_(*d), lettore_(*lettore) {}
  Avvisi(const Avvisi&) = delete;
  Avvisi& operator=(const Avvisi&) = delete;

  // A number field read as a value: junk that reads as 0, or a keyword field
  // taken as the value of a record short by one.
  void numero_letto(std::string_view campo, size_t inizio) noexcept override;
  // A text value (a sign text, a station name) read at `inizio`: UTF-8
  // bytes, or the next line's keyword taken as the text.
  void testo_letto(std::string_view testo, size_t inizio);

  // The keyword field in hand begins at `inizio`: the record checks below
  // name it, and a later record names it as "the earlier one".
  void chiave(size_t inizio) { chiave_ = inizio; }

  // A non-empty keyword field that no test of the parser takes; `perche`,
  // when given, says why instead of the usual "did you mean". The numbers
  // passed over right after it are its values: they are not reported again.
  void campo_ignorato(std::string_view campo, size_t inizio, std::string_view perche = {});
  // A record the parser takes: the numbers passed over after it are surplus.
  void record_letto() { numeri_tollerati_ = 0; }
  // A bracketed field that a test takes, so it acts as a record.
  void sezione_con_parola_chiave(std::string_view campo, size_t inizio);
  // The next `n` number fields passed over belong to a record that is read
  // on purpose as nothing (a curve compiled without the plan); the numbers
  // of a surplus or an ignored record are reported once, at the first.
  void tollera_numeri(int n) { numeri_tollerati_ = n; }

  // The record of kind `tipo` (a phrase: "la pendenza") at `p` metres must
  // lie beyond the previous one of its kind.
  void in_ordine(const std::string& tipo, int64_t p);
  // The stretch from `inizio` to `fine` must not begin before the previous
  // one of its kind ends.
  void senza_sovrapposizione(const std::string& tipo, int64_t inizio, int64_t fine);
  // A record that stores a value once: a second one overwrites the first.
  void una_volta(const std::string& tipo);

  // The number read next (the route length) is kept here: where it begins
  // and whether it was a number.
  struct CampoSegnato {
    bool letto = false;
    size_t inizio = 0;
    bool numero = false;
  };
  void segna_prossimo_numero() {
    segna_ = true;
    segnato_ = {};
  }
  const CampoSegnato& segnato() const { return segnato_; }

 private:
  struct Precedente {
    int64_t inizio = 0;
    int64_t fine = 0;
    size_t chiave = 0;
  };
  Luogo a(size_t offset) const { return {file_, offset}; }
  Nota nota_precedente(const Precedente& p, const std::string& tipo) const;
  void registra(const std::string& tipo, int64_t inizio, int64_t fine);

  FileSorgente file_;
  Diagnostica& d_;
  const LettoreCampi& lettore_;
  size_t chiave_ = 0;
  int numeri_tollerati_ = 0;
  bool segna_ = false;
  CampoSegnato segnato_;
  std::map<std::string, Precedente, std::less<>> precedenti_;
};

}  // namespace calvetra

#endif  // CALVETRA_FIELDS_AVVISI_H_
