// Fuzzes the list and the ordered list against their models; the first
// choice picks the container.
#include "FuzzDrive.h"
#include "support/ListModel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size > kMaxFuzzInput)
    return 0;
  Choices c{{}, data, data + size};
  if (c.below(2))
    fuzzDrive<OrderListHarness>(c);
  else
    fuzzDrive<ListHarness>(c);
  return 0;
}
