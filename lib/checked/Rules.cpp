// The iterator rules: which change of a container an iterator must not
// outlive, and what a report says when it did.
//
// A step over a node or entry reads its own mark (inline in the headers for
// lists, here for tables): no lock. What a node cannot say lives in the
// registry, read where no node is at hand (constructors, resets,
// destructors) or to name a report: containers destroyed, the last change
// of a table's bucket array, an object-list iterator's list, a tree walk's
// start and the tree's change count.
#include "Hooks.h"
#include "Messages.h"
#include "Registry.h"

#include "BinaryTree"
#include "Hash"
#include "ListIter"
#include "MTree"
#include "ObjectLstIter"

#include <cstdio>

namespace ptrbox_checked {

const char released[kReasons] = {};

namespace {

using namespace registry;

thread_local Reason tableRelease = Removed;

std::uintptr_t address(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

// What a node released for `why` means to the iterator that stood on it.
Rule nodeRule(Reason why, Subject subject) {
  if (subject == TableIterator)
    return why == Grew        ? Rule::TableGrewHeld
           : why == Cleared   ? Rule::TableClearedHeld
           : why == Destroyed ? Rule::TableDestroyedHeld
                              : Rule::EntryRemoved;
  const bool list = subject == ListIterator;
  switch (why) {
  case Cleared:
    return list ? Rule::ListCleared : Rule::ContainerCleared;
  case Assigned:
    return list ? Rule::ListAssigned : Rule::ContainerAssigned;
  case Destroyed:
    return list ? Rule::ListDestroyedOn : Rule::ContainerDestroyed;
  case Grew:
    return Rule::TableGrewUnder;
  default:
    return list ? Rule::NodeRemoved : Rule::ContainerNodeRemoved;
  }
}

[[noreturn]] void staleIterator(const char* cls, const char* op, Rule rule,
                                const char* noun, const void* container,
                                const void* it) {
  char where[64];
  std::snprintf(where, sizeof where, "%s::%s", cls, op);
  report(where, rule, noun, container, "iterator", it);
}

} // namespace

void stale(const char* where, Reason why, Subject subject,
           const void* container, const void* second) {
  const Rule rule = nodeRule(why, subject);
  if (subject == StandardNode)
    report(where, rule, "node", second);
  report(where, rule, subject == TableIterator ? "table" : "list", container,
         "iterator", second);
}

void listReleasing(const _List* list, const _ListItem* sentinel, Reason why) {
  if (why == Destroyed)
    containerGone(list);
  for (const _ListItem* p = sentinel->forw; p != sentinel; p = p->forw)
    release(&p->data, why);
}

void objectLstReleasing(const ObjectLst* list, const ObjectListElement* head,
                        Reason why) {
  if (why == Destroyed)
    containerGone(list);
  for (const ObjectListElement* p = head; p; p = p->next)
    release(&p->elementPtr, why);
}

void objectLstMade(const ObjectLst* list) { containerMade(list); }

void objectLstDying(const ObjectLst* list, const void* head) {
  objectLstReleasing(list, static_cast<const ObjectListElement*>(head),
                     Destroyed);
}

void tableReleasing(const _Hash* table, Reason why) {
  tableRelease = why;
  if (why == Destroyed)
    return containerGone(table);
  if (!anyContainers())
    return;
  Lock lock;
  if (Record* c = find(table, Container))
    c->change = why;
}

void entryReleased(const _HashItem* entry) {
  release(Access::nextOf(entry), tableRelease);
}

void containerMade(const void* container) {
  if (!anyContainers())
    return;
  Lock lock;
  if (Record* c = find(container, Container))
    erase(c);
}

void containerGone(const void* container) {
  if (!anyContainers())
    return;
  Lock lock;
  if (Record* c = find(container, Container))
    c->state = Destroyed;
}

// ---- Lists: every list is made by the library, so a destroyed record is
// sure; an object list may be made by unchecked inline code, so its record
// counts only for an iterator made on that very record.

void listIterUse(const char* op, const _ListIter* it, const _List* list,
                 const void* const* node) {
  if (!list)
    return;
  {
    Lock lock;
    const Record* c = find(list, Container);
    if (c && c->state == Destroyed)
      staleIterator("_ListIter", op, Rule::ListDestroyedBefore, "list", list,
                    it);
    if (!c)
      make(list, Container);
  }
  if (node && markOf(node) != Live)
    staleIterator("_ListIter", op, nodeRule(markOf(node), ListIterator), "list",
                  list, it);
}

void objectLstIterUse(const char* op, const ObjectLstIter* it,
                      const ObjectLst* list, const void* const* node) {
  if (!list)
    return;
  {
    Lock lock;
    Record* c = find(list, Container);
    Record* i = find(it, Iterator);
    if (c && i && c->state == Destroyed && i->container == list &&
        i->life == c->life)
      staleIterator("ObjectLstIter", op, Rule::ListDestroyedBefore, "list",
                    list, it);
    if (c && c->state == Destroyed) // a list unchecked code made there
      c = make(list, Container, true);
    if (!c)
      c = make(list, Container);
    const std::uint64_t life = c->life;
    i = make(it, Iterator);
    i->container = list, i->life = life;
  }
  if (node && markOf(node) != Live)
    staleIterator("ObjectLstIter", op, nodeRule(markOf(node), ListIterator),
                  "list", list, it);
}

// ---- Tables: every table is made by the library.

void hashIterStart(const _HashIter* it, const _Hash* table) {
  if (!table)
    report("_HashIter::_HashIter", Rule::HashIterNullTable, "table", table,
           "iterator", it);
  Lock lock;
  if (const Record* c = find(table, Container); c && c->state == Destroyed)
    report("_HashIter::_HashIter", Rule::HashIterDeadTable, "table", table,
           "iterator", it);
}

void hashIterUse(const char* op, const _HashIter* it, const _Hash* table,
                 const void* bucket, int index, const void* entry) {
  if (!bucket) { // no position: only the table itself can have gone
    Lock lock;
    if (const Record* c = find(table, Container); c && c->state == Destroyed)
      staleIterator("_HashIter", op, Rule::TableDestroyedBefore, "table", table,
                    it);
    return;
  }
  // The entry under the iterator says whether it, or its table, went.
  if (entry)
    if (const Reason why =
            markOf(Access::nextOf(static_cast<const _HashItem*>(entry))))
      staleIterator("_HashIter", op, nodeRule(why, TableIterator), "table",
                    table, it);
  // A held position lies in the table's present bucket array, whoever moved
  // the iterator there.
  if (address(bucket) ==
      address(table->table()) + std::uintptr_t(index) * sizeof(void*))
    return;
  Lock lock;
  const Record* c = find(table, Container);
  staleIterator("_HashIter", op,
                !c                  ? Rule::TableReplacedHeld
                : c->change == Grew ? Rule::TableGrewHeld
                                    : Rule::TableClearedHeld,
                "table", table, it);
}

void hashIterMoved(const _HashIter*, const _Hash* table, const void*, int,
                   const void*) {
  // On record, so that its destruction is known to the iterator's later
  // resets and to its destructor.
  Lock lock;
  make(table, Container);
}

void hashIterEnd(const _HashIter* it, const _Hash* table) {
  Lock lock;
  if (const Record* c = find(table, Container); c && c->state == Destroyed)
    staleIterator("_HashIter", "~_HashIter", Rule::TableDestroyedBefore,
                  "table", table, it);
  if (Record* i = find(it, Iterator))
    erase(i);
}

// ---- Trees: a tree may be made by unchecked inline code; all of
// _TreeIterator's moves are library code, so its records are exact.

void treeMade(const _Tree* tree) { containerMade(tree); }

void treeChanged(const _Tree* tree) {
  if (!anyContainers())
    return;
  Lock lock;
  if (Record* c = find(tree, Container))
    ++c->version;
}

void treeWalkStarts(const _TreeIterator* it, const _Tree* tree) {
  if (!tree)
    return;
  Lock lock;
  Record* c = make(tree, Container);
  if (c->state == Destroyed) // a tree made by unchecked inline code
    c = make(tree, Container, true);
  const std::uint64_t life = c->life, version = c->version;
  Record* i = make(it, Iterator);
  i->container = tree, i->life = life, i->version = version;
}

void treeWalkUse(const char* op, const _TreeIterator* it, const _Tree* tree,
                 bool inProgress, bool readsTree) {
  if (!tree)
    return;
  Lock lock;
  const Record* i = find(it, Iterator);
  const Record* c = find(tree, Container);
  if (!i || !c || i->container != tree || i->life != c->life)
    return;
  if (c->state == Destroyed && (readsTree || inProgress))
    staleIterator("_TreeIterator", op, Rule::TreeDestroyedBefore, "tree", tree,
                  it);
  if (inProgress && c->version != i->version)
    staleIterator("_TreeIterator", op, Rule::TreeChanged, "tree", tree, it);
}

void treeWalkEnds(const _TreeIterator* it, const _Tree* tree, bool inProgress) {
  // Ending a walk after the tree changed is allowed; reading a dead tree's
  // nodes (those on the stack) is not.
  treeWalkUse("~_TreeIterator", it, tree, false, inProgress);
  Lock lock;
  if (Record* i = find(it, Iterator))
    erase(i);
}

// ---- Multi-way tree nodes: the link that leads to each linked node, one
// slot per address hash; a collision overwrites, which can only make a
// later check silent. The link is read again at the check, so a record that
// outlived its node (gone in a unit built without the checks) counts only
// while the memory it names still leads to this address.

namespace {
struct Linked {
  const _MTree* node;
  _MTree* const* link;
};
Linked linked[kSlots];

Linked& slotOf(const _MTree* node) { return linked[spread(address(node))]; }

__attribute__((no_sanitize_address)) bool leadsTo(_MTree* const* link,
                                                  const _MTree* node) {
  return *link == node;
}
} // namespace

void mtreeLinked(const _MTree* node, _MTree* const* link) {
  Lock lock;
  slotOf(node) = Linked{node, link};
}

bool mtreeStillLinked(const _MTree* node) {
  Lock lock;
  const Linked& at = slotOf(node);
  return at.node == node && leadsTo(at.link, node);
}

void mtreeGone(const _MTree* node) {
  Lock lock;
  if (Linked& at = slotOf(node); at.node == node)
    at = Linked{};
}

} // namespace ptrbox_checked
