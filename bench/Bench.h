// The harness of the side-by-side benchmarks: a workload is a row of the
// table in Workloads.cpp (a name, its sizes, and one body per side); the
// timing loop, the measuring pass and the instruction-count pass in
// Bench.cpp run every body the same way.
#ifndef PTRBOX_BENCH_BENCH_H
#define PTRBOX_BENCH_BENCH_H

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace bench {

inline std::uintptr_t bits(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

// What a body sees of the pass it runs in.
class Run {
 public:
  enum Mode { Time, Measure, Count };
  Run(std::size_t n, Mode mode, benchmark::State* state = nullptr)
      : n(n), mode(mode), state(state) {}
  const std::size_t n; // the workload's size
  const Mode mode;

  // True in `ptrbox_bench ops`, the one pass scripts/callgrind counts.
  bool counting() const { return mode == Count; }
  // Call once the container holds its N elements. In the measuring pass
  // (after the timed ones) it records bytes_per_elem, runs `shape` for
  // further counters, and ends the pass; elsewhere it does nothing.
  void filled(const std::function<void()>& shape = nullptr);
  // Records a counter of the row (the last value set wins).
  void counter(const char* name, double value);
  // Runs `f` outside the timing and the instruction count.
  void untimed(const std::function<void()>& f);

 private:
  friend class Phases;
  friend struct Harness;
  struct Done {}; // ends the measuring pass
  benchmark::State* state;
  std::string row;        // workload/side/N, for the counted pass
  bool sawFilled = false; // some timed repetition called filled()
  double heapBefore = 0;
  std::map<std::string, double> phaseNs, counters;
};

// Splits a repetition into phases: `phase("insert", ops)` ends the phase
// begun at construction or at the previous call. Timed passes add its time
// per operation (ops, default N) to the counter insert_ns; the counted pass
// reports its instructions per operation to scripts/callgrind.
class Phases {
 public:
  explicit Phases(Run& r);
  void operator()(const char* name, std::size_t ops = 0);

 private:
  Run& r;
  std::chrono::steady_clock::time_point last;
};

// One side of a workload: ptrbox(...) sides are measured against the peer,
// the first side whose name does not start with "ptrbox"; later ones, and
// ptrbox-presized(...) sides, are context. A body runs one repetition of
// the workload and returns a checksum of what it read.
struct Side {
  std::string name;
  std::function<std::uintptr_t(Run&)> body;
};

struct Workload {
  std::string name;
  std::vector<std::size_t> sizes; // one row per size
  std::vector<Side> sides;
};

// The table, in Workloads.cpp.
std::vector<Workload> workloads();

// splitmix64: a fixed, fast sequence so both sides see the same data.
struct Rng {
  std::uint64_t s; // the seed, then the state
  std::uint64_t next() {
    std::uint64_t z = (s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint64_t below(std::uint64_t bound) { return next() % bound; }
};

template <class T> void shuffle(std::vector<T>& v, std::uint64_t seed) {
  Rng rng{seed};
  for (std::size_t i = v.size(); i > 1; --i)
    std::swap(v[i - 1], v[rng.below(i)]);
}

// Keys to store, the same keys in another order, and as many absent keys.
template <class K> struct KeySet { std::vector<K> stored, probes, absent; };

// Built once per size and kept for the whole process: `T(n)` of each n.
template <class T> T& cached(std::size_t n) {
  static std::map<std::size_t, std::unique_ptr<T>> made;
  std::unique_ptr<T>& p = made[n];
  return p ? *p : *(p = std::make_unique<T>(n));
}

// The addresses of N objects, never dereferenced (the list-like workloads).
const std::vector<void*>& elements(std::size_t n);
// Distinct random pointer-sized values below 2^47, as user-space addresses.
const KeySet<void*>& randomKeys(std::size_t n);
// The addresses of 2N heap objects of 40 bytes, made one after another.
const KeySet<void*>& addressKeys(std::size_t n);
// Distinct words of 4 to 12 letters; probes are other copies of the text.
const KeySet<std::string_view>& words(std::size_t n);
// N words drawn with Zipf's law from N / 40 distinct ones, spaces between.
const std::string& zipfText(std::size_t n);

} // namespace bench

#endif
