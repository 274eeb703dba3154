#include "List"

#include <new>

#include "../checked/Hooks.h"

// Nodes of derived lists (_OListItem) are released through _ListItem
// pointers; every node type is trivially destructible, so releasing the
// storage unsized is the whole clean-up and matches any node's size.
static void releaseNode(_ListItem* item) { ::operator delete(item); }

_List::_List() : count(0), head(nullptr) {
  PTRBOX_CHECK(containerMade(this));
  head.forw = &head;
  head.back = &head;
}

_List::_List(const _List& list) : _List() {
  try {
    for (const _ListItem* p = list.head.forw; p != &list.head; p = p->forw)
      insert(p->data);
  } catch (...) {
    clear();
    throw;
  }
}

_List::~_List() {
  PTRBOX_CHECK(listReleasing(this, &head, ptrbox_checked::Destroyed));
  clear();
}

void _List::insert(const void* element, const void* pred) {
  PTRBOX_CHECK(Entered entered(this, "_List::insert"));
  PTRBOX_CHECK(listInsert("_List::insert", this));
  _ListItem* item = new _ListItem(element);
  _ListItem* at = search(pred);
  inslist(item, at == &head ? head.back : at);
}

void _List::insert(const void* element, int pos) {
  PTRBOX_CHECK(Entered entered(this, "_List::insert"));
  PTRBOX_CHECK(listInsert("_List::insert", this));
  _ListItem* item = new _ListItem(element);
  _ListItem* at = head.back;
  if (pos > 0) {
    // The sentinel counts as a step, so the walk has period count + 1.
    for (int steps = pos % (count + 1); steps > 0; --steps)
      at = at->forw;
  }
  inslist(item, at);
}

int _List::insert(const void* element, const void* pred, int strict) {
  PTRBOX_CHECK(Entered entered(this, "_List::insert"));
  PTRBOX_CHECK(listInsert("_List::insert", this));
  if (!strict) {
    insert(element, pred);
    return 0;
  }
  if (pred == nullptr) {
    inslist(new _ListItem(element), &head);
    return 0;
  }
  _ListItem* at = search(pred);
  if (at == &head)
    return -1;
  inslist(new _ListItem(element), at);
  return 0;
}

void _List::remove(const void* element) {
  PTRBOX_CHECK(Entered entered(this, "_List::remove"));
  _ListItem* at = search(element);
  if (at != &head)
    _remove(at);
}

int _List::isIn(const void* element) const {
  return count != 0 && search(element) != &head;
}

void _List::clear() {
  PTRBOX_CHECK(Entered entered(this, "_List::clear"));
  PTRBOX_CHECK(listReleasing(this, &head, ptrbox_checked::Cleared));
  _ListItem* p = head.forw;
  while (p != &head) {
    _ListItem* next = p->forw;
    releaseNode(p);
    p = next;
  }
  head.forw = &head;
  head.back = &head;
  count = 0;
}

void _List::_remove(_ListItem* item) {
  PTRBOX_CHECK(release(&item->data, ptrbox_checked::Removed));
  remlist(item);
  releaseNode(item);
}

_ListItem* _List::search(const void* element) const {
  _ListItem* p = head.forw;
  while (p != &head && p->data != element)
    p = p->forw;
  return p;
}
