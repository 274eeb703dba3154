#include "ObjectLstIter"

void* ObjectLstIter::operator[](ElementID ElementKey) const {
#ifdef PTRBOX_CHECKED
  ptrbox_checked::objectLstIterUse("operator[]", this, list, nullptr, current);
#endif
  const ObjectListElement* node = list ? list->head : nullptr;
  for (ElementID i = 0; node && i < ElementKey; ++i)
    node = node->next;
  return node ? node->elementPtr : nullptr;
}
