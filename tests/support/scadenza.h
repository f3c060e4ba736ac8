// Test support: a deadline for a test that waits on a thread, a socket or
// the file watch. A wait that never ends must fail the test in seconds, with
// the name of what was awaited, not sit until CTest gives up on the whole
// program: when the deadline passes, the message goes to stderr and the
// test program ends with status 1 (nothing stuck can be unblocked safely
// from outside, and a program that goes on with a thread blocked on objects
// about to be destroyed would fail later and less clearly).
#ifndef CALVETRA_TESTS_SUPPORT_SCADENZA_H_
#define CALVETRA_TESTS_SUPPORT_SCADENZA_H_

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace calvetra::test {

class Scadenza {
 public:
  // Armed from now; disarmed by the destructor or by `rispettata`.
  Scadenza(std::chrono::milliseconds limite, std::string cosa)
      : cosa_(std::move(cosa)), limite_(limite), guardia_([this] { sorveglia(); }) {}
  Scadenza(int secondi, std::string cosa)
      : Scadenza(std::chrono::milliseconds(secondi * 1000), std::move(cosa)) {}
  ~Scadenza() { rispettata(); }
  Scadenza(const Scadenza&) = delete;
  Scadenza& operator=(const Scadenza&) = delete;

  // What was awaited has come: the deadline no longer runs.
  void rispettata() {
    {
      const std::lock_guard<std::mutex> l(m_);
      finita_ = true;
    }
    c_.notify_all();
    if (guardia_.joinable()) guardia_.join();
  }

 private:
  void sorveglia() {
    std::unique_lock<std::mutex> l(m_);
    if (c_.wait_for(l, limite_, [this] { return finita_; })) return;
    std::fprintf(stderr, "\nFAILED: %s did not finish within %lld ms\n", cosa_.c_str(),
                 static_cast<long long>(limite_.count()));
    std::fflush(stderr);
    std::_Exit(1);
  }

  std::string cosa_;
  std::chrono::milliseconds limite_;
  std::mutex m_;
  std::condition_variable c_;
  bool finita_ = false;
  std::thread guardia_;  // last: it reads the members above
};

}  // namespace calvetra::test

#endif  // CALVETRA_TESTS_SUPPORT_SCADENZA_H_
