#include "support/AllocProbe.h"
#include "support/Driver.h"
#include "support/MTreeModel.h"
#include "support/Sweep.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
// Nodes in array storage; node i carries data i + 1 (see mtreeIndex).
struct Forest {
  std::vector<MTreeNode> nodes;
  explicit Forest(std::size_t capacity = 16) { nodes.reserve(capacity); }
  _MTree* add(std::uintptr_t key, _MTree* insertTree,
              _MTree* searchTree = nullptr, bool scrambled = false) {
    nodes.emplace_back(key, scrambled, static_cast<int>(nodes.size()),
                       insertTree, searchTree);
    return &nodes.back();
  }
};

// R(A(E, F), B), nodes 0..4: by address order a lower key becomes a child,
// a higher one a sibling.
struct Example : Forest {
  _MTree *r = add(50, nullptr), *a = add(40, r), *e = add(30, a),
         *f = add(35, a), *b = add(45, a);
};
} // namespace

// Random builds, walks (left mid-way or restarted), finds and teardowns,
// some with a keyCmp that throws mid-walk; every iterator releases its stack.
TEST(MTree, AgreesWithChainModelAndReleasesEveryIterator) {
  const long live = allocprobe::liveBlocks();
  for (std::uint32_t seed = 1; seed <= 8; ++seed) {
    MTreeHarness h;
    SeededChoices choices{seed};
    EXPECT_EQ(runOperations(h, choices, 3000), "") << "seed " << seed;
  }
  EXPECT_EQ(allocprobe::liveBlocks(), live);
}

TEST(MTree, ExampleWalksFindsDuplicatesAndTearDown) {
  Example x;
  EXPECT_EQ(mtreeWalk(x.r), "0 1 2 3 4 ");
  EXPECT_EQ(mtreeWalk(x.a), "1 2 3 4 ");
  EXPECT_EQ(x.f->Depth() * 10 + x.b->Depth(), 21);
  // FindNode covers later siblings, never the parent or earlier siblings.
  EXPECT_EQ(x.a->FindNode(ptr(45)), x.b);
  EXPECT_EQ(x.a->Find(ptr(35)), x.f->Data());
  EXPECT_EQ(x.a->FindNode(ptr(50)), nullptr);
  EXPECT_EQ(x.b->Find(ptr(40)), nullptr);
  // 5 copies A's place unlinked; 6, found by the search, shares A's children
  // and goes last under R.
  _MTree *copy = x.add(40, x.a), *dup = x.add(40, x.r, x.r);
  EXPECT_EQ(copy->Duplicate() + dup->Duplicate() + copy->Depth(), 3);
  EXPECT_EQ(mtreeWalk(copy), "5 4 6 "); // then A's later siblings
  EXPECT_EQ(mtreeWalk(x.r), "0 1 2 3 4 6 ");
  _MTree* odd = x.add(1, nullptr, nullptr, true);
  EXPECT_EQ(mtreeWalk(x.add(4, odd)) + mtreeWalk(odd), "8 7 "); // keyCmp gave 2
  _List list;
  EXPECT_EQ(dup->Destroy(&list), nullptr);
  x.r->Destroy(&list);
  x.r->Destroy(&list);
  EXPECT_EQ(mtreeShow(list), "6 0 1 2 3 4 ");
  EXPECT_EQ(_MTreeIter(nullptr).next(), nullptr);
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
    const std::size_t allocs = scope.allocs(), frees = scope.frees();
    const std::size_t pushes = deep ? n - 1 : 0;
    EXPECT_EQ(allocs, n + 1 + pushes);
    EXPECT_EQ(frees, 1 + pushes);
    EXPECT_EQ(prev->Depth(), deep ? static_cast<int>(n) - 1 : 0);
    _ListIter it(list);
    std::size_t i = 0;
    while (!it.atEnd() && mtreeIndex(static_cast<_MTree*>(it++)) == int(i))
      ++i;
    EXPECT_EQ(i, n);
  }
}

namespace {
struct Fixture {
  Example x;
  _List list;
  _MTree* found = nullptr;
  std::unique_ptr<_MTreeIter> it;
};
void none(Fixture&) {}
std::string observe(Fixture& f) {
  return mtreeWalk(f.x.r) + "| " + mtreeShow(f.list) + "| " +
         mtreeShow(
             {mtreeIndex(f.found), f.it ? mtreeIndex(f.it->current()) : -2});
}

SweepRegistration rows{
    sweepRow<Fixture>(
        "MTree constructor finding a duplicate two levels down", none,
        [](Fixture& f) { f.x.add(30, f.x.r, f.x.r); }, observe),
    sweepRow<Fixture>(
        "MTree FindNode of a key two levels down", none,
        [](Fixture& f) { f.found = f.x.r->FindNode(ptr(35)); }, observe),
    sweepRow<Fixture>(
        "MTree Destroy of a root after a part was gathered",
        [](Fixture& f) { f.x.e->Destroy(&f.list); },
        [](Fixture& f) { f.x.r->Destroy(&f.list); }, observe),
    sweepRow<Fixture>(
        "MTreeIter advance into a child chain",
        [](Fixture& f) { f.it.reset(new _MTreeIter(f.x.a)); },
        [](Fixture& f) { (*f.it)++; }, observe),
};
} // namespace
