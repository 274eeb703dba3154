#include "support/AllocProbe.h"
#include "support/Sweep.h"
#include "support/TreeModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

namespace {

void fill(_Tree& t, const std::vector<int>& keys) {
  for (int k : keys)
    t.insert(ptr(k), ptr(k));
}

std::string walk(_Tree& t, TreeIterationOrder o) {
  _TreeIterator it(t, o);
  return rest(it);
}

struct CStringTree final : _Tree {
  int keyCmp(const void* treeKey, const void* searchKey) override {
    return std::strcmp(static_cast<const char*>(treeKey),
                       static_cast<const char*>(searchKey));
  }
};

struct TreeFixture {
  _Tree tree;
  std::optional<_TreeIterator> it; // destroyed before the tree
};
// Post-order 20k 10 35 40 30 80 50: the first live node lies four levels
// down, past a killed one.
void deepTree(TreeFixture& f) {
  fill(f.tree, {50, 30, 80, 10, 40, 20, 35});
  f.tree.find(ptr(20))->kill();
}
std::string observe(TreeFixture& f, bool marks) {
  _TreeNode* at = f.it ? (*f.it)() : nullptr;
  return render(f.tree, marks) + "@" + (at ? std::to_string(keyOf(at)) : "-");
}

SweepRegistration treeRows{
    sweepRow<TreeFixture>(
        "Tree insert of a new key", deepTree,
        [](TreeFixture& f) { f.tree.insert(ptr(45), ptr(45)); },
        [](TreeFixture& f) { return observe(f, true); }),
    sweepRow<TreeFixture>(
        "TreeIterator construction, post-order", deepTree,
        [](TreeFixture& f) { f.it.emplace(f.tree, PostOrder); },
        [](TreeFixture& f) { return observe(f, true); }),
    // Post-order 10 40k 30 80 50: from 10 the advance marks 30, pushes 40
    // (the one allocation) and passes it. A failure leaves 30 marked, the
    // walk's own state, from which the retry must resume.
    sweepRow<TreeFixture>(
        "TreeIterator post-order advance past a killed node",
        [](TreeFixture& f) {
          fill(f.tree, {50, 30, 80, 10, 40});
          f.tree.find(ptr(40))->kill();
          f.it.emplace(f.tree, PostOrder);
        },
        [](TreeFixture& f) { ++*f.it; },
        [](TreeFixture& f) { return observe(f, false); }),
};

} // namespace

TEST(TreeIterator, ExampleTreesWalkInAllThreeOrders) {
  const struct {
    std::vector<int> keys;
    const char *in, *pre, *post;
  } cases[] = {
      {{4, 2, 6, 1, 3, 5, 7},
       "1 2 3 4 5 6 7 ",
       "4 2 1 3 6 5 7 ",
       "1 3 2 5 7 6 4 "},
      {{2, 1, 3}, "1 2 3 ", "2 1 3 ", "1 3 2 "},
      {{1, 2, 3, 4}, "1 2 3 4 ", "1 2 3 4 ", "4 3 2 1 "}, // a right chain
      {{9}, "9 ", "9 ", "9 "},
      {{}, "", "", ""}};
  for (auto& c : cases) {
    _Tree t;
    fill(t, c.keys);
    EXPECT_EQ(walk(t, InOrder), c.in);
    EXPECT_EQ(walk(t, PreOrder), c.pre);
    EXPECT_EQ(walk(t, PostOrder), c.post);
    EXPECT_EQ(render(t), c.pre); // no mark left behind
  }
  _Tree t;
  EXPECT_EQ(t.keyCmp(ptr(1), ptr(3)), -2);
  fill(t, {2, 1});
  _TreeIterator none(nullptr, PreOrder), bad(t, TreeIterationOrder(3));
  EXPECT_EQ(none() || ++none || bad() || bad++, false);
}

