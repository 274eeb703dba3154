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
