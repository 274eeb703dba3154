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
