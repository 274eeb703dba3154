#include "support/AllocProbe.h"
#include "support/ListModel.h"
#include "support/Sweep.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const char P[] = "P", Q[] = "Q", R[] = "R", N[] = "N";

std::string show(_List& l) {
  std::string s;
  _ListIter it(l);
  while (!it.atEnd()) {
    void* e = it++;
    s += e ? static_cast<const char*>(e) : "0";
  }
  return s;
}

void fillPQR(_List& l) {
  l.insert(P);
  l.insert(Q);
  l.insert(R);
}

struct CStringList final : _OrderList {
  int keyCmp(void* listKey, void* searchKey) override {
    return std::strcmp(static_cast<char*>(listKey),
                       static_cast<char*>(searchKey));
  }
};

struct Descending final : _OrderList {
  int keyCmp(void* listKey, void* searchKey) override {
    return _OrderList::keyCmp(searchKey, listKey);
  }
};

struct ListFixture {
  _List list;
};
std::string observeList(ListFixture& f) { return show(f.list); }
struct OrderFixture {
  Inspectable<_OrderList> list;
};
std::string observeOrder(OrderFixture& f) {
  std::string s;
  for (auto& kv : f.list.keyed())
    s += std::to_string(kv.first) + ":" +
         std::to_string(reinterpret_cast<std::uintptr_t>(kv.second)) + " ";
  return s;
}

SweepRegistration listRows{
    sweepRow<ListFixture>(
        "List append", [](ListFixture& f) { fillPQR(f.list); },
        [](ListFixture& f) { f.list.insert(N); }, observeList),
    sweepRow<ListFixture>(
        "List insert after pred", [](ListFixture& f) { fillPQR(f.list); },
        [](ListFixture& f) { f.list.insert(N, Q); }, observeList),
    sweepRow<ListFixture>(
        "List insert at position", [](ListFixture& f) { fillPQR(f.list); },
        [](ListFixture& f) { f.list.insert(N, 2); }, observeList),
    sweepRow<ListFixture>(
        "List strict insert", [](ListFixture& f) { fillPQR(f.list); },
        [](ListFixture& f) { f.list.insert(N, nullptr, 1); }, observeList),
    sweepRow<ListFixture>(
        "List copy construction", [](ListFixture& f) { fillPQR(f.list); },
        [](ListFixture& f) {
          _List copy(f.list);
          f.list.insert(copy.isIn(P) ? N : P);
        },
        observeList),
    sweepRow<OrderFixture>(
        "OrderList insert of a new key",
        [](OrderFixture& f) { f.list.insert(ptr(2), P); },
        [](OrderFixture& f) { f.list.insert(ptr(1), Q); }, observeOrder),
    sweepRow<OrderFixture>(
        "OrderList copy construction",
        [](OrderFixture& f) {
          f.list.insert(ptr(2), P);
          f.list.insert(ptr(1), Q);
        },
        [](OrderFixture& f) {
          _OrderList copy(f.list);
          f.list.insert(copy.find(ptr(2)) == P ? ptr(3) : ptr(4), R);
        },
        observeOrder),
};

} // namespace

// Random edits on the list, its iterator, copies and an ordered list must
// agree with standard models after every step, ring links included.
TEST(List, AgreesWithVectorModelUnderRandomEdits) {
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    ListHarness h;
    SeededChoices c(seed);
    ASSERT_EQ(runOperations(h, c, 400), "") << "seed " << seed;
  }
}

TEST(OrderList, AgreesWithMapModelUnderRandomEdits) {
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    OrderListHarness h;
    SeededChoices c(seed);
    ASSERT_EQ(runOperations(h, c, 400), "") << "seed " << seed;
  }
}

TEST(List, PositionInsertionWrapsAroundTheRing) {
  const struct {
    int pos;
    const char* want;
  } cases[] = {{0, "PQRN"}, {1, "NPQR"}, {2, "PNQR"},  {3, "PQNR"},
               {4, "PQRN"}, {5, "NPQR"}, {-1, "PQRN"}, {-7, "PQRN"}};
  for (auto& c : cases) {
    _List l;
    fillPQR(l);
    l.insert(N, c.pos);
    EXPECT_EQ(show(l), c.want) << "pos " << c.pos;
  }
  for (int pos : {0, 1, 9}) {
    _List empty;
    empty.insert(N, pos);
    EXPECT_EQ(show(empty), "N");
  }
}

TEST(List, NullPredecessorRules) {
  _List l;
  fillPQR(l);
  l.insert(N, nullptr); // no null element: appends
  l.insert(nullptr, 1);
  l.insert(Q, nullptr); // after the first null element
  EXPECT_EQ(show(l), "0QPQRN");
  EXPECT_EQ(l.insert(R, nullptr, 1), 0); // strict with null: first
  EXPECT_EQ(show(l), "R0QPQRN");
  EXPECT_EQ(l.isIn(nullptr), 1);
}

TEST(List, StrictInsertOfAbsentPredecessorAllocatesNothing) {
  _List l;
  fillPQR(l);
  allocprobe::Scope scope;
  EXPECT_EQ(l.insert(N, "absent", 1), -1);
  EXPECT_EQ(scope.allocs(), 0u);
  EXPECT_EQ(show(l), "PQR");
}

