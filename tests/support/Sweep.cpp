#include "support/Sweep.h"

#include "support/AllocProbe.h"

#include <new>

namespace {
std::vector<SweepRow>& registry() {
  static std::vector<SweepRow> rows;
  return rows;
}

const char* modeName(allocprobe::FailMode m) {
  return m == allocprobe::FailMode::Once ? "once" : "from then on";
}
} // namespace

SweepRegistration::SweepRegistration(std::initializer_list<SweepRow> rows) {
  registry().insert(registry().end(), rows);
}

const std::vector<SweepRow>& sweepRows() { return registry(); }

SweepResult sweep(const SweepRow& row) {
  SweepResult result;
  std::string expected;
  std::size_t points;
  {
    auto subject = row.make();
    allocprobe::Scope scope;
    subject->run();
    points = scope.allocs();
    expected = subject->observe();
  }
  if (points == 0)
    result.faults.push_back("the operation allocated nothing");

  for (auto mode :
       {allocprobe::FailMode::Once, allocprobe::FailMode::FromThenOn}) {
    for (std::size_t k = 0; k < points; ++k) {
      ++result.failurePoints;
      const std::string where = "failure at allocation " + std::to_string(k) +
                                " (" + modeName(mode) + "): ";
      const long live0 = allocprobe::liveBlocks();
      {
        auto subject = row.make();
        const std::string before = subject->observe();
        const long liveBefore = allocprobe::liveBlocks();
        bool threw = false;
        allocprobe::failAt(k, mode);
        try {
          subject->run();
        } catch (const std::bad_alloc&) {
          threw = true;
        }
        allocprobe::disarm();
        const long net = allocprobe::liveBlocks() - liveBefore;
        if (!threw)
          result.faults.push_back(where +
                                  "std::bad_alloc did not reach the caller");
        if (net != 0)
          result.faults.push_back(where + std::to_string(net) +
                                  " blocks held after the failure");
        const std::string after = subject->observe();
        if (after != before)
          result.faults.push_back(where + "state changed\n  before: " + before +
                                  "\n  after:  " + after);
        subject->run();
        const std::string retried = subject->observe();
        if (retried != expected)
          result.faults.push_back(where + "retry differs\n  expected: " +
                                  expected + "\n  got:      " + retried);
      }
      if (allocprobe::liveBlocks() != live0)
        result.faults.push_back(where + "blocks leaked after destruction");
    }
  }
  return result;
}
