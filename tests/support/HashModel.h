// The hash table against a model of its entries, capacity, threshold and
// iterating flag. The deepest lookup is read from the table after each step:
// it decides growth (pinned down by the growth examples), and a failed step
// must leave it alone.
#ifndef PTRBOX_TESTS_HASHMODEL_H
#define PTRBOX_TESTS_HASHMODEL_H

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
  // Draws the table's shape: size, threshold, depth and rate.
  explicit HashHarness(Choices& c)
      : cap(1 + c.below(7)), thr(c.below(4)), limit(c.below(3)),
        rate(c.below(5) * 0.375f), table(cap, thr, limit, rate) {}
  long blocks() const { return long(walk().size()) + 1; }

  std::string check() {
    Seq<std::uintptr_t> got;
    const int flag = table.isIterating();
    for (_HashIter it(table); it(); ++it) { // == compares key, then data
      _HashItem twin(it->data(), it->key()), other(ptr(9), it->key());
      got.push_back(it == twin && it != other && it != nullptr ? code(it())
                                                               : 0);
    }
    if (flag)
      table.setIterating(); // the walk above cleared the shared flag
    return differs("walk", got, walk()) +
           differs("table",
                   show(table.capacity(), table.growthThreshold(),
                        table.maxLookupDepth(), table.isIterating(),
                        table.size()),
                   show(cap, thr, depth, iterating, walk().size()));
  }

  std::string step(Choices& c) {
    const std::uintptr_t k = c.below(24), d = c.below(4), op = c.below(7);
    const bool byData = c.below(2);
    std::uintptr_t found = 0; // where a lookup stops: (k, d), or k's least
    for (std::uintptr_t e = 4 * k + 1; e < 4 * k + 5 && !found; ++e)
      found = in[e] && (!byData || e == 4 * k + d + 1) ? e : 0;
    std::string r;
    if (op < 2)
      r = insert(k, d);
    else if (op == 2)
      r = differs(
          "find",
          code(byData ? table.find(ptr(k), ptr(d)) : table.find(ptr(k))),
          found);
    else if (op == 3)
      byData ? table.remove(ptr(k), ptr(d)) : table.remove(ptr(k)),
          in[found] = false;
    else if (op == 4)
      table.clear(), std::fill(in, in + 97, false);
    else if (op == 5 && cap < 200)
      table.resize(), grow();
    else if (op == 6)
      (iterating = !iterating) ? table.setIterating() : table.clearIterating();
    depth = table.maxLookupDepth();
    return r;
  }

 private:
  int cap, thr, limit, depth = 0;
  float rate;
  ByData table;
  bool in[97] = {}, iterating = false; // in[code]: stored

  static std::uintptr_t code(_HashItem* e) {
    return e ? num(e->key()) * 4 + num(e->data()) + 1 : 0;
  }
  // Codes in walk order: bucket by bucket, each chain by key and data.
  Seq<std::uintptr_t> walk() const {
    Seq<std::uintptr_t> v;
    for (int b = 0; b < cap; ++b)
      for (std::uintptr_t e = 4 * b + 1; e < 97; ++e)
        if (in[e] && (e - 1) / 4 % cap == std::uintptr_t(b))
          v.push_back(e);
    return v;
  }
  std::string insert(std::uintptr_t k, std::uintptr_t d) {
    const std::size_t size = walk().size(), allocs = allocprobe::allocs;
    const bool grows = !iterating && depth > limit && int(size + 1) * thr > cap;
    try {
      const std::uintptr_t got = code(table.insert(ptr(k), ptr(d)));
      in[4 * k + d + 1] = true;
      if (grows)
        grow();
      return differs("insert", got, 4 * k + d + 1);
    } catch (const std::bad_alloc&) {
      if (grows && allocprobe::allocs - allocs == size + 1)
        grow(), depth = table.maxLookupDepth(); // only the entry failed
      throw;
    }
  }
  void grow() {
    cap += static_cast<int>(static_cast<double>(cap * thr) * rate + 0.5);
    thr -= thr > 1;
    iterating = false;
  }
};

#endif
