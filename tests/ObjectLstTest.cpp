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

// The cursor: at end past either side until reset() puts it on the present
// head (changes to the list are not seen before); a backward walk starts
// where it stands; [] reads without moving.
TEST(ObjectLstIter, CursorRules) {
  ObjectLst l;
  for (int e : {1, 2, 3})
    l.append(ptr(e));
  ObjectLstIter it(l);
  std::string s = show(num(it[2]));
  for (int forth : {1, 1, 0, 0, 0})
    s += show(num(forth ? it++ : it--));
  s += show(it.atEnd());
  s += show(num(it++));
  l.insert(ptr(7)); // not seen until reset()
  it.reset();
  s += show(num(it()), num(it[3]));
  EXPECT_EQ(s, "3 1 2 3 2 1 1 0 7 3 ");
}
