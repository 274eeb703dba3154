// The checked library (PTRBOX_CHECKED): each misuse the headers forbid stops
// with its one-line report; correct use beside an unchecked unit does not.
#include "CheckedMixed.h"
#include "support/Driver.h"

#include <gtest/gtest.h>

#include <Keyed>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <memory>
#include <new>
#include <thread>
#include <vector>

// "ptrbox: <where>: <rule> (<name> 0x..., ...": the pattern of a report.
static std::string says(const std::string& where, const std::string& rule,
                        const std::string& names = "\\(list 0x[0-9a-f]+, "
                                                   "iterator 0x[0-9a-f]+\\)") {
  return "^ptrbox: " + where + ": " + rule + " " + names + "\n";
}
static const std::string kTable =
    "\\(table 0x[0-9a-f]+, iterator 0x[0-9a-f]+\\)";

TEST(CheckedDeathTest, HashArgumentsAndNullTables) {
  EXPECT_DEATH(_Hash(0), says("_Hash::_Hash", "the size is below 1",
                              "\\(table 0x[0-9a-f]+, size 0, threshold 2, "
                              "rate 0.5\\)"));
  EXPECT_DEATH(_Hash(7, 2, 2, -1.f), "growth rate is negative or not finite");
  EXPECT_DEATH(_Hash(7, 2, 2, NAN), "growth rate is negative or not finite");
  EXPECT_DEATH(_Hash(INT_MAX / 2, 4), "the first growth would overflow int");
  // size x threshold past int, and a rate that lets one growth through and
  // makes the next overflow.
  EXPECT_DEATH(_Hash(1 << 16, 1 << 15), "the first growth would overflow int");
  EXPECT_DEATH(_Hash(1 << 10, 1, 2, 3e6f), "the first growth would overflow");
  _Hash steep(1, 1, 0, 60000.f);
  steep.resize(); // 60001 buckets; the next one would pass INT_MAX
  EXPECT_DEATH(steep.resize(),
               says("_Hash::resize", "this growth would overflow int",
                    "\\(table 0x[0-9a-f]+, size 60001, threshold 1, "
                    "rate 60000\\)"));
  EXPECT_DEATH(_HashIter(static_cast<_Hash*>(nullptr)),
               says("_HashIter::_HashIter", "the table is null",
                    "\\(table 0x0, iterator 0x[0-9a-f]+\\)"));
  EXPECT_DEATH(
      _MTree(nullptr, nullptr, nullptr, nullptr).Destroy(nullptr),
      says("_MTree::Destroy", "the list is null", "\\(node 0x[0-9a-f]+\\)"));
}

// A table of keys 1..8 with an iterator on its second entry.
struct Walked {
  _Hash table{11, 1, 0, 1.f};
  _HashIter* it;
  Walked() {
    for (int k = 1; k <= 8; ++k)
      table.insert(ptr(k), nullptr);
    it = new _HashIter(table);
    ++*it;
  }
  ~Walked() { delete it; }
  Walked(const Walked&) = delete;
  Walked& operator=(const Walked&) = delete;
};

TEST(CheckedDeathTest, HashIteratorsWhoseTableChanged) {
  // A second iterator clears the shared flag; the next insertion grows.
  EXPECT_DEATH(
      {
        Walked w;
        delete new _HashIter(w.table);
        for (int k = 20, n = w.table.capacity(); w.table.capacity() == n;)
          w.table.insert(ptr(k++), nullptr);
        ++*w.it;
      },
      says("_HashIter::operator\\+\\+",
           "the table grew while this iterator held a position", kTable));
  Walked w;
  EXPECT_DEATH((w.table.clear(), (*w.it)++),
               "the table was cleared while this iterator held a position");
  EXPECT_DEATH((w.table.remove((*w.it)()->key()), ++*w.it),
               says("_HashIter::operator\\+\\+",
                    "the entry under this iterator was removed", kTable));
  EXPECT_DEATH((w.table.remove((*w.it)()->key()), *w.it == nullptr),
               "_HashIter::operator==: the entry under this iterator");
  EXPECT_DEATH(
      {
        auto* v = new Walked;
        v->table.~_Hash();
        ++*v->it;
      },
      "the table was destroyed while this iterator held a position");
  EXPECT_DEATH(
      {
        auto* t = new _Hash;
        delete new _HashIter(*t); // puts the table on record
        t->~_Hash();
        _HashIter late(*t);
      },
      says("_HashIter::_HashIter", "the table was destroyed", kTable));
  EXPECT_DEATH(
      {
        auto* t = new _Hash;
        _HashIter it(*t);
        delete t;
      },
      says("_HashIter::~_HashIter",
           "the table was destroyed before this iterator", kTable));
}

