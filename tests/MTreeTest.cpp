#include "support/MTreeModel.h"

#include <gtest/gtest.h>

#include <numeric>

// Random builds, walks (stopped, restarted or moved), finds and teardowns
// agree with the model after every step and survive every allocation
// failure, and a comparison that throws leaves the tree and the allocations
// as they were.
TEST(MTree, AgreesWithLinkModelUnderRandomOperationsAndFailures) {
  EXPECT_EQ(runSeeds<MTreeHarness>("MTree", 8, scaled(3000, 800)), "");
}

// Chains built in linear time (each node placed by the one before, and
// carrying data i + 1 as mtreeIndex() reads it) and gathered without
// recursion, one list node each; the iterator's stack grows with the depth.
TEST(MTree, DestroyGathersMillionNodeChainsWithOneListNodeEach) {
  const std::size_t n = scaled(1000000, 20000);
  for (bool deep : {false, true}) {
    Seq<MTreeNode> f;
    f.reserve(n);
    const std::size_t allocs = allocprobe::allocs, frees = allocprobe::frees;
    for (std::size_t i = 0; i < n; ++i)
      f.emplace_back(deep ? n - i : i, false, int(i), i ? &f.back() : nullptr,
                     nullptr);
    _List list;
    f[0].Destroy(&list);
    const std::size_t news = allocprobe::allocs - allocs,
                      releases = allocprobe::frees - frees;
    Indices order(n);
    std::iota(order.begin(), order.end(), 0);
    const bool listed = mtreeList(list) == order;
    // FindNode walks the whole chain and back up to a sibling of node 40:
    // past the levels a walk keeps without an allocated record.
    MTreeNode late(n + 1, false, int(n), &f[40], nullptr);
    EXPECT_EQ(show(listed, f.back().Depth(), news - releases, releases,
                   f[0].FindNode(ptr(n + 1)) == &late),
              show(1, deep ? n - 1 : 0, n, deep ? n : 1, 1));
  }
}

// FindNode keeps the first 32 ancestors of its walk in a local array and
// allocates one record per descent below them, released on the way back.
// Combs of depth around 32 (a spine with a later sibling on every level, so
// the walk climbs back through each level) find every node at the boundary
// levels at exactly that cost.
TEST(MTree, FindNodeAllocatesOnlyBelowItsFirst32Levels) {
  for (int d : {31, 32, 33, 34, 40}) {
    Seq<MTreeNode> spine, twigs;
    spine.reserve(d), twigs.reserve(d);
    for (int i = 0; i < d; ++i) // each a child of the one before
      spine.emplace_back(1000 - i, false, i, i ? &spine.back() : nullptr,
                         nullptr);
    for (int i = 1; i < d; ++i) // after spine[i] on its chain
      twigs.emplace_back(2000 + i, false, d + i, &spine[i], nullptr);
    for (int level : {1, 2, 31, 32, 33, d - 1})
      for (bool twig : {false, true}) {
        if (level >= d)
          continue;
        const std::size_t allocs = allocprobe::allocs;
        const long live = allocprobe::live();
        _MTree* got =
            spine[0].FindNode(ptr(twig ? 2000 + level : 1000 - level));
        // A twig is found on the way back up from the bottom of the spine.
        const int deepest = twig ? d - 1 : level;
        EXPECT_EQ(show(got == (twig ? &twigs[level - 1] : &spine[level]),
                       allocprobe::allocs - allocs, allocprobe::live() - live),
                  show(1, std::max(0, deepest - 32), 0))
            << "depth " << d << ", " << (twig ? "sibling" : "spine node")
            << " on level " << level;
      }
    EXPECT_EQ(spine[0].FindNode(ptr(1)), nullptr);
    EXPECT_EQ(spine[d - 1].FindNode(ptr(2000 + d - 1)), &twigs[d - 2]);
  }
}
