// Binary search tree against std::map<void*, void*>.
//
// tree_insert_find_walk: insert N random keys into an empty tree, find each
//   key once in another random order, then walk the whole tree in order
//   with _TreeIterator (std::map: range for). Tearing the tree down is not
//   timed on either side. Counters: insert_ns, find_ns and walk_ns per key.
//
// The tree never rebalances: with random keys its average depth is about
// 2 ln N (1.39 log2 N), against about log2 N for the red-black tree, and an
// in-order walk pushes and pops one stack record per node.
#include "BenchSupport.h"

#include <BinaryTree>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>

namespace {

using bench::Scale;
using Clock = std::chrono::steady_clock;

std::uintptr_t bits(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

double nsPerOp(Clock::duration d, std::size_t n) {
  return static_cast<double>(
             std::chrono::duration_cast<std::chrono::nanoseconds>(d).count()) /
         static_cast<double>(n);
}

struct Keys {
  std::vector<void*> stored;
  std::vector<void*> probes;
};

const Keys& keys(std::size_t n) {
  static Keys k;
  if (k.stored.size() != n) {
    k.stored = bench::randomKeys(n, 21);
    k.probes = k.stored;
    bench::Rng rng(22);
    bench::shuffle(k.probes, rng);
  }
  return k;
}

// _Tree has a virtual keyCmp and a non-virtual destructor: a final type
// can be deleted through its own pointer.
struct Tree final : _Tree {};

std::uintptr_t inOrderSum(_Tree& tree) {
  std::uintptr_t sum = 0;
  _TreeIterator it(tree, InOrder);
  for (_TreeNode* node = it(); node != nullptr; node = ++it)
    sum += bits(node->key());
  return sum;
}

void ptrboxInsertFindWalk(benchmark::State& state) {
  const Keys& k = keys(static_cast<std::size_t>(state.range(0)));
  const std::size_t n = k.stored.size();
  double phase[3] = {0, 0, 0};
  std::uintptr_t sum = 0;
  for (auto _ : state) {
    auto holder = std::make_unique<Tree>();
    _Tree* tree = holder.get();
    auto t0 = Clock::now();
    for (void* key : k.stored)
      tree->insert(key, key);
    auto t1 = Clock::now();
    for (void* key : k.probes)
      sum += bits(tree->find(key)->data());
    auto t2 = Clock::now();
    sum += inOrderSum(*tree);
    auto t3 = Clock::now();
    phase[0] += nsPerOp(t1 - t0, n);
    phase[1] += nsPerOp(t2 - t1, n);
    phase[2] += nsPerOp(t3 - t2, n);
    state.PauseTiming();
    holder.reset(); // the tree releases its nodes
    state.ResumeTiming();
  }
  benchmark::DoNotOptimize(sum);
  const double it = static_cast<double>(state.iterations());
  state.counters["insert_ns"] = phase[0] / it;
  state.counters["find_ns"] = phase[1] / it;
  state.counters["walk_ns"] = phase[2] / it;
  const double before = bench::heapInUse();
  _Tree tree;
  for (void* key : k.stored)
    tree.insert(key, key);
  state.counters["bytes_per_elem"] =
      (bench::heapInUse() - before) / static_cast<double>(n);
}

void stdInsertFindWalk(benchmark::State& state) {
  const Keys& k = keys(static_cast<std::size_t>(state.range(0)));
  const std::size_t n = k.stored.size();
  double phase[3] = {0, 0, 0};
  std::uintptr_t sum = 0;
  using Map = std::map<void*, void*>;
  for (auto _ : state) {
    auto* map = new Map();
    auto t0 = Clock::now();
    for (void* key : k.stored)
      map->emplace(key, key);
    auto t1 = Clock::now();
    for (void* key : k.probes)
      sum += bits(map->find(key)->second);
    auto t2 = Clock::now();
    for (const auto& kv : *map)
      sum += bits(kv.first);
    auto t3 = Clock::now();
    phase[0] += nsPerOp(t1 - t0, n);
    phase[1] += nsPerOp(t2 - t1, n);
    phase[2] += nsPerOp(t3 - t2, n);
    state.PauseTiming();
    delete map;
    state.ResumeTiming();
  }
  benchmark::DoNotOptimize(sum);
  const double it = static_cast<double>(state.iterations());
  state.counters["insert_ns"] = phase[0] / it;
  state.counters["find_ns"] = phase[1] / it;
  state.counters["walk_ns"] = phase[2] / it;
  bench::recordBytesPerElement<Map>(state, n, [&](Map& m) {
    for (void* key : k.stored)
      m.emplace(key, key);
  });
}

void registerTree(const Scale& s) {
  const std::int64_t n = s.pick(1000000, 1000);
  benchmark::RegisterBenchmark("tree_insert_find_walk/ptrbox",
                               ptrboxInsertFindWalk)
      ->Arg(n)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("tree_insert_find_walk/std::map",
                               stdInsertFindWalk)
      ->Arg(n)
      ->Unit(benchmark::kMillisecond);
}

} // namespace

namespace ops {

BENCH_OP void tree_insert(_Tree& t, const std::vector<void*>& keys) {
  for (void* k : keys)
    t.insert(k, k);
}
BENCH_OP std::uintptr_t tree_find(_Tree& t, const std::vector<void*>& keys) {
  std::uintptr_t sum = 0;
  for (void* k : keys)
    sum += bits(t.find(k));
  return sum;
}
BENCH_OP std::uintptr_t tree_walk(_Tree& t) { return inOrderSum(t); }

using Map = std::map<void*, void*>;
BENCH_OP void std_tree_insert(Map& t, const std::vector<void*>& keys) {
  for (void* k : keys)
    t.emplace(k, k);
}
BENCH_OP std::uintptr_t std_tree_find(Map& t, const std::vector<void*>& keys) {
  std::uintptr_t sum = 0;
  for (void* k : keys)
    sum += bits(t.find(k)->second);
  return sum;
}
BENCH_OP std::uintptr_t std_tree_walk(Map& t) {
  std::uintptr_t sum = 0;
  for (const auto& kv : t)
    sum += bits(kv.first);
  return sum;
}

} // namespace ops

namespace {

void runTreeOps(bool peer) {
  const std::size_t n = 100000;
  const Keys& k = keys(n);
  std::uintptr_t sink = 0;
  const char* p = peer ? "std_" : "";
  if (!peer) {
    _Tree t;
    ops::tree_insert(t, k.stored);
    sink += ops::tree_find(t, k.probes);
    sink += ops::tree_walk(t);
  } else {
    ops::Map t;
    ops::std_tree_insert(t, k.stored);
    sink += ops::std_tree_find(t, k.probes);
    sink += ops::std_tree_walk(t);
  }
  benchmark::DoNotOptimize(sink);
  auto count = [p](const char* name, const char* label) {
    bench::opCount((std::string(p) + name).c_str(), 100000, label);
  };
  count("tree_insert", "tree: insert 100000 random keys, per key");
  count("tree_find", "tree: find, per key");
  count("tree_walk", "tree: in-order walk, per node");
}

bench::FamilyRegistration treeFamily({"BinaryTree", registerTree, runTreeOps});

} // namespace
