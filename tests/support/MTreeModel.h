// The multi-way tree against a model of plain chains: every node is a member
// of one chain (a vector of node indices) or, for a duplicate copying a
// position, stands beside one; a node's children are a chain of their own.
// The model walks recursively; the library walks with its iterator.
#ifndef PTRBOX_TESTS_MTREEMODEL_H
#define PTRBOX_TESTS_MTREEMODEL_H

#include "support/Driver.h"

#include <List>
#include <ListIter>
#include <MTree>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// Keys are small integers. A node compares by the library's default (address
// order) or by a scrambled table that also answers 2, and throws when asked
// to compare an odd key with key 0.
inline int mtreeCompare(bool scrambled, std::uintptr_t t, std::uintptr_t i) {
  if (!scrambled)
    return t < i ? -1 : t > i ? 1 : 0;
  if (t == i)
    return 0;
  if (i == 0 && t % 2)
    throw std::runtime_error("keyCmp refused");
  static const int table[] = {1, -1, 2, 1, -1};
  return table[(t * 3 + i) % 5];
}

class MTreeNode final : public _MTree {
 public:
  MTreeNode(std::uintptr_t key, bool scrambled, int index, _MTree* insertTree,
            _MTree* searchTree)
      : _MTree(ptr(key), ptr(index + 1), insertTree, searchTree),
        scrambled(scrambled) {}
  int keyCmp(const void* tKey, const void* iKey) override {
    using U = std::uintptr_t;
    return scrambled ? mtreeCompare(true, U(tKey), U(iKey))
                     : _MTree::keyCmp(tKey, iKey);
  }
  bool scrambled;
};

// Harness nodes carry their index + 1 as data.
inline int mtreeIndex(_MTree* node) {
  return node ? int(std::uintptr_t(node->Data())) - 1 : -1;
}
inline std::string mtreeShow(const std::vector<int>& v) {
  std::string s;
  for (int i : v)
    s += std::to_string(i) + " ";
  return s;
}
inline std::string mtreeShow(_List& list) {
  std::vector<int> v;
  _ListIter it(list);
  while (!it.atEnd())
    v.push_back(mtreeIndex(static_cast<_MTree*>(it++)));
  return mtreeShow(v);
}
// A call's result as text, or "throws" when a keyCmp refused.
template <class F> std::string mtreeOutcome(F f) {
  try {
    return f();
  } catch (const std::runtime_error&) {
    return "throws";
  }
}
inline std::string mtreeWalk(_MTree* start) {
  std::vector<int> v;
  _MTreeIter it(start);
  for (_MTree* x = it(); x; x = it++)
    v.push_back(mtreeIndex(x));
  return mtreeShow(v);
}

class MTreeHarness {
 public:
  MTreeHarness() { nodes.reserve(48); }

  std::string step(Choices& c) {
    const int n = static_cast<int>(nodes.size()), op = c.below(n ? 4 : 1);
    if (op == 0)
      return n == 48 ? (nodes.clear(), model.clear(), chains.clear(), "")
                     : create(c, n);
    const int s = c.below(n), t = c.below(n);
    const std::uintptr_t key = c.below(9);
    if (op == 1)
      return walkFrom(c, s, t);
    if (op == 2)
      return differs(
          "FindNode", mtreeOutcome([&] {
            return mtreeShow({mtreeIndex(nodes[s].FindNode(ptr(key)))});
          }),
          mtreeOutcome([&] { return mtreeShow({firstEqual(s, key, s)}); }));
    _List list;
    nodes[s].Destroy(&list);
    std::vector<int> want;
    for (int m : walk(s))
      if (!model[m].gone)
        want.push_back(m), model[m].gone = true;
    return differs("Destroy order", mtreeShow(list), mtreeShow(want));
  }

  std::string check() {
    for (std::size_t i = 0; i < nodes.size(); ++i)
      if (nodes[i].Depth() != model[i].depth ||
          nodes[i].Duplicate() != model[i].dup ||
          mtreeIndex(&nodes[i]) != int(i))
        return "node " + std::to_string(i) + " depth/duplicate/data differ";
    return {};
  }

