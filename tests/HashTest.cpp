#include "support/AllocProbe.h"
#include "support/HashModel.h"
#include "support/Sweep.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <vector>

namespace {
// Capacity/size/deepest lookup/threshold/flag, then the walk.
std::string layout(_Hash& h) {
  std::ostringstream s;
  s << h.capacity() << "/" << h.size() << "/" << h.maxLookupDepth() << "/"
    << h.growthThreshold() << "/" << h.isIterating() << walk(h);
  return s.str();
}

// Capacity after each insertion of `keys`.
std::string grows(_Hash& h, std::vector<int> keys) {
  std::string s;
  for (int k : keys)
    s += std::to_string(h.insert(ptr(k), nullptr) ? h.capacity() : 0) + " ";
  return s;
}

// Pairs (0, 0), (1, 0), (0, 1), (1, 1), (0, 2), ... in _Hash(4, 2, 1, 0.5):
// with three, bucket 0 is two deep and the next insertion grows the table
// first, leaving the walk order as it was.
struct Fix {
  ByData h{4, 2, 1, 0.5f};
};
template <int n> void pairs(Fix& f) {
  for (std::uintptr_t k = 0; k < n; ++k)
    f.h.insert(ptr(k % 2), ptr(k / 2));
}
std::string full(Fix& f) { return layout(f.h); }
// An insertion whose growth completed may keep it: only its pairs count.
std::string entries(Fix& f) { return walk(f.h); }

SweepRegistration rows{
    sweepRow<Fix>(
        "Hash insert", pairs<2>, [](Fix& f) { f.h.insert(ptr(0), ptr(7)); },
        full),
    sweepRow<Fix>(
        "Hash insert into a growing table", pairs<3>,
        [](Fix& f) { f.h.insert(ptr(1), ptr(7)); }, entries),
    sweepRow<Fix>(
        "Hash resize", pairs<3>, [](Fix& f) { f.h.resize(); }, full),
    sweepRow<Fix>(
        "Hash clear", pairs<3>, [](Fix& f) { f.h.clear(); }, full),
};

// C strings hashed by length and compared by content.
struct Words : _Hash {
  unsigned long hash(void* key) override {
    return std::strlen(static_cast<char*>(key));
  }
  int keyCmp(void* a, void* b) override {
    return std::strcmp(static_cast<char*>(a), static_cast<char*>(b));
  }
};
} // namespace

TEST(Hash, AgreesWithMultimapModelUnderRandomOperations) {
  for (std::uint32_t seed = 1; seed <= 16; ++seed) {
    SeededChoices c{seed};
    HashHarness h(c);
    EXPECT_EQ(runOperations(h, c, scaled(3000, 300)), "") << "seed " << seed;
  }
}

TEST(Hash, GrowsWhenDeepAndLoadedUnlessAnIteratorLives) {
  _Hash h(4, 2, 1, 0.5f), walked(4, 2, 1, 0.5f), zero(2, 1, 1, 0.1f);
  EXPECT_EQ(grows(h, {1, 2, 3, 4, 5}), "4 4 4 4 4 ");
  EXPECT_EQ(layout(h).substr(0, 9), "4/5/2/2/0");
  EXPECT_EQ(grows(h, {6, 7, 8, 9, 10}), "8 8 8 8 12 ");
  EXPECT_EQ(layout(h).substr(0, 11), "12/10/1/1/0");
  {
    _HashIter it(walked);
    EXPECT_EQ(grows(walked, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
              "4 4 4 4 4 4 4 4 4 4 ");
  }
  EXPECT_EQ(grows(walked, {11}), "8 ");
  // The increment rounds to 0: once keys 0 and 2 share a bucket, every
  // insertion rebuilds each record into a fresh array of the same capacity.
  grows(zero, {0, 2});
  for (std::size_t n = 2; n < 5; ++n) {
    allocprobe::Scope s;
    zero.insert(ptr(n + 1), nullptr);
    const std::size_t news = s.allocs(), arrays = s.arrays(), frees = s.frees();
    EXPECT_EQ(news - arrays, n + 1) << "each record rebuilt, one new";
    EXPECT_EQ(frees, n + 1) << "the old records and array";
    EXPECT_EQ(arrays, 1u);
    EXPECT_EQ(zero.capacity(), 2);
  }
}

TEST(Hash, ChainsOrderByKeyThenDataAndIteratorFollows) {
  const long live0 = allocprobe::liveBlocks();
  {
    ByData h(7, 0); // threshold 0: never grows
    testing::internal::CaptureStdout();
    h.print(); // nothing for an empty table
    allocprobe::Scope s;
    const std::uintptr_t key[] = {10, 3, 10, 17, 0xFFFFFFFE, 3},
                         data[] = {2, 9, 1, 0, 0, 9};
    for (int i = 0; i < 6; ++i)
      h.insert(ptr(key[i]), ptr(data[i]));
    EXPECT_EQ(s.allocs(), 5u); // one per new entry
    h.print();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "bucket[  2]: -2\nbucket[  3]: 3, 10, 10, 17\n");

    _HashIter it(h);
    _HashItem twin(ptr(9), ptr(3)), other(ptr(8), ptr(3));
    EXPECT_EQ(it++->key(), ptr(0xFFFFFFFE));
    EXPECT_TRUE(it == twin && it != other && it == it() && it != nullptr);
    EXPECT_EQ((++it)->data(), ptr(1));
    it.reset();
    EXPECT_EQ(it()->key(), ptr(0xFFFFFFFE));

    EXPECT_EQ(h.find(ptr(10))->data(), ptr(1));
    h.remove(ptr(10));         // middle: the least data goes first
    h.remove(ptr(17), ptr(0)); // tail
    h.remove(ptr(3));          // head
    h.remove(ptr(10), ptr(5)); // absent
    EXPECT_EQ(layout(h), "7/2/4/0/1 4294967294:0 10:2");
    allocprobe::Scope c;
    h.clear();
    EXPECT_EQ(c.frees(), 3u); // two records, the old array
  }
  EXPECT_EQ(allocprobe::liveBlocks(), live0);
}

TEST(Hash, DerivedTableFindsCStringsByContent) {
  Words w;
  char pear[] = "pear", fig[] = "fig", other[] = "pear", bad[] = "bad";
  _HashItem* e = w.insert(pear, fig);
  EXPECT_EQ(w.insert(other, bad), e); // the stored entry, first data kept
  EXPECT_EQ(w.find(other)->data(), fig);
  w.remove(other);
  EXPECT_EQ(w.size(), 0);
}
