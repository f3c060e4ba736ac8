// A whole file read into its string: every byte the system gives, whether
// the file is as long as it was, shorter by then, longer, or empty; and a
// failure halfway is one.
#include "platform/lettura_intera.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

namespace calvetra {
namespace {

// A file of `testo` read `passo` bytes at most at a time; -1 from the read
// `guasto` on (none for 0).
struct File {
  std::string testo;
  size_t passo = 1000;
  int guasto = 0;
  size_t letti = 0;
  int letture = 0;

  int64_t operator()(char* dove, size_t quanto) {
    if (++letture == guasto) return -1;
    const size_t n = std::min({quanto, passo, testo.size() - letti});
    std::memcpy(dove, testo.data() + letti, n);
    letti += n;
    return static_cast<int64_t>(n);
  }
};

std::string testo_di(size_t n) {
  std::string t(n, ' ');
  for (size_t k = 0; k < n; ++k) t[k] = static_cast<char>('a' + k % 26);
  return t;
}

TEST(LetturaIntera, EveryByteWhateverTheSizeWasWhenOpened) {
  for (const size_t n : {size_t{0}, size_t{1}, size_t{4095}, size_t{4096}, size_t{70000}}) {
    const std::string atteso = testo_di(n);
    // As large as it was; grown since (from nothing, or from a part of it);
    // shorter by the time it is read.
    for (const size_t previsto : {n, size_t{0}, n / 3, n + 5000}) {
      File f{atteso};
      std::string letto = "resto di prima";
      ASSERT_TRUE(leggi_intero(&letto, previsto, std::ref(f))) << n << " " << previsto;
      EXPECT_EQ(letto, atteso) << n << " " << previsto;
    }
  }
}

TEST(LetturaIntera, AFailedReadIsAFailure) {
  for (const int guasto : {1, 2, 5}) {
    File f{testo_di(20000), 3000, guasto};
    std::string letto;
    EXPECT_FALSE(leggi_intero(&letto, 20000, std::ref(f))) << guasto;
  }
  // After the room is full, while telling the end from more bytes.
  File f{testo_di(6000), 6000, 2};
  std::string letto;
  EXPECT_FALSE(leggi_intero(&letto, 6000, std::ref(f)));
}

}  // namespace
}  // namespace calvetra
