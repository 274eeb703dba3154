#include "support/AllocProbe.h"
#include "support/ObjectLstModel.h"
#include "support/Sweep.h"

#include <gtest/gtest.h>

#include <optional>

namespace {
struct Lists {
  ObjectLstProbe target, source;
  std::optional<ObjectLstProbe> copy;
  Lists(unsigned targetLength = 0, unsigned sourceLength = 0) {
    for (std::uintptr_t i = 0; i < targetLength; ++i)
      target.append(ptr(10 + i));
    for (std::uintptr_t i = 1; i <= sourceLength; ++i)
      source.append(ptr(i));
  }
};

SweepRow row(const char* name, Lists start, void (*op)(Lists&)) {
  return sweepRow<Lists>(
      name,
      [start](Lists& f) { f.target = start.target, f.source = start.source; },
      op,
      [](Lists& f) {
        return render(f.target) + " | " + render(f.source) +
               (f.copy ? " | " + render(*f.copy) : "");
      });
}

SweepRegistration rows{
    row("ObjectLst insert at the head", {2},
        [](Lists& f) { f.target.insert(ptr(7)); }),
    row("ObjectLst append", {2}, [](Lists& f) { f.target.append(ptr(7)); }),
    row("ObjectLst insert after an element", {3},
        [](Lists& f) { f.target.insert(ptr(11), ptr(7)); }),
    row("ObjectLst copy construction", {3},
        [](Lists& f) { f.copy.emplace(f.target); }),
    row("ObjectLst assignment", {2, 3}, [](Lists& f) { f.target = f.source; }),
    row("ObjectLst carbonCopy into a shorter target", {1, 4},
        [](Lists& f) { f.target.carbonCopy(f.source, 4, 1); }),
    row("ObjectLst carbonCopy from the tail into an empty target", {0, 3},
        [](Lists& f) { f.target.carbonCopy(f.source, 9, 0); }),
};
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

// carbonCopy overwrites from the head, allocates only the nodes the target
// lacks, releases the surplus, and changes nothing when nothing is copied.
TEST(ObjectLst, CarbonCopyReusesNodesAndReleasesSurplus) {
  struct {
    unsigned target, source, count;
    BooleanType direction;
    std::size_t allocs, frees;
    const char* want;
  } cases[] = {
      {5, 3, 3, 1, 0, 2, "3: 1 2 3 / 3 2 1"}, // longer target
      {1, 3, 3, 1, 2, 0, "3: 1 2 3 / 3 2 1"}, // shorter target
      {0, 3, 3, 0, 3, 0, "3: 3 2 1 / 1 2 3"}, // empty target, from the tail
      {2, 3, 9, 1, 1, 0, "3: 1 2 3 / 3 2 1"}, // count past the source
      {2, 3, 0, 1, 0, 0, "2: 10 11 / 11 10"}, // zero count
      {2, 0, 3, 1, 0, 0, "2: 10 11 / 11 10"}, // null source
  };
  for (const auto& c : cases) {
    Lists f(c.target, c.source);
    allocprobe::Scope scope;
    f.target.carbonCopy(f.source, c.count, c.direction);
    const std::size_t allocs = scope.allocs(), frees = scope.frees();
    EXPECT_EQ(render(f.target), c.want);
    EXPECT_EQ(allocs, c.allocs) << c.want;
    EXPECT_EQ(frees, c.frees) << c.want;
  }
}

TEST(ObjectLst, OneNodePerElementAndNothingLeaked) {
  const long live = allocprobe::liveBlocks();
  std::size_t allocs, frees;
  {
    ObjectLst l;
    allocprobe::Scope scope;
    l.insert(ptr(1)), l.append(ptr(2)), l.insert(ptr(1), ptr(3));
    l.insert(ptr(9), ptr(4)); // absent anchor: nothing to allocate
    const ObjectLst copy(l);
    l.remove(ptr(3)), l.clearList();
    allocs = scope.allocs(), frees = scope.frees();
  }
  EXPECT_EQ(allocs, 6u);
  EXPECT_EQ(frees, 3u);
  EXPECT_EQ(allocprobe::liveBlocks(), live);
}

TEST(ObjectLstIter, WithoutAListIsAtEndAndYieldsNull) {
  ObjectLstIter it(nullptr);
  EXPECT_TRUE(it.atEnd() && !it[0] && !it++ && !it-- && !it());
}
