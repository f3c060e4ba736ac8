// The free-format field reader shared by the line and train parsers.
//
// A source file is read as one stream of fields: comma-, blank- or
// line-separated, never a whole line at a time. Text reads and number reads
// take the next field; numbers go into 8-, 16- or 32-bit targets and a value
// that does not fit is an unexpected failure (GuastoInatteso).
//
// Reading choices: a blank is a space or a tab; a line ends with CR LF, a lone
// CR or a lone LF; the end of the file is reached when every character has been
// consumed; a read fails only when no character is left, so blanks at the very
// end form one empty field; an unquoted text field loses its trailing blanks;
// after a closing double quote anything up to the next comma or line end is
// dropped, and an unclosed quote runs to the end of the file; a number field is
// a number only when the whole field is one (optional sign, digits, optional
// fraction and exponent), otherwise it reads as 0; a fraction is rounded half
// to even before the range test; a quoted field read as a number converts its
// text.
//
// The reader is also the one lexer of the tools: `guarda` says what the next
// field is without taking it, and `campo_a` says it of any place of any text,
// so that the warnings, the editor's features and the formatting count and
// place fields exactly as a compile reads them, with no scanner of their own.
#ifndef CALVETRA_FIELDS_LETTORE_CAMPI_H_
#define CALVETRA_FIELDS_LETTORE_CAMPI_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace calvetra {

// How a field is read: a text ends at a comma or a line end; a number ends at
// a blank too, and then takes the blanks after it and one comma or line end.
enum class ModoCampo : uint8_t { testo, numero };

// What ends a field, as its read consumes it.
enum class Separatore : uint8_t {
  virgola,    // a comma, consumed
  fine_riga,  // a line end (CR LF, a lone CR or LF), consumed
  spazio,     // blanks after a number, and another field on the same line
  fine_testo  // the end of the text
};

// One field as a read takes it, seen before (or without) the read.
struct Campo {
  bool esiste = false;         // false when no character is left: a read would fail
  bool virgolette = false;     // it opens with a double quote
  bool chiuso = false;         // a quoted field whose closing quote was found
  bool oltre_la_riga = false;  // a quoted field that runs past its line end
  ModoCampo modo = ModoCampo::testo;
  Separatore separatore = Separatore::fine_testo;
  size_t da = 0;        // where its read begins, before the leading blanks
  size_t inizio = 0;    // after the leading blanks (at the opening quote)
  size_t fine = 0;      // past the closing quote or the last character kept
  size_t limite = 0;    // where its separator stands (past the end: the text's size)
  size_t seguente = 0;  // where the read after it begins
  // What a read returns (a number read converts it): the text between the
  // quotes, or the unquoted text without its trailing blanks. It views the
  // text the field was read from.
  std::string_view valore;

  // The last place where a character typed would join this field: its
  // separator or, for an unquoted number, the end of its text (a blank
  // after a number starts the next field). Every place from where its read
  // begins up to this one is the field's, as an editor counts at a cursor.
  size_t coda() const { return modo == ModoCampo::numero && !virgolette ? fine : limite; }
};

// The field that a read as `modo` takes from byte `da` of `testo` (past the
// end: none).
Campo campo_a(std::string_view testo, size_t da, ModoCampo modo);
// The text a text read takes from `da`: what the compile read in a text
// field that begins there ("" past the end).
std::string_view testo_a(std::string_view testo, size_t da);

// What a number field's text is: none, plain digits unquoted (most fields
// of a source), or another number (a sign, a fraction, quotes, blanks).
enum class TestoNumero : uint8_t { non_numero, cifre, numero };

// Told of what the reader reads, for the authors' warnings: every number
// field (as the read took it, and what kind of number its text is) and every
// quoted field that runs across a line end. It has no way to change what a
// read returns.
class OsservatoreCampi {
 public:
  virtual ~OsservatoreCampi() = default;
  // `letto` views the reader's text and lives for the call only.
  virtual void numero_letto(const Campo& letto, TestoNumero numero) noexcept = 0;
  // The double quote at `apertura` is closed at `chiusura` (the size of the
  // text when it is never closed), past the end of its line.
  virtual void virgolette_oltre_la_riga(size_t apertura, size_t chiusura) noexcept = 0;
};

// The digits that open an unquoted number field, taken as a number read
// measures it: where they end, and their value while they are 19 or fewer.
struct CifreIniziali {
  size_t fine = 0;
  uint64_t valore = 0;
};

