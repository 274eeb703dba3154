// The one rule behind every default key comparison of the library (ordered
// list, hash table, binary tree): the stored key minus the searched key.
#ifndef PTRBOX_POINTERORDER_H
#define PTRBOX_POINTERORDER_H

#include <climits>
#include <cstdint>

namespace ptrbox_detail {

// On 32-bit targets this is exactly the wrapping 32-bit difference, read as a
// signed int. With wider pointers it keeps the sign of the true difference of
// the two addresses (zero only for identical pointers) and is exact wherever
// the difference fits in an int; larger differences saturate, so pointers
// 4 GiB apart never compare equal.
inline int pointerDifference(const void* stored, const void* searched) {
  const std::uintptr_t a = reinterpret_cast<std::uintptr_t>(stored);
  const std::uintptr_t b = reinterpret_cast<std::uintptr_t>(searched);
#if UINTPTR_MAX == 0xFFFFFFFFu
  return static_cast<int>(static_cast<std::uint32_t>(a - b));
#else
  if (a >= b) {
    const std::uintptr_t d = a - b;
    return d > static_cast<std::uintptr_t>(INT_MAX) ? INT_MAX
                                                    : static_cast<int>(d);
  }
  const std::uintptr_t d = b - a;
  return d > static_cast<std::uintptr_t>(INT_MAX) ? INT_MIN
                                                  : -static_cast<int>(d);
#endif
}

// The sign of pointerDifference(stored, searched): -1, 0 or 1. Loops that
// need only the order use this, which on 64-bit targets is one comparison.
inline int pointerOrder(const void* stored, const void* searched) {
#if UINTPTR_MAX == 0xFFFFFFFFu
  const int d = pointerDifference(stored, searched);
  return (d > 0) - (d < 0);
#else
  const std::uintptr_t a = reinterpret_cast<std::uintptr_t>(stored);
  const std::uintptr_t b = reinterpret_cast<std::uintptr_t>(searched);
  return a < b ? -1 : a != b;
#endif
}

} // namespace ptrbox_detail

#endif
