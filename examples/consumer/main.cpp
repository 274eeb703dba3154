// One short use of each ptrbox container, built against an installed
// library, written twice: with the modern surface (range-for, ptrbox::view,
// the typed containers; no cast) and with the classic interface. The
// README's usage examples come from here. Exits non-zero when a container
// does not behave as shown.
#include <ptrbox/BinaryTree>
#include <ptrbox/Hash>
#include <ptrbox/ListIter>
#include <ptrbox/MTree>
#include <ptrbox/ObjectLstIter>
#include <ptrbox/Stack>
#include <ptrbox/Keyed>
#include <ptrbox/View>
// Existing code includes the headers by their plain names; that works too.
#include <OrderList>

#include <cstdio>
#include <cstring>
#include <deque>
#include <iterator>

// ---- The modern surface ------------------------------------------------

static bool listModern() {
  int one = 1, two = 2, three = 3;
  _List list;
  list.insert(&one);
  list.insert(&three);
  list.insert(&two, &one);
  int digits = 0;
  for (int* d : ptrbox::view<int>(list))
    digits = digits * 10 + *d;
  return digits == 123 && *std::prev(list.end()) == &three;
}

static bool orderListModern() {
  int pear = 1, apple = 2;
  ptrbox::OrderList<const char*, int> fruit; // C strings, by their text
  fruit.insert("pear", &pear);
  fruit.insert("apple", &apple);
  char key[] = "pear";
  return fruit.find(key) == &pear && fruit.size() == 2;
}

static bool hashModern() {
  int ada = 36, alan = 41;
  ptrbox::Hash<const char*, int> ages(31, 2, 4, 0.5f);
  ages.insert("ada", &ada);
  ages.insert("alan", &alan);
  char sought[] = "alan";
  return ages.find(sought) == &alan &&
         std::distance(ages.begin(), ages.end()) == 2;
}

static bool stackModern() {
  int a = 1, b = 2, popped = 0;
  _Stack stack;
  stack.push(&a);
  stack.push(&b);
  for (int* p : ptrbox::view<int>(stack)) // from the top down
    popped = popped * 10 + *p;
  return popped == 21;
}

static bool treeModern() {
  int keys[] = {20, 10, 30};
  ptrbox::Tree<int, int> tree; // keyed by the ints the keys point to
  for (int& k : keys)
    tree.insert(&k, nullptr);
  tree.remove(10);
  int order = 0;
  for (auto entry : tree)
    order = order * 100 + *entry.key;
  return order == 2030;
}

struct Node final : _MTree {
  using _MTree::_MTree;
};

static bool mtreeModern() {
  int keys[3] = {};
  std::deque<Node> nodes; // the caller's nodes, released with the deque
  nodes.emplace_back(&keys[2], nullptr, nullptr, nullptr);
  nodes.emplace_back(&keys[1], nullptr, &nodes[0], nullptr);
  nodes.emplace_back(&keys[0], nullptr, &nodes[1], nullptr);
  int depths = 0;
  for (_MTree& n : nodes[0])
    depths = depths * 10 + n.Depth();
  return nodes[0].FindNode(&keys[0])->Depth() == 2 && depths == 12;
}

static bool objectListModern() {
  int a = 1, b = 2, c = 3;
  ObjectLst list;
  list.append(&a);
  list.append(&c);
  bool ok = list.insert(&a, &b) == 0 && list.seek(&c) == 2;
  int sum = 0;
  for (int* x : ptrbox::view<int>(list))
    sum += *x;
  return ok && sum == 6 && list.remove(&b) == 0 && list.remove(&b) == 5;
}

// ---- The classic interface ---------------------------------------------

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
    bool (*modern)();
    bool (*classic)();
  } examples[] = {{"list", listModern, listExample},
                  {"ordered list", orderListModern, orderListExample},
                  {"hash table", hashModern, hashExample},
                  {"stack", stackModern, stackExample},
                  {"binary tree", treeModern, treeExample},
                  {"multi-way tree", mtreeModern, mtreeExample},
                  {"object list", objectListModern, objectListExample}};
  int failed = 0;
  for (const auto& e : examples) {
    const bool modern = e.modern(), classic = e.classic();
    std::printf("%-15s modern %s, classic %s\n", e.name,
                modern ? "ok" : "FAILED", classic ? "ok" : "FAILED");
    failed += !modern + !classic;
  }
  return failed != 0;
}
