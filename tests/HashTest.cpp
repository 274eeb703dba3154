#include "support/AllocProbe.h"
#include "support/HashModel.h"
#include "support/Sweep.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {
using Pair = HashHarness::Pair;

// Tells entries of one key apart by their data.
struct ByData : _Hash {
  using _Hash::_Hash;
  int dataCmp(void* a, void* b) override { return a < b ? -1 : a > b; }
};

// Hashes and compares C strings by content.
struct Words : _Hash {
  unsigned long hash(void* key) override {
    return std::strlen(static_cast<char*>(key));
  }
  int keyCmp(void* a, void* b) override {
    return std::strcmp(static_cast<char*>(a), static_cast<char*>(b));
  }
};

std::uintptr_t num(void* p) { return reinterpret_cast<std::uintptr_t>(p); }

// Capacity, size, deepest lookup, threshold, flag, then bucket:key:data.
std::string layout(_Hash& h) {
  std::string s = std::to_string(h.capacity()) + "/" +
                  std::to_string(h.size()) + "/" +
                  std::to_string(h.maxLookupDepth()) + "/" +
                  std::to_string(h.growthThreshold()) + "/" +
                  std::to_string(h.isIterating());
  for (int i = 0; i < h.capacity(); ++i)
    for (_HashItem* e = h.table()[i]; e != nullptr; e = e->next())
      s += " " + std::to_string(i) + ":" + std::to_string(num(e->key())) + ":" +
           std::to_string(num(e->data()));
  return s;
}

std::string dump(_Hash& h) {
  testing::internal::CaptureStdout();
  h.print();
  return testing::internal::GetCapturedStdout();
}

struct Fix {
  ByData h{4, 2, 1, 0.5f};
};
// Keys 1..n with data 0 or 1; five keys leave a chain two deep.
template <int n> void keys(Fix& f) {
  for (std::uintptr_t k = 1; k <= n; ++k)
    f.h.insert(ptr(k), ptr(k % 2));
}
// A growth rebuilds every record, so a failed insertion that kept its growth
// shows only through the set of pairs.
std::string pairs(Fix& f) {
  std::multimap<std::uintptr_t, std::uintptr_t> m;
  for (_HashIter it(f.h); it() != nullptr; ++it)
    m.emplace(num(it->key()), num(it->data()));
  std::string s;
  for (auto& kd : m)
    s += std::to_string(kd.first) + ":" + std::to_string(kd.second) + " ";
  return s;
}

SweepRegistration rows{
    sweepRow<Fix>(
        "Hash insert without growth", keys<3>,
        [](Fix& f) { f.h.insert(ptr(2), ptr(7)); },
        [](Fix& f) { return layout(f.h); }),
    sweepRow<Fix>(
        "Hash insert into a growing table", keys<5>,
        [](Fix& f) { f.h.insert(ptr(6), ptr(0)); }, pairs),
    sweepRow<Fix>(
        "Hash resize while iterating",
        [](Fix& f) {
          keys<5>(f);
          f.h.setIterating();
        },
        [](Fix& f) { f.h.resize(); }, [](Fix& f) { return layout(f.h); }),
    sweepRow<Fix>(
        "Hash clear", keys<5>, [](Fix& f) { f.h.clear(); },
        [](Fix& f) { return layout(f.h); }),
};
} // namespace

TEST(Hash, AgreesWithMultimapModelUnderRandomOperations) {
  for (std::uint32_t seed = 1; seed <= 12; ++seed) {
    SeededChoices c{seed};
    HashHarness h(c);
    EXPECT_EQ(runOperations(h, c, scaled(2000, 300)), "") << "seed " << seed;
  }
}