class LettoreCampi {
 public:
  // Opens a file whose whole content is `testo`. The text is not copied: it
  // must outlive the reading.
  void apri(std::string_view testo);
  void chiudi();
  bool aperto() const { return aperto_; }
  // Goes on reading from byte `pos` (past the end: at the end); no field
  // stands before the next one read.
  void salta_a(size_t pos) {
    pos_ = pos < testo_.size() ? pos : testo_.size();
    ultimo_ = precedente_ = {};
  }

  // True when every character has been consumed.
  bool fine() const { return pos_ >= testo_.size(); }

  // The field the next read as `modo` would take, without taking it.
  Campo guarda(ModoCampo modo) const { return aperto_ ? campo_a(testo_, pos_, modo) : Campo{}; }

  // Reads the next field as text. Throws GuastoInatteso when nothing is left.
  std::string leggi_testo();

  // Reads the next field as a number into a target of the named width.
  // Throws GuastoInatteso when nothing is left or the value does not fit.
  int32_t leggi_32();
  int16_t leggi_16();
  uint8_t leggi_8();

  // Byte offset where the most recently read field begins (after its leading
  // blanks), for diagnostics.
  size_t inizio_campo() const { return inizio_campo_; }
  // Where the text of the most recently read field ends: past its closing
  // quote or its last character, before trailing blanks and the separator.
  size_t fine_campo() const { return fine_campo_; }
  // The field read before the one read last, as that read took it (none
  // at the start, or after a jump): what the warnings look back at (the
  // number before a unit written apart, the whole part before a decimal
  // comma) is a field of the reading, never bytes counted backwards.
  Campo precedente() const {
    return precedente_.letto ? campo_a(testo_, precedente_.da, precedente_.modo) : Campo{};
  }

  // Byte offset of the next character to read.
  size_t posizione() const { return pos_; }
  std::string_view testo() const { return testo_; }

  // Every later number read is shown to `o` (null: to nobody).
  void osserva(OsservatoreCampi* o) { osservatore_ = o; }

 private:
  // Takes the next field as M: where it begins and ends is noted, and the
  // observer is told of a quote that runs on; the caller moves past it.
  template <ModoCampo M>
  Campo prendi(CifreIniziali* cifre = nullptr);
  int64_t leggi_numero();

  // Where a read began, and how it read: enough to see its field again.
  struct Letta {
    bool letto = false;
    ModoCampo modo = ModoCampo::testo;
    size_t da = 0;
  };

  std::string_view testo_;
  size_t pos_ = 0;
  Letta ultimo_;
  Letta precedente_;
  size_t inizio_campo_ = 0;
  size_t fine_campo_ = 0;
  bool aperto_ = false;
  OsservatoreCampi* osservatore_ = nullptr;
};

// Converts a whole field to a number, rounded half to even; returns 0 when the
// field is not a number. Throws GuastoInatteso for a number too large for any
// field.
int64_t numero_da_campo(std::string_view campo);
// True when the whole field (blanks around it aside) is a number; an empty
// field is not one.
bool e_numero(std::string_view campo);
// The field without the blanks (spaces and tabs) around it.
std::string_view senza_spazi(std::string_view campo);

// Keyword tests: does `campo` contain `parola` anywhere? `contiene` ignores
// letter case (REQUIRES: `parola` in lower case); `contiene_esatto` does not.
bool contiene(std::string_view campo, std::string_view parola);
bool contiene_esatto(std::string_view campo, std::string_view parola);
// The letter's bit of each byte, for lettere_di: a to z and A to Z, one
// bit a letter; none for any other byte.
inline constexpr std::array<uint32_t, 256> kBitLettera = [] {
  std::array<uint32_t, 256> bit{};
  for (int k = 0; k < 26; ++k) {
    const uint32_t b = uint32_t{1} << k;
    bit[static_cast<size_t>('a' + k)] = b;
    bit[static_cast<size_t>('A' + k)] = b;
  }
  return bit;
}();
// The letters a to z that `testo` holds, letter case ignored, a bit each:
// a word with a letter the field lacks is not in it, in either test.
constexpr uint32_t lettere_di(std::string_view testo) {
  uint32_t lettere = 0;
  for (const char c : testo) lettere |= kBitLettera[static_cast<unsigned char>(c)];
  return lettere;
}

// Line and column (both from 1) of a byte offset in `testo`, for messages.
struct PosizioneTesto {
  int riga = 1;
  int colonna = 1;
};
PosizioneTesto posizione_in(std::string_view testo, size_t offset);

}  // namespace calvetra

#endif  // CALVETRA_FIELDS_LETTORE_CAMPI_H_
