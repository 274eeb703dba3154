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

void Run::phase(const char* name, std::size_t ops) {
  ops = ops ? ops : n;
  if (mode == Count) {
    const std::string label = row + "|" + name + "|" + std::to_string(ops);
    CALLGRIND_DUMP_STATS_AT(label.c_str());
  } else if (mode == Time) {
    const auto now = std::chrono::steady_clock::now();
    phaseNs[std::string(name) + "_ns"] +=
        std::chrono::duration<double, std::nano>(now - last).count() /
        double(ops);
    last = now;
  }
}

namespace {

const std::vector<Workload>& table() {
  static const std::vector<Workload> all = workloads();
  return all;
}

// Runs the body up to Run::filled(), or whole when it never calls it.
void untilFilled(const Side& side, Run& m) {
  m.heapBefore = heapInUse();
  try {
    side.body(m);
  } catch (const Run::Done&) {
  }
}

// The one timing loop: repetitions of the body, then, when the body
// reports a filled container, one measuring pass that stops there.
void time(benchmark::State& state, const Side& side) {
  Run r(std::size_t(state.range(0)), Run::Time, &state);
  std::uintptr_t sum = 0;
  for (auto _ : state) {
    r.start();
    sum += side.body(r);
  }
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

// Each side of one kind once at up to 100,000 elements (or
// PTRBOX_BENCH_OPS_MAX): a first run makes the data and warms the heap
// uncounted, the second is counted.
int count(bool std, const std::regex& filter) {
  const char* max = std::getenv("PTRBOX_BENCH_OPS_MAX");
  const std::size_t cap = max ? std::strtoul(max, nullptr, 10) : 100000;
  for (const Workload& w : table())
    for (std::size_t n : w.sizes)
      for (const Side& side : w.sides) {
        if ((side.name.rfind("ptrbox", 0) == 0) == std ||
            !std::regex_search(w.name + "/" + side.name, filter))
          continue;
        Run warm(std::min(n, cap), Run::Measure);
        Run r(warm.n, Run::Count);
        untilFilled(side, warm);
        r.row = w.name + "/" + side.name + "/" + std::to_string(r.n);
        CALLGRIND_TOGGLE_COLLECT;
        CALLGRIND_ZERO_STATS;
        benchmark::DoNotOptimize(side.body(r));
        r.phase("total"); // the whole body, or what follows its phases
        CALLGRIND_TOGGLE_COLLECT;
      }
  return 0;
}

} // namespace

} // namespace bench

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "ops") == 0)
    return bench::count(argc > 2 && std::strcmp(argv[2], "std") == 0,
                        std::regex(argc > 3 ? argv[3] : ""));
  const char* smoke = std::getenv("PTRBOX_BENCH_SMOKE");
  const bool small = smoke && *smoke && std::strcmp(smoke, "0") != 0;
  for (const bench::Workload& w : bench::table())
    for (std::size_t n : w.sizes)
      for (const bench::Side& side : w.sides)
        benchmark::RegisterBenchmark(
            (w.name + "/" + side.name).c_str(),
            [&side](benchmark::State& state) { bench::time(state, side); })
            ->Arg(std::int64_t(small ? std::min<std::size_t>(n, 2000) : n))
            ->Unit(benchmark::kMicrosecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
