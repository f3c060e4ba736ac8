// The characters of the sources: Windows-1252, the code page calvetra reads
// them in, against the Unicode that editors, terminals and browsers speak.
// What a byte of the code page is, what a UTF-8 sequence is, and which
// character the code page lacks, are said here once: the warnings, the fixes,
// the reports and the editor all take them from here, so that a character is
// never shown as the bytes of another encoding.
#ifndef CALVETRA_MODEL_CARATTERI_H_
#define CALVETRA_MODEL_CARATTERI_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace calvetra {

// The code point of one Windows-1252 byte; the five bytes the code page
// leaves undefined are the control characters of their own number (U+0081
// and the like), so that every byte goes to Unicode and back unchanged.
uint32_t punto_di_codice_1252(unsigned char c);

// Whether the code page defines byte `c` (all but 0x81, 0x8D, 0x8F, 0x90 and
// 0x9D).
bool definito_1252(unsigned char c);

// The Windows-1252 byte of a code point, or -1 when the code page has none
// (U+0081 and the like give back their undefined byte).
int byte_1252(uint32_t cp);

// The next code point of a UTF-8 text from byte `*i`, which moves past it; a
// byte that starts no valid sequence is taken alone, as U+FFFD.
// REQUIRES: *i < testo.size().
uint32_t prossimo_utf8(std::string_view testo, size_t* i);

// The length of the valid UTF-8 sequence of two to four bytes at `i`, 0 when
// none starts there (an ASCII byte, a stray byte, an overlong or cut form).
size_t sequenza_utf8(std::string_view testo, size_t i);

// `cp` as UTF-8, appended to `s`.
void aggiungi_utf8(std::string* s, uint32_t cp);

// True when some bytes of `testo` form a UTF-8 multi-byte character, as text
// saved as UTF-8 does (`Citt\xC3\xA0` for `Citt\xE0`).
bool sembra_utf8(std::string_view testo);

// Windows-1252 to UTF-8, one character for one byte, and back by
// utf8_a_1252 unchanged, every byte: the five bytes that the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of
// the same number, as browsers read them, never U+FFFD, which would lose
// which byte stood there. For what goes back into a source (an edit, a fix)
// and for data (JSON); what a person reads goes through `leggibile`.
std::string utf8_da_1252(std::string_view testo);

// A UTF-8 text (an editor's buffer) as Windows-1252, one byte a code point:
// a character the code page cannot hold becomes '?' and its index (the byte
// offset it takes in the result) is listed, with the character it was.
struct Testo1252 {
  std::string testo;
  std::vector<size_t> non_rappresentabili;
  std::vector<uint32_t> mancanti;  // the code point of each, in the same order
};
Testo1252 utf8_a_1252(std::string_view utf8);

// A character that takes no room on the line (a zero-width space, a joiner,
// a byte-order mark), or a blank that is not one to the field reader (a
// no-break space): pasted text brings them, and nobody sees them.
bool invisibile(uint32_t cp);

// How a message names a character an author cannot tell from its look:
// "U+200B spazio invisibile", "U+2212 segno meno", "U+00A0 spazio
// indivisibile"; any other one by its number alone.
std::string nome_carattere(uint32_t cp);

// A text in which some bytes form UTF-8 sequences (a source saved as UTF-8)
// taken back to Windows-1252: each sequence becomes the byte of its
// character where the code page has one (`Citt\xC3\xA0` is `Citt\xE0`, the
// word-processor quotes `\xE2\x80\x9C` are `\x93`), and every other byte
// stays. `mancanti` counts the sequences of characters the code page lacks,
// which stay as they were, and `primo_mancante` is the first of them.
struct Ricodificato {
  std::string testo;
  size_t mancanti = 0;
  uint32_t primo_mancante = 0;
};
Ricodificato da_utf8_a_1252(std::string_view testo);

// A piece of source to be quoted in a message (Windows-1252): its UTF-8
// sequences become the code page's bytes where it has them, and every
// character it lacks, or an invisible one, is named in angle brackets
// (`<U+200B spazio invisibile>8000`), so that no reader of the message is
// shown the bytes of one encoding read as another.
std::string leggibile(std::string_view testo);

// Whether a text is UTF-16 (a text editor's "Unicode"): it opens with a
// byte-order mark, or its first bytes are pairs of which one is NUL, as
// letters and digits are in UTF-16. Windows-1252 text holds no NUL byte.
enum class Utf16 { no, little_endian, big_endian };
Utf16 codifica_utf16(std::string_view testo);

}  // namespace calvetra

#endif  // CALVETRA_MODEL_CARATTERI_H_
