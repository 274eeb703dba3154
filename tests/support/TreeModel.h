// The binary tree and its iterators against the state of each key. A check
// verifies every link (key order, parent, flags, marks, data) on a recursive
// walk that also gives the three orders, and walks the tree in each beside
// one iterator held across steps. The held one starts, advances and
// switches order; it must keep its node when an advance fails and reach the
// right ones after.
#pragma once

#include "support/Driver.h"

#include <BinaryTree>

#include <algorithm>
#include <optional>

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
  _Tree tree;
  int state[41] = {};
  std::uintptr_t data[41] = {};
  std::optional<_TreeIterator> held; // after the tree, so destroyed first
  TreeIterationOrder order = InOrder;
  Keys walk; // what the held iterator reaches, from its start
  std::size_t at = 0;
  long seen = 0; // nodes visited by links()

  explicit TreeHarness(Choices&) {}
  long size() const { return 41 - std::count(state, state + 41, 0); }
  // A failed advance leaves the records it pushed with the iterator, part of
  // its walk: blocks go unchecked while it is held.
  long blocks() const { return held ? -1 : size(); }

  // Appends the live keys below n in order o; "" or the first bad node. Only
  // a held post-order walk marks nodes.
  std::string links(_TreeNode* n, _TreeNode* up, std::uintptr_t lo,
                    std::uintptr_t hi, TreeIterationOrder o, Keys& out) {
    const std::uintptr_t k = keyOf(n);
    const bool live = n && !n->isKilled();
    if (!n)
      return "";
    if (++seen, k <= lo || k >= hi || n->parent() != up ||
                    state[k] != 2 - live || num(n->data()) != data[k] ||
                    (n->isMarked() && !(held && order == PostOrder)))
      return show("node", k, "misplaced, flagged or stale");
    if (live && o == PreOrder)
      out.push_back(k);
    std::string r = links(n->leftChild(), n, lo, k, o, out);
    if (live && o == InOrder)
      out.push_back(k);
    r += links(n->rightChild(), n, k, hi, o, out);
    if (live && o == PostOrder)
      out.push_back(k);
    return r;
  }
  Keys expect(TreeIterationOrder o) {
    Keys keys;
    seen = 0;
    links(tree.root(), nullptr, 0, 41, o, keys);
    return keys;
  }

  // Which nodes erase_if with `pick`, from live position i in key order,
  // kills (state 2: a child is left) or releases (0), below n; true when n
  // stays linked. Read before the erasure, from the tree's links.
  bool settle(_TreeNode* n, const ErasePick& pick, std::size_t& i) {
    if (!n)
      return false;
    const bool left = settle(n->leftChild(), pick, i);
    const std::uintptr_t k = keyOf(n);
    if (state[k] == 1 && pick.accepts(i++))
      state[k] = left || n->rightChild() ? 2 : 0;
    settle(n->rightChild(), pick, i);
    return state[k] != 0;
  }

  // Inserts (0, 1) or removes (2) key k, runs a walk through order() and
  // reset() or starts the held walk in order o (3), advances the held walk
  // steps + 1 times (4), or erases by position in key order (5).
  std::string step(Choices& c) {
    const std::uintptr_t k = 1 + c.below(40), steps = c.below(12),
                         op = c.below(6);
    const auto o = TreeIterationOrder(c.below(3));
    _TreeNode* n = tree.find(ptr(k));
    if (op < 2) { // a present key, even a killed one, keeps its node as is
      _TreeNode* got = tree.insert(ptr(k), ptr(steps));
      if (!n)
        state[k] = 1, data[k] = steps;
      held.reset(); // its walk is stale
      return differs("insert", show(keyOf(got), got == n), show(k, !!n));
    }
    if (op == 2) {
      // An inner node is killed, a leaf released; the held walk may hold the
      // leaf, so the walk goes first.
      held.reset();
      state[k] = n && (n->leftChild() || n->rightChild()) ? 2 : 0;
      return steps % 2 ? tree.remove(n) : tree.remove(ptr(k)), "";
    }
    if (op == 5) {
      held.reset();
      const ErasePick pick(c);
      Keys live = expect(InOrder);
      std::size_t i = 0;
      const std::string want = erased(live, pick);
      settle(tree.root(), pick, i);
      return differs(
          "erase_if",
          eraseWith(tree, pick, [](_TreeNode& x) { return keyOf(&x); }), want);
    }
    if (op == 3 && steps < 4) { // a walk switched, advanced and restarted
      const bool marking = held && order == PostOrder; // one post-order walk
      const auto o2 = marking && o == PostOrder ? InOrder : o;
      const Keys want = expect(o2); // before the walk marks nodes
      _TreeIterator it(tree, marking ? InOrder : PreOrder);
      it.order(o2);
      ++it;
      it.reset();
      return differs("restarted", rest(it), want);
    }
    if (op == 3 || !held) { // a failed start leaves no walk
      held.reset(), held.emplace(tree, o);
      order = o, walk = expect(o), at = 0;
    } else {
      for (std::uint32_t s = 0; s <= steps; ++s)
        ++*held, ++at;
    }
    return "";
  }

  std::string check() {
    _TreeIterator{tree, InOrder}; // a walk given up beside the held one
    const bool marking = held && order == PostOrder;
    std::string r;
    for (auto o : {InOrder, PreOrder, marking ? InOrder : PostOrder}) {
      Keys want;
      seen = 0;
      r += links(tree.root(), nullptr, 0, 41, o, want);
      // Started after links() (a post-order start marks nodes) and switched
      // to its order with order().
      _TreeIterator it(tree, PreOrder);
      it.order(o);
      r += differs("nodes", seen, size()) + differs("walk", rest(it), want);
      if (o == InOrder) // the standard walk: live nodes in key order
        r += walksLike(
            "standard walk", tree, [](_TreeNode& n) { return keyOf(&n); }, want,
            std::uintptr_t(1));
    }
    const std::uintptr_t want = at < walk.size() ? walk[at] : 0;
    _TreeNode same(nullptr, nullptr, nullptr); // another node, same key
    same.setKey(ptr(want));
    if (held)
      r += differs("held",
                   show(keyOf((*held)()), *held == same, *held == nullptr),
                   show(want, want != 0, want == 0));
    return r;
  }
};
