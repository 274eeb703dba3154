// The unchecked half of the mixed test: compiled without PTRBOX_CHECKED, so
// its inline header code tells the checked library nothing.
#include "CheckedMixed.h"

#include <new>

void plainReset(_ListIter& it) { it.reset(); }
void plainAppend(_List& list, void* element) { list.insert(element); }
void plainAppend(ObjectLst& list, void* element) { list.append(element); }
void* plainAdvance(ObjectLstIter& it) { return it++; }
_HashItem* plainAdvance(_HashIter& it) { return ++it; }

int plainHashWalk(_Hash& table) {
  int n = 0;
  for (_HashIter it(table); it(); ++it)
    ++n;
  return n;
}

std::uintptr_t plainRangeSum(const _List& list) {
  std::uintptr_t sum = 0;
  for (void* e : list)
    sum += reinterpret_cast<std::uintptr_t>(e);
  return sum;
}

_Tree* plainTreeAt(void* where) {
  _Tree* tree = new (where) _Tree;
  for (int k : {2, 1, 3})
    tree->insert(reinterpret_cast<void*>(std::uintptr_t(k)), nullptr);
  return tree;
}

std::uintptr_t plainSizes() { return sizesHere(); }
