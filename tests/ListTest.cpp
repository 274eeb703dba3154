#include "support/AllocProbe.h"
#include "support/ListModel.h"
#include "support/Sweep.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const char P[] = "P", Q[] = "Q", R[] = "R", N[] = "N";

std::string show(_List& l) {
  std::string s;
  for (_ListIter it(l); !it.atEnd();)
    s += static_cast<const char*>(it++);
  return s;
}

struct PQR {
  _List list;
  PQR() {
    for (const char* e : {P, Q, R})
      list.insert(e);
  }
};
std::string showPQR(PQR& f) { return show(f.list); }

struct Keyed {
  Inspectable<_OrderList> list;
  Keyed() { list.insert(ptr(2), P); }
};
std::string showKeyed(Keyed& f) {
  std::string s;
  for (auto& kv : f.list.keyed())
    s += std::to_string(kv.first) + static_cast<const char*>(kv.second);
  return s;
}

template <class F> void none(F&) {}

SweepRegistration listRows{
    sweepRow<PQR>(
        "List append", none<PQR>, [](PQR& f) { f.list.insert(N); }, showPQR),
    sweepRow<PQR>(
        "List insert after pred", none<PQR>,
        [](PQR& f) { f.list.insert(N, Q); }, showPQR),
    sweepRow<PQR>(
        "List insert at position", none<PQR>,
        [](PQR& f) { f.list.insert(N, 2); }, showPQR),
    sweepRow<PQR>(
        "List strict insert", none<PQR>, [](PQR& f) { f.list.insert(N, R, 1); },
        showPQR),
    sweepRow<PQR>(
        "List copy construction", none<PQR>,
        [](PQR& f) { f.list.insert(_List(f.list).isIn(P) ? N : P); }, showPQR),
    sweepRow<Keyed>(
        "OrderList insert of a new key", none<Keyed>,
        [](Keyed& f) { f.list.insert(ptr(1), Q); }, showKeyed),
    sweepRow<Keyed>(
        "OrderList copy construction", none<Keyed>,
        [](Keyed& f) { f.list.insert(ptr(_OrderList(f.list).size()), R); },
        showKeyed),
};

} // namespace

// Random edits on the list, its iterator and copies, and on an ordered list,
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
  const std::pair<int, const char*> cases[] = {
      {0, "PQRN"}, {1, "NPQR"}, {2, "PNQR"},  {3, "PQNR"},
      {4, "PQRN"}, {5, "NPQR"}, {-1, "PQRN"}, {-7, "PQRN"}};
  for (auto& [pos, want] : cases) {
    PQR f;
    f.list.insert(N, pos);
    EXPECT_EQ(show(f.list), want) << "pos " << pos;
  }
}

TEST(List, OneAllocationPerElementAndNothingLeaked) {
  const long live0 = allocprobe::liveBlocks();
  {
    allocprobe::Scope scope;
    PQR f;
    EXPECT_EQ(f.list.insert(N, "absent", 1), -1);
    _OrderList o;
    for (int i = 0; i < 100; ++i)
      o.insert(ptr(i % 50), ptr(i)); // 50 new keys, 50 replacements
    EXPECT_EQ(scope.allocs(), 53u);
    f.list.clear();
    EXPECT_EQ(allocprobe::liveBlocks() - live0, 50);
  }
  EXPECT_EQ(allocprobe::liveBlocks(), live0);
}

TEST(ListIter, RemovesTheElementHandedOutLast) {
  PQR f;
  _ListIter it(f.list);
  it.removeLastItem(); // nothing handed out yet
  it++;
  it++;
  it.removeLastItem();
  it.removeLastItem(); // no advance between: the one before goes too
  EXPECT_EQ(show(f.list), "R");
  EXPECT_EQ(it(), R);
  it++;
  it.removeLastItem(); // at the end: the last element
  EXPECT_TRUE(f.list.isEmpty());
}

TEST(ListIter, IndexingRestartsAndMovesTheCursor) {
  PQR f;
  _ListIter it(f.list);
  it++;
  it++;
  EXPECT_EQ(it[1], Q);
  EXPECT_EQ(it(), R);
  EXPECT_EQ(it[3], nullptr);
  EXPECT_EQ(it[0x7fffffff], nullptr);
  _ListIter unbound(static_cast<_List*>(nullptr));
  unbound.reset();
  unbound.removeLastItem();
  EXPECT_EQ(unbound++, nullptr);
  EXPECT_EQ(unbound[0], nullptr);
}

TEST(OrderList, OverriddenComparisonGovernsOrderAndLookup) {
  struct CStrings final : _OrderList {
    int keyCmp(void* a, void* b) override {
      return std::strcmp(static_cast<char*>(a), static_cast<char*>(b));
    }
  } words;
  char pear[] = "pear", apple[] = "apple", fig[] = "fig", fig2[] = "fig";
  words.insert(pear, P);
  words.insert(apple, Q);
  words.insert(fig, R);
  EXPECT_EQ(words.find(fig2), R);
  words.insert(fig2, N); // replaces the element under the stored key
  EXPECT_EQ(show(words), "QNP");

  struct Descending final : _OrderList {
    int keyCmp(void* a, void* b) override { return _OrderList::keyCmp(b, a); }
  } down;
  for (const char* e : {Q, P, R})
    down.insert(ptr(e[0]), e);
  down.remove(ptr('Q'));
  EXPECT_EQ(show(down), "RP");
}

// The default comparison is the stored key minus the searched key: exactly
// the wrapping 32-bit difference on i386, and sign-true on wider pointers.
TEST(OrderList, DefaultComparisonIsThePointerDifference) {
  _OrderList o;
  EXPECT_EQ(o.keyCmp(ptr(1), ptr(3)), -2);
#if UINTPTR_MAX == 0xFFFFFFFFu
  EXPECT_LT(o.keyCmp(ptr(0x80000000u), ptr(0)), 0); // wraps
#else
  const std::uintptr_t far = std::uintptr_t(1) << 32 | 8;
  EXPECT_GT(o.keyCmp(ptr(far), ptr(8)), 0); // 4 GiB apart, not equal
  EXPECT_LT(o.keyCmp(ptr(8), ptr(far)), 0);
  EXPECT_GT(o.keyCmp(ptr(0x80000000u), ptr(0)), 0);
#endif
}
