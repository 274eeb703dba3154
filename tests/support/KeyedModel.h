// The typed keyed containers against the datum and key copy under each key,
// and against a twin: a second container of the same type driven through
// the classic interface only, so that its hash and order run virtually. The
// two must agree exactly: buckets, chain order, recorded depth and growth for
// the table, the node shapes for the tree, the nodes for the list.
//
// Every key 0..15 lives at three addresses; insertions take the first two,
// lookups the third (and, for text, a std::string, a view or a C string of
// it), so only content can match, and each entry must hold the key pointer
// that put it there.
#pragma once

#include "support/Driver.h"

#include <Keyed>

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

template <class T> struct NumKeys {
  using taken = const T*;
  T v[3][16];
  NumKeys() {
    for (int k = 0; k < 48; ++k)
      v[k / 16][k % 16] = T{k % 16};
  }
  const T* at(int copy, int k) const { return &v[copy][k]; }
  template <class F> auto probe(int k, int, F f) const { return f(v[2][k]); }
};
using IntKeys = NumKeys<int>;
// Ordered only by compare(), whose result counts by its sign alone.
struct Ranked {
  int v = 0;
  int compare(const Ranked& o) const { return v < o.v ? -7 : v > o.v; }
};
// "a", "aa", "aaa", "aaaa", "b", ..., "\xE9": text order (bytes unsigned)
// is key order, and keys are prefixes of one another.
struct TextKeys {
  using taken = const char*;
  char v[3][16][5] = {};
  std::string s[16];
  TextKeys() {
    for (int k = 0; k < 48; ++k)
      for (int i = 0; i <= k % 4; ++i)
        v[k / 16][k % 16][i] = char(k % 16 < 12 ? 'a' + k % 16 / 4 : 0xE9);
    for (int k = 0; k < 16; ++k)
      s[k] = v[2][k];
  }
  const char* at(int copy, int k) const { return v[copy][k]; }
  // By a C string, a std::string or a view.
  template <class F> auto probe(int k, int form, F f) const {
    return form == 0   ? f(v[2][k])
           : form == 1 ? f(s[k])
                       : f(std::string_view(v[2][k]));
  }
};
struct StringKeys {
  using taken = const std::string*;
  std::string v[3][16];
  StringKeys() {
    for (int k = 0; k < 48; ++k)
      v[k / 16][k % 16] = TextKeys().v[0][k % 16];
  }
  const std::string* at(int copy, int k) const { return &v[copy][k]; }
  template <class F> auto probe(int k, int form, F f) const {
    return form == 0   ? f(v[2][k])
           : form == 1 ? f(v[2][k].c_str())
                       : f(std::string_view(v[2][k]));
  }
};
// Descending text through compare(): swapped arguments anywhere would turn
// the walk around.
struct Backward {
  int operator()(std::string_view a, std::string_view b) const {
    return b.compare(a);
  }
};

