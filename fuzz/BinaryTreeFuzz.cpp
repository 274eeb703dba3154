// Drives the binary tree and its iterator against the std::set models with
// the fuzzer's bytes as the choices.
#include "FuzzDrive.h"
#include "support/TreeModel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  return fuzzInput<TreeHarness>(data, size);
}
