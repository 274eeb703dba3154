#include "support/ObjectLstModel.h"

#include <gtest/gtest.h>

// Random operations on two lists (carbon copies between them into shorter,
// longer and empty targets, both ways) and an iterator agree with the model
// after every step and survive every allocation failure.
TEST(ObjectLst, AgreesWithVectorModelUnderRandomOperationsAndFailures) {
  EXPECT_EQ(runSeeds<ObjectLstHarness>("ObjectLst", 6, scaled(6000, 2000)), "");
  ObjectLstIter unbound(nullptr);
  EXPECT_TRUE(unbound.atEnd() && !unbound[0] && !unbound++ && !unbound--);
}
