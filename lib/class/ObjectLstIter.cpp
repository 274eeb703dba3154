#include "ObjectLstIter"

void* ObjectLstIter::operator[](ElementID ElementKey) const {
  PTRBOX_CHECK(objectLstIterUse("operator[]", this, list, nullptr));
  const ObjectListElement* node = list ? list->head : nullptr;
  for (ElementID i = 0; node && i < ElementKey; ++i)
    node = node->next;
  return node ? node->elementPtr : nullptr;
}
