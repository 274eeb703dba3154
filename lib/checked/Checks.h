// The checked library's own side of the checks: what the library sources
// call under PTRBOX_CHECKED, beside the hooks of <PtrboxChecked> that the
// inline header code calls. Never part of a plain build.
#ifndef PTRBOX_CHECKS_H
#define PTRBOX_CHECKS_H

#include "PtrboxChecked"

class _MTree;
class _TreeIterator;

namespace ptrbox_checked {

// Why a node, a list or a table is no longer what an iterator stood on.
enum Reason : unsigned { Live, Removed, Cleared, Destroyed, Assigned, Grew };

// One line on standard error, "ptrbox: <where>: <rule> (<name> 0x..., ...)",
// with `extra` appended inside the brackets when given; then abort().
[[noreturn]] void report(const char* where, const char* rule, const char* name1,
                         const void* p1, const char* name2 = nullptr,
                         const void* p2 = nullptr, const char* extra = nullptr);

// Tables: the constructor's and a growth's arguments, and their changes.
void hashMade(const _Hash* table, int size, int threshold, float rate);
void hashGrowing(const _Hash* table, int size, int threshold, float rate);
void hashChanged(const _Hash* table, Reason how);

// A list or table at this address was made, or is going away.
void containerMade(const void* container);
void containerGone(const void* container);
// A node (list node or table entry) is released for `why`.
void nodeGone(const void* node, Reason why);
// Every node of a list is about to be released for `why`.
void listReleasing(const _List* list, const _ListItem* sentinel, Reason why);
void objectLstReleasing(const ObjectLst* list, const ObjectListElement* head,
                        Reason why);

// A tree walk: started on `tree` (by reset), and used by `op`, which stops
// when the tree changed while the walk is `inProgress`, or was destroyed
// and `op` reads it (the destructor reads only the nodes of a walk in
// progress, and ending a walk after a change is allowed).
// All of _TreeIterator's moves are library code: its records are exact.
void treeWalkStarts(const _TreeIterator* it, const _Tree* tree);
void treeWalkUse(const char* op, const _TreeIterator* it, const _Tree* tree,
                 bool inProgress, bool readsTree = true);
void treeWalkEnds(const _TreeIterator* it, const _Tree* tree, bool inProgress);

} // namespace ptrbox_checked

#endif
