#include "support/MTreeModel.h"

#include <gtest/gtest.h>

// Random builds, walks (stopped, restarted or moved), finds and teardowns
// agree with the model after every step and survive every allocation
// failure, and a comparison that throws leaves the tree and the allocations
// as they were.
TEST(MTree, AgreesWithLinkModelUnderRandomOperationsAndFailures) {
  EXPECT_EQ(runSeeds<MTreeHarness>("MTree", 8, scaled(3000, 800)), "");
}

// Nodes in array storage; node i carries data i + 1 (see mtreeIndex).
struct Forest : Seq<MTreeNode> {
  _MTree* add(std::uintptr_t key, _MTree* insertTree, _MTree* search = {}) {
    return &emplace_back(key, false, int(size()), insertTree, search);
  }
};
// Chains built in linear time (each node placed by the previous one) and
// gathered without recursion, one list node each; the iterator's stack
// grows with the depth.
TEST(MTree, DestroyGathersMillionNodeChainsWithOneListNodeEach) {
  const std::size_t n = scaled(1000000, 20000);
  for (bool deep : {false, true}) {
    Forest f;
    f.reserve(n);
    const std::size_t allocs = allocprobe::allocs, frees = allocprobe::frees;
    _MTree* last = f.add(deep ? n : 0, nullptr);
    for (std::size_t i = 1; i < n; ++i)
      last = f.add(deep ? n - i : i, last);
    _List list;
    f[0].Destroy(&list);
    const std::size_t news = allocprobe::allocs - allocs,
                      releases = allocprobe::frees - frees;
    const Indices gathered = mtreeList(list);
    std::size_t i = 0;
    while (i < n && gathered[i] == int(i))
      ++i;
    EXPECT_EQ(show(i, last->Depth(), news - releases, releases),
              show(n, deep ? n - 1 : 0, n, deep ? n : 1));
  }
}
