#include "support/AllocProbe.h"
#include "support/Sweep.h"
#include "support/TreeModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

namespace {

void fill(_Tree& t, std::initializer_list<int> keys) {
  for (int k : keys)
    t.insert(ptr(k), ptr(k));
}

std::string walk(_Tree& t, TreeIterationOrder o) {
  _TreeIterator it(t, o);
  return rest(it);
}

struct TreeFixture {
  _Tree tree;
  std::optional<_TreeIterator> it; // destroyed before the tree
};
// In-order 10 20k 30 35 40 50 80, post-order 20k 10 35 40 30 80 50: both
// iterators' first live nodes lie past a killed one.
void deepTree(TreeFixture& f) {
  fill(f.tree, {50, 30, 80, 10, 40, 20, 35});
  f.tree.find(ptr(20))->kill();
}
std::string observe(TreeFixture& f) {
  _TreeNode* at = f.it ? (*f.it)() : nullptr;
  return linkWalk(f.tree, PreOrder, true) + "@" +
         (at ? std::to_string(keyOf(at)) : "-");
}

SweepRegistration treeRows{
    sweepRow<TreeFixture>(
        "Tree insert of a new key", deepTree,
        [](TreeFixture& f) { f.tree.insert(ptr(45), ptr(45)); }, observe),
    sweepRow<TreeFixture>(
        "TreeIterator construction, post-order", deepTree,
        [](TreeFixture& f) { f.it.emplace(f.tree, PostOrder); }, observe),
    sweepRow<TreeFixture>(
        "TreeIterator in-order advance past a killed node",
        [](TreeFixture& f) {
          deepTree(f);
          f.it.emplace(f.tree, InOrder);
        },
        [](TreeFixture& f) { ++*f.it; }, observe),
};

} // namespace

TEST(TreeIterator, ExampleTreesWalkInAllThreeOrders) {
  _Tree a, b;
  fill(a, {4, 2, 6, 1, 3, 5, 7});
  fill(b, {2, 1, 3});
  EXPECT_EQ(walk(a, InOrder) + walk(b, InOrder), "1 2 3 4 5 6 7 1 2 3 ");
  EXPECT_EQ(walk(a, PreOrder) + walk(b, PreOrder), "4 2 1 3 6 5 7 2 1 3 ");
  EXPECT_EQ(walk(a, PostOrder) + walk(b, PostOrder), "1 3 2 5 7 6 4 1 3 2 ");
  EXPECT_EQ(linkWalk(a, PreOrder, true), "4 2 1 3 6 5 7 "); // no mark left
  EXPECT_EQ(a.keyCmp(ptr(1), ptr(3)), -2);
  _TreeIterator none(nullptr, PreOrder), bad(a, TreeIterationOrder(3));
  EXPECT_EQ(none() || ++none || bad() || bad++, false);
}

// Insert allocates one node, a present key none; removing a leaf releases
// one, killing an inner node none.
TEST(Tree, RemovalKillsInnerNodesAndReleasesLeaves) {
  _Tree t;
  const long live0 = allocprobe::liveBlocks();
  _TreeNode* two = t.insert(ptr(2), ptr(20));
  t.insert(ptr(3), ptr(30));
  t.remove(ptr(2));
  EXPECT_EQ(t.insert(ptr(2), ptr(99)), two);
  EXPECT_EQ(two->isKilled(), 2);
  EXPECT_EQ(two->data(), ptr(20));
  EXPECT_EQ(allocprobe::liveBlocks() - live0, 2);
  t.remove(ptr(3));
  EXPECT_EQ(allocprobe::liveBlocks() - live0, 1);
  EXPECT_EQ(linkWalk(t, PreOrder, true), "2k ");
  t.remove(two);
  EXPECT_EQ(allocprobe::liveBlocks() - live0, 0);
  EXPECT_EQ(t.isEmpty(), 1);
}

TEST(Tree, DerivedComparisonFindsCStringsByContent) {
  struct CStringTree final : _Tree {
    int keyCmp(const void* treeKey, const void* searchKey) override {
      return std::strcmp(static_cast<const char*>(treeKey),
                         static_cast<const char*>(searchKey));
    }
  } t;
  char pear[] = "pear", fig[] = "fig", fig2[] = "fig";
  t.insert(pear, pear);
  t.insert(fig, fig);
  EXPECT_EQ(t.find(fig2)->data(), fig);
  EXPECT_EQ(t.insert(fig2, pear), t.find(fig));
  _TreeIterator it(t, InOrder);
  _TreeNode probe(nullptr, fig2, nullptr, nullptr);
  EXPECT_EQ(it == probe, 1);
}

// The stack is made once, plus one record per node pushed; all of it goes
// with the iterator, wherever the walk stands.
TEST(TreeIterator, ReleasesItsStackAnywhereInTheWalk) {
  _Tree t;
  fill(t, {4, 2, 6, 1, 3, 5, 7});
  for (TreeIterationOrder o : {InOrder, PreOrder, PostOrder}) {
    std::size_t made = 0;
    for (int steps = 0; steps < 9; ++steps) {
      allocprobe::Scope s;
      {
        _TreeIterator it(t, o);
        for (int i = 0; i < steps; ++i)
          ++it;
        made = s.allocs();
      }
      EXPECT_EQ(s.frees(), made);
    }
    EXPECT_EQ(made, o == PreOrder ? 4u : 8u); // a whole walk
  }
}

// A zigzag chain 1, n, 2, n-1, ... as deep as it is long, linked bottom-up
// in linear time, walked in all three orders and released by ~_Tree.
TEST(Tree, MillionNodeChainNeedsNoRecursion) {
  const std::size_t n = scaled(1000000, 20000);
  auto keyAt = [n](std::size_t d) { return d % 2 ? n - d / 2 : d / 2 + 1; };
  const long live0 = allocprobe::liveBlocks();
  {
    _Tree t;
    _TreeNode* below = nullptr;
    for (std::size_t d = n; d-- > 0;) {
      void* k = ptr(keyAt(d));
      below = d % 2 ? new _TreeNode(k, k, below, nullptr)
                    : new _TreeNode(k, k, nullptr, below);
    }
    t.newRoot(below);
    for (TreeIterationOrder o : {PostOrder, InOrder, PreOrder}) {
      _TreeIterator it(t, o);
      std::size_t i = 0, wrong = 0;
      for (_TreeNode* x = it(); x; x = ++it, ++i)
        wrong +=
            x->isMarked() || keyOf(x) != (o == InOrder    ? i + 1
                                          : o == PreOrder ? keyAt(i)
                                                          : keyAt(n - 1 - i));
      EXPECT_EQ(i + wrong, n);
    }
  }
  EXPECT_EQ(allocprobe::liveBlocks(), live0);
}

TEST(Tree, AgreesWithSetModelUnderInsertsRemovalsAndWalks) {
  for (std::uint32_t seed = 1; seed <= 8; ++seed) {
    TreeHarness h;
    SeededChoices c(seed);
    ASSERT_EQ(runOperations(h, c, 1500), "") << "seed " << seed;
  }
}
