// A replacement of the global allocation operators for the test binary: it
// counts every allocation and release, and can make chosen allocations fail,
// so tests can prove what each operation allocates and that a failure at any
// allocation point leaves a container intact.
#ifndef PTRBOX_TESTS_ALLOCPROBE_H
#define PTRBOX_TESTS_ALLOCPROBE_H

#include <cstddef>

namespace allocprobe {

// Counters since program start, all forms together.
std::size_t allocations();
std::size_t releases();
long liveBlocks();

// The allocation `nth` (0 = the next one) after this call fails: only that
// one, or that one and every one after it.
enum class FailMode { Once, FromThenOn };
void failAt(std::size_t nth, FailMode mode);
void disarm();

// Allocations and releases made while the scope is open.
struct Scope {
  std::size_t allocs0 = allocations(), frees0 = releases();
  std::size_t allocs() const { return allocations() - allocs0; }
  std::size_t frees() const { return releases() - frees0; }
};

} // namespace allocprobe

#endif
