// The hash table against a model of its entries, on tables of random shapes.
// Capacity, threshold and deepest lookup are read from the table after each
// step (the growth examples pin down how they change); a failed step must
// leave them and the entries as they were, except that an insertion may
// fail after growing the table.
#pragma once

#include "support/Driver.h"

#include <Hash>

#include <algorithm>

// Tells entries of one key apart by their data.
struct ByData : _Hash {
  using _Hash::_Hash;
  int dataCmp(void* a, void* b) override {
    return num(a) < num(b) ? -1 : a != b;
  }
};

// Keys 0..23 with data 0..3; entry (k, d) has the code 4k + d + 1, 0 for
// none, so codes order as a chain does: by key, then data.
class HashHarness {
 public:
  explicit HashHarness(Choices& c)
      : table(1 + c.below(7), c.below(4), c.below(3), c.below(5) * 0.375f) {
    read();
  }
  long blocks() const { return long(walk().size()) + 1; }

  std::string check() {
    Seq<std::uintptr_t> got;
    for (_HashIter it(table); it(); ++it) { // == compares key, then data
      _HashItem twin(it->data(), it->key()), other(ptr(9), it->key());
      got.push_back(it == twin && it != other && it == it() && it != nullptr
                        ? code(it())
                        : 0);
    }
    // The walk's iterator has cleared the iterating flag as it went.
    const auto entry = [](_HashItem& e) { return code(&e); };
    return differs("walk", got, walk()) +
           differs("standard walk", stdWalks(table, entry, code(nullptr) + 5),
                   stdWalks(walk(), code(nullptr) + 5)) +
           differs("table",
                   show(table.capacity(), table.growthThreshold(),
                        table.maxLookupDepth(), table.isIterating(),
                        table.size()),
                   show(cap, thr, depth, 0, walk().size()));
  }

  // Inserts (0, 1), finds (2) or removes (3) an entry, by key or by key and
  // data; clears (4) or grows (5) the table.
  std::string step(Choices& c) {
    const std::uintptr_t k = c.below(24), d = c.below(4), op = c.below(6),
                         e = 4 * k + d + 1;
    const bool byData = c.below(2);
    std::uintptr_t found = 0; // where a lookup stops: (k, d), or k's least
    for (std::uintptr_t x = 4 * k + 1; x < 4 * k + 5 && !found; ++x)
      found = in[x] && (!byData || x == e) ? x : 0;
    std::string r;
    if (op < 2) {
      const std::size_t allocs = allocprobe::allocs;
      try {
        r = differs("insert", code(table.insert(ptr(k), ptr(d))), e);
      } catch (const std::bad_alloc&) {
        if (allocprobe::allocs - allocs == walk().size() + 1)
          read(); // grown (array, records) before the entry failed
        throw;
      }
      in[e] = true;
    } else if (op == 2) {
      _HashItem* got = byData ? table.find(ptr(k), ptr(d)) : table.find(ptr(k));
      r = differs("find", code(got), found);
    } else if (op == 3) {
      byData ? table.remove(ptr(k), ptr(d)) : table.remove(ptr(k));
      in[found] = false;
    } else if (op == 4) {
      table.clear();
      std::fill(in, in + 97, false);
    } else if (cap < 200) {
      table.resize();
    }
    read();
    return r;
  }

 private:
  ByData table;
  int cap, thr, depth;
  bool in[97] = {}; // in[code]: stored

  void read() {
    cap = table.capacity(), thr = table.growthThreshold(),
    depth = table.maxLookupDepth();
  }
  static std::uintptr_t code(_HashItem* e) {
    return e ? num(e->key()) * 4 + num(e->data()) + 1 : 0;
  }
  // Codes in walk order: bucket by bucket, each chain by key and data.
  Seq<std::uintptr_t> walk() const {
    Seq<std::uintptr_t> v;
    for (int b = 0; b < cap; ++b) // keys b, b + cap, ... with data 0..3
      for (std::uintptr_t e = 4 * b + 1; e < 97; e += 4 * cap)
        for (std::uintptr_t x = e; x < e + 4; ++x)
          if (in[x])
            v.push_back(x);
    return v;
  }
};
