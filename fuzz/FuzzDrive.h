// The body every differential fuzz target shares: drive one harness with
// choices drawn from the fuzzer's bytes and abort on the first disagreement
// with its model. One input in sixteen also fails every allocation point of
// every step; doing that always would cut the executions a hundredfold.
// PTRBOX_FUZZ_INJECT=N makes that one input in N, and 0 turns it off, for
// long runs that aim at many executions.
#ifndef PTRBOX_FUZZ_FUZZDRIVE_H
#define PTRBOX_FUZZ_FUZZDRIVE_H

#include "support/Driver.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Inputs longer than this are skipped: a few hundred operations reach every
// state the small key ranges of the models allow.
constexpr std::size_t kMaxFuzzInput = 4096;

inline std::uint32_t injectionPeriod() {
  static const std::uint32_t period = [] {
    const char* v = std::getenv("PTRBOX_FUZZ_INJECT");
    return v ? static_cast<std::uint32_t>(std::strtoul(v, nullptr, 10)) : 16u;
  }();
  return period;
}

template <class H> void fuzzDrive(Choices& c) {
  const std::uint32_t period = injectionPeriod();
  // One choice is drawn either way, so an input means the same under any
  // setting.
  const bool inject = c.below(period == 0 ? 1 : period) == 0 && period != 0;
  H h(c);
  std::size_t swept = 0;
  const std::string err = runSteps(h, c, SIZE_MAX, inject ? &swept : nullptr);
  if (!err.empty()) {
    std::fprintf(stderr, "%s\n", err.c_str());
    std::abort();
  }
}

// One fuzz input on one of the harnesses Hs, picked by the first choice when
// there are several; 0, as libFuzzer expects.
template <class... Hs>
int fuzzInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxFuzzInput)
    return 0;
  Choices c{{}, data, data + size};
  std::uint32_t pick = sizeof...(Hs) > 1 ? c.below(sizeof...(Hs)) : 0;
  ((pick-- == 0 ? fuzzDrive<Hs>(c) : void()), ...);
  return 0;
}

#endif
