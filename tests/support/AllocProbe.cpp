// The test binary's global allocation operators: they count every block and
// fail the chosen allocations, so a test can prove what an operation
// allocates and that a failure at any point leaves its container intact.
#include "support/Driver.h"

std::atomic<std::size_t> allocprobe::allocs, allocprobe::frees;
int allocprobe::quiet;

namespace {
std::size_t gCountdown;
bool gArmed, gOnce;

void* allocate(std::size_t n, bool nothrow) {
  if (gArmed && !allocprobe::quiet &&
      gCountdown-- == 0) { // the chosen one, or one after it
    gCountdown = 0, gArmed = !gOnce;
    return nothrow ? nullptr : throw std::bad_alloc();
  }
  void* p = std::malloc(n ? n : 1);
  if (p != nullptr)
    allocprobe::allocs.fetch_add(1, std::memory_order_relaxed);
  return p || nothrow ? p : throw std::bad_alloc();
}

void release(void* p) noexcept {
  if (p != nullptr)
    allocprobe::frees.fetch_add(1, std::memory_order_relaxed);
  std::free(p);
}
} // namespace

void allocprobe::failAt(std::size_t nth, bool once) {
  gArmed = true, gOnce = once, gCountdown = nth;
}
void allocprobe::disarm() { gArmed = false; }

// Every form is replaced, so sanitizers never see a block allocated by one
// allocator released by another.
using nt = const std::nothrow_t&;
void* operator new(std::size_t n) { return allocate(n, false); }
void* operator new[](std::size_t n) { return allocate(n, false); }
void* operator new(std::size_t n, nt) noexcept { return allocate(n, true); }
void* operator new[](std::size_t n, nt) noexcept { return allocate(n, true); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, nt) noexcept { release(p); }
void operator delete[](void* p, nt) noexcept { release(p); }
