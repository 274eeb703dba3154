#include "support/ListModel.h"

#include <gtest/gtest.h>

// Random operations on each list, its iterator and copies agree with a model
// after every step, sizes and held blocks included, and survive a failure at
// every allocation point.
TEST(ListFamily, AgreesWithModelsUnderRandomOperationsAndFailures) {
  EXPECT_EQ(runSeeds<ListHarness>("List", 16, scaled(600, 300)), "");
  EXPECT_EQ(runSeeds<OrderListHarness>("OrderList", 16, scaled(600, 300)), "");
  _ListIter unbound(static_cast<_List*>(nullptr)); // yields nothing
  unbound.removeLastItem();
  EXPECT_TRUE(unbound.atEnd() && !unbound++ && !unbound[0] && !unbound[-1]);
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

static std::string items(const _List& l) {
  std::string s;
  for (void* e : l)
    s += show(num(e));
  return s;
}

// On the list 1 2 1, where each form of insertion puts 9 (and what it
// gives), and what removal takes; ptr(0) is null.
TEST(List, InsertionPositionAndAnchorRules) {
  const struct {
    const char* rule;
    char form; // at a position, after an anchor, strictly after, removal
    int arg;
    const char* want;
  } rules[] = {
      {"a negative position appends", 'p', -4, "1 2 1 9 "},
      {"position 0 appends", 'p', 0, "1 2 1 9 "},
      {"position 1 puts first", 'p', 1, "9 1 2 1 "},
      {"position k makes the k-th", 'p', 3, "1 2 9 1 "},
      {"position size()+1 appends", 'p', 4, "1 2 1 9 "},
      {"a position past size()+1 wraps", 'p', 10, "1 9 2 1 "},
      {"an anchor is its first holder", 'a', 1, "1 9 2 1 "},
      {"an absent anchor appends", 'a', 7, "1 2 1 9 "},
      {"strict: a null anchor puts first", 's', 0, "9 1 2 1 "},
      {"strict: after a present anchor", 's', 2, "1 2 9 1 "},
      {"strict: an absent anchor changes nothing, -1", 's', 7, "1 2 1 -1 "},
      {"removal takes the first holder", 'r', 1, "2 1 "},
  };
  for (const auto& r : rules) {
    _List l;
    for (int e : {1, 2, 1})
      l.insert(ptr(e));
    void* const e = ptr(9);
    const int got = r.form == 'p'   ? (l.insert(e, r.arg), 0)
                    : r.form == 'a' ? (l.insert(e, ptr(r.arg)), 0)
                    : r.form == 's' ? l.insert(e, ptr(r.arg), 1)
                                    : (l.remove(ptr(r.arg)), 0);
    const std::string seen = items(l);
    EXPECT_EQ(got ? seen + show(got) : seen, r.want) << r.rule;
  }
}
