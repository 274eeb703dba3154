// Drives the object list and its iterator with operations chosen by the
// fuzzer's bytes and compares them with the std::list model after each step.
#include "FuzzDrive.h"
#include "support/ObjectLstModel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  return fuzzInput<ObjectLstHarness>(data, size);
}
