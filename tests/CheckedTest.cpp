// The checked library (PTRBOX_CHECKED): each misuse the README lists stops
// with its one-line report, one case per rule; correct use, concurrent reads
// and a unit built without the checks sharing containers do not.
#include "CheckedMixed.h"
#include "support/Driver.h"

#include <gtest/gtest.h>

#include <Erase>
#include <Keyed>
#include <TypedStack>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <functional>
#include <new>
#include <numeric>
#include <random>
#include <thread>
#include <utility>
#include <vector>

namespace {

// "^ptrbox: <where>: <rule> (<a> 0x..., <b> 0x...": the pattern of a report.
std::string says(const std::string& where, const std::string& rule,
                 const std::string& a = "list",
                 const std::string& b = "iterator") {
  return "^ptrbox: " + where + ": " + rule + " \\(" + a + " 0x[0-9a-f]+" +
         (b.empty() ? "" : ", " + b + " 0x[0-9a-f]+") + "[,)]";
}
// Each slip runs in a death test's child, on a copy of the setup.
struct Slip {
  std::function<void()> act;
  std::string report;
};
void expectReports(const std::vector<Slip>& slips) {
  for (const Slip& s : slips)
    EXPECT_DEATH(s.act(), s.report) << s.report;
}

struct Node final : _MTree {
  using _MTree::_MTree;
};

} // namespace

TEST(CheckedDeathTest, Tables) {
  _Hash steep(1, 1, 0, 60000.f);
  steep.resize(); // 60001 buckets: the next growth would pass INT_MAX
  _Hash table{11, 1, 0, 1.f}, *dead = new _Hash, *doomed = new _Hash;
  for (int k = 1; k <= 8; ++k)
    table.insert(ptr(k), nullptr);
  _HashIter it(table), *last = new _HashIter(*doomed);
  ++it;                        // holds the second entry
  delete new _HashIter(*dead); // puts the table on record
  dead->~_Hash();
  const std::string step = "_HashIter::operator\\+\\+: the table ";
  expectReports({
      {[] { _Hash(0); },
       "^ptrbox: _Hash::_Hash: the size is below 1 \\(table 0x[0-9a-f]+, "
       "size 0, threshold 2, rate 0.5\\)\n"},
      {[] { _Hash(7, 2, 2, -1.f); }, "growth rate is negative or not finite"},
      {[] { _Hash(1 << 16, 1 << 15); }, "the first growth would overflow int"},
      {[&] { steep.resize(); }, "_Hash::resize: this growth would overflow"},
      {[] { _HashIter(static_cast<_Hash*>(nullptr)); },
       says("_HashIter::_HashIter", "the table is null", "table")},
      {[&] { _HashIter late(*dead); },
       "_HashIter: the table was destroyed \\("},
      {[&] {
         delete new _HashIter(table); // clears the shared flag
         for (int k = 20, n = table.capacity(); table.capacity() == n;)
           table.insert(ptr(k++), nullptr);
         ++it;
       },
       step + "grew while this iterator held a position \\(table 0x"},
      {[&] { table.clear(), it++; }, step + "was cleared while this iterator"},
      {[&] { table.~_Hash(), ++it; }, step + "was destroyed while this"},
      {[&] { table.remove(it()->key()), (void)(it == nullptr); },
       "_HashIter::operator==: the entry under this iterator was removed"},
      {[&] { delete doomed, delete last; },
       "_HashIter::~_HashIter: the table was destroyed before this iterator"},
  });
  delete last, delete doomed;
}

