// Shared pieces of the side-by-side benchmarks.
//
// Every workload is registered twice or more under one name with different
// sides: `workload/ptrbox/N` against `workload/std::peer/N`, so that
// scripts/bench can pair each ptrbox row with the first standard row of the
// same workload and size. Each family file adds a Family entry at namespace
// scope; main() registers the benchmarks of every family that is built in.
//
// Two run modes beside the normal one:
// - PTRBOX_BENCH_SMOKE=1 registers small sizes only, one iteration each (CI).
// - `ptrbox_bench ops ptrbox` (or `ops std`) runs each core operation of
//   one side a fixed number of times in a function of its own (namespace
//   `ops`), for scripts/callgrind to count instructions per operation. Each
//   side runs in a process of its own, so both start from the same heap.
#ifndef PTRBOX_BENCH_BENCHSUPPORT_H
#define PTRBOX_BENCH_BENCHSUPPORT_H

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <list>
#include <string>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace bench {

// Sizes are chosen per mode: the full size for the table, a small one that
// keeps the CI smoke run at a few milliseconds per benchmark.
struct Scale {
  bool smoke;
  std::int64_t pick(std::int64_t full, std::int64_t small) const {
    return smoke ? small : full;
  }
};

struct Family {
  const char* name;
  void (*registerBenchmarks)(const Scale&);
  // Runs the family's counted operations on ptrbox (peer false) or on the
  // standard peer (peer true); may be null.
  void (*runOps)(bool peer);
};

inline std::vector<Family>& families() {
  static std::vector<Family> all;
  return all;
}

struct FamilyRegistration {
  explicit FamilyRegistration(Family f) { families().push_back(f); }
};

// splitmix64: a fixed, fast sequence so both sides see the same data.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : s(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint64_t below(std::uint64_t bound) { return next() % bound; }

 private:
  std::uint64_t s;
};

template <class T> void shuffle(std::vector<T>& v, Rng& rng) {
  for (std::size_t i = v.size(); i > 1; --i)
    std::swap(v[i - 1], v[rng.below(i)]);
}

// `count` distinct non-null pointer-sized values, in random order. Values
// stay below 2^47 like user-space addresses, and are spread over that range.
inline std::vector<void*> randomKeys(std::size_t count, std::uint64_t seed) {
  Rng rng(seed);
  std::vector<std::uintptr_t> v;
  v.reserve(count);
  const std::uintptr_t top = sizeof(void*) == 8
                                 ? static_cast<std::uintptr_t>(1ull << 47)
                                 : static_cast<std::uintptr_t>(0xFFFFFFF0u);
  while (v.size() < count) {
    v.resize(count);
    for (auto& x : v)
      x = static_cast<std::uintptr_t>(rng.below(top - 1) + 1);
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
  }
  std::vector<void*> keys(v.size());
  for (std::size_t i = 0; i < v.size(); ++i)
    keys[i] = reinterpret_cast<void*>(v[i]);
  shuffle(keys, rng);
  return keys;
}

// Splits `keys` into the first `count` (to store) and the rest (to miss).
inline std::vector<void*> tail(const std::vector<void*>& keys,
                               std::size_t count) {
  return std::vector<void*>(keys.begin() + static_cast<std::ptrdiff_t>(count),
                            keys.end());
}

// Heap bytes in use, for bytes per element: allocator bookkeeping included.
inline double heapInUse() {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33)
  return static_cast<double>(mallinfo2().uordblks);
#else
  return 0;
#endif
}

// Builds a container with `fill`, reads the heap growth per element, and
// records it as the benchmark's bytes_per_elem counter. The container lives
// until the measurement is taken and is then destroyed by `Holder`.
template <class Holder, class Fill>
void recordBytesPerElement(benchmark::State& state, std::size_t n, Fill fill) {
  if (n == 0)
    return;
  const double before = heapInUse();
  auto* h = new Holder();
  fill(*h);
  const double after = heapInUse();
  delete h;
  // The holder object itself is not per-element storage.
  const double own = static_cast<double>(sizeof(Holder));
  state.counters["bytes_per_elem"] =
      benchmark::Counter((after - before - own) / static_cast<double>(n));
}

// The element pointers the list-like workloads store: addresses of real
// objects, never dereferenced.
inline std::vector<void*> elements(std::size_t n) {
  static std::vector<std::uint64_t> storage;
  if (storage.size() < n)
    storage.resize(n);
  std::vector<void*> v(n);
  for (std::size_t i = 0; i < n; ++i)
    v[i] = &storage[i];
  return v;
}

// The functions that scripts/callgrind counts: each runs one operation a
// known number of times and nothing else, so its inclusive instruction
// count divided by that number is the cost of one operation. They must stay
// out of line and uncloned so that each shows up under its own name.
#if defined(__clang__)
#define BENCH_OP __attribute__((noinline))
#else
#define BENCH_OP __attribute__((noipa))
#endif

// Tells scripts/callgrind how many operations `ops::<name>` ran and what
// one operation is; the label pairs it with the other side's function.
inline void opCount(const char* name, std::size_t count, const char* label) {
  std::printf("ops::%s %zu %s\n", name, count, label);
}

// The std::list peer of both list families' append + walk + clear.
inline void stdListAppendWalkClear(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const std::vector<void*> elems = elements(n);
  std::list<void*> list;
  std::uintptr_t sum = 0;
  for (auto _ : state) {
    for (void* e : elems)
      list.push_back(e);
    for (void* e : list)
      sum += reinterpret_cast<std::uintptr_t>(e);
    list.clear();
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
  recordBytesPerElement<std::list<void*>>(state, n, [&](std::list<void*>& l) {
    for (void* e : elems)
      l.push_back(e);
  });
}

// Times `probe(container, absent)` on a container of N elements (N the
// benchmark's argument) filled with `add`, for an element it does not hold:
// the search-miss workloads of every list.
template <class C, class Add, class Probe>
void searchMiss(benchmark::State& state, Add add, Probe probe) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const std::vector<void*> elems = elements(n + 1);
  C c;
  for (std::size_t i = 0; i < n; ++i)
    add(c, elems[i]);
  void* absent = elems[n];
  for (auto _ : state) {
    benchmark::DoNotOptimize(absent);
    benchmark::DoNotOptimize(probe(c, absent));
  }
}

} // namespace bench

#endif
