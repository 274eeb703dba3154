// Random operation sequences on the multi-way tree, checked against the
// chain model after every step.
#include "FuzzDrive.h"
#include "support/MTreeModel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  return fuzzInput<MTreeHarness>(data, size);
}
