#include "support/HashModel.h"

#include <gtest/gtest.h>

// Random operations on tables of random shapes, with a held iterator, agree
// with the model after every step and survive every allocation failure.
TEST(Hash, AgreesWithModelUnderRandomOperationsAndFailures) {
  EXPECT_EQ(runSeeds<HashHarness>("Hash", 16, scaled(3000, 800)), "");
}

// Capacity after each insertion of keys from..to.
static std::string grows(_Hash& h, int from, int to) {
  std::string s;
  for (int k = from; k <= to; ++k)
    s += std::to_string(h.insert(ptr(k), nullptr) ? h.capacity() : 0) + " ";
  return s;
}

TEST(Hash, GrowsWhenDeepAndLoaded) {
  _Hash h(4, 2, 1, 0.5f), zero(2, 1, 1, 0.1f);
  EXPECT_EQ(grows(h, 1, 10), "4 4 4 4 4 8 8 8 8 12 ");
  EXPECT_EQ(show(h.growthThreshold(), h.maxLookupDepth()), "1 1 ");
  _Hash odd(5, 1, 2, 0.5f); // 5 * 1 * 0.5 rounds half up
  odd.resize();
  EXPECT_EQ(show(odd.capacity(), odd.growthThreshold()), "8 1 ");
  EXPECT_EQ(odd.hash(ptr(19)), 19u % 8); // the default hash: modulo capacity()
  // The increment rounds to 0: once keys 0 and 2 share a bucket, every
  // insertion rebuilds each record into a fresh array of the same capacity.
  grows(zero, 0, 0), grows(zero, 2, 2);
  for (std::size_t n = 2; n < 5; ++n) {
    const std::size_t allocs = allocprobe::allocs, frees = allocprobe::frees;
    EXPECT_EQ(grows(zero, int(n) + 1, int(n) + 1), "2 ");
    EXPECT_EQ(show(allocprobe::allocs - allocs, allocprobe::frees - frees),
              show(n + 2, n + 1)); // records and an array
  }
}

// Keys print as the low 32 bits of the address, read as a signed int.
TEST(Hash, PrintsOccupiedBucketsInChainOrder) {
  Table<4> h(7, 0); // entries of one key told apart by their data
  for (std::uintptr_t k : {10u, 3u, 17u, 0xFFFFFFFEu, 3u})
    h.insert(ptr(k), nullptr);
  testing::internal::CaptureStdout();
  h.print();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "bucket[  2]: -2\nbucket[  3]: 3, 10, 17\n");
}

// A walk suspends growth: insertions made during it never grow the table,
// and one behind the current entry, in its bucket or a later one, is
// reached. The flag is shared: it drops when the first walk ends.
TEST(HashIter, InsertionsDuringAWalkAreReachedAndNeverGrow) {
  _Hash h(3, 1, 0, 1.f); // growth due from the second entry on
  h.insert(ptr(3), nullptr), h.insert(ptr(6), nullptr);
  std::string s;
  {
    _HashIter it(h), other(h);
    for (int k : {9, 4, 5, 8})
      h.insert(ptr(k), nullptr);
    s = show(h.capacity());
    { _HashIter first(h); }
    s += show(h.isIterating());
    while (_HashItem* e = it++)
      s += show(num(e->key()));
  }
  EXPECT_EQ(s, "3 0 3 6 9 4 5 8 ");
  h.insert(ptr(1), nullptr);
  EXPECT_GT(h.capacity(), 3) << "growth resumes once the walks are over";
}
