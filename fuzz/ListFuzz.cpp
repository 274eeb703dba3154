// Fuzzes the list, ordered list and stack against their models; the first
// choice picks the container.
#include "support/ListModel.h"

#include <cstdio>
#include <cstdlib>

template <class H> static void drive(Choices& c) {
  H h(c);
  std::size_t swept = 0;
  const std::string err = runOperations(h, c, SIZE_MAX, &swept);
  if (!err.empty()) {
    std::fprintf(stderr, "%s\n", err.c_str());
    std::abort();
  }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size > 4096)
    return 0;
  Choices c(data, size);
  switch (c.below(3)) {
  case 0:
    drive<ListHarness>(c);
    break;
  case 1:
    drive<OrderListHarness>(c);
    break;
  default:
    drive<StackHarness>(c);
  }
  return 0;
}