TEST(CheckedDeathTest, ListIteratorsWhoseNodeWent) {
  _List list;
  for (int e = 1; e <= 3; ++e)
    list.insert(ptr(e));
  _ListIter it(list), other(list);
  it++;     // on 2
  other[1]; // after 2
  EXPECT_DEATH((list.remove(ptr(2)), it++),
               says("_ListIter::operator\\+\\+",
                    "the node under this iterator was removed from its list"));
  EXPECT_DEATH((other.removeLastItem(), it()),
               says("_ListIter::operator\\(\\)",
                    "the node under this iterator was removed from its list"));
  EXPECT_DEATH((list.clear(), other++), // on the last node
               "the list was cleared while this iterator stood on one");
  EXPECT_DEATH(
      (list.~_List(), it.reset()),
      says("_ListIter::reset", "the list was destroyed before this iterator"));
  _OrderList ordered;
  _List& plain = ordered;
  EXPECT_DEATH(plain.insert(ptr(1)),
               says("_List::insert",
                    "an element without a key was inserted into an "
                    "_OrderList",
                    "\\(list 0x[0-9a-f]+\\)"));
  EXPECT_DEATH(plain.insert(ptr(1), 2), "without a key");
}

TEST(CheckedDeathTest, ObjectListIteratorsWhoseNodeWent) {
  ObjectLst list;
  for (int e = 1; e <= 3; ++e)
    list.append(ptr(e));
  ObjectLstIter it(list);
  it++, it++; // on 3, the tail
  EXPECT_DEATH((list.remove(ptr(3)), it--),
               says("ObjectLstIter::operator--",
                    "the node under this iterator was removed from its list"));
  EXPECT_DEATH((list.clearList(), it()),
               "the list was cleared while this iterator stood on one");
  EXPECT_DEATH((list = ObjectLst(), it++),
               "the list was assigned to while this iterator stood on one");
  EXPECT_DEATH((list.~ObjectLst(), it[0]),
               says("ObjectLstIter::operator\\[\\]",
                    "the list was destroyed before this iterator"));
  EXPECT_DEATH(list.carbonCopy(list, 2, 0),
               says("ObjectLst::carbonCopy",
                    "the source chain starts inside this list",
                    "\\(list 0x[0-9a-f]+, chain 0x[0-9a-f]+\\)"));
}

TEST(CheckedDeathTest, MTreePlacementsThatMakeCycles) {
  struct Node final : _MTree {
    using _MTree::_MTree;
  };
  Node root(ptr(8), nullptr, nullptr, nullptr);
  Node child(ptr(4), nullptr, &root, nullptr); // below: root's key is higher
  EXPECT_DEATH(new (&child) Node(ptr(4), nullptr, &root, nullptr),
               says("_MTree::_MTree",
                    "this node is already linked into the chain it is placed "
                    "at the end of",
                    "\\(node 0x[0-9a-f]+, insertTree 0x[0-9a-f]+\\)"));
  EXPECT_DEATH(new (&root) Node(ptr(1), nullptr, &child, nullptr),
               "_MTree::_MTree: placing this node would make a cycle");
  // Beside its own grandchild: into its own subtree, a loop below root.
  Node grandchild(ptr(2), nullptr, &child, nullptr);
  EXPECT_DEATH(new (&child) Node(ptr(1), nullptr, &grandchild, nullptr),
               "_MTree::_MTree: placing this node would make a cycle");
}

