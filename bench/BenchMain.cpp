// ptrbox_bench: the side-by-side benchmarks of every family built in, or,
// as `ptrbox_bench ops ptrbox|std`, the fixed operation runs of one side
// that scripts/callgrind counts instructions over.
#include "BenchSupport.h"

#include <cstdlib>
#include <cstring>

// The library's stock main, renamed: it runs once the families are
// registered for the chosen scale.
#define main runRegisteredBenchmarks
BENCHMARK_MAIN();
#undef main

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "ops") == 0) {
    const bool peer = argc > 2 && std::strcmp(argv[2], "std") == 0;
    for (const bench::Family& f : bench::families())
      if (f.runOps)
        f.runOps(peer);
    return 0;
  }
  const char* smoke = std::getenv("PTRBOX_BENCH_SMOKE");
  const bench::Scale scale{smoke != nullptr && *smoke != '\0' &&
                           std::strcmp(smoke, "0") != 0};
  for (const bench::Family& f : bench::families())
    f.registerBenchmarks(scale);
  return runRegisteredBenchmarks(argc, argv);
}
