// Fuzzes the list and the ordered list against their models; the first
// choice picks the container.
#include "FuzzDrive.h"
#include "support/ListModel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  return fuzzInput<ListHarness, OrderListHarness>(data, size);
}