TEST(CheckedDeathTest, Lists) {
  _List list;
  ObjectLst objects;
  for (int e = 1; e <= 3; ++e)
    list.insert(ptr(e)), objects.append(ptr(e));
  _ListIter a(list), b(list), last(list);
  a++, b++, last++, last++; // a and b on 2, last on 3
  ObjectLstIter at(objects);
  at++, at++; // on 3, the tail
  _OrderList ordered;
  const std::string removed = ": the node under this iterator was removed "
                              "from its list \\(list 0x[0-9a-f]+, iterator 0x";
  expectReports({
      {[&] { list.remove(ptr(2)), a++; },
       "_ListIter::operator\\+\\+" + removed},
      // Every iterator on the node stops: the mark is the node's.
      {[&] { list.remove(ptr(2)), b.removeLastItem(); },
       "_ListIter::removeLastItem" + removed},
      {[&] { list.clear(), last(); }, "the list was cleared while this it"},
      {[&] { list.~_List(), a++; }, "the list was destroyed while this it"},
      {[&] { list.~_List(), b.reset(); },
       "_ListIter::reset: the list was destroyed before this iterator"},
      {[&] {
         ptrbox::erase_if(objects, [](void* e) { return e == ptr(3); });
         at--;
       },
       "ObjectLstIter::operator--" + removed},
      {[&] { objects = ObjectLst(), at++; }, "the list was assigned to while"},
      {[&] { static_cast<_List&>(ordered).insert(ptr(1)); },
       "_List::insert: an element without a key was inserted into an "
       "_OrderList \\(list 0x[0-9a-f]+\\)"},
      {[&] { objects.carbonCopy(objects, 2, 0); },
       says("ObjectLst::carbonCopy", "the source chain starts inside this list",
            "list", "chain")},
  });
}

// The standard iterators (range-for, the typed containers, reverse walks)
// stop at their next use after the node under them was released.
TEST(CheckedDeathTest, StandardIterators) {
  _List list;
  ObjectLst objects;
  _Hash table;
  for (int e = 1; e <= 3; ++e)
    list.insert(ptr(e)), objects.append(ptr(e)), table.insert(ptr(e), nullptr);
  static const int keys[] = {0, 1, 2, 3};
  ptrbox::Tree<int, int> tree;
  ptrbox::Stack<const int> stack;
  for (int k : {2, 1, 3})
    tree.insert(&keys[k], nullptr), stack.push(&keys[k]);
  auto* gone = new ObjectLst(objects);
  const auto onTop = stack.begin();
  const auto inGone = gone->begin(), inObjects = objects.begin();
  const auto inTable = table.begin();
  const auto first = std::make_reverse_iterator(std::next(list.begin()));
  const std::string removed = ": the node under this iterator was removed "
                              "from its container \\(node 0x[0-9a-f]+\\)\n";
  expectReports({
      {[&] {
         for (auto entry : tree)
           tree.remove(*entry.key);
       },
       "_Tree::iterator::operator\\+\\+" + removed},
      {[&] { stack.pop(), (void)*onTop; },
       "_Stack::iterator::operator\\*" + removed},
      // Stands on the first node, reads through the second.
      {[&] { list.clear(), (void)*first; },
       "_List::iterator::operator--: the container was cleared while this "
       "iterator stood on one of its nodes"},
      {[&] { objects = ObjectLst(objects), (void)*inObjects; },
       "the container was assigned to while this iterator stood on one"},
      {[&] { delete gone, (void)*inGone; },
       "ObjectLst::iterator::operator\\*: the container was destroyed while "
       "this iterator stood on one of its nodes"},
      {[&] { table.resize(), (void)*inTable; },
       "_Hash::iterator::operator\\*: the table grew while this iterator "
       "stood on one of its entries"},
  });
  delete gone;
}