TEST(CheckedDeathTest, TreeWalksWhoseTreeChangedAndForeignNodes) {
  _Tree tree, other;
  for (int k : {2, 1, 3})
    tree.insert(ptr(k), nullptr);
  _TreeIterator it(tree, InOrder);
  EXPECT_DEATH((tree.insert(ptr(9), nullptr), ++it),
               says("_TreeIterator::operator\\+\\+",
                    "the tree changed during this walk",
                    "\\(tree 0x[0-9a-f]+, iterator 0x[0-9a-f]+\\)"));
  EXPECT_DEATH(
      {
        auto* gone = new _Tree; // walked half-way: its destructor unmarks
        for (int k : {2, 1, 3})
          gone->insert(ptr(k), nullptr);
        auto* walk = new _TreeIterator(*gone, PostOrder);
        gone->~_Tree();
        delete walk;
      },
      "_TreeIterator::~_TreeIterator: the tree was destroyed before this "
      "iterator");
  for (int k : {2, 1, 3})
    other.insert(ptr(k), nullptr);
  EXPECT_DEATH(tree.remove(other.find(ptr(1))), // a leaf of another tree
               says("_Tree::remove", "the node is not in this tree",
                    "\\(tree 0x[0-9a-f]+, node 0x[0-9a-f]+\\)"));
  EXPECT_DEATH(tree.remove(other.root()), "the node is not in this tree");
  EXPECT_DEATH(
      {
        _Tree* done = new _Tree;
        done->insert(ptr(1), nullptr);
        _TreeIterator walk(*done, InOrder);
        while (walk++) // finished: no node on its stack
          ;
        done->~_Tree();
        walk.reset();
      },
      "_TreeIterator::reset: the tree was destroyed before this iterator");
}

// The standard iterators (range-for, ptrbox::view, the typed containers,
// reverse walks) stop at their next use after the node under them went.
static const std::string kStdRemoved =
    "the node under this iterator was removed from its container";
static const std::string kStdDestroyed =
    "the container was destroyed while this iterator stood on one of its "
    "nodes";
static std::string stdSays(const std::string& where, const std::string& rule) {
  return says(where, rule, "\\(node 0x[0-9a-f]+\\)");
}

TEST(CheckedDeathTest, StandardListIteratorsWhoseNodeWent) {
  _List list;
  ObjectLst objects;
  _OrderList ordered;
  for (int e = 1; e <= 3; ++e)
    list.insert(ptr(e)), objects.append(ptr(e)), ordered.insert(ptr(e), ptr(e));
  EXPECT_DEATH(for (void* e
                    : list) list.remove(e),
               stdSays("_List::iterator::operator\\+\\+", kStdRemoved));
  EXPECT_DEATH(for (int* e
                    : ptrbox::view<int>(ordered)) ordered.remove(e),
               stdSays("_List::iterator::operator\\+\\+", kStdRemoved));
  EXPECT_DEATH(for (void* e
                    : objects) objects.remove(e),
               stdSays("ObjectLst::iterator::operator\\+\\+", kStdRemoved));
  EXPECT_DEATH(
      {
        // Stands on the first node, reads through the second.
        std::reverse_iterator<_List::iterator> first(std::next(list.begin()));
        list.clear();
        (void)*first;
      },
      stdSays("_List::iterator::operator--",
              "the container was cleared while this iterator stood on one of "
              "its nodes"));
  EXPECT_DEATH(
      {
        auto* gone = new ObjectLst(objects);
        auto at = gone->begin();
        delete gone;
        --at;
      },
      stdSays("ObjectLst::iterator::operator--", kStdDestroyed));
  EXPECT_DEATH(
      {
        auto at = objects.begin();
        objects = ObjectLst(objects);
        (void)*at;
      },
      "the container was assigned to while this iterator stood on one");
}

