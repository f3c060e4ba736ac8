// Warnings for authors: what the parser reads without complaint but most
// likely not as the author meant (a misspelt keyword, a record short by a
// value, a number with junk, records out of order). They go to the
// diagnostics as avvisi and never touch the model, the error code or the
// error position: every method here only reads what it is given and records.
#ifndef CALVETRA_FIELDS_AVVISI_H_
#define CALVETRA_FIELDS_AVVISI_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fields/catalogo.h"
#include "fields/lettore_campi.h"
#include "model/diagnostica.h"
#include "model/giornale.h"

namespace calvetra {

// A bracketed field: after blanks it starts with `[` and holds a `]`.
bool tra_parentesi(std::string_view campo);

// The place at `offset` in `file` as `lettore` read it: with the extent of
// the keyword field in hand (`chiave`) or of the field read last when it
// begins there, a point otherwise.
inline Luogo luogo_letto(FileSorgente file, size_t offset, const Luogo& chiave,
                         const LettoreCampi& lettore) {
  if (offset == chiave.offset && chiave.file == file) return chiave;
  if (offset == lettore.inizio_campo()) return {file, offset, lettore.fine_campo()};
  return {file, offset, offset};
}

class Avvisi final : public OsservatoreCampi {
 public:
  // `lettore` reads the source the warnings point into; `lessico` holds the
  // words of its records.
  Avvisi(const Lessico& lessico, FileSorgente file, Diagnostica& d, const LettoreCampi& lettore)
      : lessico_(lessico), file_(file), d_(d), lettore_(lettore), luogo_chiave_{file, 0, 0} {}
  Avvisi(const Avvisi&) = delete;
  Avvisi& operator=(const Avvisi&) = delete;

  // A number field read as a value: junk that reads as 0, or a keyword field
  // taken as the value of a record short by one.
  void numero_letto(const Campo& letto, TestoNumero numero) noexcept override;
  // A text value (a sign text, a station name) read at `inizio`: UTF-8
  // bytes, or the next line's keyword taken as the text.
  void testo_letto(std::string_view testo, size_t inizio);
  // A quoted field that runs on past its line: it swallows what follows.
  void virgolette_oltre_la_riga(size_t apertura, size_t chiusura) noexcept override;
  // The value `v` of field `campo` of record `r`, read at `inizio`: outside
  // the values the field keeps as written, or kept otherwise (a speed in
  // steps of 5 km/h). A value that will not fit its cell is noted for the
  // error 25 it brings later.
  void valore_letto(const DescrizioneRecord& r, const CampoRecord& campo, int64_t v, size_t inizio);
  // A value of record `r`, read at `inizio`, that the cells keep otherwise
  // than written once the record is stored: `c` says how, and what is kept.
  void conservato(const DescrizioneRecord& r, const Conservato& c, size_t inizio);
  // The record `tipo` at `p` metres, read at `inizio`, lies past the end of a
  // route `lunghezza` metres long, where no train drives.
  void oltre_la_fine(std::string_view tipo, int64_t p, int32_t lunghezza, size_t inizio);

  // The keyword field in hand stands at `chiave`, as its reading keeps it:
  // the record checks below name it, and a later record names it as "the
  // earlier one".
  void chiave(Luogo chiave) {
    chiave_ = chiave.offset;
    luogo_chiave_ = chiave;
    a_capo_chiave_ = kNonCercato;
  }
  // Field `indice` of record `r` is read next: the hints that depend on the
  // field (a time, a position, a unit) know which one it is.
  void campo_in_lettura(const DescrizioneRecord& r, size_t indice) {
    in_lettura_ = &r;
    indice_ = indice;
  }
  // The keyword field `campo` at `inizio`, before it is matched: a line
  // separated by `;`, or a word that follows a number on its line (`3
  // vetture`), read as a record of its own. True for the latter: the record
  // it names is no repetition.
  bool chiave_letta(std::string_view campo, size_t inizio);

