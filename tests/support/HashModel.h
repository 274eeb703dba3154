// The hash table against a model of its entries, on tables of random shapes
// and of five kinds: `_Hash` itself (the library's inlined operations), and
// derived tables overriding `hash`, `keyCmp` or `dataCmp` alone, or all
// three, whose answers decide where the model expects each entry. Capacity,
// threshold and deepest lookup are read from the table after each step (the
// growth examples pin down how they change); a failed step must leave them and
// the entries as they were, except that an insertion may fail after growing the
// table; walks and erase_if must leave them alone. A held iterator steps along
// the walk between the other steps.
#pragma once

#include "support/Driver.h"

#include <Hash>

#include <algorithm>
#include <optional>
#include <utility>

// Each overrides one operation with answers the default never gives, so a
// table that skips an override anywhere (a lookup, an insertion, a removal,
// a growth's rebuild, an iterator's ==) puts, orders or matches entries
// where the model does not: Hashing spreads keys by their complement, Keyed
// orders each chain by descending key, and Dated tells entries of one key
// apart by ascending data, where the default calls all data equal. Table<M>
// derives from those of the bits of M (1 hash, 2 keyCmp, 4 dataCmp);
// Table<0> is `_Hash` itself.
template <class B> struct Hashing : B {
  using B::B;
  unsigned long hash(void* k) override { return ~(unsigned long)num(k); }
};
template <class B> struct Keyed : B {
  using B::B;
  int keyCmp(void* a, void* b) override { return B::keyCmp(b, a); }
};
template <class B> struct Dated : B {
  using B::B;
  int dataCmp(void* a, void* b) override {
    return (num(a) > num(b)) - (num(a) < num(b));
  }
};
template <template <class> class O, class B, int On>
using Add = std::conditional_t<On != 0, O<B>, B>;
template <int M>
using Table = Add<Dated, Add<Keyed, Add<Hashing, _Hash, M & 1>, M & 2>, M & 4>;

// Keys 0..23 with data 0..3; entry (k, d) has the code 4k + d + 1, 0 for
// none, so codes order as a chain does: by key, then data.
class HashHarness {
 public:
  explicit HashHarness(Choices& c) : kind(kinds[c.below(5)]) {
    make<0, 1, 2, 4, 7>(1 + c.below(7), c.below(4), c.below(3), c.below(5));
  }
  long blocks() const { return long(walk().size()) + 2; }

  std::string check() {
    Seq<std::uintptr_t> got;
    for (_HashIter it(*table); it(); ++it) { // == compares key, then data
      _HashItem twin(it->data(), it->key()), other(ptr(9), it->key());
      const bool same = it == twin && (it != other) == (kind >= 4);
      got.push_back(same && it == it() && it != nullptr ? code(it()) : 0);
    }
    // The walk's iterator has cleared the iterating flag as it went.
    const auto entry = [](_HashItem& e) { return code(&e); };
    const std::string r =
        differs("walk", got, walk()) +
        walksLike("standard walk", *table, entry, walk(), code(nullptr) + 5) +
        differs("table",
                show(table->capacity(), table->growthThreshold(),
                     table->maxLookupDepth(), table->isIterating(),
                     table->size()),
                show(cap, thr, depth, 0, walk().size()));
    if (held) // the check's walk cleared the flag the held iterator set
      table->setIterating();
    return r;
  }

