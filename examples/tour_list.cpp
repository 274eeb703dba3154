#include "tour.h"

#include <List>
#include <ListIter>
#include <OrderList>
#include <Stack>

#include <cstdio>
#include <cstring>

namespace {
// Orders C strings by content instead of by address.
class WordList final : public _OrderList {
 public:
  int keyCmp(void* listKey, void* searchKey) override {
    return std::strcmp(static_cast<const char*>(listKey),
                       static_cast<const char*>(searchKey));
  }
};
} // namespace

void tourList() {
  const char* words[] = {"pear", "apple", "fig"};

  _List list;
  for (const char* w : words)
    list.insert(w);
  list.insert("kiwi", 1); // position 1: first
  std::printf("list (%d):", list.size());
  _ListIter it(list);
  while (void* e = it++)
    std::printf(" %s", static_cast<const char*>(e));
  std::puts("");

  WordList byName;
  for (const char* w : words)
    byName.insert(w, w);
  char key[] = "fig"; // another pointer to equal text
  std::printf("ordered list: find(\"fig\") -> %s; in order:",
              static_cast<const char*>(byName.find(key)));
  _ListIter ordered(byName);
  while (void* e = ordered++)
    std::printf(" %s", static_cast<const char*>(e));
  std::puts("");

  _Stack stack;
  for (const char* w : words)
    stack.push(w);
  std::printf("stack pops:");
  while (!stack.isEmpty())
    std::printf(" %s", static_cast<const char*>(stack.pop()));
  std::puts("");
}
