// The binary tree and its iterators against the state of each key. Every
// check verifies the links (order, parent links, flags, marks) and all three
// walks. One iterator is held across steps, in any order, and must keep its
// node when an advance fails and reach the right ones after; other walks
// start, stop and switch order inside one step, beside it.
#ifndef PTRBOX_TESTS_TREEMODEL_H
#define PTRBOX_TESTS_TREEMODEL_H

#include "support/Driver.h"

#include <BinaryTree>

#include <algorithm>
#include <optional>
#include <tuple>

using Keys = Seq<std::uintptr_t>;
inline std::uintptr_t keyOf(const _TreeNode* n) {
  return n ? num(n->key()) : 0;
}

// Keys from the current node on, `limit` at most.
inline Keys rest(_TreeIterator& it, std::size_t limit = SIZE_MAX) {
  Keys keys;
  for (; it() && keys.size() < limit; ++it)
    keys.push_back(keyOf(it()));
  return keys;
}

// Keys 1..40; state[k]: 0 absent, 1 live, 2 killed; data[k] its datum.
struct TreeHarness {
  _Tree tree;
  int state[41] = {};
  std::uintptr_t data[41] = {};
  std::optional<_TreeIterator> held; // goes before the tree
  TreeIterationOrder heldOrder = InOrder;
  Keys heldWalk;
  std::size_t heldAt = 0;

  explicit TreeHarness(Choices&) {}
  // A failed advance leaves the records it pushed with the iterator (part of
  // the walk, released with it), so blocks go unchecked while one is held;
  // dropping it must bring them back to one per node.
  long blocks() const {
    return held ? -1 : 41 - std::count(state, state + 41, 0);
  }

  // Live keys in order, or in pre- or post-order (root-right-left,
  // reversed) by the links, which check() verifies.
  Keys expect(TreeIterationOrder o) const {
    Seq<_TreeNode*> todo{tree.root()};
    Keys keys;
    while (!todo.empty()) {
      _TreeNode* n = todo.back();
      todo.pop_back();
      if (n && !n->isKilled())
        keys.push_back(keyOf(n));
      if (n)
        todo.push_back(o == PreOrder ? n->rightChild() : n->leftChild()),
            todo.push_back(o == PreOrder ? n->leftChild() : n->rightChild());
    }
    if (o == InOrder)
      std::sort(keys.begin(), keys.end());
    if (o == PostOrder)
      std::reverse(keys.begin(), keys.end());
    return keys;
  }

  Action pick(Choices& c) {
    // A held walk mostly goes on, beside walks that start and stop.
    const std::uintptr_t k = 1 + c.below(40),
                         op = held && c.below(3) ? 3 + c.below(3) : c.below(6);
    const std::uint32_t steps = c.below(12), mode = c.below(3);
    const std::uint32_t orders = held && heldOrder == PostOrder ? 2 : 3;
    const auto o = TreeIterationOrder(c.below(orders)), // one post-order
        o2 = TreeIterationOrder(c.below(orders));       // walk at a time
    if (op < 3 || (held && !(*held)()))
      held.reset(); // the tree changes, or the held walk is over
    return [=] {
      _TreeNode* n = tree.find(ptr(k));
      if (op < 2) { // a present key, even a killed one, gets its node as is
        _TreeNode* got = tree.insert(ptr(k), ptr(steps));
        if (!n)
          state[k] = 1, data[k] = steps;
        return differs("insert", show(keyOf(got), got == n), show(k, !!n));
      }
      if (op == 2) { // an inner node is killed, a leaf released
        const int after = n && (n->leftChild() || n->rightChild()) ? 2 : 0;
        mode ? tree.remove(n) : tree.remove(ptr(k));
        state[k] = after;
        return std::string();
      }
      if (op > 3 && held) { // a failed advance keeps its node and records
        for (std::uint32_t i = 0; i <= steps; ++i)
          ++*held, ++heldAt;
        return std::string();
      }
      if (op > 3) { // a throw leaves it empty
        held.emplace(tree, o);
        heldOrder = o, heldWalk = expect(o), heldAt = 0;
        return std::string();
      }
      // A walk inside the step: stopped, finished, or switched and finished.
      _TreeIterator it(tree, o);
      Keys want = expect(o), got = rest(it, steps);
      _TreeNode probe(nullptr, nullptr, nullptr);
      probe.setKey(ptr(k));
      std::string r = differs("==", show(it == probe, it == nullptr),
                              show(keyOf(it()) == k, !it()));
      if (mode == 1)
        it.order(o2), want = expect(o2), got.clear();
      if (mode == 0)
        want.resize(std::min<std::size_t>(want.size(), steps));
      for (std::uintptr_t key : mode ? rest(it) : Keys())
        got.push_back(key);
      if (mode)
        r += differs("past the end", keyOf(++it), std::uintptr_t(0));
      return r + differs("walk", got, want);
    };
  }

  std::string check() {
    // Node, parent, bounds of its key; a held post-order walk owns marks.
    Seq<std::tuple<_TreeNode*, _TreeNode*, std::uintptr_t, std::uintptr_t>>
        todo{{tree.root(), nullptr, 0, 41}};
    const bool marking = held && heldOrder == PostOrder;
    long nodes = 0;
    while (!todo.empty()) {
      const auto [n, parent, lo, hi] = todo.back();
      const std::uintptr_t k = keyOf(n);
      todo.pop_back();
      if (n &&
          (k <= lo || k >= hi || n->parent() != parent ||
           (n->isMarked() && !marking) || state[k] != (n->isKilled() ? 2 : 1) ||
           num(n->data()) != data[k]))
        return show("node", k, "misplaced, flagged or stale");
      if (n)
        ++nodes, todo.push_back({n->leftChild(), n, lo, k}),
            todo.push_back({n->rightChild(), n, k, hi});
    }
    std::string r =
        differs("nodes", nodes, long(41 - std::count(state, state + 41, 0)));
    for (TreeIterationOrder o : {InOrder, PreOrder, PostOrder}) {
      _TreeIterator it(tree, o == PostOrder && marking ? InOrder : o);
      r += differs("walk", rest(it),
                   expect(o == PostOrder && marking ? InOrder : o));
    }
    const std::uintptr_t at = heldAt < heldWalk.size() ? heldWalk[heldAt] : 0;
    return r + differs("held", held ? keyOf((*held)()) : 0, held ? at : 0);
  }
};

#endif
