// The typed keyed containers against the datum under each key. Every key
// 0..15 lives at two addresses that insertions take and a third that lookups
// use, so only content can match; the data are four ints.
#pragma once

#include "support/Driver.h"

#include <Keyed>

#include <cstdio>
#include <cstdlib>
#include <functional>

struct IntKeys {
  using taken = const int*;
  int v[3][16];
  IntKeys() {
    for (int k = 0; k < 48; ++k)
      v[k / 16][k % 16] = k % 16;
  }
  const int* at(int copy, int k) const { return &v[copy][k]; }
  const int& sought(int k) const { return v[2][k]; }
  static int of(const int* key) { return *key; }
};
struct TextKeys { // "k0".."k15"
  using taken = const char*;
  char v[3][16][4];
  TextKeys() {
    for (int k = 0; k < 48; ++k)
      std::snprintf(v[k / 16][k % 16], 4, "k%d", k % 16);
  }
  const char* at(int copy, int k) const { return v[copy][k]; }
  const char* sought(int k) const { return v[2][k]; }
  static int of(const char* key) { return std::atoi(key + 1); }
};

// `order`: the container's walk by key, 1 ascending, -1 descending, 0 the
// classic hash walk. `replaces`: a present key takes the new datum.
template <class C, class Keys, int order, bool replaces> class KeyedHarness {
 public:
  explicit KeyedHarness(Choices& ch) : c(make(ch)) { std::fill(m, m + 16, -1); }
  long blocks() const {
    if constexpr (std::is_base_of_v<_Tree, C>)
      return -1; // killed nodes stay
    else
      return c.size() + std::is_base_of_v<_Hash, C>; // and the bucket array
  }

  std::string step(Choices& ch) {
    const int k = ch.below(16), d = ch.below(4), copy = ch.below(2),
              op = ch.below(4), want = replaces || m[k] < 0 ? d : m[k];
    std::string r;
    if constexpr (replaces) {
      if (op < 2)
        c.insert(keys.at(copy, k), &data[d]);
    } else if (op < 2) {
      r = differs("insert", int(c.insert(keys.at(copy, k), &data[d]) - data),
                  want);
    }
    if (op == 2)
      c.remove(keys.sought(k));
    m[k] = op < 2 ? want : op == 2 ? -1 : m[k];
    return r;
  }

  // Lookups by content, and the standard walk, forward and back, against
  // the model's entries (the hash table's against its classic walk, whose
  // entries must be the model's).
  std::string check() {
    Seq<int> found, want, model;
    for (int i = 0; i < 16; ++i) {
      const int k = order < 0 ? 15 - i : i, *got = c.find(keys.sought(k));
      found.push_back(got ? int(got - data) + 4 * c.contains(keys.sought(k))
                          : -1);
      want.push_back(m[k] < 0 ? -1 : m[k] + 4);
      if (m[k] >= 0)
        model.push_back(4 * k + m[k]);
    }
    Seq<int> walk = model, entries = model;
    if constexpr (order == 0) {
      walk.clear();
      for (_HashIter it(c); it(); ++it)
        walk.push_back(code(static_cast<typename Keys::taken>(it->key()),
                            static_cast<int*>(it->data())));
      std::sort((entries = walk).begin(), entries.end());
    }
    const auto entry = [this](auto e) { return code(e.key, e.data); };
    return differs("find", found, want) + differs("entries", entries, model) +
           differs("standard walk", stdWalks(c, entry, 13), stdWalks(walk, 13));
  }

 private:
  Keys keys;
  int data[4] = {};
  int m[16]; // the datum under each key, -1 for none
  C c;

  int code(typename Keys::taken key, const int* datum) const {
    return 4 * Keys::of(key) + int(datum - data);
  }
  static C make(Choices& ch) {
    if constexpr (std::is_base_of_v<_Hash, C>)
      return C(1 + ch.below(7), ch.below(4), ch.below(3), ch.below(5) * 0.375f);
    else
      return C();
  }
};

using TextHashHarness =
    KeyedHarness<ptrbox::Hash<const char*, int>, TextKeys, 0, false>;
using IntOrderListHarness =
    KeyedHarness<ptrbox::OrderList<int, int>, IntKeys, 1, true>;
using DescendingTreeHarness =
    KeyedHarness<ptrbox::Tree<int, int, std::greater<int>>, IntKeys, -1, false>;
