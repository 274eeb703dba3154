// One of each container and iterator, holding small made-up pointer values
// so that what gdb prints is the same on every run; gdb/check-printers stops
// in show() and prints them.
#include <ptrbox/BinaryTree>
#include <ptrbox/Hash>
#include <ptrbox/Keyed>
#include <ptrbox/ListIter>
#include <ptrbox/MTree>
#include <ptrbox/ObjectLstIter>
#include <ptrbox/OrderList>
#include <ptrbox/Stack>

#include <cstdint>
#include <initializer_list>

static void* P(std::uintptr_t value) { return reinterpret_cast<void*>(value); }

// A derived list shows its _OrderList part through the same printer.
struct Descending : _OrderList {
  int keyCmp(void* listKey, void* searchKey) override {
    return _OrderList::keyCmp(searchKey, listKey);
  }
};

__attribute__((noinline)) void show() { asm volatile(""); }

int main() {
  _List list, emptyList;
  for (std::uintptr_t e : {1, 2, 3})
    list.insert(P(e));
  _ListIter listIter(list), endIter(emptyList);
  listIter++;

  _OrderList olist;
  olist.insert(P(0x20), P(0x21));
  olist.insert(P(0x10), P(0x11));
  Descending descending;
  descending.insert(P(0x10), P(0x11));
  descending.insert(P(0x20), P(0x21));

  _Stack stack;
  stack.push(P(1));
  stack.push(P(2));

  _Hash hash(5, 2, 4, 1.5f); // keys 1 and 6 share bucket 1
  for (std::uintptr_t k : {6, 3, 1})
    hash.insert(P(k), P(k + 0x10));
  _HashIter hashIter(hash);

  _Tree tree; // 2 at the root, 1 left, 3 right with 4 right of it
  for (std::uintptr_t k : {2, 1, 3, 4})
    tree.insert(P(k), P(k + 0x10));
  tree.remove(P(3)); // 3 has a child: killed, still linked
  _TreeIterator treeIter(tree, InOrder);
  treeIter++;

  // With the default order smaller keys become children, larger siblings.
  _MTree root(P(0x50), P(0x51), nullptr, nullptr);
  _MTree a(P(0x40), P(0x41), &root, nullptr);
  _MTree b(P(0x30), P(0x31), &root, nullptr);
  _MTree c(P(0x38), P(0x39), &a, nullptr);
  _MTree dup(P(0x40), P(0x42), &b, &root); // equal to a's key
  _MTree other(P(0x60), P(0x61), &root, nullptr);
  _MTreeIter mtreeIter(&root);
  mtreeIter++;

  ObjectLst objects;
  for (std::uintptr_t e : {7, 8, 9})
    objects.append(P(e));
  ObjectLstIter objectsIter(objects);
  objectsIter++;

  // The typed containers show what their keys and data point to.
  int ada = 36, alan = 41, one = 1, two = 2;
  double half = 0.5, quarter = 0.25;
  ptrbox::Hash<const char*, int> ages(5);
  ages.insert("ada", &ada);
  ages.insert("alan", &alan);
  ptrbox::OrderList<const char*, int> names;
  names.insert("alan", &alan);
  names.insert("ada", &ada);
  ptrbox::Tree<int, double> shares;
  shares.insert(&two, &quarter);
  shares.insert(&one, &half);
  shares.remove(two); // an inner node: killed
  shares.insert(&ada, nullptr);

  show();
  return 0;
}
