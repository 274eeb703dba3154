// The unchecked translation unit of the mixed test (CheckedMixedPlain.cpp).
#pragma once

#include <Hash>
#include <ListIter>
#include <ObjectLstIter>

#include <cstdint>
#include <initializer_list>

void plainReset(_ListIter& it);
void plainAppend(_List& list, void* element);
void plainAppend(ObjectLst& list, void* element);
void* plainAdvance(ObjectLstIter& it);
_HashItem* plainAdvance(_HashIter& it);
int plainHashWalk(_Hash& table);
// The sum of the elements by range-for, in the unchecked unit.
std::uintptr_t plainRangeSum(const _List& list);
// Makes a tree of keys 1..3 in `where` (storage for a _Tree), unchecked.
class _Tree;
_Tree* plainTreeAt(void* where);
// sizeof of every class, as the unchecked unit sees them.
std::uintptr_t plainSizes();
// The same, computed in the unit that includes this header.
#include <BinaryTree>
#include <MTree>
#include <OrderList>
inline std::uintptr_t sizesHere() {
  std::uintptr_t s = 0;
  for (std::size_t n :
       {sizeof(_List), sizeof(_ListItem), sizeof(_ListIter), sizeof(_OrderList),
        sizeof(_OListItem), sizeof(_Hash), sizeof(_HashItem), sizeof(_HashIter),
        sizeof(_Stack), sizeof(_Tree), sizeof(_TreeNode), sizeof(_TreeIterator),
        sizeof(_MTree), sizeof(_MTreeIter), sizeof(ObjectLst),
        sizeof(ObjectListElement), sizeof(ObjectLstIter)})
    s = s * 131 + n;
  return s;
}
