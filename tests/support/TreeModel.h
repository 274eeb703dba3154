// The binary tree and its iterators against the state of each key. Every
// check verifies the links (order, parent links, flags, marks) and all three
// walks. Two iterators are held across steps, at most one in post-order
// (its marks are on the nodes); they start, advance, switch order and are
// dropped while the other goes on, and a held one must keep its node when an
// advance fails and reach the right ones after.
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

// Keys from the current node to the end.
inline Keys rest(_TreeIterator& it) {
  Keys keys;
  for (; it(); ++it)
    keys.push_back(keyOf(it()));
  return keys;
}

// Keys 1..40; state[k]: 0 absent, 1 live, 2 killed; data[k] its datum.
struct TreeHarness {
  struct Held {
    std::optional<_TreeIterator> it;
    TreeIterationOrder order = InOrder;
    Keys walk; // what it reaches, from where it started
    std::size_t at = 0;
  };
  _Tree tree;
  int state[41] = {};
  std::uintptr_t data[41] = {};
  Held held[2]; // after the tree, so destroyed before it

  explicit TreeHarness(Choices&) {}
  long size() const { return 41 - std::count(state, state + 41, 0); }
  // A failed advance leaves the records it pushed with its iterator (part of
  // the walk, released with it), so blocks go unchecked while one is held.
  long blocks() const { return held[0].it || held[1].it ? -1 : size(); }
  bool marking() const {
    return (held[0].it && held[0].order == PostOrder) ||
           (held[1].it && held[1].order == PostOrder);
  }

  // Live keys in order `o`, read from the links (which check() verifies):
  // sorted, root-left-right, or root-right-left reversed.
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

  std::string step(Choices& c) {
    const std::uintptr_t k = 1 + c.below(40), steps = c.below(12),
                         op = c.below(3) ? 3 + c.below(3) : c.below(3);
    const std::uint32_t i = c.below(2);
    Held& h = held[i];
    const bool postOrderHeld = held[!i].it && held[!i].order == PostOrder;
    const auto o = TreeIterationOrder(c.below(postOrderHeld ? 2 : 3));
    _TreeNode* n = tree.find(ptr(k));
    if (op < 2) { // a present key, even a killed one, keeps its node as is
      _TreeNode* got = tree.insert(ptr(k), ptr(steps));
      if (!n)
        state[k] = 1, data[k] = steps;
      held[0].it.reset(), held[1].it.reset(); // their walks are stale
      return differs("insert", show(keyOf(got), got == n), show(k, !!n));
    }
    if (op == 2) { // an inner node is killed, a leaf released (the walks
      // may hold it, so they go first)
      held[0].it.reset(), held[1].it.reset();
      state[k] = n && (n->leftChild() || n->rightChild()) ? 2 : 0;
      return steps % 2 ? tree.remove(n) : tree.remove(ptr(k)), "";
    }
    if (op == 3 || !h.it) { // a failed start leaves no walk
      h.it.reset(), h.it.emplace(tree, o);
      h.order = o, h.walk = expect(o), h.at = 0;
    } else if (op == 4)
      for (std::uint32_t s = 0; s <= steps; ++s)
        ++*h.it, ++h.at;
    else
      try { // a failed restart drops the walk
        h.it->order(o), h.order = o, h.walk = expect(o), h.at = 0;
      } catch (const std::bad_alloc&) {
        h.it.reset();
        throw;
      }
    return "";
  }

  std::string check() {
    // Node, parent, bounds of its key; only a held post-order walk marks.
    Seq<std::tuple<_TreeNode*, _TreeNode*, std::uintptr_t, std::uintptr_t>>
        todo{{tree.root(), nullptr, 0, 41}};
    long nodes = 0;
    while (!todo.empty()) {
      const auto [n, parent, lo, hi] = todo.back();
      const std::uintptr_t k = keyOf(n);
      todo.pop_back();
      if (n &&
          (k <= lo || k >= hi || n->parent() != parent ||
           (n->isMarked() && !marking()) ||
           state[k] != (n->isKilled() ? 2 : 1) || num(n->data()) != data[k]))
        return show("node", k, "misplaced, flagged or stale");
      if (n)
        ++nodes, todo.push_back({n->leftChild(), n, lo, k}),
            todo.push_back({n->rightChild(), n, k, hi});
    }
    std::string r = differs("nodes", nodes, size());
    for (auto o : {InOrder, PreOrder, marking() ? InOrder : PostOrder}) {
      _TreeIterator it(tree, o);
      r += differs("walk", rest(it), expect(o));
    }
    for (Held& h : held) {
      const std::uintptr_t at = h.at < h.walk.size() ? h.walk[h.at] : 0;
      _TreeNode same(nullptr, ptr(at), nullptr, nullptr); // by key
      if (h.it)
        r += differs("held",
                     show(keyOf((*h.it)()), *h.it == same, *h.it == nullptr),
                     show(at, at != 0, at == 0));
    }
    return r;
  }
};

#endif
