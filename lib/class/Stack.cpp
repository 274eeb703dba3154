#include "Stack"

_Stack::~_Stack() { clear(); }

void _Stack::push(const void* element) {
  StackItem* item = new StackItem(element);
  item->next = topItem;
  topItem = item;
}

void* _Stack::pop() {
  if (isEmpty())
    return nullptr;
  StackItem* item = topItem;
  void* datum = item->datum;
  topItem = item->next;
  delete item;
  return datum;
}

void _Stack::clear() {
  while (!isEmpty())
    pop();
}