TEST(CheckedDeathTest, Trees) {
  _Tree tree, other;
  for (int k : {2, 1, 3})
    tree.insert(ptr(k), nullptr), other.insert(ptr(k), nullptr);
  _TreeIterator it(tree, InOrder), *half = new _TreeIterator(tree, PostOrder);
  _TreeIterator done(tree, InOrder);
  while (done++) // finished: no node on its stack
    ;
  Node root(ptr(8), nullptr, nullptr, nullptr);
  Node top(ptr(9), nullptr, nullptr, nullptr);
  Node child(ptr(4), nullptr, &root, nullptr); // below: root's key is higher
  Node grandchild(ptr(2), nullptr, &child, nullptr);
  Node next(ptr(10), nullptr, &root, nullptr); // beside: root's key is lower
  const std::string before = "the tree was destroyed before this iterator";
  const std::string again = "_MTree::_MTree: this node is ";
  expectReports({
      {[&] { tree.insert(ptr(9), nullptr), ++it; },
       says("_TreeIterator::operator\\+\\+",
            "the tree changed during this walk", "tree")},
      // Half-way, the destructor reads the nodes on the walk's stack.
      {[&] { tree._Tree::~_Tree(), delete half; },
       "_TreeIterator::~_TreeIterator: " + before},
      {[&] { tree._Tree::~_Tree(), done.reset(); },
       "_TreeIterator::reset: " + before},
      {[&] { tree.remove(other.find(ptr(1))); }, // a leaf of another tree
       says("_Tree::remove", "the node is not in this tree", "tree", "node")},
      {[&] { new (&child) Node(ptr(4), nullptr, &root, nullptr); },
       again + "already linked into the chain it is placed at the end of"},
      // Beside its own grandchild: a loop below root.
      {[&] { new (&child) Node(ptr(1), nullptr, &grandchild, nullptr); },
       "_MTree::_MTree: placing this node would make a cycle"},
      {[&] { new (&next) Node(ptr(4), nullptr, &top, nullptr); },
       again + "constructed again while it is still linked into a tree \\(node "
               "0x[0-9a-f]+, insertTree 0x[0-9a-f]+\\)\n"},
      {[&] { root.Destroy(nullptr); },
       says("_MTree::Destroy", "the list is null", "node", "")},
  });
  delete half;
  // Gathered by Destroy, a node is no longer on record: made again, whole.
  _List gathered;
  child.Destroy(&gathered);
  new (&grandchild) Node(ptr(5), nullptr, &top, nullptr);
  EXPECT_EQ(grandchild.Depth(), 1);
  // Its link overwritten (root assigned from a lone node): made again too.
  root = Node(ptr(8), nullptr, nullptr, nullptr);
  new (&next) Node(ptr(3), nullptr, &top, nullptr);
  EXPECT_EQ(next.Depth(), 1);
}

// Two threads inside operations on one container at once: each comparison
// waits until the other thread has reached one too, so the overlap is
// certain, and a change stops, on the second thread's entry or, when that
// entry erased the first's, as the first enters again or leaves; const
// reads go on.
std::atomic<int> arrived;
void meet() {
  arrived.fetch_add(1);
  while (arrived.load() < 2)
    std::this_thread::yield();
}
struct MeetingOrder {
  bool operator()(int a, int b) const { return meet(), a < b; }
};
struct MeetingList : _OrderList {
  int keyCmp(void* a, void* b) override {
    return meet(), _OrderList::keyCmp(a, b);
  }
};
template <class Container, class Op> void twoThreadsAtOnce(Op op) {
  static const int keys[] = {0, 1, 2, 3};
  Container c;
  c.insert(&keys[1], nullptr); // so that the others compare
  arrived = 0;
  std::thread other([&] { op(c, &keys[3]); });
  op(c, &keys[2]);
  other.join();
  std::thread([&] { c.insert(&keys[3], nullptr); }).join(); // handed over
}

TEST(CheckedDeathTest, TwoThreadsChangingOneContainer) {
  using Hash = ptrbox::Hash<int, int, ptrbox::KeyHash<int>, MeetingOrder>;
  using Tree = ptrbox::Tree<int, int, MeetingOrder>;
  const std::string rule = ": used by two threads at once \\(container 0x";
  const auto find = [](auto& c, const int*) { c.find(1); };
  const auto insert = [](auto& c, const int* k) { c.insert(k, nullptr); };
  const auto assign = [](auto& c, const int* k) {
    c.insert_or_assign(k, nullptr);
  };
  expectReports({
      {[&] { twoThreadsAtOnce<MeetingList>(insert); },
       "_OrderList::insert" + rule},
      {[&] { twoThreadsAtOnce<Hash>(find); }, "ptrbox::Hash::find" + rule},
      {[&] {
         twoThreadsAtOnce<ptrbox::OrderList<int, int, MeetingOrder>>(assign);
       },
       "ptrbox::OrderList::insert_or_assign" + rule},
      {[] {
         twoThreadsAtOnce<Tree>([](Tree& c, const int* k) { c.remove(*k); });
       },
       "ptrbox::Tree::remove" + rule},
  });
  // Const lookups of the typed containers meet there too, unreported.
  const auto constFind = [](auto& c, const int*) { std::as_const(c).find(1); };
  twoThreadsAtOnce<Hash>(constFind);
  twoThreadsAtOnce<Tree>(constFind);
}

