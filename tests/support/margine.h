// Test support: bounds in time given more room where the system is slower
// than the one the programs are built for. Under Wine every system call
// passes through Wine's own server: on a busy machine a promise of one
// second (the live page's end, its answer beside slow clients) comes in
// 1.2. The bounds still tell a server that waits from one that does not.
#ifndef CALVETRA_TESTS_SUPPORT_MARGINE_H_
#define CALVETRA_TESTS_SUPPORT_MARGINE_H_

namespace calvetra::test {

// Whether this Windows program runs under Wine.
bool sotto_wine();

// How many times a bound in time is given: 2 under Wine, 1 elsewhere.
int margine_tempo();

template <typename Durata>
Durata con_margine(Durata d) {
  return d * margine_tempo();
}

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_SUPPORT_MARGINE_H_
