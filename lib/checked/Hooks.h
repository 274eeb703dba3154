// The hooks that the library's own sources call through PTRBOX_CHECK,
// beside those of <PtrboxChecked> that inline header code calls. Declared
// only for the checked build; the plain build compiles no call to them.
#ifndef PTRBOX_CHECKED_HOOKS_H
#define PTRBOX_CHECKED_HOOKS_H

#include "PtrboxChecked"

#ifdef PTRBOX_CHECKED

class _HashItem;
class _ListItem;
class _MTree;
class _TreeIterator;
class _TreeNode;
class ObjectListElement;

namespace ptrbox_checked {

// Every node of a list is about to be released for `why`.
void listReleasing(const _List* list, const _ListItem* sentinel, Reason why);
void objectLstReleasing(const ObjectLst* list, const ObjectListElement* head,
                        Reason why);

// Containers made and destroyed by library code.
void containerMade(const void* container);
void containerGone(const void* container);

// Argument checks.
void hashMade(const _Hash* table, int size, int threshold, float rate);
void hashGrowing(const _Hash* table, int size, int threshold, float rate);
void carbonCopyFrom(const ObjectLst* list, const ObjectListElement* head,
                    const ObjectListElement* tail,
                    const ObjectListElement* chain);
void treeRemoving(const _Tree* tree, const _TreeNode* root,
                  const _TreeNode* node);
// `insertTree` may be null (the node stays unplaced).
void mtreePlacing(const _MTree* node, const _MTree* insertTree, int placement);
void mtreeDestroying(const _MTree* node, const _List* deletingList);
// The node was linked at `*link` (a child or sibling link): until it is
// gone, constructing it again stops while that link still leads to it.
void mtreeLinked(const _MTree* node, _MTree* const* link);
bool mtreeStillLinked(const _MTree* node);

// A tree walk: started on `tree` (by reset), and used by `op`, which stops
// when the tree changed while the walk is `inProgress`, or was destroyed
// and `op` reads it (the destructor reads only the nodes of a walk in
// progress, and ending a walk after a change is allowed).
void treeWalkStarts(const _TreeIterator* it, const _Tree* tree);
void treeWalkUse(const char* op, const _TreeIterator* it, const _Tree* tree,
                 bool inProgress, bool readsTree = true);
void treeWalkEnds(const _TreeIterator* it, const _Tree* tree, bool inProgress);

} // namespace ptrbox_checked

#endif
#endif
