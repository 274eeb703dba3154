// List, list iterator and ordered list against std::list.
//
// list_append_walk_clear: append N element pointers, walk them all with the
//   iterator (std::list: range for), clear.
// list_isin_miss: isIn of an absent pointer on a list of N (std::find).
// orderlist_insert_find: insert N random keys into an empty ordered list,
//   find each key once in another random order, clear; the peer keeps a
//   std::list of key/element pairs sorted by linear insertion.
#include "BenchSupport.h"

#include <List>
#include <ListIter>
#include <OrderList>

#include <cstdint>
#include <list>
#include <utility>

namespace {

using bench::Scale;

std::uintptr_t bits(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

// --- list_append_walk_clear ------------------------------------------------

void ptrboxAppendWalkClear(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const std::vector<void*> elems = bench::elements(n);
  _List list;
  std::uintptr_t sum = 0;
  for (auto _ : state) {
    for (void* e : elems)
      list.insert(e);
    _ListIter it(list);
    while (void* e = ++it)
      sum += bits(e);
    list.clear();
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
  bench::recordBytesPerElement<_List>(state, n, [&](_List& l) {
    for (void* e : elems)
      l.insert(e);
  });
}

// --- list_isin_miss --------------------------------------------------------

void ptrboxIsInMiss(benchmark::State& state) {
  bench::searchMiss<_List>(
      state, [](_List& l, void* e) { l.insert(e); },
      [](_List& l, void* e) { return l.isIn(e); });
}

void stdIsInMiss(benchmark::State& state) {
  using List = std::list<void*>;
  bench::searchMiss<List>(
      state, [](List& l, void* e) { l.push_back(e); },
      [](List& l, void* e) {
        return std::find(l.begin(), l.end(), e) != l.end();
      });
}

// --- orderlist_insert_find -------------------------------------------------

using Pairs = std::list<std::pair<void*, void*>>;

void sortedInsert(Pairs& list, void* key, void* element) {
  auto it = list.begin();
  while (it != list.end() && bits(it->first) < bits(key))
    ++it;
  if (it != list.end() && it->first == key)
    it->second = element;
  else
    list.emplace(it, key, element);
}

void* sortedFind(const Pairs& list, void* key) {
  for (const auto& p : list)
    if (p.first == key)
      return p.second;
  return nullptr;
}

void ptrboxOrderInsertFind(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const std::vector<void*> keys = bench::randomKeys(n, 11);
  std::vector<void*> probes = keys;
  bench::Rng rng(12);
  bench::shuffle(probes, rng);
  _OrderList list;
  std::uintptr_t sum = 0;
  for (auto _ : state) {
    for (void* k : keys)
      list.insert(k, k);
    for (void* k : probes)
      sum += bits(list.find(k));
    list.clear();
  }
  benchmark::DoNotOptimize(sum);
  bench::recordBytesPerElement<_OrderList>(state, n, [&](_OrderList& l) {
    for (void* k : keys)
      l.insert(k, k);
  });
}

void stdOrderInsertFind(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const std::vector<void*> keys = bench::randomKeys(n, 11);
  std::vector<void*> probes = keys;
  bench::Rng rng(12);
  bench::shuffle(probes, rng);
  Pairs list;
  std::uintptr_t sum = 0;
  for (auto _ : state) {
    for (void* k : keys)
      sortedInsert(list, k, k);
    for (void* k : probes)
      sum += bits(sortedFind(list, k));
    list.clear();
  }
  benchmark::DoNotOptimize(sum);
  bench::recordBytesPerElement<Pairs>(state, n, [&](Pairs& l) {
    for (void* k : keys)
      sortedInsert(l, k, k);
  });
}

void registerList(const Scale& s) {
  for (std::int64_t n : {s.pick(1000, 100), s.pick(100000, 1000)}) {
    benchmark::RegisterBenchmark("list_append_walk_clear/ptrbox",
                                 ptrboxAppendWalkClear)
        ->Arg(n);
    benchmark::RegisterBenchmark("list_append_walk_clear/std::list",
                                 bench::stdListAppendWalkClear)
        ->Arg(n);
  }
  const std::int64_t miss = s.pick(1000, 100);
  benchmark::RegisterBenchmark("list_isin_miss/ptrbox", ptrboxIsInMiss)
      ->Arg(miss);
  benchmark::RegisterBenchmark("list_isin_miss/std::list", stdIsInMiss)
      ->Arg(miss);
  const std::int64_t ordered = s.pick(2000, 100);
  benchmark::RegisterBenchmark("orderlist_insert_find/ptrbox",
                               ptrboxOrderInsertFind)
      ->Arg(ordered)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("orderlist_insert_find/std::list",
                               stdOrderInsertFind)
      ->Arg(ordered)
      ->Unit(benchmark::kMicrosecond);
}

} // namespace

// --- instruction counts ------------------------------------------------------

namespace ops {

BENCH_OP void list_append(_List& l, const std::vector<void*>& e) {
  for (void* p : e)
    l.insert(p);
}
BENCH_OP std::uintptr_t list_walk(_List& l) {
  std::uintptr_t sum = 0;
  _ListIter it(l);
  while (void* e = ++it)
    sum += bits(e);
  return sum;
}
BENCH_OP int list_isin_miss_1000(_List& l, void* absent) {
  return l.isIn(absent);
}
BENCH_OP void list_clear(_List& l) { l.clear(); }

BENCH_OP void std_list_append(std::list<void*>& l,
                              const std::vector<void*>& e) {
  for (void* p : e)
    l.push_back(p);
}
BENCH_OP std::uintptr_t std_list_walk(std::list<void*>& l) {
  std::uintptr_t sum = 0;
  for (void* e : l)
    sum += bits(e);
  return sum;
}
BENCH_OP bool std_list_isin_miss_1000(std::list<void*>& l, void* absent) {
  return std::find(l.begin(), l.end(), absent) != l.end();
}
BENCH_OP void std_list_clear(std::list<void*>& l) { l.clear(); }

BENCH_OP void orderlist_insert_2000(_OrderList& l,
                                    const std::vector<void*>& keys) {
  for (void* k : keys)
    l.insert(k, k);
}
BENCH_OP std::uintptr_t orderlist_find_2000(_OrderList& l,
                                            const std::vector<void*>& keys) {
  std::uintptr_t sum = 0;
  for (void* k : keys)
    sum += bits(l.find(k));
  return sum;
}
BENCH_OP void std_orderlist_insert_2000(Pairs& l,
                                        const std::vector<void*>& keys) {
  for (void* k : keys)
    sortedInsert(l, k, k);
}
BENCH_OP std::uintptr_t
std_orderlist_find_2000(Pairs& l, const std::vector<void*>& keys) {
  std::uintptr_t sum = 0;
  for (void* k : keys)
    sum += bits(sortedFind(l, k));
  return sum;
}

} // namespace ops

namespace {

void runListOps(bool peer) {
  const std::size_t n = 1000;
  const std::vector<void*> e = bench::elements(n + 1);
  const std::vector<void*> first(e.begin(), e.end() - 1);
  const std::vector<void*> keys = bench::randomKeys(2000, 11);
  std::uintptr_t sink = 0;
  if (!peer) {
    {
      _List l;
      ops::list_append(l, first);
      sink += ops::list_walk(l);
      sink += static_cast<std::uintptr_t>(ops::list_isin_miss_1000(l, e[n]));
      ops::list_clear(l);
    }
    _OrderList l;
    ops::orderlist_insert_2000(l, keys);
    sink += ops::orderlist_find_2000(l, keys);
  } else {
    {
      std::list<void*> l;
      ops::std_list_append(l, first);
      sink += ops::std_list_walk(l);
      sink += ops::std_list_isin_miss_1000(l, e[n]);
      ops::std_list_clear(l);
    }
    Pairs l;
    ops::std_orderlist_insert_2000(l, keys);
    sink += ops::std_orderlist_find_2000(l, keys);
  }
  benchmark::DoNotOptimize(sink);
  const char* p = peer ? "std_" : "";
  auto count = [p](const char* name, std::size_t c, const char* label) {
    bench::opCount((std::string(p) + name).c_str(), c, label);
  };
  count("list_append", n, "list: append one element");
  count("list_walk", n, "list: one iterator step");
  count("list_isin_miss_1000", 1, "list: isIn miss over 1000 elements");
  count("list_clear", n, "list: clear, per element");
  count("orderlist_insert_2000", 2000,
        "ordered list: insert, 2000 random keys, per key");
  count("orderlist_find_2000", 2000, "ordered list: find of each key, per key");
}

bench::FamilyRegistration listFamily({"List", registerList, runListOps});

} // namespace
