// Checks of an operation's arguments against the objects they name: no
// state of their own (the multi-way tree's linked nodes are Rules.cpp's).
#include "Hooks.h"
#include "Messages.h"

#include "Hash"
#include "MTree"
#include "ObjectLst"
#include "OrderList"
#include "BinaryTree"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <typeinfo>

namespace ptrbox_checked {
namespace {

bool growthOverflows(int size, int threshold, float rate) {
  const double grown = static_cast<double>(size) * threshold;
  return grown > INT32_MAX || size + grown * rate + 0.5 > INT32_MAX;
}

void hashValues(char (&values)[96], int size, int threshold, float rate) {
  std::snprintf(values, sizeof values, "size %d, threshold %d, rate %g", size,
                threshold, static_cast<double>(rate));
}

} // namespace

void hashMade(const _Hash* table, int size, int threshold, float rate) {
  char values[96];
  hashValues(values, size, threshold, rate);
  if (size < 1)
    report("_Hash::_Hash", Rule::HashSize, "table", table, nullptr, nullptr,
           values);
  if (!std::isfinite(rate) || rate < 0)
    report("_Hash::_Hash", Rule::HashRate, "table", table, nullptr, nullptr,
           values);
  if (growthOverflows(size, threshold, rate))
    report("_Hash::_Hash", Rule::HashFirstGrowth, "table", table, nullptr,
           nullptr, values);
  containerMade(table);
}

void hashGrowing(const _Hash* table, int size, int threshold, float rate) {
  if (!growthOverflows(size, threshold, rate))
    return;
  char values[96];
  hashValues(values, size, threshold, rate);
  report("_Hash::resize", Rule::HashGrowth, "table", table, nullptr, nullptr,
         values);
}

void listInsert(const char* op, const _List* list) {
  // Ordered lists need keyed nodes; a plain list costs one type comparison.
  if (&typeid(*list) != &typeid(_List) &&
      dynamic_cast<const _OrderList*>(list) != nullptr)
    report(op, Rule::KeylessInsert, "list", list);
}

void carbonCopyFrom(const ObjectLst* list, const ObjectListElement* head,
                    const ObjectListElement* tail,
                    const ObjectListElement* chain) {
  if (chain && (chain == head || chain == tail))
    report("ObjectLst::carbonCopy", Rule::CarbonCopyInside, "list", list,
           "chain", chain);
}

void treeRemoving(const _Tree* tree, const _TreeNode* root,
                  const _TreeNode* node) {
  // A node of this tree leads up to its root: O(depth), the walk an
  // insertion at that depth makes.
  const _TreeNode* top = node;
  while (top->parent())
    top = top->parent();
  if (top != root)
    report("_Tree::remove", Rule::TreeForeignNode, "tree", tree, "node", node);
  treeChanged(tree);
}

void mtreePlacing(const _MTree* node, const _MTree* insertTree, int placement) {
  // Placing a node below itself or one of its descendants, or at the end
  // of a chain it is already in (its links were just reset), would close a
  // loop that no walk leaves.
  if (placement == 1 || placement == -1) {
    for (const _MTree* up = insertTree; up; up = Access::mtreeParent(up))
      if (up == node)
        report("_MTree::_MTree", Rule::MTreeCycle, "node", node, "insertTree",
               insertTree);
    for (const _MTree* n = placement == 1 ? Access::mtreeChild(insertTree)
                                          : insertTree;
         n; n = Access::mtreeSibling(n))
      if (n == node)
        report("_MTree::_MTree", Rule::MTreeInChain, "node", node, "insertTree",
               insertTree);
  }
  // Anywhere else, or nowhere: the link that leads to it would be left
  // pointing at a node that is no longer there.
  if (mtreeStillLinked(node))
    report("_MTree::_MTree", Rule::MTreeStillLinked, "node", node, "insertTree",
           insertTree);
}

void mtreeDestroying(const _MTree* node, const _List* deletingList) {
  if (!deletingList)
    report("_MTree::Destroy", Rule::MTreeNullList, "node", node);
}

} // namespace ptrbox_checked
