// The multi-way tree against a model that mirrors its links by node index
// and walks them recursively, where the library walks with its iterator.
// Nodes gathered by Destroy go into one list kept across steps.
#pragma once

#include "support/Driver.h"

#include <ListIter>
#include <MTree>
#include <MTreeNodes>

#include <utility>

// Keys 0..8. A node compares by the library's default (key order) or by a
// scrambled table that also answers 2 and -2 (which place a node nowhere),
// and 0 for some unequal keys, so which node judges matters. The scrambled
// comparison of a stored 8 with a sought 0 throws (7 here): the tree and the
// allocations must stay as they were.
inline int mtreeCompare(bool scrambled, std::uintptr_t t, std::uintptr_t i) {
  static const int table[] = {1, -1, 2, 0, -2};
  return !scrambled         ? (t > i) - (t < i)
         : t == i           ? 0
         : t == 8 && i == 0 ? 7
                            : table[(t * 3 + i) % 5];
}

// Node i carries data i + 1 and tag i. The tagged base comes first and is
// polymorphic too, so the node's _MTree is not at its address: a typed walk
// that takes one for the other reads a wrong tag.
struct Tagged {
  explicit Tagged(int i) : tag(i) {}
  virtual ~Tagged() = default;
  int tag;
};
struct MTreeNode final : Tagged, _MTree {
  MTreeNode(std::uintptr_t key, bool scrambled, int i, _MTree* insertTree,
            _MTree* searchTree)
      : Tagged(i), _MTree(ptr(key), ptr(i + 1), insertTree, searchTree),
        scrambled(scrambled) {}
  int keyCmp(const void* tKey, const void* iKey) override {
    const int r = mtreeCompare(scrambled, num(tKey), num(iKey));
    return !scrambled ? _MTree::keyCmp(tKey, iKey) : r == 7 ? throw r : r;
  }
  bool scrambled;
};

using Indices = Seq<int>;
inline int mtreeIndex(const void* node) {
  return node ? int(num(static_cast<const _MTree*>(node)->Data())) - 1 : -1;
}
// The walk from the current node, `limit` nodes at most.
inline Indices mtreeWalk(_MTreeIter& it, std::size_t limit = SIZE_MAX) {
  Indices v;
  for (_MTree* x = it(); x && v.size() < limit; x = it++)
    v.push_back(mtreeIndex(x));
  return v;
}
inline Indices mtreeList(_List& list) {
  Indices v;
  for (_ListIter it(list); !it.atEnd();)
    v.push_back(mtreeIndex(it++));
  return v;
}

// f's result, or -2 when a comparison threw.
template <class F> int orThrown(F f) {
  try {
    return f();
  } catch (int) {
    return -2;
  }
}

class MTreeHarness {
 public:
  explicit MTreeHarness(Choices&) { nodes.reserve(48); }
  long blocks() const { return long(listed.size()); }

  std::string step(Choices& c) {
    if (nodes.size() == 48) // a new forest
      nodes.clear(), model.clear(), gathered.clear(), listed.clear();
    const int n = int(nodes.size()), s = n ? c.below(n) : 0,
              t = n ? c.below(n) : 0, ins = n && c.below(4) ? s : n,
              srch = n && c.below(3) ? t : n; // n: none
    const std::uintptr_t key = c.below(9);
    const bool scrambled = c.below(2);
    const int op = n ? c.below(3) : 0;
    if (op == 0) { // a node placed by node ins after a search for its key
      // from node srch, either of them maybe none
      const int got = orThrown([&] {
        nodes.emplace_back(key, scrambled, n, at(ins), at(srch));
        return 0;
      });
      return differs("placed", got, place(key, scrambled, ins, srch));
    }
    if (op == 1)
      return differs("Find", orThrown([&] {
                       return int(num(nodes[s].Find(ptr(key)))) - 1;
                     }),
                     firstEqual(s, key, s));
    nodes[s].Destroy(&gathered);
    for (int m : walk(s))
      if (!model[m].gone)
        model[m].gone = true, listed.push_back(m);
    return "";
  }