  // A non-empty keyword field that no test of the parser takes; `perche`,
  // when given, says why instead of the usual "did you mean". The numbers
  // passed over right after it are its values: they are not reported again.
  void campo_ignorato(std::string_view campo, size_t inizio, std::string_view perche = {});
  // The keyword field in hand names the records `trovati`: the numbers
  // passed over after it are surplus, unless no record reads it now (a curve
  // compiled without the plan: its values are passed over as meant).
  void record_trovati(const Riconosciuti& trovati);
  // A field `campo` at `inizio` that names a record acts as one: said when
  // it reads as a section name (bracketed) or a comment.
  void parola_chiave_nascosta(std::string_view campo, size_t inizio);
  // A record that stores a value once is watched for a second one.
  void ripetizione(const DescrizioneRecord& r);

  // The record of kind `tipo` (a phrase: "la pendenza") at `p` metres must
  // lie beyond the previous one of its kind.
  void in_ordine(std::string_view tipo, int64_t p);
  // The stretch from `inizio` to `fine` must not begin before the previous
  // one of its kind ends.
  void senza_sovrapposizione(std::string_view tipo, int64_t inizio, int64_t fine);

  // The source, `dimensione` bytes long, has no `[generale]` field: the
  // reading passes over all of it and compiles nothing.
  // `solo_se_simile`: said only when a section name is a few letters from
  // it (the line source has its error 102 already).
  void generale_mancante(size_t dimensione, bool solo_se_simile = false);
  // The record just read wrote its object over the object another record
  // had placed in the same cell: said at the record that lost it, with what
  // the later one took of the cell and what of the earlier one stays, and a
  // note at the later one.
  void oggetto_cancellato(const Cancellazione& c, const Giornale& g);

  // The number read next (the route length) is kept here: where it stands
  // and whether it was a number.
  struct CampoSegnato {
    bool letto = false;
    Luogo luogo;
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
    Luogo chiave;
  };
  // The place at `offset`, as the reading knows it; or from `offset` to
  // `fine`, a stretch the warning measured itself.
  Luogo a(size_t offset) const { return luogo_letto(file_, offset, luogo_chiave_, lettore_); }
  Luogo a(size_t offset, size_t fine) const { return {file_, offset, fine}; }
  // A record short by a value, or a comment read as a record: the errors
  // that follow, up to the next record, get a note here.
  void causa_fino_al_prossimo_record(Nota nota);
  // The field the reading took before the one at `inizio`, when that is the
  // field read last (none otherwise): a look back is a look at a field.
  Campo prima_di(size_t inizio) const;
  // `intere` is the whole part of a number whose decimal comma split it, and
  // the field at `inizio` its fraction: written `6,5`, sign and digits alone.
  static bool decimale_dopo(const Campo& intere, size_t inizio);
  // The field at `inizio`, read last, opens its line.
  bool apre_la_riga(size_t inizio) const;
  // Hints for a field that is not a number: a unit written after the number.
  bool unita_scritta(std::string_view campo, size_t inizio, std::string_view seguito);
  // The number `numero` written with the unit `u` (its own field, or one
  // glued to it, said as `base`), read in the unit of field `c`: the value
  // meant in full, what the field keeps of it, and the fix that writes
  // that, over `lunghezza` bytes from `da`. The warning stands at `inizio`.
  void in_unita(const std::string& base, std::string_view numero, std::string_view u,
                const CampoRecord* c, size_t inizio, size_t da, size_t lunghezza);
  // Hints for a number (`t`, its field without blanks) with a fraction or
  // split by a blank.
  void numero_da_vicino(std::string_view t, size_t inizio);
  // A time written in one field (`8.22`, `7:53:30`) in the hours field.
  bool orario_in_un_campo(std::string_view t, size_t inizio);
  // `26,350` in a position: a thousands comma that splits it in two fields.
  bool posizione_con_virgola(std::string_view t, size_t inizio);
  // A sign apart from its number: `- 4`.
  bool segno_staccato(std::string_view t, size_t inizio);
  // A text, its record's last field, cut at a comma on its line; or a
  // number there, a column too many before it.
  void testo_con_virgola(std::string_view testo, size_t inizio);
  // A record whose last field is a text, a column short on its line: the
  // number before the text reads the text's first word.
  bool colonna_mancante(std::string_view campo, size_t inizio);
  // A character that takes no room (a no-break space, a zero-width space)
  // in a number field.
  bool carattere_invisibile(std::string_view campo, size_t inizio);
  // A dash or the minus sign where a number's `-` goes: `\x964`.
  bool trattino_per_meno(std::string_view t, size_t inizio);
  // `23+000` in a field in metres.
  bool progressiva_in_metri(std::string_view t, size_t inizio);
  // The record in hand reads a value from a line after its own. Asked at
  // every field: one still on the key's line, once that line's end is
  // known, returns at once.
  void record_corto(size_t inizio) {
    if (a_capo_chiave_ != kNonCercato && inizio <= a_capo_chiave_) return;
    record_corto_oltre(inizio);
  }
  void record_corto_oltre(size_t inizio);
  // The field at `inizio` as a read as `modo` takes it: the number field in
  // hand as the reader took it, any other measured.
  Campo campo_da(size_t inizio, ModoCampo modo) const {
    if (letto_ != nullptr && letto_->inizio == inizio && letto_->modo == modo) return *letto_;
    return campo_a(lettore_.testo(), inizio, modo);
  }
  // The field being read, when known.
  const CampoRecord* campo_corrente() const {
    return in_lettura_ != nullptr && indice_ < in_lettura_->campi.size()
               ? &in_lettura_->campi[indice_]
               : nullptr;
  }
  // The columns written after the field in hand at `inizio`, to the end of
  // its line: the fields the reader takes there as texts.
  size_t campi_dopo(size_t inizio) const;
  Nota nota_precedente(const Precedente& p, std::string_view tipo) const;
  void registra(std::string_view tipo, int64_t inizio, int64_t fine);
  // A record that stores a value once: a second one overwrites the first.
  void una_volta(std::string_view tipo);