TEST(List, OneAllocationPerElementAndNothingLeaked) {
  const long live0 = allocprobe::liveBlocks();
  {
    allocprobe::Scope scope;
    _List l;
    for (int i = 0; i < 100; ++i)
      l.insert(ptr(i), i % 3);
    _OrderList o;
    for (int i = 0; i < 100; ++i)
      o.insert(ptr(i % 50), ptr(i)); // 50 new keys, 50 replacements
    EXPECT_EQ(scope.allocs(), 150u);
    l.clear();
    EXPECT_EQ(allocprobe::liveBlocks() - live0, 50);
  }
  EXPECT_EQ(allocprobe::liveBlocks(), live0);
}

TEST(ListIter, RemoveLastItemAroundTheSentinel) {
  _List l;
  fillPQR(l);
  _ListIter it(l);
  it.removeLastItem(); // nothing handed out yet
  EXPECT_EQ(show(l), "PQR");
  while (it++)
    it.removeLastItem();
  EXPECT_EQ(l.size(), 0);
  EXPECT_EQ(it++, nullptr);

  fillPQR(l);
  it.reset();
  it++;
  it++;
  it.removeLastItem();
  it.removeLastItem(); // no advance between: the element before goes too
  EXPECT_EQ(show(l), "R");
  EXPECT_EQ(it(), R);
}

TEST(ListIter, IndexingRestartsAndMovesTheCursor) {
  _List l;
  fillPQR(l);
  _ListIter it(l);
  it++;
  it++;
  EXPECT_EQ(it[1], Q);
  EXPECT_EQ(it(), R);
  it.removeLastItem();
  EXPECT_EQ(show(l), "PR");
  EXPECT_EQ(it[2], nullptr);
  EXPECT_EQ(it(), nullptr);
  EXPECT_EQ(it[-1], nullptr);
  EXPECT_EQ(it[0x7fffffff], nullptr);

  _ListIter unbound(static_cast<_List*>(nullptr));
  unbound.reset();
  unbound.removeLastItem();
  EXPECT_EQ(unbound++, nullptr);
  EXPECT_EQ(unbound[0], nullptr);
  EXPECT_EQ(unbound(), nullptr);
}

TEST(ListIter, EndedWalkSeesNewElementsOnlyAfterReset) {
  _List l;
  _ListIter it(l);
  l.insert(P);
  EXPECT_EQ(it++, nullptr);
  it.reset();
  EXPECT_EQ(it++, P);
  l.insert(Q); // appended ahead of a cursor that is at the end
  EXPECT_EQ(it++, nullptr);
}

TEST(OrderList, OverriddenComparisonGovernsOrderAndLookup) {
  CStringList words;
  char apple[] = "apple", pear[] = "pear", fig[] = "fig";
  words.insert(pear, P);
  words.insert(apple, Q);
  words.insert(fig, R);
  char fig2[] = "fig";
  EXPECT_EQ(words.find(fig2), R);
  words.insert(fig2, N); // replaces under the stored key
  EXPECT_EQ(words.size(), 3);
  EXPECT_EQ(show(words), "QNP");

  Descending d;
  for (int k : {3, 1, 2})
    d.insert(ptr(k), ptr(k));
  EXPECT_EQ(d.find(ptr(1)), ptr(1));
  d.remove(ptr(3));
  _ListIter it(d);
  EXPECT_EQ(it++, ptr(2));
  EXPECT_EQ(it++, ptr(1));
}

TEST(OrderList, NullElementIsNotInButIsRemovable) {
  _OrderList o;
  o.insert(ptr(5), nullptr);
  EXPECT_EQ(o.isIn(ptr(5)), 0);
  o.remove(ptr(5));
  EXPECT_EQ(o.size(), 0);
  o.insert(ptr(1), P);
  const _List plain(o); // plain nodes, same elements in key order
  EXPECT_EQ(plain.size(), 1);
  EXPECT_EQ(plain.isIn(P), 1);
}

// The default comparison is the stored key minus the searched key: exactly
// the wrapping 32-bit difference on i386, and sign-true on wider pointers.
TEST(OrderList, DefaultComparisonIsThePointerDifference) {
  _OrderList o;
  EXPECT_EQ(o.keyCmp(ptr(1), ptr(3)), -2);
  EXPECT_EQ(o.keyCmp(ptr(7), ptr(7)), 0);
#if UINTPTR_MAX == 0xFFFFFFFFu
  EXPECT_LT(o.keyCmp(ptr(0x80000000u), ptr(0)), 0); // wraps
  EXPECT_GT(o.keyCmp(ptr(0), ptr(0x80000001u)), 0);
#else
  {
    const std::uintptr_t far = std::uintptr_t(1) << 32 | 8;
    EXPECT_GT(o.keyCmp(ptr(far), ptr(8)), 0); // 4 GiB apart, not equal
    EXPECT_LT(o.keyCmp(ptr(8), ptr(far)), 0);
    EXPECT_GT(o.keyCmp(ptr(0x80000000u), ptr(0)), 0);
  }
#endif
}