TEST(CheckedDeathTest, StandardTableAndTreeIteratorsWhoseNodeWent) {
  using IntHash = ptrbox::Hash<int, int>;
  static int keys[256];
  for (int k = 0; k < 256; ++k)
    keys[k] = k;
  EXPECT_DEATH(
      {
        IntHash tally(3, 1, 0, 1.f);
        int k = 0;
        for (; k < 3; ++k)
          tally.insert(&keys[k], nullptr);
        for (auto entry : tally) // grows: every entry is rebuilt elsewhere
          for (int n = tally.capacity(); tally.capacity() == n && k < 250;
               ++k) {
            tally.insert(&keys[k], entry.data);
            tally.find(keys[0]);
          }
      },
      stdSays("_Hash::iterator::operator\\+\\+",
              "the table grew while this iterator stood on one of its "
              "entries"));
  _Hash table;
  table.insert(ptr(1), nullptr);
  EXPECT_DEATH(for (_HashItem& e
                    : table) table.remove(e.key()),
               stdSays("_Hash::iterator::operator\\+\\+", kStdRemoved));
  ptrbox::Tree<int, int> tree;
  for (int k : {2, 1, 3})
    tree.insert(&keys[k], nullptr);
  EXPECT_DEATH(for (auto entry
                    : tree) tree.remove(*entry.key),
               stdSays("_Tree::iterator::operator\\+\\+", kStdRemoved));
  EXPECT_DEATH(
      {
        _Tree* gone = new _Tree;
        gone->insert(ptr(1), nullptr);
        auto at = gone->begin();
        gone->~_Tree();
        (void)at->key();
      },
      stdSays("_Tree::iterator::operator\\*", kStdDestroyed));
}

// Three classic iterators on one node: the mark is the node's, so every one
// of them stops, however many there are.
TEST(CheckedDeathTest, EveryIteratorOnARemovedNodeStops) {
  _List list;
  for (int e = 1; e <= 3; ++e)
    list.insert(ptr(e));
  _ListIter a(list), b(list), c(list);
  a++, b++, c++;
  // The slip runs in the death test's child: an allocation in between could
  // reuse the freed node, and a node made anew is no longer marked.
  EXPECT_DEATH((list.remove(ptr(2)), a++),
               "_ListIter::operator\\+\\+: the node under this");
  EXPECT_DEATH((list.remove(ptr(2)), b()),
               "_ListIter::operator\\(\\): the node under this");
  EXPECT_DEATH((list.remove(ptr(2)), c.removeLastItem()),
               "_ListIter::removeLastItem: the node under this");
}

// Two threads inside operations on one container at once: each comparison
// waits until the other thread has reached one too, so the overlap is
// certain and the second thread to enter stops.
template <class Base, class... Key> struct Meeting : Base {
  std::atomic<int> arrived{0};
  int keyCmp(Key... a, Key... b) override {
    arrived.fetch_add(1);
    while (arrived.load() < 2)
      std::this_thread::yield();
    return Base::keyCmp(a..., b...);
  }
};

template <class Container, class Op> void twoThreadsAtOnce(Op op) {
  Container c;
  op(c, 1); // one entry, so that the next operations compare
  c.arrived = 0;
  std::thread other([&] { op(c, 3); });
  op(c, 2);
  other.join();
}

