#include "support/KeyedModel.h"

#include <gtest/gtest.h>

// Random insertions (keeping or assigning), removals and lookups by content
// (heterogeneous for text) on the typed containers agree with the model
// after every step, give each entry the key pointer that put it there, walk
// as the model says from const containers, match their classic twins
// exactly, and survive every allocation failure.
TEST(Keyed, AgreesWithModelAndClassicTwinUnderRandomOperationsAndFailures) {
  const std::size_t steps = scaled(1500, 400);
  EXPECT_EQ(runSeeds<TextHashHarness>("ptrbox::Hash<const char*>", 8, steps),
            "");
  EXPECT_EQ(runSeeds<StringHashHarness>("ptrbox::Hash<std::string>", 8, steps),
            "");
  EXPECT_EQ(runSeeds<IntOrderListHarness>("ptrbox::OrderList<int>", 8, steps),
            "");
  EXPECT_EQ(runSeeds<StringOrderListHarness>("ptrbox::OrderList<std::string>",
                                             8, steps),
            "");
  EXPECT_EQ(runSeeds<DescendingTreeHarness>("ptrbox::Tree<int>", 8, steps), "");
  EXPECT_EQ(runSeeds<RankedTreeHarness>("ptrbox::Tree<Ranked>", 8, steps), "");
  EXPECT_EQ(runSeeds<StringTreeHarness>("ptrbox::Tree<std::string>", 8, steps),
            "");
}