  // Inserts (0, 1), finds (2) or removes (3) an entry, by key or by key and
  // data; clears (4) or grows (5) the table; moves the held iterator (6);
  // erases by walk position (7).
  std::string step(Choices& c) {
    const std::uintptr_t k = c.below(24), d = c.below(4), op = c.below(8),
                         e = 4 * k + d + 1;
    const bool byData = c.below(2) || op < 2, dataCmp = kind >= 4;
    std::uintptr_t found = 0; // where a lookup stops: (k, d), or k's least
    for (std::uintptr_t x = 4 * k + 1; x < 4 * k + 5 && !found; ++x)
      found = in[x] && (!byData || !dataCmp || x == e) ? x : 0;
    std::string r;
    if (op > 2 && op != 6)
      held.reset(), at = 0; // removal, clearing and growth end a walk
    if (op < 2) {
      const std::size_t allocs = allocprobe::allocs;
      try {
        found = found ? found : e;
        r = differs("insert", code(table->insert(ptr(k), ptr(d))), found);
      } catch (const std::bad_alloc&) {
        if (allocprobe::allocs - allocs == walk().size() + 1)
          read(); // grown (array, records) before the entry failed
        throw;
      }
      in[found] = true;
    } else if (op == 2) {
      _HashItem* got =
          byData ? table->find(ptr(k), ptr(d)) : table->find(ptr(k));
      r = differs("find", code(got), found);
    } else if (op == 3) {
      byData ? table->remove(ptr(k), ptr(d)) : table->remove(ptr(k));
      in[found] = false;
    } else if (op == 4) {
      table->clear();
      std::fill(in, in + 97, false);
    } else if (op == 5 && cap < 200) {
      table->resize();
    } else if (op == 6) { // starts a walk, or ++it, it++ or reset()
      Seq<std::uintptr_t> v = walk();
      v.push_back(0); // after the last entry, where an ended walk stands
      const std::uintptr_t how = c.below(4), was = at,
                           next = at ? *(std::find(v.begin(), v.end(), at) + 1)
                                     : 0;
      std::uintptr_t got;
      if (!held || how == 0)
        held.emplace(*table), at = v[0], got = code((*held)());
      else if (how == 1)
        at = next, got = code(++*held);
      else if (how == 2)
        at = next, r = differs("it++", code((*held)++), was),
        got = code((*held)());
      else
        held->reset(), at = v[0], got = code((*held)());
      r += differs("iterator", got, at);
    } else if (op == 7) {
      Seq<std::uintptr_t> kept = walk();
      const ErasePick pick(c);
      const std::string want = erased(kept, pick);
      r = differs(
          "erase_if",
          eraseWith(*table, pick, [](_HashItem& x) { return code(&x); }), want);
      std::fill(in, in + 97, false);
      for (std::uintptr_t x : kept)
        in[x] = true;
    }
    if (table->capacity() != cap && held) // a held iterator suspends growth
      r += show("grown while iterating");
    if (op < 6) // moving an iterator or erase_if looks nothing up and never
      read();   // grows: check() finds the table as it was
    return r;
  }

 private:
  static constexpr int kinds[] = {0, 1, 2, 4, 7};
  const int kind; // the table is a Table<kind>
  template <int... M> void make(int s, int t, int d, std::uint32_t r) {
    ((M == kind ? table.reset(new Table<M>(s, t, d, r * .375f)) : void()), ...);
    read();
  }
  std::unique_ptr<_Hash> table;
  std::optional<_HashIter> held;
  std::uintptr_t at = 0; // the held iterator's entry
  int cap, thr, depth;
  bool in[97] = {}; // in[code]: stored

  void read() {
    cap = table->capacity(), thr = table->growthThreshold(),
    depth = table->maxLookupDepth();
  }
  static std::uintptr_t code(_HashItem* e) {
    return e ? num(e->key()) * 4 + num(e->data()) + 1 : 0;
  }
  // Codes in walk order: bucket by bucket, each chain by key (descending
  // under Keyed), then data.
  Seq<std::uintptr_t> walk() const {
    Seq<std::uintptr_t> v;
    for (unsigned long b = 0; b < (unsigned long)cap; ++b)
      for (std::uintptr_t i = 0; i < 24; ++i) {
        const std::uintptr_t k = kind & 2 ? 23 - i : i;
        if ((kind & 1 ? ~(unsigned long)k : k) % cap == b)
          for (std::uintptr_t x = 4 * k + 1; x < 4 * k + 5; ++x)
            if (in[x])
              v.push_back(x);
      }
    return v;
  }
};
