// The hash table against a model of its entries, capacity, threshold,
// deepest lookup and iterating flag, with a _HashIter held across steps.
#ifndef PTRBOX_TESTS_HASHMODEL_H
#define PTRBOX_TESTS_HASHMODEL_H

#include "support/Driver.h"

#include <Hash>

#include <algorithm>
#include <optional>

// Tells entries of one key apart by their data.
struct ByData : _Hash {
  using _Hash::_Hash;
  int dataCmp(void* a, void* b) override {
    return num(a) < num(b) ? -1 : a != b;
  }
};

// Keys 0..23 with data 0..3; code() of an entry is key * 4 + data + 1, and 0
// stands for none. Codes order as chains do: by key, then data.
class HashHarness {
 public:
  // Draws the table's shape: size, threshold, depth and rate.
  explicit HashHarness(Choices& c)
      : cap(1 + c.below(7)), thr(c.below(4)), limit(c.below(3)),
        rate(c.below(5) * 0.375f), table(cap, thr, limit, rate) {}
  long blocks() const { return long(walk().size()) + 1; }

  Action pick(Choices& c) {
    const std::uintptr_t k = c.below(24), d = c.below(4), op = c.below(8);
    const std::uintptr_t sought = 4 * k + d + 1;
    const bool byData = c.below(2);
    std::uintptr_t want = 0; // where a lookup stops: sought, or k's least data
    for (std::uintptr_t e = 4 * k + 1; e < 4 * k + 5 && !want; ++e)
      want = in[e] && (!byData || e == sought) ? e : 0;
    if ((op == 3 && held && want == code((*held)())) || op == 4 ||
        (op > 5 && held && !(*held)()))
      drop(); // the entry under a walk stays; growth and clearing end it
    if (op == 5 && !held)
      (iterating = !iterating) ? table.setIterating() : table.clearIterating();
    return [=] {
      switch (op) {
      case 0:
      case 1: {
        const bool grows =
            !iterating && depth > limit && (int(walk().size()) + 1) * thr > cap;
        const std::size_t size = walk().size();
        allocprobe::Scope s;
        _HashItem* got;
        try {
          got = table.insert(ptr(k), ptr(d));
        } catch (const std::bad_alloc&) {
          if (grows && s.allocs() == size + 1)
            grow(); // only the new entry failed: the growth stays
          throw;
        }
        if (grows)
          grow();
        look(sought, true), in[sought] = true;
        return differs("insert", code(got), sought);
      }
      case 2: {
        _HashItem* got =
            byData ? table.find(ptr(k), ptr(d)) : table.find(ptr(k));
        look(sought, byData);
        return differs("find", code(got), want);
      }
      case 3:
        byData ? table.remove(ptr(k), ptr(d)) : table.remove(ptr(k));
        look(sought, byData), in[want] = false;
        return std::string();
      case 4:
        if (byData)
          table.clear(), std::fill(in, in + 97, false), depth = 0;
        else if (cap < 200)
          table.resize(), grow();
        return std::string();
      case 5:
        return std::string();
      default: { // the held iterator starts, restarts or walks on
        if (!held)
          held.emplace(table), iterating = true, at = next(0);
        else if (k)
          ++*held, at = next(at);
        else
          held->reset(), at = next(0);
        _HashItem probe(ptr(d), ptr(k));
        return differs("==", *held == probe, int(at == sought));
      }
      }
    };
  }

  std::string check() {
    Seq<std::uintptr_t> got;
    const int flag = table.isIterating();
    for (_HashIter it(table); it(); ++it)
      got.push_back(code(it()));
    if (flag)
      table.setIterating(); // the walk above cleared the shared flag
    return differs("walk", got, walk()) +
           differs("table",
                   show(table.capacity(), table.growthThreshold(),
                        table.maxLookupDepth(), table.isIterating(),
                        table.size(), held ? code((*held)()) : 0),
                   show(cap, thr, depth, int(iterating), int(walk().size()),
                        held ? at : 0));
  }

 private:
  int cap, thr, limit, depth = 0;
  float rate;
  ByData table;
  std::optional<_HashIter> held;
  bool in[97] = {}, iterating = false; // in[code]: stored
  std::uintptr_t at = 0;               // code() of the held entry

  static std::uintptr_t code(_HashItem* e) {
    return e ? num(e->key()) * 4 + num(e->data()) + 1 : 0;
  }
  // Codes in walk order: bucket by bucket, each chain by key and data.
  Seq<std::uintptr_t> walk() const {
    Seq<std::uintptr_t> v;
    for (int b = 0; b < cap; ++b)
      for (std::uintptr_t e = 4 * b + 1; e < 97; e += 4 * cap)
        for (std::uintptr_t x = e; x < e + 4; ++x)
          if (in[x])
            v.push_back(x);
    return v;
  }
  std::uintptr_t next(std::uintptr_t from) const {
    const Seq<std::uintptr_t> v = walk();
    auto i = from ? std::find(v.begin(), v.end(), from) + 1 : v.begin();
    return i < v.end() ? *i : 0;
  }
  // A lookup examines one link, plus one per entry before it in its chain.
  int depthOf(const Seq<std::uintptr_t>& entries, std::uintptr_t x,
              bool byData) const {
    int n = 1;
    for (std::uintptr_t e : entries)
      n += (e - 1) / 4 % cap == (x - 1) / 4 % cap &&
           (byData ? e < x : (e - 1) / 4 < (x - 1) / 4);
    return n;
  }
  void look(std::uintptr_t x, bool byData) {
    depth = std::max(depth, depthOf(walk(), x, byData));
  }
  // A growth rebuilds the entries in the old walk order.
  void grow() {
    const Seq<std::uintptr_t> old = walk();
    cap += static_cast<int>(static_cast<double>(cap * thr) * rate + 0.5);
    thr -= thr > 1;
    depth = 0, iterating = false;
    Seq<std::uintptr_t> placed;
    for (std::uintptr_t e : old)
      depth = std::max(depth, depthOf(placed, e, true)), placed.push_back(e);
  }
  void drop() {
    if (held)
      held.reset(), iterating = false;
  }
};

#endif
