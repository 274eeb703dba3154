// Multi-way tree against an equivalent tree of nodes that keep their
// children in a std::vector, walked in the same pre-order.
//
// The tree: N nodes in breadth-first order, node i a child of node
// (i - 1) / 8, so every inner node has 8 children. Keys fall with i, so with
// the default keyCmp each new node placed at its parent becomes its last
// child; no duplicate search.
//
// mtree_build: make the N nodes (the caller allocates each _MTree).
// mtree_walk: a full depth-first walk with _MTreeIter, reading each node's
//   data; the peer walks with an explicit std::vector stack.
// mtree_findnode: FindNode from the root for present keys taken at random;
//   the time is per FindNode, which walks half the tree on average.
#include "BenchSupport.h"

#include <MTree>

#include <cstdint>
#include <new>
#include <vector>

namespace {

using bench::Scale;

constexpr std::size_t kFanout = 8;

std::uintptr_t bits(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

void* keyOf(std::size_t i, std::size_t n) {
  return reinterpret_cast<void*>(static_cast<std::uintptr_t>(n - i + 1));
}

// The caller's nodes, made and released as `new` and `delete` would (_MTree
// is polymorphic without a virtual destructor, so the warning-free spelling
// is explicit).
_MTree* makeNode(void* key, _MTree* parent) {
  void* storage = ::operator new(sizeof(_MTree));
  return new (storage) _MTree(key, key, parent, nullptr);
}

void releaseNode(_MTree* node) {
  node->_MTree::~_MTree();
  ::operator delete(node);
}

struct PtrboxTree {
  std::vector<_MTree*> nodes;
  explicit PtrboxTree(std::size_t n) {
    nodes.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
      _MTree* parent = i == 0 ? nullptr : nodes[(i - 1) / kFanout];
      nodes.push_back(makeNode(keyOf(i, n), parent));
    }
  }
  ~PtrboxTree() {
    for (_MTree* node : nodes)
      releaseNode(node);
  }
  PtrboxTree(const PtrboxTree&) = delete;
  PtrboxTree& operator=(const PtrboxTree&) = delete;
};

struct VNode {
  void* key;
  void* data;
  std::vector<VNode*> children;
};

struct VectorTree {
  std::vector<VNode*> nodes;
  explicit VectorTree(std::size_t n) {
    nodes.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
      nodes.push_back(new VNode{keyOf(i, n), keyOf(i, n), {}});
      if (i != 0)
        nodes[(i - 1) / kFanout]->children.push_back(nodes.back());
    }
  }
  ~VectorTree() {
    for (VNode* node : nodes)
      delete node;
  }
  VectorTree(const VectorTree&) = delete;
  VectorTree& operator=(const VectorTree&) = delete;
};

std::uintptr_t walk(_MTree* root) {
  std::uintptr_t sum = 0;
  _MTreeIter it(root);
  for (_MTree* node = it(); node != nullptr; node = it++)
    sum += bits(node->Data());
  return sum;
}

// Pre-order, children in order: the same visiting order as _MTreeIter.
template <class Visit> VNode* walk(VNode* root, Visit visit) {
  std::vector<VNode*> stack{root};
  while (!stack.empty()) {
    VNode* node = stack.back();
    stack.pop_back();
    if (visit(node))
      return node;
    for (auto c = node->children.rbegin(); c != node->children.rend(); ++c)
      stack.push_back(*c);
  }
  return nullptr;
}

void ptrboxBuild(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  for (auto _ : state) {
    PtrboxTree tree(n);
    benchmark::DoNotOptimize(tree.nodes.data());
    state.PauseTiming(); // the caller's release of its nodes is not timed
    for (_MTree* node : tree.nodes)
      releaseNode(node);
    tree.nodes.clear();
    state.ResumeTiming();
  }
  const double before = bench::heapInUse();
  PtrboxTree tree(n);
  state.counters["bytes_per_elem"] =
      (bench::heapInUse() - before) / static_cast<double>(n);
}

void vectorBuild(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  for (auto _ : state) {
    VectorTree tree(n);
    benchmark::DoNotOptimize(tree.nodes.data());
    state.PauseTiming();
    for (VNode* node : tree.nodes)
      delete node;
    tree.nodes.clear();
    state.ResumeTiming();
  }
  const double before = bench::heapInUse();
  VectorTree tree(n);
  state.counters["bytes_per_elem"] =
      (bench::heapInUse() - before) / static_cast<double>(n);
}