 private:
  struct Rec {
    std::uintptr_t key;
    bool scrambled, gone;
    int depth, dup, kids, chain, pos; // kids: chain index or -1
  };
  std::vector<MTreeNode> nodes;
  std::vector<Rec> model;
  std::vector<std::vector<int>> chains;

  void subtree(int n, std::vector<int>& out) const {
    out.push_back(n);
    if (!model[n].dup && model[n].kids >= 0)
      for (int k : chains[model[n].kids])
        subtree(k, out);
  }
  std::vector<int> walk(int s) const {
    std::vector<int> out;
    subtree(s, out);
    const std::vector<int>& chain = chains[model[s].chain];
    for (std::size_t i = model[s].pos + 1; i < chain.size(); ++i)
      subtree(chain[i], out);
    return out;
  }
  // The first equal node walked from s, judged by `judge` (-1: by each node).
  int firstEqual(int s, std::uintptr_t key, int judge) const {
    for (int m : walk(s))
      if (mtreeCompare(model[judge < 0 ? m : judge].scrambled, model[m].key,
                       key) == 0)
        return m;
    return -1;
  }
  void join(Rec& r, int chain) {
    r.chain = chain < 0 ? static_cast<int>(chains.size()) : chain;
    if (chain < 0)
      chains.emplace_back();
    r.pos = static_cast<int>(chains[r.chain].size());
    chains[r.chain].push_back(static_cast<int>(model.size()));
  }

  std::string create(Choices& c, int n) {
    const std::uintptr_t key = c.below(8);
    const bool scrambled = c.below(2);
    const int ins = n && c.below(4) ? c.below(n) : -1;
    const int srch = n && c.below(3) ? c.below(n) : -1;
    Rec r{key, scrambled, false, 0, 0, -1, -1, 0};
    int placement = 2;
    const std::string want = mtreeOutcome([&] {
      const int m = ins >= 0 && srch >= 0 ? firstEqual(srch, key, -1) : -1;
      if (m >= 0)
        r.dup = 1, r.kids = model[m].kids;
      if (ins >= 0)
        placement = mtreeCompare(model[ins].scrambled, model[ins].key, key);
      return std::string("made");
    });
    const std::string got = mtreeOutcome([&] {
      nodes.emplace_back(key, scrambled, n, ins < 0 ? nullptr : &nodes[ins],
                         srch < 0 ? nullptr : &nodes[srch]);
      return std::string("made");
    });
    if (got != "made" || want != "made")
      return differs("construction", got, want);
    Rec* t = ins >= 0 ? &model[ins] : nullptr;
    if (placement == 1) {
      r.depth = t->depth + 1;
      if (t->kids < 0)
        t->kids = static_cast<int>(chains.size()), chains.emplace_back();
      join(r, t->kids);
    } else if (placement == -1) {
      r.depth = t->depth;
      join(r, t->chain);
    } else if (placement == 0) {
      r.depth = t->depth, r.dup = 1, r.kids = t->kids;
      if (t->pos + 1 < int(chains[t->chain].size()))
        r.chain = t->chain, r.pos = t->pos; // beside t, sharing its successors
      else
        join(r, -1);
    } else {
      join(r, -1);
    }
    model.push_back(r);
    return {};
  }

  // A partial walk from s, then a full one after SetRoot(t) or reset().
  std::string walkFrom(Choices& c, int s, int t) {
    _MTreeIter it(&nodes[s]);
    std::vector<int> got{mtreeIndex(it())}, want = walk(s);
    for (std::uint32_t j = c.below(want.size() + 1); j > 0; --j)
      got.push_back(mtreeIndex(it++));
    want.resize(got.size(), -1); // null once the walk is over
    std::string err = differs("walk", mtreeShow(got), mtreeShow(want));
    if (c.below(3) == 0)
      return err; // the iterator goes while its stack may hold items
    got.clear(), want = walk(s);
    if (c.below(2))
      it.SetRoot(&nodes[t]), want = walk(t);
    else
      it.reset();
    for (_MTree* x = it(); x; x = it++)
      got.push_back(mtreeIndex(x));
    if (it++ != nullptr || it.current() != nullptr)
      return "a finished walk moved on";
    return err + differs("walk again", mtreeShow(got), mtreeShow(want));
  }
};

#endif
