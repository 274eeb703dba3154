// The hooks that 1.0.0's inline header code called, kept exported so that
// programs built with the checks against 1.0.0 headers still load and run
// with this library. Steps step, and stop on a node that carries a
// release mark; the position records they fed are gone, so the rest do
// nothing.
#include "List"
#include "ListIter"
#include "ObjectLst"
#include "ObjectLstIter"
#include "PtrboxChecked"

namespace ptrbox_checked {

PTRBOX_API void hashIterUse(const char*, const _HashIter*, const _Hash*,
                            _HashItem* const*, int, const _HashItem*) {}
PTRBOX_API void hashIterMoved(const _HashIter*, const _Hash*, _HashItem* const*,
                              int, const _HashItem*) {}
PTRBOX_API void nodeMade(const void*) {}
PTRBOX_API void listIterUse(const char*, const _ListIter*, const _List*,
                            const _ListItem*, const _ListItem*,
                            const _ListItem*) {}
PTRBOX_API void listIterMoved(const _ListIter*, const _List*, const _ListItem*,
                              const _ListItem*, const _ListItem*) {}
PTRBOX_API void objectLstDying(const ObjectLst*, const ObjectListElement*) {}
PTRBOX_API void objectLstIterUse(const char*, const ObjectLstIter*,
                                 const ObjectLst*, const ObjectListElement*,
                                 const ObjectListElement*) {}
PTRBOX_API void objectLstIterMoved(const ObjectLstIter*, const ObjectLst*,
                                   const ObjectListElement*) {}

PTRBOX_API _ListItem* listIterStep(const _ListIter* it, const _List* list,
                                   const _ListItem*, _ListItem* current,
                                   const _ListItem*, void** data) {
  onStep("_ListIter::operator++", ListIterator, list, it,
         const_cast<const void* const*>(&current->data));
  *data = current->data;
  return current->forw;
}

PTRBOX_API ObjectListElement* objectLstIterStep(const char* op,
                                                const ObjectLstIter* it,
                                                const ObjectLst* list,
                                                ObjectListElement* current,
                                                bool forward, void** element) {
  onStep(op, ListIterator, list, it,
         const_cast<const void* const*>(&current->elementPtr));
  *element = current->elementPtr;
  return forward ? current->next : current->previous;
}

} // namespace ptrbox_checked
