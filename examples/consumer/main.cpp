// One short use of each ptrbox container, built against an installed
// library; the README's usage examples come from here. Exits non-zero when a
// container does not behave as shown.
#include <ptrbox/BinaryTree>
#include <ptrbox/Hash>
#include <ptrbox/ListIter>
#include <ptrbox/MTree>
#include <ptrbox/ObjectLstIter>
#include <ptrbox/Stack>
// Existing code includes the headers by their plain names; that works too.
#include <OrderList>

#include <cstdio>
#include <cstring>

// List and ListIter: a ring of pointers, walked front to back.
static bool listExample() {
  int one = 1, two = 2, three = 3;
  _List list;
  list.insert(&one); // appends
  list.insert(&three);
  list.insert(&two, &one); // right after &one
  int digits = 0;
  for (_ListIter it(list); !it.atEnd();)
    digits = digits * 10 + *static_cast<int*>(it++);
  return digits == 123 && list.size() == 3;
}

// OrderList keyed by C-string content: override keyCmp.
struct Dictionary : _OrderList {
  int keyCmp(void* listKey, void* searchKey) override {
    return std::strcmp(static_cast<char*>(listKey),
                       static_cast<char*>(searchKey));
  }
};

static bool orderListExample() {
  int pear = 1, apple = 2;
  Dictionary fruit;
  fruit.insert("pear", &pear);
  fruit.insert("apple", &apple);
  char key[] = "pear"; // equal text at another address
  return fruit.find(key) == &pear && fruit.size() == 2;
}

// Hash keyed by C-string content: override hash and keyCmp together, so
// that equal keys land in one bucket.
struct Names : _Hash {
  Names() : _Hash(31, 2, 4, 0.5f) {}
  unsigned long hash(void* key) override {
    unsigned long h = 5381;
    for (const char* s = static_cast<char*>(key); *s; ++s)
      h = h * 33 + static_cast<unsigned char>(*s);
    return h;
  }
  int keyCmp(void* tabKey, void* searchKey) override {
    return std::strcmp(static_cast<char*>(tabKey),
                       static_cast<char*>(searchKey));
  }
};

static bool hashExample() {
  int ada = 36, alan = 41;
  char adaKey[] = "ada", alanKey[] = "alan", sought[] = "alan";
  Names ages;
  ages.insert(adaKey, &ada);
  ages.insert(alanKey, &alan);
  _HashItem* found = ages.find(sought);
  int walked = 0;
  for (_HashIter it(ages); it() != nullptr; it++)
    ++walked;
  return found && found->data() == &alan && walked == 2;
}

// Stack: last in, first out.
static bool stackExample() {
  int a = 1, b = 2;
  _Stack stack;
  stack.push(&a);
  stack.push(&b);
  return stack.pop() == &b && stack.pop() == &a && stack.isEmpty();
}

// Tree keyed by the ints the keys point to, walked in key order.
struct IntTree : _Tree {
  int keyCmp(const void* treeKey, const void* searchKey) override {
    int a = *static_cast<const int*>(treeKey);
    int b = *static_cast<const int*>(searchKey);
    return (a > b) - (a < b);
  }
};

static bool treeExample() {
  int keys[] = {20, 10, 30};
  IntTree tree;
  for (int& k : keys)
    tree.insert(&k, nullptr);
  int ten = 10;
  tree.remove(&ten); // a leaf: unlinked and released
  int order = 0;
  for (_TreeIterator it(tree, InOrder); it() != nullptr; it++)
    order = order * 100 + *static_cast<int*>(it()->key());
  return order == 2030;
}

// MTree: every node is the caller's; Destroy lists them for release. The
// destructor is not virtual, so nodes are deleted through a final type.
struct Node final : _MTree {
  using _MTree::_MTree;
};

static bool mtreeExample() {
  // The default keyCmp compares addresses: a key below the node's makes a
  // child, one above a sibling. An array's elements ascend.
  int keys[3] = {};
  Node* root = new Node(&keys[2], nullptr, nullptr, nullptr);
  Node* child = new Node(&keys[1], nullptr, root, nullptr);
  new Node(&keys[0], nullptr, child, nullptr);
  bool ok = root->FindNode(&keys[0])->Depth() == 2;
  _List gathered;
  root->Destroy(&gathered);
  ok = ok && gathered.size() == 3;
  for (_ListIter it(gathered); !it.atEnd();)
    delete static_cast<Node*>(static_cast<_MTree*>(it++));
  return ok;
}

// ObjectLst: status codes, positions and a two-way iterator.
static bool objectListExample() {
  int a = 1, b = 2, c = 3;
  ObjectLst list;
  list.append(&a);
  list.append(&c);
  bool ok = list.insert(&a, &b) == 0 && list.seek(&c) == 2;
  int sum = 0;
  for (ObjectLstIter it(list); !it.atEnd();)
    sum += *static_cast<int*>(it++);
  return ok && sum == 6 && list.remove(&b) == 0 && list.remove(&b) == 5;
}

int main() {
  struct {
    const char* name;
    bool (*run)();
  } examples[] = {{"list", listExample},
                  {"ordered list", orderListExample},
                  {"hash table", hashExample},
                  {"stack", stackExample},
                  {"binary tree", treeExample},
                  {"multi-way tree", mtreeExample},
                  {"object list", objectListExample}};
  int failed = 0;
  for (const auto& e : examples) {
    bool ok = e.run();
    std::printf("%-15s %s\n", e.name, ok ? "ok" : "FAILED");
    failed += !ok;
  }
  return failed != 0;
}
