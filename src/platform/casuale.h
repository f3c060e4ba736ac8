// Random bytes from the system's generator, for names and tokens that nobody
// may guess.
#ifndef CALVETRA_PLATFORM_CASUALE_H_
#define CALVETRA_PLATFORM_CASUALE_H_

#include <cstddef>
#include <string>

namespace calvetra {

// Fills `n` bytes at `byte`; false with the reason in `errore` when the
// system has none to give.
bool byte_casuali(unsigned char* byte, size_t n, std::string* errore);

// Names drawn before giving up: with 60 random bits each, only a directory
// that someone keeps filling on purpose gets past the first.
inline constexpr int kTentativiNome = 100;

// Ten characters from 64, each from one random byte: 60 bits that nobody
// can guess, so no one can prepare a file or a link at the name beforehand.
bool suffisso_casuale(std::string* suffisso, std::string* errore);

}  // namespace calvetra

#endif  // CALVETRA_PLATFORM_CASUALE_H_