  std::string check() {
    Indices typed, viewed;
    for (MTreeNode* n : gathered)
      typed.push_back(n->tag);
    for (const MTreeNode* n :
         ptrbox::view<const MTreeNode>(static_cast<_List&>(gathered)))
      viewed.push_back(n->tag);
    std::string r =
        differs("gathered", show(mtreeList(gathered), typed, viewed),
                show(listed, listed, listed));
    for (std::size_t i = 0; i < nodes.size() && r.empty(); ++i) {
      _MTreeIter it(&nodes[0]);
      mtreeWalk(it, i % 4); // stopped after a few nodes and moved to node i
      it.SetRoot(&nodes[i]);
      r = differs("node", show(nodes[i].Depth(), nodes[i].Duplicate()),
                  show(model[i].depth, model[i].dup)) +
          differs("walk", mtreeWalk(it), walk(int(i))) +
          walksLike(
              "standard walk", nodes[i],
              [](_MTree& n) { return mtreeIndex(&n); }, walk(int(i)), 0);
      if ((nodes.size() - i) % 4 == 1) // the last node and every 4th before
        r += walksLike(
                 "typed walk", ptrbox::nodes<MTreeNode>(nodes[i]),
                 [](MTreeNode& n) { return n.tag; }, walk(int(i)), 0) +
             walksLike(
                 "const typed walk", ptrbox::nodes(std::as_const(nodes[i])),
                 [](const MTreeNode& n) { return n.tag; }, walk(int(i)), 0);
      it.reset(); // back to node 0, to its end and past it
      r += differs("walk again", mtreeWalk(it), walk(0));
      r += differs("past the end", mtreeIndex(it++), -1);
    }
    return r;
  }

 private:
  struct Rec {
    std::uintptr_t key;
    bool scrambled, gone;
    int depth, dup, child, sibling;
  };
  Seq<MTreeNode> nodes;
  Seq<Rec> model;
  ptrbox::NodeList<MTreeNode> gathered;
  Indices listed;

  _MTree* at(int i) { return i < int(nodes.size()) ? &nodes[i] : nullptr; }
  // Node m and its later siblings, each followed by its subtree; a
  // duplicate's children are not its own.
  void chain(int m, Indices& out) const {
    for (; m >= 0; m = model[m].sibling)
      if (out.push_back(m), !model[m].dup)
        chain(model[m].child, out);
  }
  Indices walk(int s) const {
    Indices out;
    chain(s, out);
    return out;
  }
  // The first equal node walked from s, judged by `judge` (-1: each node),
  // -1 for none, -2 when a comparison throws first.
  int firstEqual(int s, std::uintptr_t key, int judge) const {
    for (int m : walk(s)) {
      const int r = mtreeCompare(model[judge < 0 ? m : judge].scrambled,
                                 model[m].key, key);
      if (r == 0 || r == 7)
        return r ? -2 : m;
    }
    return -1;
  }
  // Links `node` last in the chain that starts at `link`.
  void append(int& link, int node) {
    int* last = &link;
    while (*last >= 0)
      last = &model[*last].sibling;
    *last = node;
  }
  // Places a node as the constructor does, by the exact answer of its
  // insertTree's keyCmp: 1 makes it the last child, -1 the last of
  // insertTree's chain, 0 a duplicate that copies insertTree's place without
  // being linked, anything else leaves it unlinked at depth 0. Gives 0, or -2
  // when a comparison throws.
  int place(std::uintptr_t key, bool scrambled, int ins, int srch) {
    const int me = int(model.size()),
              m = ins < me && srch < me ? firstEqual(srch, key, -1) : -1,
              how = ins < me ? mtreeCompare(model[ins].scrambled,
                                            model[ins].key, key)
                             : 3;
    if (m == -2 || how == 7)
      return -2;
    Rec r{key, scrambled, false, 0, m >= 0, m >= 0 ? model[m].child : -1, -1};
    if (how == 1)
      r.depth = model[ins].depth + 1, append(model[ins].child, me);
    if (how == -1)
      r.depth = model[ins].depth, append(model[ins].sibling, me);
    if (how == 0) // a copy of its position, unlinked
      r.depth = model[ins].depth, r.dup = 1, r.child = model[ins].child,
      r.sibling = model[ins].sibling;
    model.push_back(r);
    return 0;
  }
};
