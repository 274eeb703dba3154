#include "ListIter"

void* _ListIter::operator[](int cnt) {
  reset();
  if (cnt < 0) {
    // A negative index names no element: park the cursor at the end.
    if (list)
      current = &list->head;
    return nullptr;
  }
  for (int i = 0; i < cnt && !atEnd(); ++i)
    ++*this;
  return ++*this;
}

void _ListIter::removeLastItem() {
  if (!list || !current)
    return;
  PTRBOX_CHECK(listIterUse("removeLastItem", this, list,
                           atEnd() ? nullptr : &current->data));
  PTRBOX_CHECK(Entered entered(list, "_ListIter::removeLastItem"));
  _ListItem* previous = current->back;
  if (previous != &list->head)
    list->_remove(previous);
}
