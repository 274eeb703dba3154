// The body every differential fuzz target shares: drive one harness with
// choices drawn from the fuzzer's bytes and abort on the first disagreement
// with its model. One input in sixteen also fails every allocation point of
// every step; doing that always would cut the executions a hundredfold.
#ifndef PTRBOX_FUZZ_FUZZDRIVE_H
#define PTRBOX_FUZZ_FUZZDRIVE_H

#include "support/Driver.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Inputs longer than this are skipped: a few hundred operations reach every
// state the small key ranges of the models allow.
constexpr std::size_t kMaxFuzzInput = 4096;

template <class H> void fuzzDrive(Choices& c) {
  const bool inject = c.below(16) == 0;
  H h(c);
  std::size_t swept = 0;
  const std::string err = runSteps(h, c, SIZE_MAX, inject ? &swept : nullptr);
  if (!err.empty()) {
    std::fprintf(stderr, "%s\n", err.c_str());
    std::abort();
  }
}

#endif
