#include "tour.h"

#include <Hash>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {
// Hashes and compares C strings by content instead of by address.
class WordTable final : public _Hash {
 public:
  unsigned long hash(void* key) override {
    unsigned long h = 5381;
    for (const char* c = static_cast<const char*>(key); *c != '\0'; ++c)
      h = h * 33 + static_cast<unsigned char>(*c);
    return h;
  }
  int keyCmp(void* tabKey, void* searchKey) override {
    return std::strcmp(static_cast<const char*>(tabKey),
                       static_cast<const char*>(searchKey));
  }
};

void* asKey(std::uintptr_t v) { return reinterpret_cast<void*>(v); }
} // namespace

void tourHash() {
  // Small numbers stand in for pointers: the table only hashes and compares
  // the values. Four buckets, threshold 2, depth 1, rate 0.5.
  _Hash table(4, 2, 1, 0.5f);
  for (std::uintptr_t k : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 25}) {
    table.insert(asKey(k), nullptr);
    std::printf("hash: inserted %2u -> size %2d, capacity %2d, deepest "
                "lookup %d\n",
                static_cast<unsigned>(k), table.size(), table.capacity(),
                table.maxLookupDepth());
  }
  std::puts("hash: print() dump (13 and 25 share bucket 1 with 1)");
  table.print();

  std::printf("hash: walk");
  for (_HashIter it(table); it() != nullptr; ++it)
    std::printf(" %u", static_cast<unsigned>(
                           reinterpret_cast<std::uintptr_t>(it->key())));
  std::puts("");

  char apple[] = "apple", pear[] = "pear";
  char seed[] = "seed", core[] = "core";
  WordTable words;
  words.insert(apple, seed);
  words.insert(pear, core);
  char key[] = "pear"; // another pointer to equal text
  _HashItem* found = words.find(key);
  std::printf("hash: words.find(\"pear\") -> %s\n",
              found ? static_cast<const char*>(found->data()) : "(none)");
}
