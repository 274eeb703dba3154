// The hash table against a std::multimap of key -> data, with the growth
// policy recomputed from the model: capacity, threshold, deepest lookup and
// the iterating flag must agree after every step, and a _HashIter walk must
// give the model's entries in bucket, then key, then data order.
#ifndef PTRBOX_TESTS_HASHMODEL_H
#define PTRBOX_TESTS_HASHMODEL_H

#include "support/Driver.h"

#include <Hash>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

class HashHarness {
 public:
  using Pair = std::pair<std::uintptr_t, std::uintptr_t>;
  using Model = std::multimap<std::uintptr_t, std::uintptr_t>;

  // Draws the table's shape; with byData, one key may hold several data.
  explicit HashHarness(Choices& c)
      : byData(c.below(2)), cap(1 + c.below(7)), thr(c.below(4)),
        depth(c.below(3)), rate(rates[c.below(5)]),
        table(cap, thr, depth, rate, byData) {}

  std::string step(Choices& c) {
    const std::uintptr_t k = c.below(24), d = c.below(4);
    const bool withData = c.below(2) != 0;
    auto hit = stored(k, d, withData);
    switch (c.below(8)) {
    case 0:
    case 1:
    case 2: {
      if (!iterating && maxDepth > depth && (size() + 1) * thr > cap)
        grow();
      hit = stored(k, d, true);
      note(k, d, true);
      _HashItem* e = table.insert(ptr(k), ptr(d));
      if (hit == model.end())
        hit = model.emplace(k, d);
      return differs("insert", entry(e), entry(hit));
    }
    case 3:
    case 4: {
      note(k, d, withData);
      _HashItem* e = withData ? table.find(ptr(k), ptr(d)) : table.find(ptr(k));
      return differs("find", e ? entry(e) : "-", entry(hit));
    }
    case 5:
      note(k, d, withData);
      withData ? table.remove(ptr(k), ptr(d)) : table.remove(ptr(k));
      if (hit != model.end())
        model.erase(hit);
      return "";
    case 6:
      if (cap > 200)
        return "";
      table.resize();
      grow();
      return "";
    default:
      if (c.below(4) == 0) {
        table.clear();
        model.clear();
        maxDepth = 0;
      } else {
        iterating = !iterating;
        iterating ? table.setIterating() : table.clearIterating();
      }
      return "";
    }
  }

  std::string check() {
    std::vector<Pair> want = sorted(), got;
    const int flag = table.isIterating();
    for (_HashIter it(table); it() != nullptr; ++it)
      got.push_back({reinterpret_cast<std::uintptr_t>(it->key()),
                     reinterpret_cast<std::uintptr_t>(it->data())});
    if (flag)
      table.setIterating();
    std::string err = differs("walk order", got == want, true);
    err += differs("size", table.size(), size());
    err += differs("capacity", table.capacity(), cap);
    err += differs("deepest lookup", table.maxLookupDepth(), maxDepth);
    err += differs("threshold", table.growthThreshold(), thr);
    return err + differs("iterating", flag, iterating);
  }

 private:
  static constexpr float rates[] = {0.0f, 0.1f, 0.5f, 1.0f, 1.5f};

  // Tells data apart only when asked to, so keys may repeat.
  struct Table final : _Hash {
    bool byData;
    Table(int n, int t, int dp, float r, bool b)
        : _Hash(n, t, dp, r), byData(b) {}
    int dataCmp(void* a, void* b) override {
      return byData ? (a < b ? -1 : a > b) : 0;
    }
  };

  bool byData;
  int cap, thr, depth;
  float rate;
  Table table;
  Model model;
  int maxDepth = 0, iterating = 0;

  int size() const { return static_cast<int>(model.size()); }
  static std::string entry(_HashItem* e) {
    return std::to_string(reinterpret_cast<std::uintptr_t>(e->key())) + ":" +
           std::to_string(reinterpret_cast<std::uintptr_t>(e->data()));
  }
  std::string entry(Model::iterator i) {
    return i == model.end()
               ? "-"
               : std::to_string(i->first) + ":" + std::to_string(i->second);
  }
  // The entry a lookup finds: with data only when the table tells data apart,
  // else the first of the key's entries in chain order (least data).
  Model::iterator stored(std::uintptr_t k, std::uintptr_t d, bool withData) {
    auto [lo, hi] = model.equal_range(k);
    auto best = model.end();
    for (auto i = lo; i != hi; ++i)
      if ((!withData || !byData || i->second == d) &&
          (best == model.end() || i->second < best->second))
        best = i;
    return best;
  }
  template <class P>
  bool before(const P& e, std::uintptr_t k, std::uintptr_t d, bool withData,
              int n) const {
    return e.first % n == k % n &&
           (e.first < k ||
            (withData && byData && e.first == k && e.second < d));
  }
  // A lookup examines the entries ordering before the sought one, then one
  // more link.
  void note(std::uintptr_t k, std::uintptr_t d, bool withData) {
    int links = 1;
    for (const auto& e : model)
      links += before(e, k, d, withData, cap);
    maxDepth = std::max(maxDepth, links);
  }
  std::vector<Pair> sorted() const {
    std::vector<Pair> v(model.begin(), model.end());
    std::sort(v.begin(), v.end(), [this](const Pair& a, const Pair& b) {
      return std::make_tuple(a.first % cap, a.first, a.second) <
             std::make_tuple(b.first % cap, b.first, b.second);
    });
    return v;
  }
  // Rebuilds in old bucket order; the rebuild's lookups set the depth.
  void grow() {
    const std::vector<Pair> old = sorted();
    cap += static_cast<int>(static_cast<double>(cap * thr) * rate + 0.5);
    thr = thr > 1 ? thr - 1 : thr;
    maxDepth = 0;
    iterating = 0;
    for (std::size_t i = 0; i < old.size(); ++i) {
      int links = 1;
      for (std::size_t j = 0; j < i; ++j)
        links += before(old[j], old[i].first, old[i].second, true, cap);
      maxDepth = std::max(maxDepth, links);
    }
  }
};

#endif
