// Fuzzes the list, ordered list and stack against their models; the first
// choice picks the container.
#include "FuzzDrive.h"
#include "support/ListModel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size > kMaxFuzzInput)
    return 0;
  Choices c{{}, data, data + size};
  switch (c.below(3)) {
  case 0:
    fuzzDrive<ListHarness>(c);
    break;
  case 1:
    fuzzDrive<OrderListHarness>(c);
    break;
  default:
    fuzzDrive<StackHarness>(c);
  }
  return 0;
}
