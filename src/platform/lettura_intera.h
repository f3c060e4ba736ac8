// A whole file read into a string, for both systems' platforms.
#ifndef CALVETRA_PLATFORM_LETTURA_INTERA_H_
#define CALVETRA_PLATFORM_LETTURA_INTERA_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace calvetra {

// Reads into `contenuto` every byte that `leggi(dove, quanto)` gives: the
// count it read, 0 at the end, below 0 on a failure (false). The bytes go
// straight into room made once for `previsto`, the size the file has now;
// the read still goes to its end, whatever it is by then, and a file that
// grew since gets more room as it needs. No buffer in between: a source is
// copied once, a plan of tens of megabytes never moved.
template <typename Leggi>
bool leggi_intero(std::string* contenuto, size_t previsto, Leggi leggi) {
  contenuto->assign(previsto, '\0');
  size_t letti = 0;
  for (;;) {
    int64_t n = 0;
    if (letti < contenuto->size()) {
      n = leggi(contenuto->data() + letti, contenuto->size() - letti);
      if (n > 0) letti += static_cast<size_t>(n);
    } else {
      // The room is full: a short read tells the end from a file that grew.
      char sonda[4096];
      n = leggi(sonda, sizeof sonda);
      if (n > 0) {
        contenuto->append(sonda, static_cast<size_t>(n));
        letti += static_cast<size_t>(n);
        contenuto->resize(letti + std::max(letti, size_t{1} << 16));
      }
    }
    if (n < 0) return false;
    if (n == 0) {
      contenuto->resize(letti);
      return true;
    }
  }
}

}  // namespace calvetra

#endif  // CALVETRA_PLATFORM_LETTURA_INTERA_H_
