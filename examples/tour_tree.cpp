#include "tour.h"

#include <BinaryTree>

#include <cstdio>
#include <initializer_list>

namespace {
void printWalk(_Tree& tree, TreeIterationOrder order, const char* name) {
  std::printf("tree %-10s :", name);
  _TreeIterator it(tree, order);
  for (_TreeNode* n = it(); n; n = ++it)
    std::printf(" %s", static_cast<const char*>(n->data()));
  std::puts("");
}
} // namespace

void tourTree() {
  static const char* const names[] = {"zero", "one",  "two", "three",
                                      "four", "five", "six", "seven"};
  // Small integers as keys: the default comparison orders the pointer values.
  _Tree tree;
  for (int k : {4, 2, 6, 1, 3, 5, 7})
    tree.insert(reinterpret_cast<void*>(k), const_cast<char*>(names[k]));
  printWalk(tree, InOrder, "in-order");
  printWalk(tree, PreOrder, "pre-order");
  printWalk(tree, PostOrder, "post-order");

  // Removing an inner node only kills it: find still meets it, walks skip it.
  _TreeNode* two = tree.find(reinterpret_cast<void*>(2));
  tree.remove(two);
  std::printf("tree remove(2): node %s stays, isKilled() = %d\n",
              static_cast<const char*>(two->data()), two->isKilled());
  printWalk(tree, InOrder, "in-order");
}
