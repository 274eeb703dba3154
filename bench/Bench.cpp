// ptrbox_bench: every row of the workload table, each side timed by the one
// loop below (Google Benchmark), or, as `ptrbox_bench ops ptrbox|std`, each
// side of one kind (optionally those matching a regex) run once under
// callgrind's client requests, one dump per phase, for scripts/callgrind.
// PTRBOX_BENCH_SMOKE=1 caps sizes at 2000.
#include "Bench.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <regex>
#include <unordered_set>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else // the counted pass still runs; it just reports nothing
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(label) (void)(label)
#define CALLGRIND_TOGGLE_COLLECT
#endif

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace bench {

// Heap bytes in use, allocator bookkeeping included.
static double heapInUse() {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33)
  return double(mallinfo2().uordblks);
#else
  return 0;
#endif
}

void Run::filled(const std::function<void()>& shape) {
  sawFilled = true;
  if (mode != Measure)
    return;
  counter("bytes_per_elem", (heapInUse() - heapBefore) / double(n));
  if (shape)
    shape();
  throw Done{};
}

void Run::counter(const char* name, double value) { counters[name] = value; }

void Run::untimed(const std::function<void()>& f) {
  if (mode == Time)
    state->PauseTiming();
  if (mode == Count)
    CALLGRIND_TOGGLE_COLLECT;
  f();
  if (mode == Count)
    CALLGRIND_TOGGLE_COLLECT;
  if (mode == Time)
    state->ResumeTiming();
}

Phases::Phases(Run& r) : r(r), last(std::chrono::steady_clock::now()) {}

void Phases::operator()(const char* name, std::size_t ops) {
  ops = ops ? ops : r.n;
  if (r.mode == Run::Count) {
    const std::string label = r.row + "|" + name + "|" + std::to_string(ops);
    CALLGRIND_DUMP_STATS_AT(label.c_str());
  } else if (r.mode == Run::Time) {
    const auto now = std::chrono::steady_clock::now();
    r.phaseNs[std::string(name) + "_ns"] +=
        std::chrono::duration<double, std::nano>(now - last).count() /
        double(ops);
    last = now;
  }
}

struct Harness {
  // The one timing loop: repetitions of the body, then, when the body
  // reports a filled container, one measuring pass that stops there.
  static void time(benchmark::State& state, const Side& side) {
    Run r(std::size_t(state.range(0)), Run::Time, &state);
    std::uintptr_t sum = 0;
    for (auto _ : state)
      sum += side.body(r);
    benchmark::DoNotOptimize(sum);
    for (const auto& [name, ns] : r.phaseNs)
      state.counters[name] = ns / double(state.iterations());
    if (r.sawFilled) {
      Run m(r.n, Run::Measure);
      untilFilled(side, m);
      r.counters.insert(m.counters.begin(), m.counters.end());
    }
    for (const auto& [name, value] : r.counters)
      state.counters[name] = value;
  }

  // Each side of one kind once at up to 100,000 elements: a first run
  // makes the data and warms the heap uncounted, the second is counted.
  static int count(bool std, const std::regex& filter) {
    for (const Workload& w : table())
      for (std::size_t n : w.sizes)
        for (const Side& side : w.sides) {
          if ((side.name.rfind("ptrbox", 0) == 0) == std ||
              !std::regex_search(w.name + "/" + side.name, filter))
            continue;
          Run warm(std::min<std::size_t>(n, 100000), Run::Measure);
          Run r(warm.n, Run::Count);
          untilFilled(side, warm);
          r.row = w.name + "/" + side.name + "/" + std::to_string(r.n);
          CALLGRIND_TOGGLE_COLLECT;
          CALLGRIND_ZERO_STATS;
          benchmark::DoNotOptimize(side.body(r));
          Phases{r}("total"); // the whole body, or what follows its phases
          CALLGRIND_TOGGLE_COLLECT;
        }
    return 0;
  }

  static const std::vector<Workload>& table() {
    static const std::vector<Workload> all = workloads();
    return all;
  }

  // Runs the body up to Run::filled(), or whole when it never calls it.
  static void untilFilled(const Side& side, Run& m) {
    m.heapBefore = heapInUse();
    try {
      side.body(m);
    } catch (const Run::Done&) {
    }
  }
};

namespace {

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

struct AddressKeys : KeySet<void*> {
  struct Object {
    char bytes[40];
  };
  std::vector<std::unique_ptr<Object>> objects;
  explicit AddressKeys(std::size_t n) {
    std::vector<void*> all;
    for (std::size_t i = 0; i < 2 * n; ++i) {
      objects.push_back(std::make_unique<Object>());
      all.push_back(objects.back().get());
    }
    std::vector<void*> stored(all.begin(), all.begin() + std::ptrdiff_t(n));
    shuffle(stored, 5); // inserted in random order
    std::copy(stored.begin(), stored.end(), all.begin());
    KeySet::operator=(split(all, n));
  }
};

// `count` distinct lower-case words of `least` to `least + spread - 1` letters.
std::vector<std::string> distinctWords(Rng& rng, std::size_t count,
                                       std::size_t least, std::size_t spread) {
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

struct Words : KeySet<std::string_view> {
  std::vector<std::string> text, copies;
  explicit Words(std::size_t n) {
    Rng rng{3};
    text = distinctWords(rng, 2 * n, 4, 9);
    copies.assign(text.begin(), text.begin() + std::ptrdiff_t(n));
    KeySet::operator=(
        split(std::vector<std::string_view>(text.begin(), text.end()), n));
    for (std::size_t i = 0; i < n; ++i) // probes: the copies, shuffled
      probes[i] = copies[i];
    shuffle(probes, 99);
  }
};

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

} // namespace

const std::vector<void*>& elements(std::size_t n) {
  return cached<Elements>(n);
}
const KeySet<void*>& randomKeys(std::size_t n) { return cached<RandomKeys>(n); }
const KeySet<void*>& addressKeys(std::size_t n) {
  return cached<AddressKeys>(n);
}
const KeySet<std::string_view>& words(std::size_t n) {
  return cached<Words>(n);
}
const std::string& zipfText(std::size_t n) { return cached<ZipfText>(n); }

} // namespace bench

int main(int argc, char** argv) {
  using bench::Harness;
  if (argc > 1 && std::strcmp(argv[1], "ops") == 0)
    return Harness::count(argc > 2 && std::strcmp(argv[2], "std") == 0,
                          std::regex(argc > 3 ? argv[3] : ""));
  const char* smoke = std::getenv("PTRBOX_BENCH_SMOKE");
  const bool small = smoke && *smoke && std::strcmp(smoke, "0") != 0;
  for (const bench::Workload& w : Harness::table())
    for (std::size_t n : w.sizes)
      for (const bench::Side& side : w.sides)
        benchmark::RegisterBenchmark(
            (w.name + "/" + side.name).c_str(),
            [&side](benchmark::State& state) { Harness::time(state, side); })
            ->Arg(std::int64_t(small ? std::min<std::size_t>(n, 2000) : n))
            ->Unit(benchmark::kMicrosecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
