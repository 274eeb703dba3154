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
    if (!scrambled)
      return _MTree::keyCmp(tKey, iKey);
    return mtreeCompare(true, reinterpret_cast<std::uintptr_t>(tKey),
                        reinterpret_cast<std::uintptr_t>(iKey));
  }
  bool scrambled;
};

// Harness nodes carry their index + 1 as data.
inline int mtreeIndex(_MTree* node) {
  return node ? static_cast<int>(
                    reinterpret_cast<std::uintptr_t>(node->Data())) -
                    1
              : -1;
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
inline std::string mtreeWalk(_MTree* start) {
  std::vector<int> v;
  _MTreeIter it(start);
  for (_MTree* x = it(); x; x = it++)
    v.push_back(mtreeIndex(x));
  return mtreeShow(v);
}

class MTreeHarness {
 public:
  static const int kMax = 48;
  MTreeHarness() { nodes.reserve(kMax); }

  std::string step(Choices& c) {
    const int n = static_cast<int>(nodes.size()), op = c.below(n ? 4 : 1);
    if (op == 0 && n == kMax) {
      nodes.clear(), model.clear(), chains.clear();
      return {};
    }
    if (op == 0)
      return create(c, n);
    const int s = c.below(n), k = c.below(9);
    if (op == 1)
      return walkFrom(c, s, c.below(n));
    if (op == 2)
      return find(s, k);
    _List list;
    if (nodes[s].Destroy(&list) != nullptr)
      return "Destroy returned non-null";
    std::vector<int> want;
    for (int m : walk(s))
      if (!model[m].gone)
        want.push_back(m), model[m].gone = true;
    return differs("Destroy order", mtreeShow(list), mtreeShow(want));
  }

  std::string check() {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      MTreeNode& x = nodes[i];
      const Rec& r = model[i];
      if (x.Depth() != r.depth || x.Duplicate() != r.dup ||
          mtreeIndex(&x) != int(i))
        return "node " + std::to_string(i) + " depth/duplicate/data differ";
    }
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

  int compare(int m, std::uintptr_t key, int judge) {
    return mtreeCompare(model[judge].scrambled, model[m].key, key);
  }
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
    bool expectThrow = false;
    int placement = 2;
    try {
      for (int m : ins >= 0 && srch >= 0 ? walk(srch) : std::vector<int>())
        if (compare(m, key, m) == 0) {
          r.dup = 1, r.kids = model[m].kids;
          break;
        }
      if (ins >= 0)
        placement = compare(ins, key, ins);
    } catch (const std::runtime_error&) {
      expectThrow = true;
    }
    bool threw = false;
    try {
      nodes.emplace_back(key, scrambled, n, ins < 0 ? nullptr : &nodes[ins],
                         srch < 0 ? nullptr : &nodes[srch]);
    } catch (const std::runtime_error&) {
      threw = true;
    }
    if (threw || expectThrow)
      return threw == expectThrow ? "" : "construction threw unexpectedly";
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

  std::string walkFrom(Choices& c, int s, int t) {
    _MTreeIter it(&nodes[s]);
    std::vector<int> got{mtreeIndex(it())}, want = walk(s);
    for (std::uint32_t j = c.below(want.size() + 1); j > 0; --j)
      got.push_back(mtreeIndex(it++));
    std::vector<int> prefix(want);
    prefix.resize(got.size(), -1); // null once the walk is over
    std::string err = differs("walk prefix", mtreeShow(got), mtreeShow(prefix));
    if (c.below(2))
      it.SetRoot(&nodes[t]), want = walk(t);
    else
      it.reset();
    got.clear();
    for (_MTree* x = it(); x; x = it++)
      got.push_back(mtreeIndex(x));
    if (it++ != nullptr || it.current() != nullptr)
      return "a finished walk moved on";
    return err + differs("walk", mtreeShow(got), mtreeShow(want));
  }

  std::string find(int s, std::uintptr_t key) {
    int want = -1;
    bool expectThrow = false;
    try {
      for (int m : walk(s))
        if (compare(m, key, s) == 0) {
          want = m;
          break;
        }
    } catch (const std::runtime_error&) {
      expectThrow = true;
    }
    try {
      const int got = mtreeIndex(nodes[s].FindNode(ptr(key)));
      if (nodes[s].Find(ptr(key)) != (got < 0 ? nullptr : ptr(got + 1)))
        return "Find disagrees with FindNode";
      return (expectThrow ? "FindNode did not throw; " : "") +
             differs("FindNode", got, want);
    } catch (const std::runtime_error&) {
      return expectThrow ? "" : "FindNode threw unexpectedly";
    }
  }
};

#endif