TEST(CheckedDeathTest, TwoThreadsChangingOneContainer) {
  const std::string rule = ": used by two threads at once \\(container 0x";
  EXPECT_DEATH((twoThreadsAtOnce<Meeting<_OrderList, void*>>(
                   [](auto& c, int k) { c.insert(ptr(k), ptr(k)); })),
               "_OrderList::insert" + rule);
  EXPECT_DEATH((twoThreadsAtOnce<Meeting<_Hash, void*>>([](auto& c, int k) {
                 k == 1 ? (void)c.insert(ptr(k), ptr(k)) : (void)c.find(ptr(1));
               })),
               "_Hash::find" + rule); // a lookup records its depth
  EXPECT_DEATH((twoThreadsAtOnce<Meeting<_Tree, const void*>>(
                   [](auto& c, int k) { c.insert(ptr(k), nullptr); })),
               "_Tree::insert" + rule);
}

// What may run at once runs without a report: walks and const reads of one
// container by many threads, containers of their own per thread (their
// words may share slots), and a container handed from thread to thread.
TEST(CheckedThreads, ReadsOwnContainersAndHandOversAreNotReported) {
  _List shared;
  _Hash table;
  for (int e = 1; e <= 64; ++e)
    shared.insert(ptr(e)), table.insert(ptr(e), nullptr);
  std::atomic<std::uintptr_t> total{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      std::uintptr_t sum = 0;
      std::vector<_List> own(8);
      for (int round = 0; round < 200; ++round) {
        for (void* e : shared)
          sum += num(e) * shared.isIn(e);
        for (const _HashItem& e : table)
          sum += num(e.key());
        for (_List& l : own)
          l.insert(ptr(t + 1)), l.remove(ptr(t + 1));
      }
      total += sum;
    });
  for (std::thread& t : threads)
    t.join();
  EXPECT_EQ(total.load(), 4u * 200 * 2 * (64 * 65 / 2));
  for (int t = 0; t < 4; ++t)
    std::thread([&] { table.insert(ptr(100 + t), nullptr); }).join();
  EXPECT_EQ(table.size(), 68);
}

// A crowded registry: tree walks on record while lists are put there, then
// gone, so that records move; a slip on any of those lists, gone after them,
// is still reported. (Before the full registry below.)
TEST(CheckedDeathTest, CrowdedRegistryStillReportsEverySlip) {
  std::vector<std::aligned_storage_t<sizeof(_List), alignof(_List)>> at(300);
  std::vector<std::unique_ptr<_ListIter>> its;
  std::vector<std::unique_ptr<_TreeIterator>> walks;
  _Tree tree;
  for (auto& place : at)
    walks.push_back(std::make_unique<_TreeIterator>(tree, InOrder)),
        its.push_back(std::make_unique<_ListIter>(*new (&place) _List));
  walks.clear();
  for (auto& place : at)
    reinterpret_cast<_List*>(&place)->~_List();
  std::size_t reported = 0;
  for (auto& it : its) {
    int status = 0;
    if (const pid_t child = fork(); child == 0)
      (void)std::freopen("/dev/null", "w", stderr), it->reset(), _exit(0);
    else
      waitpid(child, &status, 0);
    reported += WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT;
  }
  EXPECT_EQ(reported, at.size());
}

// Destroyed tables stay on record, so a long run fills the fixed registry:
// it must then forget records, never stall, and still report a slip.
TEST(CheckedDeathTest, FullRegistryForgetsButStillReports) {
  std::vector<std::unique_ptr<_Hash>> gone(20000);
  for (auto& t : gone) {
    t = std::make_unique<_Hash>(1);
    _HashIter walk(*t); // puts the table on record
  }
  gone.clear();
  _Hash table(2, 1, 0, 1.f);
  table.insert(ptr(1), nullptr);
  _HashIter walk(table);
  table.resize();
  EXPECT_DEATH(++walk, says("_HashIter::operator\\+\\+",
                            "the table grew while this iterator held a "
                            "position",
                            kTable));
}

