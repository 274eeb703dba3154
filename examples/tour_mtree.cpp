#include "tour.h"

#include <List>
#include <ListIter>
#include <MTree>

#include <cstdio>
#include <cstring>

namespace {
// Nodes keyed by their text: a word that sorts before a node's own goes
// below it, one that sorts after goes beside it. Final, so that deleting a
// Word is safe although ~_MTree is not virtual.
class Word final : public _MTree {
 public:
  Word(const char* word, _MTree* insertTree, _MTree* searchTree = nullptr)
      : _MTree(const_cast<char*>(word), const_cast<char*>(word), insertTree,
               searchTree) {}
  int keyCmp(const void* tKey, const void* iKey) override {
    const int c = std::strcmp(static_cast<const char*>(tKey),
                              static_cast<const char*>(iKey));
    return (c > 0) - (c < 0);
  }
  const char* text() { return static_cast<const char*>(Data()); }
};
} // namespace

void tourMTree() {
  Word* root = new Word("m", nullptr);
  Word* c = new Word("c", root); // "c" < "m": first child of m
  new Word("f", c);              // after "c": next in c's chain
  new Word("a", c);              // before "c": child of c
  new Word("x", root);           // after "m": a second root beside m
  new Word("c", root, root);     // equal to c: a duplicate sharing its child

  std::printf("mtree walk:");
  _MTreeIter it(root);
  for (_MTree* n = it(); n; n = it++)
    std::printf(" %s@%d%s", static_cast<Word*>(n)->text(), n->Depth(),
                n->Duplicate() ? "(dup)" : "");
  char key[] = "a"; // another pointer to equal text
  std::printf("\nmtree find(\"a\") -> %s\n",
              static_cast<const char*>(root->Find(key)));

  // Tear down: gather every node once, then release what was gathered.
  _List doomed;
  root->Destroy(&doomed);
  _ListIter release(doomed);
  int released = 0;
  while (!release.atEnd()) {
    delete static_cast<Word*>(release++);
    ++released;
  }
  std::printf("mtree released %d nodes\n", released);
}
