#include "support/AllocProbe.h"

#include <cstdlib>
#include <new>

namespace {
std::size_t gAllocs, gArrays, gReleases;
bool gArmed;
allocprobe::FailMode gMode;
std::size_t gCountdown; // allocations still to pass before the failure

void* allocate(std::size_t n) {
  if (gArmed) {
    if (gCountdown == 0) {
      if (gMode == allocprobe::FailMode::Once)
        gArmed = false;
      throw std::bad_alloc();
    }
    --gCountdown;
  }
  void* p = std::malloc(n ? n : 1);
  if (!p)
    throw std::bad_alloc();
  ++gAllocs;
  return p;
}

void release(void* p) noexcept {
  if (!p)
    return;
  ++gReleases;
  std::free(p);
}
} // namespace

namespace allocprobe {
std::size_t allocations() { return gAllocs; }
std::size_t arrayAllocations() { return gArrays; }
std::size_t releases() { return gReleases; }
long liveBlocks() { return static_cast<long>(gAllocs - gReleases); }
void failAt(std::size_t nth, FailMode mode) {
  gArmed = true;
  gMode = mode;
  gCountdown = nth;
}
void disarm() { gArmed = false; }
} // namespace allocprobe

void* operator new(std::size_t n) { return allocate(n); }
void* operator new[](std::size_t n) {
  void* p = allocate(n);
  ++gArrays;
  return p;
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return allocate(n);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return operator new[](n);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }
