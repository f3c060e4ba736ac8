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

}  // namespace calvetra

#endif  // CALVETRA_PLATFORM_CASUALE_H_
