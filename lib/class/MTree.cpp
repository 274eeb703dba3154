#include "MTree"

#include "ListIter"

#include <cstdint>

#include "../checked/Hooks.h"

_MTree::_MTree(void* _key, void* _data, _MTree* insertTree, _MTree* searchTree)
    : parent(nullptr), sibling(nullptr), child(nullptr), key(_key), data(_data),
      depth(0), duplicate(0), deleting(0) {
  if (!insertTree) {
    // Unplaced, as under any answer of keyCmp but 1, -1 and 0.
    PTRBOX_CHECK(mtreePlacing(this, nullptr, 2));
    return;
  }
  // The search may throw (allocation, or an overriding keyCmp); it runs
  // before any link changes, so a throw leaves the tree as it was.
  if (searchTree) {
    if (_MTree* match = firstEqual(searchTree, _key, nullptr)) {
      child = match->child;
      duplicate = 1;
    }
  }
  const int placement = insertTree->keyCmp(insertTree->key, _key);
  PTRBOX_CHECK(mtreePlacing(this, insertTree, placement));
  if (placement == 1) {
    parent = insertTree;
    depth = insertTree->depth + 1;
    _MTree** link = &insertTree->child;
    while (*link)
      link = &(*link)->sibling;
    *link = this;
    PTRBOX_CHECK(mtreeLinked(this, link));
  } else if (placement == -1) {
    parent = insertTree->parent;
    depth = insertTree->depth;
    _MTree* last = insertTree;
    while (last->sibling)
      last = last->sibling;
    last->sibling = this;
    PTRBOX_CHECK(mtreeLinked(this, &last->sibling));
  } else if (placement == 0) {
    parent = insertTree->parent;
    depth = insertTree->depth;
    sibling = insertTree->sibling;
    child = insertTree->child;
    duplicate = 1;
  }
}

void* _MTree::Destroy(_List* deletingList) {
  PTRBOX_CHECK(mtreeDestroying(this, deletingList));
  _MTreeIter walk(this);
  int appended = 0;
  try {
    for (_MTree* node = walk(); node; node = walk++) {
      if (node->deleting)
        continue;
      deletingList->insert(node);
      // Marked only once listed, so a failure never strands a marked node.
      node->deleting = 1;
      PTRBOX_CHECK(mtreeGone(node));
      ++appended;
    }
  } catch (...) {
    takeBack(deletingList, appended);
    throw;
  }
  return nullptr;
}

_MTree* _MTree::FindNode(void* key) { return firstEqual(this, key, this); }

void* _MTree::Find(void* key) {
  _MTree* found = FindNode(key);
  return found ? found->data : nullptr;
}

int _MTree::keyCmp(const void* tKey, const void* iKey) {
  // Compared as integers: the language gives `<` on pointers into unrelated
  // objects no fixed order.
  const std::uintptr_t t = reinterpret_cast<std::uintptr_t>(tKey);
  const std::uintptr_t i = reinterpret_cast<std::uintptr_t>(iKey);
  return t < i ? -1 : t > i ? 1 : 0;
}

// Each visited node judges its own key unless a `judge` is given. The walk
// is _MTreeIter's, with the ancestors of the current node kept in a local
// array rather than in one allocated stack record per descent: the first
// kNear levels cost no allocation, deeper ones one stack record each, as
// with the iterator (a throw changes no link).
_MTree* _MTree::firstEqual(_MTree* start, const void* sought, _MTree* judge) {
  constexpr std::size_t kNear = 32;
  _MTree* near[kNear];
  _MTreeStack far;
  std::size_t depth = 0;
  for (_MTree* node = start; node;) {
    if ((judge ? judge : node)->keyCmp(node->key, sought) == 0)
      return node;
    if (node->child && !node->duplicate) {
      if (depth < kNear)
        near[depth] = node;
      else
        far.push(node);
      ++depth;
      node = node->child;
      continue;
    }
    // Climb until some node on the way has a later sibling; no ancestor
    // left means the start node's own chain is done.
    while (!node->sibling && depth > 0) {
      --depth;
      node = depth < kNear ? near[depth] : far.pop();
    }
    node = node->sibling;
  }
  return nullptr;
}

// Undoes a failed Destroy: the last `appended` elements of the list are the
// nodes it listed and marked. Releasing list nodes cannot fail.
void _MTree::takeBack(_List* deletingList, int appended) {
  _ListIter it(deletingList);
  for (int keep = deletingList->size() - appended; keep > 0; --keep)
    it++;
  for (; appended > 0; --appended) {
    static_cast<_MTree*>(it++)->deleting = 0;
    it.removeLastItem();
  }
}

_MTreeStack::~_MTreeStack() {}

_MTreeIter::_MTreeIter(_MTree* base)
    : real_root(base), current_root(base), current_node(base),
      stack(new _MTreeStack) {}

_MTreeIter::~_MTreeIter() { delete stack; }

void _MTreeIter::reset() { SetRoot(real_root); }

void _MTreeIter::SetRoot(_MTree* new_root) {
  stack->clear();
  current_root = new_root;
  current_node = new_root;
}
