// Drives the object list and its iterator with operations chosen by the
// fuzzer's bytes and compares them with the std::list model after each step.
#include "support/ObjectLstModel.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size > 4096)
    return 0;
  Choices choices(data, size);
  ObjectLstHarness h(choices);
  std::size_t swept = 0;
  const std::string fault = runOperations(h, choices, SIZE_MAX, &swept);
  if (!fault.empty()) {
    std::fprintf(stderr, "%s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
