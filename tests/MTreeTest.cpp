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
static std::string walk(_MTree* start) {
  _MTreeIter it(start);
  return show(mtreeWalk(it));
}

// R(A(E, F), B), nodes 0..4: by key order a lower key becomes a child, a
// higher one a sibling. FindNode walks later siblings, never the parent or
// earlier siblings. 5 copies A's place unlinked; 6, found by the search,
// shares A's children and goes last under R.
TEST(MTree, ExampleWalksFindsDuplicatesAndTearDown) {
  Forest x;
  x.reserve(8);
  _MTree *r = x.add(50, nullptr), *a = x.add(40, r), *e = x.add(30, a),
         *f = x.add(35, a), *b = x.add(45, a);
  EXPECT_EQ(walk(r) + walk(a) + show(e->Depth(), f->Depth(), b->Depth()),
            "0 1 2 3 4  1 2 3 4  2 2 1 ");
  EXPECT_EQ(show(a->FindNode(ptr(45)) == b, a->Find(ptr(35)) == f->Data(),
                 a->FindNode(ptr(50)) == nullptr, b->Find(ptr(40)) == nullptr),
            "1 1 1 1 ");
  _MTree *copy = x.add(40, a), *dup = x.add(40, r, r);
  EXPECT_EQ(show(copy->Duplicate(), dup->Duplicate(), copy->Depth()) +
                walk(copy) + walk(r),
            "1 1 1 5 4 6  0 1 2 3 4 6  ");
  _List list;
  EXPECT_EQ(dup->Destroy(&list), nullptr);
  r->Destroy(&list);
  r->Destroy(&list);
  EXPECT_EQ(show(mtreeList(list)), "6 0 1 2 3 4  ");
}

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
