// A replacement of the global allocation operators for the test binary: it
// counts every allocation and release, and can make chosen allocations throw
// std::bad_alloc, so tests can prove what each operation allocates and that a
// failure at any allocation point leaves a container intact.
#ifndef PTRBOX_TESTS_ALLOCPROBE_H
#define PTRBOX_TESTS_ALLOCPROBE_H

#include <cstddef>

namespace allocprobe {

enum class FailMode {
  Once,      // only the chosen allocation fails
  FromThenOn // the chosen allocation and every one after it fail
};

// Counters since program start; the array forms are counted in both.
std::size_t allocations();
std::size_t arrayAllocations();
std::size_t releases();
long liveBlocks();

// The allocation `nth` (0 = the next one) after this call throws.
void failAt(std::size_t nth, FailMode mode);
void disarm();

// Allocations and releases made while the scope is open.
class Scope {
 public:
  Scope()
      : allocs0(allocations()), arrays0(arrayAllocations()), rel0(releases()) {}
  std::size_t allocs() const { return allocations() - allocs0; }
  std::size_t arrays() const { return arrayAllocations() - arrays0; }
  std::size_t frees() const { return releases() - rel0; }

 private:
  std::size_t allocs0, arrays0, rel0;
};

} // namespace allocprobe

#endif