// Lists at scattered addresses, each put on record, destroyed, then reset
// under its iterator at once, while the registry fills to its room: each
// slip is reported, whatever became of the records before it. In a child,
// so that the crowd stays out of the other cases.
TEST(CheckedDeathTest, CrowdedAndFullRegistryStillReport) {
  // How a child running act ends; a report ends it with SIGABRT.
  const auto inChild = [](const std::function<void()>& act) {
    int status = 0;
    if (const pid_t child = fork(); child == 0)
      (void)std::freopen("/dev/null", "w", stderr), act(), _exit(0);
    else
      waitpid(child, &status, 0);
    return status;
  };
  const int silent = inChild([&] {
    std::vector<std::aligned_storage_t<sizeof(_List), alignof(_List)>> at(
        1 << 16);
    std::vector<std::size_t> order(at.size());
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937(22));
    int missed = 0;
    for (std::size_t n = 0; n < 4000; ++n) {
      auto* list = new (&at[order[n]]) _List;
      _ListIter it(*list);
      list->~_List();
      if (n < 3000) // crowding it first keeps the run short
        continue;
      const int status = inChild([&] { it.reset(); });
      missed += !WIFSIGNALED(status) || WTERMSIG(status) != SIGABRT;
    }
    _exit(std::min(missed, 100));
  });
  ASSERT_TRUE(WIFEXITED(silent));
  EXPECT_EQ(WEXITSTATUS(silent), 0) << "slips not reported";
}

// Containers and iterators shared with a unit built without the checks,
// used correctly, nodes removed and made again at reused addresses: no
// report. Both units see one layout.
TEST(CheckedMixed, UncheckedUnitSharesContainersWithoutReports) {
  EXPECT_EQ(plainSizes(), sizesHere());
  // A node removed under a checked iterator and made again at its address
  // by the unchecked unit (glibc hands it out at once): the new node's
  // element replaced the mark, whichever unit walks.
  _List ring;
  for (int e = 1; e <= 3; ++e)
    (e % 2 ? plainAppend(ring, ptr(e)) : ring.insert(ptr(e)));
  _ListIter under(ring);
  under++; // on 2
  ring.remove(ptr(2));
  plainAppend(ring, ptr(4));
  plainReset(under);
  std::uintptr_t sum = plainRangeSum(ring);
  for (void* e; (e = under++) != nullptr;)
    sum += num(e);
  for (void* e : ring)
    sum += num(e);
  EXPECT_EQ(sum, 3 * 8u);

  ObjectLst objects;
  for (int e = 1; e <= 4; ++e)
    (e % 2 ? plainAppend(objects, ptr(e)) : objects.append(ptr(e)));
  ObjectLstIter cursor(objects);
  EXPECT_EQ(plainAdvance(cursor), ptr(1));
  objects.remove(ptr(2));
  cursor.reset();
  objects.append(ptr(7));
  EXPECT_EQ(cursor++, ptr(1));
  EXPECT_EQ(plainAdvance(cursor), ptr(3));
  EXPECT_EQ(cursor--, ptr(4));

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

  // A tree walked, destroyed and made again at its address by the unchecked
  // unit: the old record must not tie the new tree's walks to the dead one.
  alignas(_Tree) unsigned char storage[sizeof(_Tree)];
  _Tree* first = plainTreeAt(storage);
  auto* done = new _TreeIterator(*first, PreOrder);
  while ((*done)++) // to its end: the walk may outlive the tree
    ;
  first->_Tree::~_Tree();
  delete done;
  _Tree* again = plainTreeAt(storage);
  std::uintptr_t inOrder = 0;
  _TreeIterator inTree(*again, InOrder);
  inTree.reset(); // to its end below: the walk outlives the tree
  for (_TreeNode* node = inTree(); node; node = ++inTree)
    inOrder = inOrder * 10 + num(node->key());
  EXPECT_EQ(inOrder, 123u);
  again->_Tree::~_Tree();
}
