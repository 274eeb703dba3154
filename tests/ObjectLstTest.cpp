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

static std::string items(const ObjectLst& l) {
  std::string s;
  for (void* e : l)
    s += show(num(e));
  return s + show("|", l.length());
}

// On the list 1 2 1: what each operation gives with element or anchor
// `a`, and the list after it; ptr(0) is null, a legal element.
TEST(ObjectLst, StatusCodesAndFirstHolderRules) {
  const struct {
    const char* rule;
    char op; // insert 9 after, remove, replace by 9, seek
    int a;
    const char* want;
  } rules[] = {
      {"insertion goes after the first holder, 0", 'i', 1, "0 1 9 2 1 | 4 "},
      {"an absent anchor gives 5, no change", 'i', 7, "5 1 2 1 | 3 "},
      {"removal takes the first holder, 0", 'r', 1, "0 2 1 | 2 "},
      {"removing an absent element gives 5", 'r', 7, "5 1 2 1 | 3 "},
      {"replacement changes the first holder, 1", 'x', 1, "1 9 2 1 | 3 "},
      {"replacing an absent element gives 0", 'x', 0, "0 1 2 1 | 3 "},
      {"seek gives the first holder's position", 's', 1, "0 1 2 1 | 3 "},
      {"seek of an absent element gives -1", 's', 0, "-1 1 2 1 | 3 "},
  };
  for (const auto& r : rules) {
    ObjectLst l;
    for (int e : {1, 2, 1})
      l.append(ptr(e));
    void* const a = ptr(r.a);
    const long got = r.op == 'i'   ? long(l.insert(a, ptr(9)))
                     : r.op == 'r' ? long(l.remove(a))
                     : r.op == 'x' ? long(l.replace(a, ptr(9)))
                                   : long(l.seek(a));
    EXPECT_EQ(show(got) + items(l), r.want) << r.rule;
  }
}

// The cursor: at end past either side until reset() puts it on the present
// head; a backward walk starts where it stands; [] reads without moving.
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
