#include "support/TreeModel.h"

#include <gtest/gtest.h>

#include <cstring>

// Random insertions, removals and walks, with a held iterator and walks that
// stop or switch order mid-way, agree with the model after every step and
// survive every allocation failure.
TEST(Tree, AgreesWithSetModelUnderRandomOperationsAndFailures) {
  EXPECT_EQ(runSeeds<TreeHarness>("BinaryTree", 8, scaled(600, 200)), "");
}

namespace {
std::string walk(_Tree& t, TreeIterationOrder o) {
  _TreeIterator it(t, o);
  return show(rest(it));
}
} // namespace

TEST(TreeIterator, ExampleTreesWalkInAllThreeOrders) {
  _Tree a, b;
  for (int k : {4, 2, 6, 1, 3, 5, 7})
    a.insert(ptr(k), nullptr);
  for (int k : {2, 1, 3})
    b.insert(ptr(k), nullptr);
  EXPECT_EQ(walk(a, InOrder) + walk(b, InOrder), "1 2 3 4 5 6 7  1 2 3  ");
  EXPECT_EQ(walk(a, PreOrder) + walk(b, PreOrder), "4 2 1 3 6 5 7  2 1 3  ");
  EXPECT_EQ(walk(a, PostOrder) + walk(b, PostOrder), "1 3 2 5 7 6 4  1 3 2  ");
  _TreeIterator none(nullptr, PreOrder), bad(a, TreeIterationOrder(3));
  EXPECT_EQ(none() || ++none || bad() || bad++, false);
}

// Removing an inner node only kills it; once its children are gone, removing
// it releases it and leaves the tree empty.
TEST(Tree, RemovalKillsInnerNodesAndReleasesLeaves) {
  _Tree t;
  _TreeNode* two = t.insert(ptr(2), ptr(20));
  t.insert(ptr(3), ptr(30));
  t.remove(ptr(2));
  EXPECT_EQ(t.insert(ptr(2), ptr(99)), two);
  EXPECT_EQ(two->isKilled() * 100 + num(two->data()), 220u);
  EXPECT_EQ(walk(t, InOrder), "3  ");
  const long live = allocprobe::liveBlocks();
  t.remove(ptr(3));
  EXPECT_EQ(walk(t, PreOrder) + std::to_string(t.root() == two), " 1");
  t.remove(two);
  EXPECT_EQ(allocprobe::liveBlocks() - live, -2);
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
  EXPECT_EQ(it == *t.find(fig2), 1);
}

// A zigzag chain 1, n, 2, n-1, ... as deep as it is long, linked bottom-up
// in linear time, walked in all three orders and released by ~_Tree.
TEST(Tree, MillionNodeChainNeedsNoRecursion) {
  const std::size_t n = scaled(1000000, 20000);
  auto keyAt = [n](std::size_t d) { return d % 2 ? n - d / 2 : d / 2 + 1; };
  const long live = allocprobe::liveBlocks();
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
      for (_TreeNode *x = it(), *prev = nullptr; x; prev = x, x = ++it, ++i)
        wrong += x->isMarked() || (o == PreOrder && i && x->parent() != prev) ||
                 keyOf(x) != (o == InOrder    ? i + 1
                              : o == PreOrder ? keyAt(i)
                                              : keyAt(n - 1 - i));
      EXPECT_EQ(i + wrong, n);
    }
  }
  EXPECT_EQ(allocprobe::liveBlocks(), live);
}