TEST(TreeIterator, SkipsKilledNodesComparesByKeyAndRestarts) {
  _Tree t;
  fill(t, {4, 2, 6, 1, 3, 5, 7});
  t.find(ptr(1))->kill();
  t.remove(ptr(4));
  _TreeIterator it(t, InOrder);
  EXPECT_EQ(keyOf(it()), 2u);
  EXPECT_EQ(keyOf(it++), 3u);
  EXPECT_EQ(keyOf(++it), 5u);
  _TreeNode twin(nullptr, ptr(5), nullptr, nullptr),
      other(ptr(5), nullptr, nullptr);
  EXPECT_TRUE(it == &twin && it == twin && it != other && it != nullptr);
  EXPECT_EQ(other.key(), nullptr);
  it.reset();
  EXPECT_EQ(it->key(), ptr(2));
  it.order(PreOrder);
  EXPECT_EQ(rest(it), "2 3 6 5 7 ");
  EXPECT_EQ(it == nullptr, 1);
  it.order(PostOrder);
  ++it;
  ++it;
  EXPECT_EQ(render(t), "4km 2 1k 3 6 5 7 ");
  it.order(InOrder); // drops the post-order walk and its marks
  EXPECT_EQ(render(t), "4k 2 1k 3 6 5 7 ");
  {
    _TreeIterator post(t, PostOrder);
    ++post;
    ++post;
    it.reset(); // an in-order walk leaves the post-order marks alone
    EXPECT_EQ(render(t), "4km 2 1k 3 6 5 7 ");
  }
  EXPECT_EQ(render(t), "4k 2 1k 3 6 5 7 ");
}

// Insert allocates one node, a present key none; removing a leaf releases
// one, killing an inner node none.
TEST(Tree, RemovalKillsInnerNodesAndReleasesLeaves) {
  _Tree t;
  const long live0 = allocprobe::liveBlocks();
  _TreeNode* two = t.insert(ptr(2), ptr(20));
  t.insert(ptr(3), ptr(30));
  t.remove(ptr(2));
  EXPECT_EQ(two->isKilled(), 2);
  EXPECT_EQ(t.find(ptr(2)), two);
  EXPECT_EQ(t.insert(ptr(2), ptr(99)), two);
  EXPECT_EQ(two->data(), ptr(20));
  EXPECT_EQ(allocprobe::liveBlocks() - live0, 2);
  t.remove(ptr(3));
  EXPECT_EQ(allocprobe::liveBlocks() - live0, 1);
  EXPECT_EQ(render(t), "2k ");
  t.remove(two);
  t.remove(ptr(2));
  EXPECT_EQ(allocprobe::liveBlocks() - live0, 0);
  EXPECT_EQ(t.isEmpty(), 1);
}

TEST(Tree, DerivedComparisonFindsCStringsByContent) {
  CStringTree t;
  char pear[] = "pear", apple[] = "apple", fig[] = "fig", fig2[] = "fig";
  for (char* w : {pear, apple, fig})
    t.insert(w, w);
  EXPECT_EQ(t.find(fig2)->data(), fig);
  _TreeIterator it(t, InOrder);
  _TreeNode probe(nullptr, apple, nullptr, nullptr);
  EXPECT_EQ(it == probe, 1);
  probe.setKey(fig2);
  ++it;
  EXPECT_EQ(it == probe, 1);
}

// The stack is made once, and one record per node pushed; all of it goes
// when the iterator does, wherever the walk stands.
TEST(TreeIterator, ReleasesItsStackAnywhereInTheWalk) {
  _Tree t;
  fill(t, {4, 2, 6, 1, 3, 5, 7});
  for (TreeIterationOrder o : {InOrder, PreOrder, PostOrder})
    for (int steps = 0; steps < 9; ++steps) {
      allocprobe::Scope s;
      {
        _TreeIterator it(t, o);
        for (int i = 0; i < steps; ++i)
          ++it;
      }
      EXPECT_EQ(s.allocs(), s.frees());
      if (steps == 8) {
        EXPECT_EQ(s.allocs(), o == PreOrder ? 4u : 8u);
      }
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
