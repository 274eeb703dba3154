#include "support/AllocProbe.h"
#include "support/ObjectLstModel.h"
#include "support/Sweep.h"

#include <gtest/gtest.h>

#include <optional>

namespace {
// A target holding 10, 11, ... and a source holding 1, 2, ...
struct Lists {
  ObjectLstProbe target, source;
  std::optional<ObjectLstProbe> copy;
};
std::string observe(Lists& f) {
  return objectLstWalks(f.target) + " | " + objectLstWalks(f.source) +
         (f.copy ? " | " + objectLstWalks(*f.copy) : "");
}

// Each operation with the nodes it must allocate and release and the list it
// must leave (the copy, where there is one); the allocating ones also join
// the failure sweep.
const struct Operation {
  const char* name;
  unsigned target, source;
  void (*run)(Lists&);
  std::size_t allocs, frees;
  const char* want;
  void setUp(Lists& f) const {
    for (std::uintptr_t i = 0; i < target; ++i)
      f.target.append(ptr(10 + i));
    for (std::uintptr_t i = 1; i <= source; ++i)
      f.source.append(ptr(i));
  }
} operations[] = {
    {"insert at the head", 2, 0, [](Lists& f) { f.target.insert(ptr(7)); }, 1,
     0, "3: 7 10 11 / 11 10 7"},
    {"append", 2, 0, [](Lists& f) { f.target.append(ptr(7)); }, 1, 0,
     "3: 10 11 7 / 7 11 10"},
    {"insert after the tail", 2, 0,
     [](Lists& f) { f.target.insert(ptr(11), ptr(7)); }, 1, 0,
     "3: 10 11 7 / 7 11 10"},
    {"insert after an absent element", 2, 0,
     [](Lists& f) { f.target.insert(ptr(9), ptr(7)); }, 0, 0,
     "2: 10 11 / 11 10"},
    {"copy construction", 0, 3, [](Lists& f) { f.copy.emplace(f.source); }, 3,
     0, "3: 1 2 3 / 3 2 1"},
    {"assignment", 2, 3, [](Lists& f) { f.target = f.source; }, 3, 2,
     "3: 1 2 3 / 3 2 1"},
    {"carbonCopy into a longer target", 5, 3,
     [](Lists& f) { f.target.carbonCopy(f.source, 3, 1); }, 0, 2,
     "3: 1 2 3 / 3 2 1"},
    {"carbonCopy into a shorter target", 1, 3,
     [](Lists& f) { f.target.carbonCopy(f.source, 3, 1); }, 2, 0,
     "3: 1 2 3 / 3 2 1"},
    {"carbonCopy from the tail, count past the source", 0, 3,
     [](Lists& f) { f.target.carbonCopy(f.source, 9, 0); }, 3, 0,
     "3: 3 2 1 / 1 2 3"},
    {"carbonCopy of zero elements", 2, 3,
     [](Lists& f) { f.target.carbonCopy(f.source, 0, 1); }, 0, 0,
     "2: 10 11 / 11 10"},
    {"carbonCopy from a null source", 2, 0,
     [](Lists& f) { f.target.carbonCopy(f.source, 3, 1); }, 0, 0,
     "2: 10 11 / 11 10"},
    {"remove the head", 3, 0, [](Lists& f) { f.target.remove(ptr(10)); }, 0, 1,
     "2: 11 12 / 12 11"},
    {"clearList", 3, 0, [](Lists& f) { f.target.clearList(); }, 0, 3, "0: /"},
};

const bool swept = [] {
  for (const Operation& o : operations)
    if (o.allocs != 0)
      SweepRegistration{sweepRow<Lists>(
          std::string("ObjectLst ") + o.name, [&o](Lists& f) { o.setUp(f); },
          o.run, observe)};
  return true;
}();
} // namespace

// Random operations on the list and its iterator agree with a std::list
// model, and both walks of the chain match it after every step.
TEST(ObjectLst, AgreesWithListModelUnderRandomOperations) {
  for (std::uint32_t seed : {1u, 2u, 3u, 4u}) {
    ObjectLstHarness h;
    SeededChoices choices{seed};
    EXPECT_EQ(runOperations(h, choices, scaled(20000, 2000)), "") << seed;
  }
}

// One node per inserted element; carbonCopy allocates only the nodes the
// target lacks and releases the surplus; nothing outlives the lists.
TEST(ObjectLst, AllocatesOnlyTheNodesItAdds) {
  const long live = allocprobe::liveBlocks();
  for (const Operation& o : operations) {
    Lists f;
    o.setUp(f);
    allocprobe::Scope scope;
    o.run(f);
    const std::size_t allocs = scope.allocs(), frees = scope.frees();
    EXPECT_EQ(objectLstWalks(f.copy ? *f.copy : f.target), o.want) << o.name;
    EXPECT_EQ(allocs, o.allocs) << o.name;
    EXPECT_EQ(frees, o.frees) << o.name;
  }
  EXPECT_EQ(allocprobe::liveBlocks(), live);
}

TEST(ObjectLstIter, WithoutAListIsAtEndAndYieldsNull) {
  ObjectLstIter it(nullptr);
  EXPECT_TRUE(it.atEnd() && !it[0] && !it++ && !it-- && !it());
}
