// Test support: a time limit on every single test, for a suite that runs as
// one program (the cross-build runs each suite whole under Wine, in a few
// shards, and CTest's limit is the whole shard's). A test that outlives
// CALVETRA_LIMITE_TEST seconds ends the program with its name on stderr,
// instead of a shard stopped after many minutes with nothing said. Unset
// (each test its own CTest test, with its own limit), nothing is armed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "support/scadenza.h"

namespace calvetra::test {
namespace {

class LimitePerTest : public ::testing::EmptyTestEventListener {
 public:
  explicit LimitePerTest(std::chrono::seconds limite) : limite_(limite) {}

  void OnTestStart(const ::testing::TestInfo& t) override {
    scadenza_.reset();
    scadenza_ =
        std::make_unique<Scadenza>(std::chrono::duration_cast<std::chrono::milliseconds>(limite_),
                                   std::string("the test ") + t.test_suite_name() + "." + t.name());
  }
  void OnTestEnd(const ::testing::TestInfo&) override { scadenza_.reset(); }

 private:
  std::chrono::seconds limite_;
  std::unique_ptr<Scadenza> scadenza_;
};

// Registered before main runs the tests; gtest owns the listener.
[[maybe_unused]] const bool registrato = [] {
  const char* valore = std::getenv("CALVETRA_LIMITE_TEST");
  const long secondi = valore != nullptr ? std::strtol(valore, nullptr, 10) : 0;
  if (secondi > 0) {
    ::testing::UnitTest::GetInstance()->listeners().Append(
        new LimitePerTest(std::chrono::seconds(secondi)));
  }
  return secondi > 0;
}();

}  // namespace
}  // namespace calvetra::test
