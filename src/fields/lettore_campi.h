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
#ifndef CALVETRA_FIELDS_LETTORE_CAMPI_H_
#define CALVETRA_FIELDS_LETTORE_CAMPI_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace calvetra {

// Told of what the reader reads, for the authors' warnings: every number
// field (its text, quotes dropped, and where it begins) and every quoted
// field that runs across a line end. It has no way to change what a read
// returns.
class OsservatoreCampi {
 public:
  virtual ~OsservatoreCampi() = default;
  virtual void numero_letto(std::string_view campo, size_t inizio) noexcept = 0;
  // The double quote at `apertura` is closed at `chiusura` (the size of the
  // text when it is never closed), past the end of its line.
  virtual void virgolette_oltre_la_riga(size_t apertura, size_t chiusura) noexcept = 0;
};

class LettoreCampi {
 public:
  // Opens a file whose whole content is `testo`. The text is not copied: it
  // must outlive the reading.
  void apri(std::string_view testo);
  void chiudi();
  bool aperto() const { return aperto_; }
  // Goes on reading from byte `pos` (past the end: at the end).
  void salta_a(size_t pos) { pos_ = pos < testo_.size() ? pos : testo_.size(); }

  // True when every character has been consumed.
  bool fine() const { return pos_ >= testo_.size(); }

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
  // Byte offset of the next character to read.
  size_t posizione() const { return pos_; }
  std::string_view testo() const { return testo_; }

  // Every later number read is shown to `o` (null: to nobody).
  void osserva(OsservatoreCampi* o) { osservatore_ = o; }

 private:
  void salta_spazi();
  void consuma_fine_riga();
  bool a_fine_riga() const;
  std::string leggi_virgolettato();
  int64_t leggi_numero();

  std::string_view testo_;
  size_t pos_ = 0;
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

// Keyword tests: does `campo` contain `parola` anywhere? `contiene` ignores
// letter case (REQUIRES: `parola` in lower case); `contiene_esatto` does not.
bool contiene(std::string_view campo, std::string_view parola);
bool contiene_esatto(std::string_view campo, std::string_view parola);

// Line and column (both from 1) of a byte offset in `testo`, for messages.
struct PosizioneTesto {
  int riga = 1;
  int colonna = 1;
};
PosizioneTesto posizione_in(std::string_view testo, size_t offset);

}  // namespace calvetra

#endif  // CALVETRA_FIELDS_LETTORE_CAMPI_H_
