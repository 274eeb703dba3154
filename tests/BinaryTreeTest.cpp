#include "support/TreeModel.h"

#include <gtest/gtest.h>

// Random insertions, removals and walks, with an iterator held across steps
// that starts, advances and switches order beside the check's own walks,
// agree with the model after every step and survive every allocation
// failure.
TEST(Tree, AgreesWithSetModelUnderRandomOperationsAndFailures) {
  EXPECT_EQ(runSeeds<TreeHarness>("BinaryTree", 12, scaled(2000, 400)), "");
  // An iterator over no tree, or in an order that does not exist, yields
  // nothing.
  _Tree a;
  a.insert(ptr(1), nullptr);
  _TreeIterator none(nullptr, PreOrder), bad(a, TreeIterationOrder(3));
  EXPECT_EQ(none() || ++none || bad() || bad++, false);
}

// A zigzag chain 1, n, 2, n-1, ... as deep as it is long, linked bottom-up
// in linear time, walked in all three orders and released by ~_Tree.
TEST(Tree, MillionNodeChainNeedsNoRecursion) {
  const std::size_t n = scaled(1000000, 20000);
  const long live = allocprobe::live();
  Keys in, pre, post;
  for (std::size_t d = 0; d < n; ++d)
    in.push_back(d + 1), pre.push_back(d % 2 ? n - d / 2 : d / 2 + 1);
  post.assign(pre.rbegin(), pre.rend());
  {
    _Tree t;
    _TreeNode *below = nullptr, *bottom = nullptr;
    for (std::size_t d = n; d-- > 0;) {
      void* k = ptr(pre[d]);
      below =
          new _TreeNode(k, k, d % 2 ? below : nullptr, d % 2 ? nullptr : below);
      bottom = bottom ? bottom : below;
    }
    t.newRoot(below);
    std::size_t depth = 0;
    for (; bottom; bottom = bottom->parent())
      ++depth;
    _TreeIterator a(t, InOrder), b(t, PreOrder), c(t, PostOrder);
    EXPECT_EQ(show(depth, rest(a) == in, rest(b) == pre, rest(c) == post),
              show(n, 1, 1, 1));
  }
  EXPECT_EQ(allocprobe::live(), live);
}
