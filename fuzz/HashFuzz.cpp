// Drives the hash table and its std::multimap model with operations drawn
// from the fuzzer's bytes (the first ones pick the table's shape); any
// disagreement aborts.
#include "support/HashModel.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size > 4096)
    return 0;
  Choices choices(data, size);
  HashHarness h(choices);
  std::size_t swept = 0;
  const std::string err = runOperations(h, choices, SIZE_MAX, &swept);
  if (!err.empty()) {
    std::fprintf(stderr, "%s\n", err.c_str());
    std::abort();
  }
  return 0;
}