  const Lessico& lessico_;
  FileSorgente file_;
  Diagnostica& d_;
  const LettoreCampi& lettore_;
  size_t chiave_ = 0;
  Luogo luogo_chiave_;
  // Where the keyword's line ends, looked for once a record.
  static constexpr size_t kNonCercato = SIZE_MAX;
  size_t a_capo_chiave_ = kNonCercato;
  // Where the last quoted field that ran past its line opened, as the reader
  // told it; past every line for none yet.
  size_t virgolette_a_capo_ = SIZE_MAX;
  // A sentence that names a record and reads as one whole: no comment mark
  // opens it, and the rest of its line holds the record's fields, numbers
  // where it reads numbers.
  bool record_intero(std::string_view campo, size_t inizio) const;

  const DescrizioneRecord* in_lettura_ = nullptr;
  size_t indice_ = 0;
  // Fields before this offset were explained by a hint already (the `4` of
  // `- 4`, the `350` of `26,350`): they are not surplus again.
  size_t spiegato_fino_a_ = 0;
  bool corto_avvisato_ = false;      // the record in hand was said to be short
  bool posizione_spiegata_ = false;  // its position was said to be split
  std::string_view record_;          // the name of the record in hand, when one was named
  const DescrizioneRecord* descrizione_ = nullptr;  // and its description
  bool causa_in_attesa_ = false;
  int numeri_tollerati_ = 0;
  bool segna_ = false;
  CampoSegnato segnato_;
  // The number field in hand, while numero_letto looks at it.
  const Campo* letto_ = nullptr;
  // The last record of each kind that has a place, keyed by the catalogue
  // phrase of the kind (text that lives as long as the program): a few
  // kinds, looked for in the order met.
  std::vector<std::pair<std::string_view, Precedente>> precedenti_;
  const Precedente* precedente(std::string_view tipo) const;
};

}  // namespace calvetra

#endif  // CALVETRA_FIELDS_AVVISI_H_