// `order`: the container's walk by key, 1 ascending, -1 descending, 0 the
// hash table's bucket order.
template <class C, class Keys, int order> class KeyedHarness {
  static constexpr bool table = std::is_base_of_v<_Hash, C>;
  static constexpr bool tree = std::is_base_of_v<_Tree, C>;

 public:
  explicit KeyedHarness(Choices& ch) : c(make(ch)), twin(make(ch, false)) {
    std::fill(m, m + 16, -1);
  }
  long blocks() const {
    if constexpr (tree)
      return -1; // killed nodes stay
    else
      return c.size() + twin.size() + 2 * table; // and the bucket arrays
  }

  // Inserts (0), inserts or assigns (1), removes (2) or finds (3) a key on
  // the container, then on the twin through the classic interface.
  std::string step(Choices& ch) {
    const int k = ch.below(16), d = ch.below(4), copy = ch.below(2),
              op = ch.below(4), form = ch.below(3);
    const int* datum = &data[d];
    auto key = keys.at(copy, k);
    std::string r;
    [[maybe_unused]] const void* buckets = nullptr;
    if constexpr (table)
      buckets = c.table();
    try {
      if (op == 0)
        r = differs("insert", index(c.insert(key, &data[d])),
                    m[k] < 0 ? d : m[k]);
      else if (op == 1)
        r = differs("insert_or_assign",
                    index(c.insert_or_assign(key, &data[d])), m[k]);
      else if (op == 2)
        keys.probe(k, form, [&](auto p) { return c.remove(p), 0; });
      else
        r = differs(
            "find",
            keys.probe(k, form, [&](auto p) { return index(c.find(p)); }),
            m[k]);
    } catch (...) {
      // A growth may have completed before the insertion failed.
      if constexpr (table)
        if (c.table() != buckets)
          quietly([&] { classic().resize(); });
      throw;
    }
    quietly([&] { mirror(op, key, datum, k); });
    if (op == 1 || (op == 0 && m[k] < 0))
      mk[k] = copy;
    m[k] = op < 2 ? op == 1 || m[k] < 0 ? d : m[k] : op == 2 ? -1 : m[k];
    return r;
  }

  // Const lookups by every form, the const walks forward and back (and by
  // reverse iterators), the key pointer of each entry, and the twin's shape.
  std::string check() {
    const C& cc = c;
    Seq<int> found, want, model;
    for (int i = 0; i < 16; ++i) {
      const int k = order < 0 ? 15 - i : i;
      found.push_back(keys.probe(k, i % 3, [&](auto p) {
        return cc.contains(p) ? index(cc.find(p)) : -2 - index(cc.find(p));
      }));
      want.push_back(m[k] < 0 ? -1 : m[k]);
      if (m[k] >= 0)
        model.push_back(code(keys.at(mk[k], k), &data[m[k]]));
    }
    const auto entry = [this](const auto& e) {
      const auto& [key, datum] = e;
      return key == e.key && datum == e.data ? code(key, datum) : -1;
    };
    Seq<int> walk = model, entries = model, reversed;
    if constexpr (order == 0) {
      walk.clear();
      for (auto&& e : cc)
        walk.push_back(entry(e));
      std::sort((entries = walk).begin(), entries.end());
      std::sort(model.begin(), model.end());
    } else {
      for (auto it = cc.rbegin(); it != cc.rend(); ++it)
        reversed.insert(reversed.begin(), entry(*it));
      entries = reversed;
    }
    return differs("find", found, want) + differs("entries", entries, model) +
           walksLike("standard walk", cc, entry, walk, 13) +
           differs("twin", shape(c), shape(twin));
  }

 private:
  Keys keys;
  int data[4] = {};
  int m[16];  // the datum under each key, -1 for none
  int mk[16]; // the copy of the key stored
  C c, twin;

  int index(const int* datum) const { return datum ? int(datum - data) : -1; }
  int code(typename Keys::taken key, const int* datum) const {
    for (int k = 0; k < 16; ++k)
      for (int copy = 0; copy < 3; ++copy)
        if (keys.at(copy, k) == key)
          return 16 * k + 4 * copy + index(datum);
    return -1;
  }
  static C make(Choices& ch, bool draw = true) {
    static int shape[4];
    if constexpr (table) {
      if (draw)
        shape[0] = int(ch.below(8)), shape[1] = int(ch.below(4)),
        shape[2] = int(ch.below(3)), shape[3] = int(ch.below(5));
      if (shape[0] == 7)
        return C();
      return C(1 + shape[0], shape[1], shape[2], float(shape[3]) * 0.375f);
    }
    return C();
  }
  template <class F> static void quietly(F f) {
    ++allocprobe::quiet;
    f();
    --allocprobe::quiet;
  }
  using Classic =
      std::conditional_t<table, _Hash,
                         std::conditional_t<tree, _Tree, _OrderList>>;
  Classic& classic() { return twin; }
  // The step on the twin, by the classic operations.
  void mirror(int op, typename Keys::taken key, const int* datum, int k) {
    void *kp = ptrbox::detail::raw(key), *dp = ptrbox::detail::raw(datum),
         *sought = ptrbox::detail::raw(keys.at(2, k));
    if constexpr (table) {
      if (op < 2) {
        _HashItem* e = classic().insert(kp, dp);
        if (op == 1)
          e->setKey(kp), e->setData(dp);
      }
      if (op == 2)
        classic().remove(sought);
      if (op == 3)
        classic().find(sought);
    } else if constexpr (tree) {
      if (op < 2) {
        _TreeNode* n = classic().insert(kp, dp);
        if (op == 1 || n->isKilled())
          n->revive()->setKey(kp), n->setData(dp);
      }
      if (op == 2)
        classic().remove(sought);
    } else {
      if (op == 1 || (op == 0 && !classic().isIn(sought)))
        classic().remove(sought), classic().insert(kp, dp);
      if (op == 2)
        classic().remove(sought);
    }
  }
  // Everything the two paths must agree on, by key and datum codes.
  std::string shape(C& x) {
    Seq<int> s;
    if constexpr (table) {
      s = {x.capacity(), x.growthThreshold(), x.maxLookupDepth(), x.size()};
      for (int b = 0; b < x.capacity(); ++b)
        for (_HashItem* e = x.table()[b]; e; e = e->next())
          s.push_back(b), s.push_back(codeOf(e->key(), e->data()));
    } else if constexpr (tree) {
      // Every node, killed or not: key, datum and whether it has a parent,
      // in pre-order, with a -1 for each missing child.
      Seq<const _TreeNode*> stack{x.root()};
      while (!stack.empty()) {
        const _TreeNode* n = stack.back();
        stack.pop_back();
        if (n) {
          s.push_back(codeOf(n->key(), n->data()) * 4 + n->isKilled() +
                      (n->parent() ? 1 : 0));
          stack.push_back(n->rightChild()), stack.push_back(n->leftChild());
        } else {
          s.push_back(-1);
        }
      }
    } else {
      for (auto&& e : x)
        s.push_back(code(e.key, e.data));
    }
    return show(s);
  }
  int codeOf(void* key, void* datum) const {
    return code(static_cast<typename Keys::taken>(key),
                static_cast<const int*>(datum));
  }
};

using TextHashHarness =
    KeyedHarness<ptrbox::Hash<const char*, int>, TextKeys, 0>;
using StringHashHarness = KeyedHarness<
    ptrbox::Hash<std::string, int, ptrbox::KeyHash<std::string>, Backward>,
    StringKeys, 0>;
using IntOrderListHarness =
    KeyedHarness<ptrbox::OrderList<int, int>, IntKeys, 1>;
using StringOrderListHarness =
    KeyedHarness<ptrbox::OrderList<std::string, int, Backward>, StringKeys, -1>;
using DescendingTreeHarness =
    KeyedHarness<ptrbox::Tree<int, int, std::greater<int>>, IntKeys, -1>;
using RankedTreeHarness =
    KeyedHarness<ptrbox::Tree<Ranked, int>, NumKeys<Ranked>, 1>;
using StringTreeHarness =
    KeyedHarness<ptrbox::Tree<std::string, int>, StringKeys, 1>;