void ptrboxWalk(benchmark::State& state) {
  PtrboxTree tree(static_cast<std::size_t>(state.range(0)));
  std::uintptr_t sum = 0;
  for (auto _ : state)
    sum += walk(tree.nodes[0]);
  benchmark::DoNotOptimize(sum);
}

void vectorWalk(benchmark::State& state) {
  VectorTree tree(static_cast<std::size_t>(state.range(0)));
  std::uintptr_t sum = 0;
  for (auto _ : state)
    walk(tree.nodes[0], [&](VNode* v) {
      sum += bits(v->data);
      return false;
    });
  benchmark::DoNotOptimize(sum);
}

std::vector<void*> findKeys(std::size_t n) {
  bench::Rng rng(31);
  std::vector<void*> k(64);
  for (auto& key : k)
    key = keyOf(rng.below(n), n);
  return k;
}

void ptrboxFindNode(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  PtrboxTree tree(n);
  const std::vector<void*> k = findKeys(n);
  std::size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(tree.nodes[0]->FindNode(k[i++ % k.size()]));
}

void vectorFindNode(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  VectorTree tree(n);
  const std::vector<void*> k = findKeys(n);
  std::size_t i = 0;
  for (auto _ : state) {
    void* key = k[i++ % k.size()];
    benchmark::DoNotOptimize(
        walk(tree.nodes[0], [key](VNode* v) { return v->key == key; }));
  }
}

void registerMTree(const Scale& s) {
  const std::int64_t n = s.pick(100000, 1000);
  benchmark::RegisterBenchmark("mtree_build/ptrbox", ptrboxBuild)
      ->Arg(n)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("mtree_build/vector-tree", vectorBuild)
      ->Arg(n)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("mtree_walk/ptrbox", ptrboxWalk)
      ->Arg(n)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("mtree_walk/vector-tree", vectorWalk)
      ->Arg(n)
      ->Unit(benchmark::kMicrosecond);
  const std::int64_t f = s.pick(10000, 1000);
  benchmark::RegisterBenchmark("mtree_findnode/ptrbox", ptrboxFindNode)
      ->Arg(f)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("mtree_findnode/vector-tree", vectorFindNode)
      ->Arg(f)
      ->Unit(benchmark::kMicrosecond);
}

} // namespace

namespace ops {

BENCH_OP std::uintptr_t mtree_walk(_MTree* root) { return walk(root); }
BENCH_OP std::uintptr_t std_mtree_walk(VNode* root) {
  std::uintptr_t sum = 0;
  walk(root, [&](VNode* v) {
    sum += bits(v->data);
    return false;
  });
  return sum;
}
BENCH_OP void* mtree_findnode(_MTree* root, const std::vector<void*>& keys) {
  void* last = nullptr;
  for (void* k : keys)
    last = root->FindNode(k);
  return last;
}
BENCH_OP void* std_mtree_findnode(VNode* root, const std::vector<void*>& keys) {
  void* last = nullptr;
  for (void* k : keys)
    last = walk(root, [k](VNode* v) { return v->key == k; });
  return last;
}

} // namespace ops

namespace {

void runMTreeOps(bool peer) {
  const std::size_t n = 10000;
  const std::vector<void*> k = findKeys(n);
  std::uintptr_t sink = 0;
  const char* p = peer ? "std_" : "";
  if (!peer) {
    PtrboxTree tree(n);
    sink += ops::mtree_walk(tree.nodes[0]);
    sink += bits(ops::mtree_findnode(tree.nodes[0], k));
  } else {
    VectorTree tree(n);
    sink += ops::std_mtree_walk(tree.nodes[0]);
    sink += bits(ops::std_mtree_findnode(tree.nodes[0], k));
  }
  benchmark::DoNotOptimize(sink);
  bench::opCount((std::string(p) + "mtree_walk").c_str(), n,
                 "multi-way tree: full walk of 10000 nodes, per node");
  bench::opCount((std::string(p) + "mtree_findnode").c_str(), k.size(),
                 "multi-way tree: FindNode of a present key, 10000 nodes");
}

bench::FamilyRegistration mtreeFamily({"MTree", registerMTree, runMTreeOps});

} // namespace
