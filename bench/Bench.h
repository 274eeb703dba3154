// The harness of the side-by-side benchmarks: a workload is a row of the
// table in Workloads.cpp (a name, its sizes, and one body per side); the
// timing loop, the measuring pass and the instruction-count pass in
// Bench.cpp run every body the same way.
#ifndef PTRBOX_BENCH_BENCH_H
#define PTRBOX_BENCH_BENCH_H

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace bench {

inline std::uintptr_t bits(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

// What a body sees of the pass it runs in.
struct Run {
  enum Mode { Time, Measure, Count };
  Run(std::size_t n, Mode mode, benchmark::State* state = nullptr)
      : n(n), mode(mode), state(state) {}
  const std::size_t n; // the workload's size
  const Mode mode;

  // `phase("insert", ops)` ends the phase begun at start() or at the
  // previous call. Timed passes add its time per operation (ops, default
  // N) to the counter insert_ns; the counted pass reports its instructions
  // per operation to scripts/callgrind.
  void phase(const char* name, std::size_t ops = 0);
  // Starts the first phase: the harness calls it before each body, a body
  // again after setup that no phase should hold (fetching cached data).
  void start() { last = std::chrono::steady_clock::now(); }
  // Call once the container holds its N elements. In the measuring pass
  // (after the timed ones) it records bytes_per_elem, runs `shape` for
  // further counters, and ends the pass; elsewhere it does nothing.
  void filled(const std::function<void()>& shape = nullptr);
  // Records a counter of the row (the last value set wins).
  void counter(const char* name, double value) { counters[name] = value; }
  // Runs `f` outside the timing and the instruction count.
  void untimed(const std::function<void()>& f);

  // The harness's own.
  struct Done {}; // ends the measuring pass
  benchmark::State* state;
  std::string row;        // workload/side/N, for the counted pass
  bool sawFilled = false; // some timed repetition called filled()
  double heapBefore = 0;
  std::chrono::steady_clock::time_point last; // the end of the last phase
  std::map<std::string, double> phaseNs, counters;
};

// One side of a workload (Workloads.cpp says which is the peer): a body
// runs one repetition and returns a checksum of what it read.
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

// Shuffles the first `count` elements of `v` (all by default).
template <class T>
void shuffle(std::vector<T>& v, std::uint64_t seed, std::size_t count = 0) {
  Rng rng{seed};
  for (std::size_t i = count ? count : v.size(); i > 1; --i)
    std::swap(v[i - 1], v[rng.below(i)]);
}

// Keys to store, the same keys in another order, and as many absent keys.
template <class K> struct KeySet {
  using Key = K;
  std::vector<K> stored, probes, absent;
};

// Built once per size and kept for the whole process: `T(n)` of each n.
template <class T> T& cached(std::size_t n) {
  static std::map<std::size_t, std::unique_ptr<T>> made;
  std::unique_ptr<T>& p = made[n];
  return p ? *p : *(p = std::make_unique<T>(n));
}

// The data, each made once per size by cached<T>(n).
// The addresses of N objects, never dereferenced (the list-like workloads).
struct Elements : std::vector<void*> {
  std::vector<std::uint64_t> storage;
  explicit Elements(std::size_t n) : storage(n) {
    for (std::uint64_t& e : storage)
      push_back(&e);
  }
};

// Splits 2N distinct keys: N stored, the same N shuffled, N absent.
template <class K> KeySet<K> split(std::vector<K> all, std::size_t n) {
  KeySet<K> k;
  k.stored.assign(all.begin(), all.begin() + std::ptrdiff_t(n));
  k.absent.assign(all.begin() + std::ptrdiff_t(n), all.end());
  k.probes = k.stored;
  shuffle(k.probes, 99);
  return k;
}

// Distinct random pointer-sized values below 2^47, as user-space addresses.
struct RandomKeys : KeySet<void*> {
  explicit RandomKeys(std::size_t n) {
    std::unordered_set<std::uint64_t> seen;
    std::vector<void*> all;
    for (Rng rng{7}; all.size() < 2 * n;)
      if (const std::uint64_t v = rng.below((1ull << 47) - 1) + 1;
          seen.insert(v).second)
        all.push_back(reinterpret_cast<void*>(std::uintptr_t(v)));
    KeySet::operator=(split(all, n));
  }
};

// The addresses of 2N heap objects of 40 bytes, made one after another.
struct AddressKeys : KeySet<void*> {
  struct Object {
    char bytes[40];
  };
  std::vector<std::unique_ptr<Object>> objects;
  explicit AddressKeys(std::size_t n) {
    std::vector<void*> all;
    for (std::size_t i = 0; i < 2 * n; ++i)
      all.push_back(objects.emplace_back(std::make_unique<Object>()).get());
    shuffle(all, 5, n); // the stored ones are inserted in random order
    KeySet::operator=(split(all, n));
  }
};

// `count` distinct lower-case words of `least` to `least + spread - 1` letters.
inline std::vector<std::string> distinctWords(Rng& rng, std::size_t count,
                                              std::size_t least,
                                              std::size_t spread) {
  std::vector<std::string> v;
  for (std::unordered_set<std::string> seen; v.size() < count;) {
    std::string w(least + rng.below(spread), 'a');
    for (char& c : w)
      c = char('a' + rng.below(26));
    if (seen.insert(w).second)
      v.push_back(std::move(w));
  }
  return v;
}

// Distinct words of 4 to 12 letters; probes are other copies of the text.
struct Words : KeySet<std::string_view> {
  std::vector<std::string> text, copies;
  explicit Words(std::size_t n) {
    Rng rng{3};
    text = distinctWords(rng, 2 * n, 4, 9);
    copies.assign(text.begin(), text.begin() + std::ptrdiff_t(n));
    KeySet::operator=(
        split(std::vector<std::string_view>(text.begin(), text.end()), n));
    probes.assign(copies.begin(), copies.end()); // shuffled as the views
    shuffle(probes, 99);
  }
};

// N words drawn with Zipf's law from N / 40 distinct ones, spaces between.
struct ZipfText : std::string {
  explicit ZipfText(std::size_t n) {
    Rng rng{17};
    const std::size_t distinct = std::max<std::size_t>(n / 40, 1);
    const std::vector<std::string> vocabulary =
        distinctWords(rng, distinct, 3, 8);
    std::vector<double> cdf(distinct);
    double total = 0;
    for (std::size_t r = 0; r < distinct; ++r)
      cdf[r] = total += 1.0 / double(r + 1);
    for (std::size_t i = 0; i < n; ++i) {
      const double u = double(rng.next() >> 11) * 0x1.0p-53 * total;
      const auto r = std::size_t(std::lower_bound(cdf.begin(), cdf.end(), u) -
                                 cdf.begin());
      *this += vocabulary[std::min(r, distinct - 1)] + ' ';
    }
  }
};

} // namespace bench

#endif
