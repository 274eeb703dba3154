// Harness for the operation-sequence driver: _Tree with _TreeIterator against
// std::set models of the live and the killed keys. After every step the links
// are checked (order, parent links, flags, no marks left) and all three walks
// are compared with walks computed from the links.
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

// The nodes in `o`, from the links on a vector; post-order is the reverse of
// root-right-left.
inline std::vector<_TreeNode*> linkOrder(_Tree& t, TreeIterationOrder o) {
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
  return seq;
}

// Pre-order keys with "k" for killed and "m" for marked nodes.
inline std::string render(_Tree& t, bool marks = true) {
  std::string s;
  for (_TreeNode* n : linkOrder(t, PreOrder))
    s += std::to_string(keyOf(n)) + (n->isKilled() ? "k" : "") +
         (marks && n->isMarked() ? "m " : " ");
  return s;
}

// Keys from the current node to the end of the walk.
inline std::string rest(_TreeIterator& it) {
  std::string s;
  for (_TreeNode* n = it(); n; n = ++it)
    s += std::to_string(keyOf(n)) + " ";
  return s + (it++ ? "advanced past the end" : "");
}

struct TreeHarness {
  _Tree tree;
  std::set<std::uintptr_t> live, killed;
  std::map<std::uintptr_t, void*> data;
  std::uintptr_t stamp = 0;

  static TreeIterationOrder order(Choices& c) {
    return static_cast<TreeIterationOrder>(c.below(3));
  }

  std::string expected(TreeIterationOrder o) {
    std::string s;
    if (o == InOrder)
      for (std::uintptr_t k : live)
        s += std::to_string(k) + " ";
    else
      for (_TreeNode* n : linkOrder(tree, o))
        s += n->isKilled() ? "" : std::to_string(keyOf(n)) + " ";
    return s;
  }

  std::string step(Choices& c) {
    const std::uintptr_t k = 1 + c.below(40);
    _TreeNode* n = tree.find(ptr(k));
    const bool present = live.count(k) || killed.count(k);
    if (std::string e = differs("find", n != nullptr, present); !e.empty())
      return e;
    switch (c.below(5)) {
    case 0:
    case 1: { // a present key, even a killed one, gets its node back as is
      void* d = ptr(k + 1000 * ++stamp);
      _TreeNode* got = tree.insert(ptr(k), d);
      if (!present) {
        live.insert(k);
        data[k] = d;
        n = got;
      }
      return differs("insert", got == n && keyOf(got) == k, true);
    }
    case 2: // an inner node is killed, a leaf released
      live.erase(k);
      if (n && (n->leftChild() || n->rightChild()))
        killed.insert(k);
      else
        killed.erase(k);
      c.below(2) ? tree.remove(n) : tree.remove(ptr(k));
      return {};
    case 3:
      if (n && n->isKilled() && c.below(2)) {
        n->revive();
        killed.erase(k);
        live.insert(k);
      }
      return {};
    default: { // a walk abandoned part way, or restarted in another order
      _TreeIterator it(tree, order(c));
      for (std::uint32_t i = c.below(12); i > 0; --i)
        ++it;
      if (c.below(2))
        return {};
      const TreeIterationOrder o = order(c);
      it.order(o);
      return differs("walk after order()", rest(it), expected(o));
    }
    }
  }

  std::string check() {
    std::vector<std::tuple<_TreeNode*, std::uintptr_t, std::uintptr_t>> todo;
    if (tree.root())
      todo.emplace_back(tree.root(), 0, UINTPTR_MAX);
    std::size_t nodes = 0;
    while (!todo.empty()) {
      auto [n, lo, hi] = todo.back();
      todo.pop_back();
      const std::uintptr_t k = keyOf(n);
      if (k <= lo || k >= hi || n->isMarked() ||
          (n->isKilled() ? killed : live).count(k) == 0 || n->data() != data[k])
        return "node " + std::to_string(k) + " misplaced, marked or stale";
      ++nodes;
      for (auto [c, l, h] : {std::make_tuple(n->leftChild(), lo, k),
                             std::make_tuple(n->rightChild(), k, hi)})
        if (c && c->parent() != n)
          return "parent link of " + std::to_string(keyOf(c));
        else if (c)
          todo.emplace_back(c, l, h);
    }
    if (tree.root() && tree.root()->parent())
      return "the root has a parent";
    std::string e = differs("nodes", nodes, live.size() + killed.size());
    for (TreeIterationOrder o : {InOrder, PreOrder, PostOrder}) {
      _TreeIterator it(tree, o);
      if (e.empty())
        e = differs("walk", rest(it), expected(o));
    }
    return e;
  }
};

#endif
