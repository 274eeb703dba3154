// The hash table against a std::multimap of key -> data: after every step a
// _HashIter walk must give the model's pairs in bucket, key, data order, and
// capacity, threshold and iterating flag must follow the growth policy.
#ifndef PTRBOX_TESTS_HASHMODEL_H
#define PTRBOX_TESTS_HASHMODEL_H

#include "support/Driver.h"

#include <Hash>

#include <map>
#include <set>
#include <string>
#include <tuple>

// Tells entries of one key apart by their data.
struct ByData : _Hash {
  using _Hash::_Hash;
  int dataCmp(void* a, void* b) override { return a < b ? -1 : a > b; }
};

inline std::uintptr_t num(void* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

// " key:data" for each entry, in the order a _HashIter walks them; the
// table's iterating flag is left as it was.
inline std::string walk(_Hash& h) {
  const int flag = h.isIterating();
  std::string s;
  for (_HashIter it(h); it() != nullptr; ++it)
    s += " " + std::to_string(num(it->key())) + ":" +
         std::to_string(num(it->data()));
  if (flag)
    h.setIterating();
  return s;
}

class HashHarness {
 public:
  using Model = std::multimap<std::uintptr_t, std::uintptr_t>;

  // Draws the table's shape: size, threshold, depth and rate.
  explicit HashHarness(Choices& c)
      : cap(1 + c.below(7)), thr(c.below(4)), depth(c.below(3)),
        rate(rates[c.below(5)]), table(cap, thr, depth, rate) {}

  // Inserts, finds or removes (by key, or by key and data), grows, clears
  // or flips the iterating flag.
  std::string step(Choices& c) {
    const std::uintptr_t k = c.below(24), d = c.below(4), op = c.below(8);
    const bool byData = op < 2 || c.below(2) != 0;
    if (op < 2 && !iterating && table.maxLookupDepth() > depth &&
        (size() + 1) * thr > cap)
      grow();
    Model::iterator hit = stored(k, d, byData);
    std::string got;
    if (op < 2) {
      got = show(table.insert(ptr(k), ptr(d)));
      if (hit == model.end())
        hit = model.emplace(k, d);
    } else if (op < 4) {
      got = show(byData ? table.find(ptr(k), ptr(d)) : table.find(ptr(k)));
    } else if (op == 4) {
      byData ? table.remove(ptr(k), ptr(d)) : table.remove(ptr(k));
      if (hit != model.end())
        model.erase(hit);
    } else if (op == 5 && cap < 200) {
      table.resize();
      grow();
    } else if (op == 6) {
      table.clear();
      model.clear();
    } else if (op == 7) {
      iterating = !iterating;
      iterating ? table.setIterating() : table.clearIterating();
    }
    if (op >= 4)
      return "";
    return differs("entry", got,
                   hit == model.end() ? "-" : show(hit->first, hit->second));
  }

  std::string check() {
    std::set<std::tuple<std::uintptr_t, std::uintptr_t, std::uintptr_t>> order;
    for (const auto& e : model)
      order.emplace(e.first % cap, e.first, e.second);
    std::string want;
    for (const auto& [bucket, k, d] : order)
      want += " " + show(k, d);
    return differs("walk", walk(table), want) +
           differs("capacity", table.capacity(), cap) +
           differs("size", table.size(), size()) +
           differs("threshold", table.growthThreshold(), thr) +
           differs("iterating", table.isIterating(), int(iterating));
  }

 private:
  static constexpr float rates[] = {0.0f, 0.1f, 0.5f, 1.0f, 1.5f};
  int cap, thr, depth;
  float rate;
  ByData table;
  Model model;
  bool iterating = false;

  int size() const { return static_cast<int>(model.size()); }
  static std::string show(std::uintptr_t k, std::uintptr_t d) {
    return std::to_string(k) + ":" + std::to_string(d);
  }
  static std::string show(_HashItem* e) {
    return e ? show(num(e->key()), num(e->data())) : "-";
  }
  // The pair a lookup stops at: (k, d) itself, or k's least data.
  Model::iterator stored(std::uintptr_t k, std::uintptr_t d, bool byData) {
    auto [i, end] = model.equal_range(k);
    Model::iterator best = model.end();
    for (; i != end; ++i)
      if ((!byData || i->second == d) &&
          (best == model.end() || i->second < best->second))
        best = i;
    return best;
  }
  void grow() {
    cap += static_cast<int>(static_cast<double>(cap * thr) * rate + 0.5);
    thr = thr > 1 ? thr - 1 : thr;
    iterating = false;
  }
};

#endif
