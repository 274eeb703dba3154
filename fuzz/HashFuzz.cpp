// Drives the hash table and its std::multimap model with operations drawn
// from the fuzzer's bytes (the first ones pick the table's shape); any
// disagreement aborts.
#include "FuzzDrive.h"
#include "support/HashModel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  return fuzzInput<HashHarness>(data, size);
}
