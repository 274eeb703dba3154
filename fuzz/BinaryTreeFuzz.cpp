// Drives the binary tree and its iterator against the std::set models with
// the fuzzer's bytes as the choices.
#include "support/TreeModel.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size > 4096)
    return 0;
  Choices choices(data, size);
  TreeHarness h(choices);
  std::size_t swept = 0;
  const std::string err = runOperations(h, choices, SIZE_MAX, &swept);
  if (!err.empty()) {
    std::fprintf(stderr, "%s\n", err.c_str());
    std::abort();
  }
  return 0;
}
