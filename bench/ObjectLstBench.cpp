// Object list and its iterator against std::list<void*>.
//
// objlst_append_walk_clear: append N element pointers, walk them with
//   ObjectLstIter (std::list: range for), clearList().
// objlst_seek_miss: seek of an absent pointer on a list of N (the peer
//   counts positions up to the end).
#include "BenchSupport.h"

#include <ObjectLst>
#include <ObjectLstIter>

#include <cstdint>
#include <list>

namespace {

using bench::Scale;

std::uintptr_t bits(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

int position(const std::list<void*>& list, const void* element) {
  int pos = 0;
  for (const void* e : list) {
    if (e == element)
      return pos;
    ++pos;
  }
  return -1;
}

void ptrboxAppendWalkClear(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const std::vector<void*> elems = bench::elements(n);
  ObjectLst list;
  std::uintptr_t sum = 0;
  for (auto _ : state) {
    for (void* e : elems)
      list.append(e);
    ObjectLstIter it(list);
    while (!it.atEnd())
      sum += bits(it++);
    list.clearList();
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
  bench::recordBytesPerElement<ObjectLst>(state, n, [&](ObjectLst& l) {
    for (void* e : elems)
      l.append(e);
  });
}

void ptrboxSeekMiss(benchmark::State& state) {
  bench::searchMiss<ObjectLst>(
      state, [](ObjectLst& l, void* e) { l.append(e); },
      [](ObjectLst& l, void* e) { return l.seek(e); });
}

void stdSeekMiss(benchmark::State& state) {
  using List = std::list<void*>;
  bench::searchMiss<List>(
      state, [](List& l, void* e) { l.push_back(e); },
      [](List& l, void* e) { return position(l, e); });
}

void registerObjectLst(const Scale& s) {
  for (std::int64_t n : {s.pick(1000, 100), s.pick(100000, 1000)}) {
    benchmark::RegisterBenchmark("objlst_append_walk_clear/ptrbox",
                                 ptrboxAppendWalkClear)
        ->Arg(n);
    benchmark::RegisterBenchmark("objlst_append_walk_clear/std::list",
                                 bench::stdListAppendWalkClear)
        ->Arg(n);
  }
  const std::int64_t miss = s.pick(1000, 100);
  benchmark::RegisterBenchmark("objlst_seek_miss/ptrbox", ptrboxSeekMiss)
      ->Arg(miss);
  benchmark::RegisterBenchmark("objlst_seek_miss/std::list", stdSeekMiss)
      ->Arg(miss);
}

} // namespace

namespace ops {

BENCH_OP void objlst_append(ObjectLst& l, const std::vector<void*>& e) {
  for (void* p : e)
    l.append(p);
}
BENCH_OP std::uintptr_t objlst_walk(ObjectLst& l) {
  std::uintptr_t sum = 0;
  ObjectLstIter it(l);
  while (!it.atEnd())
    sum += bits(it++);
  return sum;
}
BENCH_OP int objlst_seek_miss_1000(ObjectLst& l, void* absent) {
  return l.seek(absent);
}
BENCH_OP void objlst_clear(ObjectLst& l) { l.clearList(); }

BENCH_OP void std_objlst_append(std::list<void*>& l,
                                const std::vector<void*>& e) {
  for (void* p : e)
    l.push_back(p);
}
BENCH_OP std::uintptr_t std_objlst_walk(std::list<void*>& l) {
  std::uintptr_t sum = 0;
  for (void* e : l)
    sum += bits(e);
  return sum;
}
BENCH_OP int std_objlst_seek_miss_1000(std::list<void*>& l, void* absent) {
  return position(l, absent);
}
BENCH_OP void std_objlst_clear(std::list<void*>& l) { l.clear(); }

} // namespace ops

namespace {

void runObjectLstOps(bool peer) {
  const std::size_t n = 1000;
  const std::vector<void*> e = bench::elements(n + 1);
  const std::vector<void*> first(e.begin(), e.end() - 1);
  std::uintptr_t sink = 0;
  if (!peer) {
    ObjectLst l;
    ops::objlst_append(l, first);
    sink += ops::objlst_walk(l);
    sink += static_cast<std::uintptr_t>(ops::objlst_seek_miss_1000(l, e[n]));
    ops::objlst_clear(l);
  } else {
    std::list<void*> l;
    ops::std_objlst_append(l, first);
    sink += ops::std_objlst_walk(l);
    sink +=
        static_cast<std::uintptr_t>(ops::std_objlst_seek_miss_1000(l, e[n]));
    ops::std_objlst_clear(l);
  }
  benchmark::DoNotOptimize(sink);
  const std::string p = peer ? "std_" : "";
  bench::opCount((p + "objlst_append").c_str(), n,
                 "object list: append one element");
  bench::opCount((p + "objlst_walk").c_str(), n,
                 "object list: one iterator step");
  bench::opCount((p + "objlst_seek_miss_1000").c_str(), 1,
                 "object list: seek miss over 1000 elements");
  bench::opCount((p + "objlst_clear").c_str(), n,
                 "object list: clearList, per element");
}

bench::FamilyRegistration objectLstFamily({"ObjectLst", registerObjectLst,
                                           runObjectLstOps});

} // namespace
