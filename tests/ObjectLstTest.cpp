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

// On the list 1 2 1: each operation's status code, and what it changed.
TEST(ObjectLst, StatusCodesAndFirstHolderRules) {
  using Edit = long (*)(ObjectLst&);
  const struct {
    const char* rule;
    Edit edit;
    const char* want;
  } rules[] = {
      {"insertion after the first holder gives 0",
       [](ObjectLst& l) -> long { return l.insert(ptr(1), ptr(9)); },
       "0 1 9 2 1 | 4 "},
      {"an absent anchor gives 5 and changes nothing",
       [](ObjectLst& l) -> long { return l.insert(ptr(7), ptr(9)); },
       "5 1 2 1 | 3 "},
      {"removal takes the first holder and gives 0",
       [](ObjectLst& l) -> long { return l.remove(ptr(1)); }, "0 2 1 | 2 "},
      {"removing an absent element gives 5",
       [](ObjectLst& l) -> long { return l.remove(ptr(7)); }, "5 1 2 1 | 3 "},
      {"replacement changes the first holder and gives 1",
       [](ObjectLst& l) -> long { return l.replace(ptr(1), ptr(9)); },
       "1 9 2 1 | 3 "},
      {"replacing an absent element gives 0",
       [](ObjectLst& l) -> long { return l.replace(ptr(7), ptr(9)); },
       "0 1 2 1 | 3 "},
      {"seek gives the first holder's position",
       [](ObjectLst& l) -> long {
         return l.seek(ptr(1)) * 10 + l.seek(ptr(2));
       },
       "1 1 2 1 | 3 "},
      {"seek of an absent element gives -1",
       [](ObjectLst& l) -> long { return l.seek(ptr(7)); }, "-1 1 2 1 | 3 "},
      {"null is an element like any other",
       [](ObjectLst& l) -> long { return l.insert(nullptr), l.seek(nullptr); },
       "0 0 1 2 1 | 4 "},
      {"a carbon copy of nothing changes nothing",
       [](ObjectLst& l) -> long { return l.carbonCopy(ObjectLst(), 3, 1), 0; },
       "0 1 2 1 | 3 "},
      {"a carbon copy from the tail writes backwards, surplus nodes go",
       [](ObjectLst& l) -> long {
         ObjectLst s;
         s.append(ptr(5)), s.append(ptr(6));
         return l.carbonCopy(s, 9, 0), 0;
       },
       "0 6 5 | 2 "},
  };
  for (const auto& r : rules) {
    ObjectLst l;
    for (int e : {1, 2, 1})
      l.append(ptr(e));
    const long got = r.edit(l);
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