// Containers and iterators shared with a unit built without the checks,
// used correctly, nodes removed and made again at reused addresses: no
// report. Both units see one layout.
TEST(CheckedMixed, UncheckedUnitSharesContainersWithoutReports) {
  EXPECT_EQ(plainSizes(), sizesHere());
  _List list;
  for (int e = 1; e <= 4; ++e)
    (e % 2 ? plainAppend(list, ptr(e)) : list.insert(ptr(e)));
  _ListIter it(list);
  EXPECT_EQ(it++, ptr(1));
  list.remove(ptr(2)); // under the cursor; reset, unchecked
  plainReset(it);
  plainAppend(list, ptr(5)); // likely at the freed node's address
  list.insert(ptr(6));
  std::string seen;
  for (void* e; (e = it++) != nullptr;)
    seen += show(num(e));
  EXPECT_EQ(seen, "1 3 4 5 6 ");
  _List one; // the same, with the iterator put back where it stood
  one.insert(ptr(1));
  _ListIter at(one);
  one.remove(ptr(1));
  plainAppend(one, ptr(2));
  plainReset(at);
  EXPECT_EQ(at++, ptr(2));

  ObjectLst objects;
  for (int e = 1; e <= 4; ++e)
    (e % 2 ? plainAppend(objects, ptr(e)) : objects.append(ptr(e)));
  ObjectLstIter cursor(objects);
  EXPECT_EQ(plainAdvance(cursor), ptr(1));
  objects.remove(ptr(2));
  cursor.reset();
  objects.append(ptr(7));
  EXPECT_EQ(plainObjectLstSum(objects), 15u);
  EXPECT_EQ(cursor++, ptr(1));
  EXPECT_EQ(plainAdvance(cursor), ptr(3));
  EXPECT_EQ(cursor--, ptr(4));

  // A node removed under a checked iterator, made again at its address by
  // the unchecked unit with more behind it, and walked onto again: the new
  // node's element replaced the mark, so no report, whichever unit walks.
  _List ring;
  for (int e = 1; e <= 3; ++e)
    ring.insert(ptr(e));
  _ListIter under(ring);
  under++; // on 2
  ring.remove(ptr(2));
  // At 2's address: glibc hands the freed node out again at once (ASan and
  // valgrind hold freed blocks back; the walks below still run there).
  plainAppend(ring, ptr(4));
  plainAppend(ring, ptr(5));
  plainReset(under);
  std::uintptr_t sum = 0;
  for (void* e; (e = under++) != nullptr;)
    sum += num(e);
  for (void* e : ring)
    sum += num(e);
  EXPECT_EQ(sum, 2 * 13u);
  EXPECT_EQ(plainRangeSum(ring), 13u);

  _Hash table(3, 1, 0, 1.f);
  for (int k = 1; k <= 6; ++k)
    table.insert(ptr(k), nullptr);
  _HashIter walk(table);
  plainAdvance(walk);
  EXPECT_EQ(plainHashWalk(table), 6); // clears the flag: growth may follow
  table.insert(ptr(7), nullptr);
  walk.reset();
  int n = 0;
  for (; walk(); ++walk)
    ++n;
  EXPECT_EQ(n, 7);
  std::uintptr_t keys = 0;
  for (const _HashItem& e : table)
    keys += num(e.key());
  EXPECT_EQ(keys, 28u);
  EXPECT_EQ(plainRangeSum(table), 28u);

  // A tree walked, destroyed and made again at its address by the unchecked
  // unit: the old record must not tie the new tree's walks to the dead one.
  alignas(_Tree) unsigned char storage[sizeof(_Tree)];
  {
    _Tree* first = plainTreeAt(storage);
    _TreeIterator walk(*first, PreOrder);
    while (walk++) // to its end: the walk may outlive the tree
      ;
    first->~_Tree();
  }
  _Tree* again = plainTreeAt(storage);
  {
    _TreeIterator inTree(*again, InOrder);
    std::uintptr_t inOrder = 0;
    for (_TreeNode* n = inTree(); n; n = ++inTree)
      inOrder = inOrder * 10 + num(n->key());
    inTree.reset();
    EXPECT_EQ(inOrder, 123u);
  }
  again->~_Tree();
}
