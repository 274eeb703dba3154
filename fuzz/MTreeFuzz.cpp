// Random operation sequences on the multi-way tree, checked against the
// chain model after every step.
#include "support/MTreeModel.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size > 4096)
    return 0;
  Choices choices(data, size);
  MTreeHarness h(choices);
  std::size_t swept = 0;
  const std::string err = runOperations(h, choices, SIZE_MAX, &swept);
  if (!err.empty()) {
    std::fprintf(stderr, "%s\n", err.c_str());
    std::abort();
  }
  return 0;
}