// Keys 1..10 in _Hash(4, 2, 1, 0.5): capacity:threshold:deepest lookup after
// each insertion; a live iterator suspends growth until it is destroyed.
TEST(Hash, GrowsWhenDeepAndLoadedUnlessIterating) {
  for (bool walking : {false, true}) {
    _Hash h(4, 2, 1, 0.5f);
    std::string trace;
    {
      std::unique_ptr<_HashIter> it(walking ? new _HashIter(h) : nullptr);
      for (std::uintptr_t k = 1; k <= 10; ++k) {
        h.insert(ptr(k), nullptr);
        trace += std::to_string(h.capacity()) + ":" +
                 std::to_string(h.growthThreshold()) + ":" +
                 std::to_string(h.maxLookupDepth()) + " ";
      }
    }
    EXPECT_EQ(trace, walking ? "4:2:1 4:2:1 4:2:1 4:2:1 4:2:2 4:2:2 4:2:2 "
                               "4:2:2 4:2:3 4:2:3 "
                             : "4:2:1 4:2:1 4:2:1 4:2:1 4:2:2 8:1:1 8:1:1 "
                               "8:1:1 8:1:2 12:1:1 ");
    h.insert(ptr(11), nullptr);
    EXPECT_EQ(h.capacity(), walking ? 8 : 12);
  }
}

// _Hash(2, 1, 1, 0.1) grows by 0: once a chain is two deep, every insertion
// rebuilds all records into a fresh array of the same capacity.
TEST(Hash, ZeroIncrementRebuildsEveryRecordOnEachInsertion) {
  const long live0 = allocprobe::liveBlocks();
  {
    _Hash h(2, 1, 1, 0.1f);
    h.insert(ptr(0), nullptr);
    h.insert(ptr(2), nullptr);
    for (std::size_t n = 2; n < 5; ++n) {
      allocprobe::Scope s;
      h.insert(ptr(n + 1), nullptr);
      EXPECT_EQ(s.allocs(), n + 2); // n rebuilt, 1 new, 1 array
      EXPECT_EQ(s.arrays(), 1u);
      EXPECT_EQ(s.frees(), n + 1);
      EXPECT_EQ(h.capacity(), 2);
    }
    allocprobe::Scope s;
    h.insert(ptr(0), nullptr); // present: grows but adds nothing
    h.clear();
    EXPECT_EQ(layout(h), "2/0/0/1/0");
    EXPECT_EQ(s.allocs() - s.arrays(), 5u);
  }
  EXPECT_EQ(allocprobe::liveBlocks(), live0);
}

TEST(Hash, ChainsOrderByKeyThenDataAndRemovalRelinks) {
  ByData h(7, 0); // threshold 0: never grows
  EXPECT_EQ(dump(h), "");
  for (auto kd : {Pair{10, 2}, {3, 9}, {10, 1}, {17, 0}, {0xFFFFFFFE, 0}})
    h.insert(ptr(kd.first), ptr(kd.second));
  EXPECT_EQ(dump(h), "bucket[  2]: -2\nbucket[  3]: 3, 10, 10, 17\n");
  EXPECT_EQ(h.find(ptr(10))->data(), ptr(1));
  h.remove(ptr(10)); // middle
  EXPECT_EQ(h.find(ptr(10))->data(), ptr(2));
  h.remove(ptr(3));          // head
  h.remove(ptr(17), ptr(0)); // tail
  h.remove(ptr(10), ptr(5)); // absent
  EXPECT_EQ(layout(h), "7/2/4/0/0 2:4294967294:0 3:10:2");
}

TEST(Hash, IteratorHandsOutEntriesAndComparesByTable) {
  _Hash h(7);
  for (std::uintptr_t k : {10, 3, 5})
    h.insert(ptr(k), ptr(k));
  _HashIter it(h);
  EXPECT_TRUE(h.isIterating());
  _HashItem twin(ptr(8), ptr(3)); // default dataCmp: only keys count
  EXPECT_TRUE(it == twin && it == it() && it != nullptr);
  EXPECT_EQ(it++->key(), ptr(3));
  EXPECT_EQ((++it)->key(), ptr(5));
  EXPECT_TRUE(++it == nullptr && it() == nullptr && it != twin);
  it.reset();
  EXPECT_EQ(it()->key(), ptr(3));
}

TEST(Hash, DerivedTableFindsCStringsByContent) {
  Words w;
  char pear[] = "pear", fig[] = "fig", other[] = "pear";
  w.insert(pear, fig);
  EXPECT_EQ(w.find(other)->data(), fig);
  w.remove(other);
  EXPECT_EQ(w.size(), 0);
}
