#include "support/MTreeModel.h"

#include <gtest/gtest.h>

// Random builds, walks (stopped, restarted or moved), finds and teardowns,
// some with a keyCmp that throws mid-walk, agree with the model after every
// step and survive every allocation failure.
TEST(MTree, AgreesWithLinkModelUnderRandomOperationsAndFailures) {
  EXPECT_EQ(runSeeds<MTreeHarness>("MTree", 8, scaled(2000, 400)), "");
}

namespace {
// Nodes in array storage; node i carries data i + 1 (see mtreeIndex).
struct Forest {
  Seq<MTreeNode> nodes;
  explicit Forest(std::size_t capacity = 16) { nodes.reserve(capacity); }
  _MTree* add(std::uintptr_t key, _MTree* insertTree,
              _MTree* searchTree = nullptr, bool scrambled = false) {
    nodes.emplace_back(key, scrambled, int(nodes.size()), insertTree,
                       searchTree);
    return &nodes.back();
  }
};
std::string walk(_MTree* start) {
  _MTreeIter it(start);
  return show(mtreeWalk(it));
}
} // namespace

// R(A(E, F), B), nodes 0..4: by address order a lower key becomes a child, a
// higher one a sibling.
TEST(MTree, ExampleWalksFindsDuplicatesAndTearDown) {
  Forest x;
  _MTree *r = x.add(50, nullptr), *a = x.add(40, r);
  x.add(30, a);
  _MTree *f = x.add(35, a), *b = x.add(45, a);
  EXPECT_EQ(walk(r) + "| " + walk(a), "0 1 2 3 4  | 1 2 3 4  ");
  EXPECT_EQ(f->Depth() * 10 + b->Depth(), 21);
  // FindNode covers later siblings, never the parent or earlier siblings.
  EXPECT_EQ(a->FindNode(ptr(45)), b);
  EXPECT_EQ(a->Find(ptr(35)), f->Data());
  EXPECT_EQ(a->FindNode(ptr(50)), nullptr);
  EXPECT_EQ(b->Find(ptr(40)), nullptr);
  // 5 copies A's place unlinked; 6, found by the search, shares A's children
  // and goes last under R.
  _MTree *copy = x.add(40, a), *dup = x.add(40, r, r);
  EXPECT_EQ(copy->Duplicate() + dup->Duplicate() + copy->Depth(), 3);
  EXPECT_EQ(walk(copy) + "| " + walk(r), "5 4 6  | 0 1 2 3 4 6  ");
  _List list;
  EXPECT_EQ(dup->Destroy(&list), nullptr);
  r->Destroy(&list);
  r->Destroy(&list);
  EXPECT_EQ(show(mtreeList(list)), "6 0 1 2 3 4  ");
}

// Chains built in linear time (each node placed by the previous one) and
// gathered without recursion; the nodes themselves are never allocated.
TEST(MTree, DestroyGathersMillionNodeChainsWithOneListNodeEach) {
  const std::size_t n = scaled(1000000, 20000);
  for (bool deep : {false, true}) {
    Forest f(n);
    allocprobe::Scope scope;
    _MTree* prev = f.add(deep ? n : 0, nullptr);
    for (std::size_t i = 1; i < n; ++i)
      prev = f.add(deep ? n - i : i, prev);
    _List list;
    f.nodes[0].Destroy(&list);
    const std::size_t pushes = deep ? n - 1 : 0;
    EXPECT_EQ(scope.allocs() - scope.frees(), n);
    EXPECT_EQ(scope.frees(), 1 + pushes);
    EXPECT_EQ(prev->Depth(), deep ? int(n) - 1 : 0);
    _ListIter it(list);
    std::size_t i = 0;
    while (!it.atEnd() && mtreeIndex(it++) == int(i))
      ++i;
    EXPECT_EQ(i, n);
  }
}
