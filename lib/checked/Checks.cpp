// The checked library's registry and reports.
//
// What the checks remember lives here, never in the objects, in two fixed,
// zero-initialised tables guarded by one spin lock. Neither ever allocates,
// so a program's allocation counts are the same checked or not; when a
// table has no room it drops a record, which can only make a later check
// silent.
// - Records keyed by (address, kind): a container (list or table) that a
//   checked iterator was in, with its life (a number no other record
//   shares) and whether it was destroyed; and an iterator, with its fields
//   as its last checked operation left them, the node it stood on, its
//   container's life, and why that node went, if it did.
// - Watches, one per slot, keyed by node address: the checked iterator that
//   last stood on the node. A node released through the library marks that
//   iterator's record; a node made anew at the address unmarks it.
// A report needs the iterator's fields unchanged since its last checked
// operation: an iterator that other code moved is not known, and is not
// reported until a checked operation has seen it again.
#include "Checks.h"

#include "BinaryTree"
#include "Hash"
#include "ListIter"
#include "ObjectLstIter"
#include "OrderList"

#include <atomic>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <typeinfo>

namespace ptrbox_checked {
namespace {

enum Kind : std::uint32_t { Container = 1, Iterator };

struct Entry {
  std::uintptr_t key; // 0: empty
  Kind kind;
  Reason state;       // containers: Live or Destroyed; iterators: why their
                      // node went, or Live
  Reason change;      // tables: the last change of the bucket array
  std::uint64_t life; // containers: this record's; iterators: the container's
  std::uint64_t version; // trees: changes so far; tree walks: at their start
  const void* container;
  const void* node;
  std::uintptr_t fields[3];
};

constexpr unsigned kBits = 12, kWatchBits = 10;
constexpr std::size_t kSlots = std::size_t(1) << kBits, kWindow = 16;
Entry slots[kSlots];
std::uint64_t lives;

struct Watch {
  const void* node;
  const void* it;
};
Watch watches[std::size_t(2) << kWatchBits];
// Occupied watches and container records: while there are none, making,
// releasing and destroying take no lock. A thread reads its own updates,
// and nodes and lists are used by one thread at a time.
std::atomic<int> watching, containerRecords;
// A spin lock: constant-initialised, so no code runs at load time.
std::atomic_flag busy = ATOMIC_FLAG_INIT;

struct Guard {
  Guard() {
    while (busy.test_and_set(std::memory_order_acquire))
      std::this_thread::yield();
  }
  ~Guard() { busy.clear(std::memory_order_release); }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;
};

std::uintptr_t address(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

std::uint64_t mix(std::uintptr_t key) { return key * 0x9E3779B97F4A7C15ull; }

std::size_t home(std::uintptr_t key, Kind kind) {
  return std::size_t(mix(key ^ kind) >> (64 - kBits));
}

Entry* find(const void* p, Kind kind) {
  const std::uintptr_t key = address(p);
  for (std::size_t i = 0, h = home(key, kind); i < kWindow; ++i) {
    Entry& e = slots[(h + i) % kSlots];
    if (e.key == 0)
      return nullptr;
    if (e.key == key && e.kind == kind)
      return &e;
  }
  return nullptr;
}

void counted(const Entry& e, int by) {
  if (e.key != 0 && e.kind == Container)
    containerRecords.store(containerRecords.load(std::memory_order_relaxed) +
                               by,
                           std::memory_order_relaxed);
}

// Empties e's slot, then moves later records of the run back into the gap
// when their home allows, so that a lookup can stop at the first empty slot
// (linear probing with backward-shift deletion). Records may move. A record
// lies within kWindow of its home, so none further than that from the gap
// can fill it: the scan stops there, and so ends even in a full table.
void erase(Entry* e) {
  counted(*e, -1);
  std::size_t gap = std::size_t(e - slots);
  for (std::size_t j = (gap + 1) % kSlots;
       slots[j].key != 0 && (j - gap) % kSlots < kWindow;
       j = (j + 1) % kSlots) {
    const std::size_t h = home(slots[j].key, slots[j].kind);
    if ((j - h) % kSlots >= (j - gap) % kSlots) {
      slots[gap] = slots[j];
      gap = j;
    }
  }
  slots[gap].key = 0;
}

// A fresh record for p; the one already there when `keep` is set. Drops the
// record at p's home slot when the window is full.
Entry* make(const void* p, Kind kind, bool keep = true) {
  const std::uintptr_t key = address(p);
  const std::size_t h = home(key, kind);
  Entry* e = &slots[h];
  for (std::size_t i = 0; i < kWindow; ++i) {
    Entry& at = slots[(h + i) % kSlots];
    if (at.key == key && at.kind == kind) {
      if (keep)
        return &at;
      e = &at;
      break;
    }
    if (at.key == 0) {
      e = &at;
      break;
    }
  }
  counted(*e, -1);
  *e = Entry{key, kind, Live, Live, ++lives, 0, nullptr, nullptr, {}};
  counted(*e, 1);
  return e;
}

// The two watches a node may use.
Watch* waysOf(const void* node) {
  return &watches[(mix(address(node)) >> (64 - kWatchBits)) * 2];
}

void setWatch(Watch& w, const void* node, const void* it) {
  // Written under the lock only: a plain update, no locked instruction.
  watching.store(watching.load(std::memory_order_relaxed) + (node != nullptr) -
                     (w.node != nullptr),
                 std::memory_order_relaxed);
  w = Watch{node, it};
}

// The record of the iterator a watch names, if it still stands on `node`.
Entry* holder(const Watch& w, const void* node) {
  Entry* i = node && w.node == node ? find(w.it, Iterator) : nullptr;
  return i && i->node == node ? i : nullptr;
}

// `node` was released for `why`: its watchers are marked.
void released(const void* node, Reason why) {
  Watch* w = waysOf(node);
  for (int k = 0; k < 2; ++k)
    if (Entry* i = holder(w[k], node); i && i->state == Live)
      i->state = why;
}

// A node was made at `node`: marks left by an earlier node there go.
void remade(const void* node) {
  Watch* w = waysOf(node);
  for (int k = 0; k < 2; ++k)
    if (Entry* i = holder(w[k], node))
      i->state = Live;
}

// `it` stands on `node` now, or no longer. A third iterator on one node, or
// on nodes whose watches collide, goes unwatched.
void watch(const void* node, const void* it) {
  Watch* w = waysOf(node);
  for (int k = 0; k < 2; ++k)
    if (w[k].node == node && w[k].it == it)
      return;
  for (int k = 0; k < 2; ++k)
    if (!holder(w[k], w[k].node))
      return setWatch(w[k], node, it);
}

void unwatch(const void* node, const void* it) {
  Watch* w = waysOf(node);
  for (int k = 0; k < 2; ++k)
    if (w[k].node == node && w[k].it == it)
      setWatch(w[k], nullptr, nullptr);
}

// An iterator's position as its fields give it.
struct Position {
  const char* cls;
  const void* it;
  const void* container;
  const void* node; // null: on no node (at an end, or the list only)
  std::uintptr_t fields[3];
  // Whether `node` is the first or last node of the (live) list.
  bool (*atAnEnd)(const void* container, const void* node) = nullptr;
};

// No removed node is the first or last node of a live list: a node there
// was made anew, maybe by an unchecked unit. (The members are reached
// through the classes' protected access.)
struct ListEnds : _List {
  static bool of(const void* list, const void* node) {
    const _ListItem& ring = static_cast<const _List*>(list)->*(&ListEnds::head);
    return node == ring.forw || node == ring.back;
  }
};
struct ObjectLstEnds : ObjectLst {
  static bool of(const void* list, const void* node) {
    const auto* l = static_cast<const ObjectLst*>(list);
    return node == l->*(&ObjectLstEnds::head) ||
           node == l->*(&ObjectLstEnds::tail);
  }
};

// The record of p.it when its fields are as its last checked operation
// left them; null otherwise.
Entry* known(const Position& p) {
  Entry* i = find(p.it, Iterator);
  if (!i || i->container != p.container)
    return nullptr;
  for (int f = 0; f < 3; ++f)
    if (i->fields[f] != p.fields[f])
      return nullptr;
  return i;
}

[[noreturn]] void stale(const Position& p, const char* op, const char* rule,
                        const char* containerName) {
  char where[64];
  std::snprintf(where, sizeof where, "%s::%s", p.cls, op);
  report(where, rule, containerName, p.container, "iterator", p.it);
}

const char* listRule(Reason why) {
  switch (why) {
  case Removed:
    return "the node under this iterator was removed from its list";
  case Cleared:
    return "the list was cleared while this iterator stood on one of its "
           "nodes";
  case Assigned:
    return "the list was assigned to while this iterator stood on one of its "
           "nodes";
  default:
    return "the list was destroyed while this iterator stood on one of its "
           "nodes";
  }
}

// Stops when the list or the node under the cursor went since the
// iterator's last checked operation, and returns its record (null when it
// is not known). `sure`: every construction of this kind of list is seen,
// so a destroyed record means that no list lives there now.
Entry* checkListPosition(const Position& p, const char* op, bool sure) {
  Entry* i = known(p);
  const Entry* c = find(p.container, Container);
  if (c && c->state == Destroyed && (sure || (i && c->life == i->life)))
    stale(p, op, "the list was destroyed before this iterator", "list");
  if (i && p.node && i->state != Live &&
      (i->state == Destroyed || !p.atAnEnd(p.container, p.node)))
    stale(p, op, listRule(i->state), "list");
  return i;
}

// Records where the iterator now stands; `was` is its record when it was
// known at its previous position.
void moved(const Position& p, Entry* was) {
  std::uint64_t owner = was ? was->life : 0;
  if (!owner && p.container) {
    Entry* c = make(p.container, Container);
    if (c->state == Destroyed) // a list made where unchecked code sees it
      c = make(p.container, Container, false);
    owner = c->life;
  }
  Entry* i = was && was->key == address(p.it) && was->kind == Iterator
                 ? was
                 : make(p.it, Iterator);
  if (i->node != p.node) {
    if (i->node)
      unwatch(i->node, p.it);
    if (p.node) {
      // A checked step reached this node: it lives, whatever a mark says.
      remade(p.node);
      watch(p.node, p.it);
    }
  }
  i->state = Live, i->life = owner;
  i->container = p.container, i->node = p.node;
  for (int f = 0; f < 3; ++f)
    i->fields[f] = p.fields[f];
}

// The iterator is gone: its record and its watch go too.
void forget(const void* it) {
  if (Entry* i = find(it, Iterator)) {
    if (i->node)
      unwatch(i->node, it);
    erase(i);
  }
}

Position hashPosition(const _HashIter* it, const _Hash* table,
                      _HashItem* const* bucket, int index,
                      const _HashItem* entry) {
  return {"_HashIter",
          it,
          table,
          bucket ? entry : nullptr,
          {address(bucket), address(entry), std::uintptr_t(index)}};
}

} // namespace

void report(const char* where, const char* rule, const char* name1,
            const void* p1, const char* name2, const void* p2,
            const char* extra) {
  char line[512];
  int n = std::snprintf(line, sizeof line, "ptrbox: %s: %s (%s 0x%" PRIxPTR,
                        where, rule, name1, address(p1));
  if (name2 && n > 0 && std::size_t(n) < sizeof line)
    n += std::snprintf(line + n, sizeof line - n, ", %s 0x%" PRIxPTR, name2,
                       address(p2));
  if (extra && n > 0 && std::size_t(n) < sizeof line)
    std::snprintf(line + n, sizeof line - n, ", %s", extra);
  std::fprintf(stderr, "%s)\n", line);
  std::fflush(stderr);
  std::abort();
}

void hashMade(const _Hash* table, int size, int threshold, float rate) {
  char values[96];
  std::snprintf(values, sizeof values, "size %d, threshold %d, rate %g", size,
                threshold, static_cast<double>(rate));
  if (size < 1)
    report("_Hash::_Hash", "the size is below 1", "table", table, nullptr,
           nullptr, values);
  if (!std::isfinite(rate) || rate < 0)
    report("_Hash::_Hash", "the growth rate is negative or not finite", "table",
           table, nullptr, nullptr, values);
  const double grown = static_cast<double>(size) * threshold;
  if (grown > INT32_MAX || size + grown * rate + 0.5 > INT32_MAX)
    report("_Hash::_Hash", "the first growth would overflow int", "table",
           table, nullptr, nullptr, values);
  containerMade(table);
}

void hashGrowing(const _Hash* table, int size, int threshold, float rate) {
  const double grown = static_cast<double>(size) * threshold;
  if (grown > INT32_MAX || size + grown * rate + 0.5 > INT32_MAX) {
    char values[96];
    std::snprintf(values, sizeof values, "size %d, threshold %d, rate %g", size,
                  threshold, static_cast<double>(rate));
    report("_Hash::resize", "this growth would overflow int", "table", table,
           nullptr, nullptr, values);
  }
}

void hashChanged(const _Hash* table, Reason how) {
  if (containerRecords.load(std::memory_order_relaxed) == 0)
    return;
  Guard guard;
  if (Entry* c = find(table, Container))
    c->change = how;
}

void containerMade(const void* container) {
  if (containerRecords.load(std::memory_order_relaxed) == 0)
    return;
  Guard guard;
  if (Entry* c = find(container, Container))
    erase(c);
}

void containerGone(const void* container) {
  if (containerRecords.load(std::memory_order_relaxed) == 0)
    return;
  Guard guard;
  if (Entry* c = find(container, Container))
    c->state = Destroyed;
}

void nodeGone(const void* node, Reason why) {
  if (watching.load(std::memory_order_relaxed) == 0)
    return;
  Guard guard;
  released(node, why);
}

void nodeMade(const void* node) {
  if (watching.load(std::memory_order_relaxed) == 0)
    return;
  Guard guard;
  remade(node);
}

void listReleasing(const _List* list, const _ListItem* sentinel, Reason why) {
  if (why == Destroyed)
    containerGone(list);
  if (watching.load(std::memory_order_relaxed) == 0)
    return;
  Guard guard;
  for (const _ListItem* p = sentinel->forw; p != sentinel; p = p->forw)
    released(p, why);
}

void objectLstReleasing(const ObjectLst* list, const ObjectListElement* head,
                        Reason why) {
  if (why == Destroyed)
    containerGone(list);
  if (watching.load(std::memory_order_relaxed) == 0)
    return;
  Guard guard;
  for (const ObjectListElement* p = head; p; p = p->next)
    released(p, why);
}

void hashIterStart(const _HashIter* it, const _Hash* table) {
  if (!table)
    report("_HashIter::_HashIter", "the table is null", "table", table,
           "iterator", it);
  Guard guard;
  if (const Entry* c = find(table, Container); c && c->state == Destroyed)
    report("_HashIter::_HashIter", "the table was destroyed", "table", table,
           "iterator", it);
}

void hashIterUse(const char* op, const _HashIter* it, const _Hash* table,
                 _HashItem* const* bucket, int index, const _HashItem* entry) {
  const Position p = hashPosition(it, table, bucket, index, entry);
  Guard guard;
  // Every table is made by the library, so a destroyed record is sure.
  const Entry* c = find(table, Container);
  if (c && c->state == Destroyed)
    stale(p, op,
          bucket ? "the table was destroyed while this iterator held a "
                   "position"
                 : "the table was destroyed before this iterator",
          "table");
  // A held position lies in the table's present bucket array, whoever moved
  // the iterator there.
  if (bucket && address(bucket) != address(table->table()) +
                                       std::uintptr_t(index) * sizeof bucket)
    stale(p, op,
          !c                  ? "the table's bucket array was replaced while "
                                "this iterator held a position"
          : c->change == Grew ? "the table grew while this iterator held a "
                                "position"
                              : "the table was cleared while this iterator "
                                "held a position",
          "table");
  if (const Entry* i = known(p); i && p.node && i->state != Live)
    stale(p, op, "the entry under this iterator was removed", "table");
}

void hashIterMoved(const _HashIter* it, const _Hash* table,
                   _HashItem* const* bucket, int index,
                   const _HashItem* entry) {
  Guard guard;
  moved(hashPosition(it, table, bucket, index, entry), nullptr);
}

void hashIterEnd(const _HashIter* it, const _Hash* table) {
  Guard guard;
  if (const Entry* c = find(table, Container); c && c->state == Destroyed)
    report("_HashIter::~_HashIter",
           "the table was destroyed before this iterator", "table", table,
           "iterator", it);
  forget(it);
}

void listInsert(const char* op, const _List* list) {
  // Ordered lists need keyed nodes; a plain list costs one type comparison.
  if (&typeid(*list) != &typeid(_List) &&
      dynamic_cast<const _OrderList*>(list) != nullptr)
    report(op, "an element without a key was inserted into an _OrderList",
           "list", list);
}

void listIterUse(const char* op, const _ListIter* it, const _List* list,
                 const _ListItem* node, const _ListItem* current,
                 const _ListItem* start) {
  Guard guard;
  checkListPosition({"_ListIter",
                     it,
                     list,
                     node,
                     {address(current), address(start), 0},
                     ListEnds::of},
                    op, true);
}

void listIterMoved(const _ListIter* it, const _List* list,
                   const _ListItem* node, const _ListItem* current,
                   const _ListItem* start) {
  Guard guard;
  moved({"_ListIter", it, list, node, {address(current), address(start), 0}},
        nullptr);
}

_ListItem* listIterStep(const _ListIter* it, const _List* list,
                        const _ListItem* sentinel, _ListItem* current,
                        const _ListItem* start, void** data) {
  const std::uintptr_t from = address(start);
  Guard guard;
  Entry* i = checkListPosition({"_ListIter",
                                it,
                                list,
                                current,
                                {address(current), from, 0},
                                ListEnds::of},
                               "operator++", true);
  *data = current->data;
  _ListItem* next = current->forw;
  moved({"_ListIter",
         it,
         list,
         next == sentinel ? nullptr : next,
         {address(next), from, 0}},
        i);
  return next;
}

void objectLstMade(const ObjectLst* list) { containerMade(list); }

void objectLstDying(const ObjectLst* list, const ObjectListElement* head) {
  objectLstReleasing(list, head, Destroyed);
}

void objectLstIterUse(const char* op, const ObjectLstIter* it,
                      const ObjectLst* list, const ObjectListElement* node,
                      const ObjectListElement* current) {
  // An object list may be made by unchecked inline code: a destroyed record
  // counts only for an iterator that has not moved since it was seen.
  Guard guard;
  checkListPosition({"ObjectLstIter",
                     it,
                     list,
                     node,
                     {address(current), 0, 0},
                     ObjectLstEnds::of},
                    op, false);
}

void objectLstIterMoved(const ObjectLstIter* it, const ObjectLst* list,
                        const ObjectListElement* current) {
  Guard guard;
  moved({"ObjectLstIter", it, list, current, {address(current), 0, 0}},
        nullptr);
}

ObjectListElement* objectLstIterStep(const char* op, const ObjectLstIter* it,
                                     const ObjectLst* list,
                                     ObjectListElement* current, bool forward,
                                     void** element) {
  Guard guard;
  Entry* i = checkListPosition({"ObjectLstIter",
                                it,
                                list,
                                current,
                                {address(current), 0, 0},
                                ObjectLstEnds::of},
                               op, false);
  *element = current->elementPtr;
  ObjectListElement* next = forward ? current->next : current->previous;
  moved({"ObjectLstIter", it, list, next, {address(next), 0, 0}}, i);
  return next;
}

void treeMade(const _Tree* tree) { containerMade(tree); }

void treeChanged(const _Tree* tree) {
  if (containerRecords.load(std::memory_order_relaxed) == 0)
    return;
  Guard guard;
  if (Entry* c = find(tree, Container))
    ++c->version;
}

void treeWalkStarts(const _TreeIterator* it, const _Tree* tree) {
  if (!tree)
    return;
  Guard guard;
  Entry* c = make(tree, Container);
  if (c->state == Destroyed) // a tree made by unchecked inline code
    c = make(tree, Container, false);
  const std::uint64_t life = c->life, version = c->version;
  Entry* i = make(it, Iterator);
  i->container = tree, i->life = life, i->version = version;
}

void treeWalkUse(const char* op, const _TreeIterator* it, const _Tree* tree,
                 bool inProgress, bool readsTree) {
  if (!tree)
    return;
  Guard guard;
  const Entry* i = find(it, Iterator);
  const Entry* c = find(tree, Container);
  if (!i || !c || i->container != tree || i->life != c->life)
    return;
  const Position p{"_TreeIterator", it, tree, nullptr, {}};
  if (c->state == Destroyed && (readsTree || inProgress))
    stale(p, op, "the tree was destroyed before this iterator", "tree");
  if (inProgress && c->version != i->version)
    stale(p, op, "the tree changed during this walk", "tree");
}

void treeWalkEnds(const _TreeIterator* it, const _Tree* tree, bool inProgress) {
  // Ending a walk after the tree changed is allowed; reading a dead tree's
  // nodes (those on the stack) is not.
  treeWalkUse("~_TreeIterator", it, tree, false, inProgress);
  Guard guard;
  forget(it);
}

} // namespace ptrbox_checked
