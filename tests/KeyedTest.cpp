#include "support/KeyedModel.h"

#include <gtest/gtest.h>

// Random insertions, removals and lookups by content on the typed
// containers (a hash table of C strings of random shape, ordered lists and
// descending trees of ints) agree with the model after every step, walk as
// the classic walks do, and survive every allocation failure.
TEST(Keyed, AgreesWithModelUnderRandomOperationsAndFailures) {
  EXPECT_EQ(runSeeds<TextHashHarness>("ptrbox::Hash", 8, scaled(1500, 400)),
            "");
  EXPECT_EQ(
      runSeeds<IntOrderListHarness>("ptrbox::OrderList", 8, scaled(1500, 400)),
      "");
  EXPECT_EQ(
      runSeeds<DescendingTreeHarness>("ptrbox::Tree", 8, scaled(1500, 400)),
      "");
}
