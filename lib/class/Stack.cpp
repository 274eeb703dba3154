#include "Stack"

_Stack::~_Stack() { clear(); }

void _Stack::clear() {
  while (!isEmpty())
    pop();
}
