#include "ObjectLst"

#include <utility>

#include "../checked/Hooks.h"

namespace {
// Releases a chain linked through `next`, from `node` to its end.
void releaseChain(ObjectListElement* node) {
  while (node) {
    ObjectListElement* next = node->next;
    PTRBOX_CHECK(release(&node->elementPtr, ptrbox_checked::Removed));
    delete node;
    node = next;
  }
}

ObjectListElement* step(ObjectListElement* node, BooleanType direction) {
  return direction ? node->next : node->previous;
}
} // namespace

ObjectLst::ObjectLst(const ObjectLst& List) : ObjectLst() {
  try {
    for (const ObjectListElement* p = List.head; p; p = p->next)
      append(p->elementPtr);
  } catch (...) {
    clearList();
    throw;
  }
}

ObjectLst& ObjectLst::operator=(const ObjectLst& List) {
  PTRBOX_CHECK(Entered entered(this, "ObjectLst::operator="));
  ObjectLst copy(List);
  PTRBOX_CHECK(objectLstReleasing(this, head, ptrbox_checked::Assigned));
  swapWith(copy);
  return *this;
}

void ObjectLst::swapWith(ObjectLst& other) {
  std::swap(head, other.head);
  std::swap(tail, other.tail);
  std::swap(countelem, other.countelem);
}

void ObjectLst::insert(const void* Element) {
  PTRBOX_CHECK(Entered entered(this, "ObjectLst::insert"));
  ObjectListElement* node =
      new ObjectListElement{nullptr, head, const_cast<void*>(Element)};
  if (head)
    head->previous = node;
  head = node;
  if (!tail)
    tail = head;
  ++countelem;
}

ReturnCode ObjectLst::insert(const void* ElementList, const void* Element) {
  PTRBOX_CHECK(Entered entered(this, "ObjectLst::insert"));
  ObjectListElement* anchor = search(const_cast<void*>(ElementList));
  if (!anchor)
    return 5;
  ObjectListElement* node =
      new ObjectListElement{anchor, anchor->next, const_cast<void*>(Element)};
  if (anchor->next)
    anchor->next->previous = node;
  anchor->next = node;
  if (anchor == tail)
    tail = node;
  ++countelem;
  return 0;
}

ReturnCode ObjectLst::remove(const void* Element) {
  PTRBOX_CHECK(Entered entered(this, "ObjectLst::remove"));
  ObjectListElement* node = search(const_cast<void*>(Element));
  if (!node)
    return 5;
  if (node == head) {
    head = node->next;
    if (head)
      head->previous = nullptr;
  } else {
    node->previous->next = node->next;
  }
  if (node == tail) {
    tail = node->previous;
    if (tail)
      tail->next = nullptr;
  } else {
    node->next->previous = node->previous;
  }
  PTRBOX_CHECK(release(&node->elementPtr, ptrbox_checked::Removed));
  delete node;
  --countelem;
  return 0;
}

void ObjectLst::clearList() {
  PTRBOX_CHECK(Entered entered(this, "ObjectLst::clearList"));
  PTRBOX_CHECK(objectLstReleasing(this, head, ptrbox_checked::Cleared));
  releaseChain(head);
  head = tail = nullptr;
  countelem = 0;
}

BooleanType ObjectLst::replace(void* pReplaced, void* pReplacer) {
  PTRBOX_CHECK(Entered entered(this, "ObjectLst::replace"));
  ObjectListElement* node = search(pReplaced);
  if (!node)
    return 0;
  node->elementPtr = pReplacer;
  return 1;
}

int ObjectLst::seek(const void* pElement) const {
  int position = 0;
  for (const ObjectListElement* p = head; p; p = p->next, ++position)
    if (p->elementPtr == pElement)
      return position;
  return -1;
}

void ObjectLst::carbonCopy(ObjectListElement* list, unsigned int numElements,
                           BooleanType direction) {
  PTRBOX_CHECK(Entered entered(this, "ObjectLst::carbonCopy"));
  PTRBOX_CHECK(carbonCopyFrom(this, head, tail, list));
  unsigned int copied = 0;
  for (ObjectListElement* s = list; s && copied < numElements;
       s = step(s, direction))
    ++copied;
  if (copied == 0)
    return;

  // Every node the target lacks is obtained before any node is overwritten,
  // so a failed allocation leaves the list exactly as it was.
  ObjectListElement* spare = nullptr;
  try {
    for (unsigned int n = countelem; n < copied; ++n)
      spare = new ObjectListElement{nullptr, spare, nullptr};
  } catch (...) {
    releaseChain(spare);
    throw;
  }

  ObjectListElement* cursor = head;
  ObjectListElement* last = nullptr;
  ObjectListElement* source = list;
  // At least one element is copied, so the loop leaves `last` set.
  unsigned int i = 0;
  do {
    if (!cursor) {
      cursor = spare;
      spare = spare->next;
      cursor->previous = last;
      cursor->next = nullptr;
      if (last)
        last->next = cursor;
      else
        head = cursor;
    }
    cursor->elementPtr = source->elementPtr;
    last = cursor;
    cursor = cursor->next;
    source = step(source, direction);
  } while (++i < copied);
  tail = last;
  last->next = nullptr;
  countelem = copied;
  releaseChain(cursor);
}

// The parameter type is part of the protected interface of derived classes.
// cppcheck-suppress constParameter
ObjectListElement* ObjectLst::search(void* Element) const {
  ObjectListElement* p = head;
  while (p && p->elementPtr != Element)
    p = p->next;
  return p;
}
