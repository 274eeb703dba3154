#include "OrderList"

#include "PointerOrder.h"

// The base starts empty: its copy constructor would make nodes without keys.
// A throw here runs ~_List, which releases the nodes copied so far.
// NOLINTNEXTLINE(bugprone-copy-constructor-init,readability-redundant-member-init)
_OrderList::_OrderList(const _OrderList& other) : _List() {
  for (const _ListItem* p = other.head.forw; p != &other.head; p = p->forw)
    inslist(new _OListItem(static_cast<const _OListItem*>(p)->key, p->data),
            head.back);
}

_OrderList::~_OrderList() = default;

void _OrderList::insert(const void* key, const void* element) {
  PTRBOX_CHECK(Entered entered(this, "_OrderList::insert"));
  void* k = const_cast<void*>(key);
  const Stop s =
      seek([this, k](const _OListItem* p) { return keyCmp(p->key, k); });
  if (s.found) {
    s.found->data = const_cast<void*>(element);
    return;
  }
  inslist(new _OListItem(key, element), s.at->back);
}

void _OrderList::remove(const void* key) {
  PTRBOX_CHECK(Entered entered(this, "_OrderList::remove"));
  if (_OListItem* item = findItem(key))
    _remove(item);
}

int _OrderList::isIn(const void* key) { return find(key) != nullptr; }

void* _OrderList::find(const void* key) {
  PTRBOX_CHECK(Entered entered(this, "_OrderList::find"));
  _OListItem* item = findItem(key);
  return item ? item->data : nullptr;
}

int _OrderList::keyCmp(void* listKey, void* searchKey) {
  return ptrbox_detail::pointerDifference(listKey, searchKey);
}

_OListItem* _OrderList::findItem(const void* key) {
  void* k = const_cast<void*>(key);
  for (_ListItem* p = head.forw; p != &head; p = p->forw) {
    _OListItem* item = static_cast<_OListItem*>(p);
    if (keyCmp(item->key, k) == 0)
      return item;
  }
  return nullptr;
}
