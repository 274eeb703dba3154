#include "support/AllocProbe.h"

#include <cstdlib>
#include <new>

namespace {
std::size_t gAllocs, gReleases, gCountdown;
bool gArmed, gOnce;

void* allocate(std::size_t n, bool nothrow) {
  if (gArmed && gCountdown-- == 0) { // the chosen one, or one after it
    gCountdown = 0;
    gArmed = !gOnce;
    return nothrow ? nullptr : throw std::bad_alloc();
  }
  void* p = std::malloc(n ? n : 1);
  gAllocs += p != nullptr;
  return p || nothrow ? p : throw std::bad_alloc();
}

void release(void* p) noexcept {
  gReleases += p != nullptr;
  std::free(p);
}
} // namespace

namespace allocprobe {
std::size_t allocations() { return gAllocs; }
std::size_t releases() { return gReleases; }
long liveBlocks() { return static_cast<long>(gAllocs - gReleases); }
void failAt(std::size_t nth, FailMode mode) {
  gArmed = true;
  gOnce = mode == FailMode::Once;
  gCountdown = nth;
}
void disarm() { gArmed = false; }
} // namespace allocprobe

// Every form is replaced, so sanitizers never see a block allocated by one
// allocator released by another.
using std::nothrow_t;
void* operator new(std::size_t n) { return allocate(n, false); }
void* operator new[](std::size_t n) { return allocate(n, false); }
void* operator new(std::size_t n, const nothrow_t&) noexcept {
  return allocate(n, true);
}
void* operator new[](std::size_t n, const nothrow_t&) noexcept {
  return allocate(n, true);
}
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, const nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const nothrow_t&) noexcept { release(p); }
