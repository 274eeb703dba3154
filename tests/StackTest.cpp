#include "support/AllocProbe.h"
#include "support/ListModel.h"
#include "support/Sweep.h"

#include <gtest/gtest.h>

namespace {
struct StackFixture {
  _Stack stack;
};
SweepRegistration stackRows{sweepRow<StackFixture>(
    "Stack push", [](StackFixture& f) { f.stack.push(ptr(1)); },
    [](StackFixture& f) { f.stack.push(ptr(2)); },
    [](StackFixture& f) {
      return std::to_string(reinterpret_cast<std::uintptr_t>(f.stack.top()));
    })};
} // namespace

// Pushes (null pointers included), pops and tops agree with a vector.
TEST(Stack, AgreesWithVectorModel) {
  for (std::uint32_t seed = 1; seed <= 10; ++seed) {
    StackHarness h;
    SeededChoices c(seed);
    ASSERT_EQ(runOperations(h, c, 500), "") << "seed " << seed;
  }
}

TEST(Stack, OneRecordPerPushAllReleasedOnDestruction) {
  const long live0 = allocprobe::liveBlocks();
  {
    allocprobe::Scope scope;
    _Stack s;
    for (int i = 0; i < 64; ++i)
      s.push(ptr(i));
    s.pop();
    EXPECT_EQ(scope.allocs(), 64u);
    EXPECT_EQ(scope.frees(), 1u);
  }
  EXPECT_EQ(allocprobe::liveBlocks(), live0);
}
