// Harness for the operation-sequence driver: _Tree with _TreeIterator against
// std::set models of the live and the killed keys. Every check verifies the
// links (order, parent links, flags, no mark left) and all three walks.
#ifndef PTRBOX_TESTS_TREEMODEL_H
#define PTRBOX_TESTS_TREEMODEL_H

#include "support/Driver.h"

#include <BinaryTree>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <set>
#include <tuple>
#include <vector>

inline std::uintptr_t keyOf(const _TreeNode* n) {
  return reinterpret_cast<std::uintptr_t>(n->key());
}

// Pre- or post-order keys read from the links (post-order is root-right-left
// reversed): live nodes only, or all nodes with "k"illed and "m"arked flags.
inline std::string linkWalk(_Tree& t, TreeIterationOrder o, bool all) {
  std::vector<_TreeNode*> seq, todo;
  if (t.root())
    todo.push_back(t.root());
  while (!todo.empty()) {
    _TreeNode* n = todo.back();
    todo.pop_back();
    seq.push_back(n);
    _TreeNode *l = n->leftChild(), *r = n->rightChild();
    for (_TreeNode* c : {o == PreOrder ? r : l, o == PreOrder ? l : r})
      if (c)
        todo.push_back(c);
  }
  if (o == PostOrder)
    std::reverse(seq.begin(), seq.end());
  std::string s;
  for (_TreeNode* n : seq)
    if (all || !n->isKilled())
      s += std::to_string(keyOf(n)) + (all && n->isKilled() ? "k" : "") +
           (all && n->isMarked() ? "m " : " ");
  return s;
}

// Keys from the current node to the end; the advance past the end must
// give null again.
inline std::string rest(_TreeIterator& it) {
  std::string s;
  for (_TreeNode* n = it(); n; n = it++)
    s += std::to_string(keyOf(n)) + " ";
  return ++it ? s + "(advanced past the end)" : s;
}

struct TreeHarness {
  _Tree tree;
  std::set<std::uintptr_t> live, killed;
  std::map<std::uintptr_t, void*> data;

  std::string expect(TreeIterationOrder o) {
    std::string s;
    for (std::uintptr_t k : live)
      s += std::to_string(k) + " ";
    return o == InOrder ? s : linkWalk(tree, o, false);
  }

  std::string step(Choices& c) {
    const std::uintptr_t k = 1 + c.below(40);
    _TreeNode* n = tree.find(ptr(k));
    if (!n != !(live.count(k) + killed.count(k)))
      return "find " + std::to_string(k);
    switch (c.below(4)) {
    case 0:
    case 1: { // a present key, even a killed one, gets its node back as is
      void* d = ptr(k + 1000 * c.below(9));
      _TreeNode* got = tree.insert(ptr(k), d);
      if (!n) {
        live.insert(k);
        data[k] = d;
      }
      return (n ? got == n : keyOf(got) == k) ? "" : "insert";
    }
    case 2: // an inner node is killed, a leaf released
      live.erase(k);
      if (n && (n->leftChild() || n->rightChild()))
        killed.insert(k);
      else
        killed.erase(k);
      c.below(2) ? tree.remove(n) : tree.remove(ptr(k));
      return "";
    default: { // a walk beside another that is not post-order
      const auto o = TreeIterationOrder(c.below(3));
      _TreeIterator it(tree, o);
      for (std::uint32_t i = c.below(12); i > 0; --i)
        ++it;
      {
        _TreeIterator other(tree, TreeIterationOrder(c.below(2)));
        for (std::uint32_t i = c.below(12); i > 0; --i)
          ++other;
      }
      _TreeNode probe(nullptr, nullptr, nullptr);
      probe.setKey(ptr(k));
      if ((it == probe) != (it() && keyOf(it()) == k) || !(it == it()) ||
          (it == nullptr) != !it())
        return "operator== against key " + std::to_string(k);
      // What is left of the walk: from the current node on, or another order.
      std::string want = " " + expect(o);
      want = it() ? want.substr(
                        want.find(" " + std::to_string(keyOf(it())) + " ") + 1)
                  : "";
      if (c.below(3) == 0)
        return ""; // abandoned: check() finds any mark left behind
      if (c.below(2)) {
        const auto other = TreeIterationOrder(c.below(3));
        it.order(other);
        want = expect(other);
      }
      return differs("rest of the walk", rest(it), want);
    }
    }
  }

  std::string check() {
    std::vector<std::tuple<_TreeNode*, _TreeNode*, std::uintptr_t,
                           std::uintptr_t>>
        todo; // node, its parent, bounds of its key
    if (tree.root())
      todo.emplace_back(tree.root(), nullptr, 0, UINTPTR_MAX);
    std::size_t nodes = 0;
    for (; !todo.empty(); ++nodes) {
      auto [n, parent, lo, hi] = todo.back();
      todo.pop_back();
      const std::uintptr_t k = keyOf(n);
      if (k <= lo || k >= hi || n->parent() != parent || n->isMarked() ||
          !(n->isKilled() ? killed : live).count(k) || n->data() != data[k])
        return "node " + std::to_string(k) + " misplaced, flagged or stale";
      if (n->leftChild())
        todo.emplace_back(n->leftChild(), n, lo, k);
      if (n->rightChild())
        todo.emplace_back(n->rightChild(), n, k, hi);
    }
    std::string e = differs("nodes", nodes, live.size() + killed.size());
    for (TreeIterationOrder o : {InOrder, PreOrder, PostOrder}) {
      _TreeIterator it(tree, o);
      if (e.empty())
        e = differs("walk", rest(it), expect(o));
    }
    return e;
  }
};

#endif
