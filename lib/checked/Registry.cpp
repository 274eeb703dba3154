#include "Registry.h"

#include <atomic>
#include <thread>

namespace ptrbox_checked {
namespace registry {
namespace {

constexpr unsigned kBits = 12;
static_assert(kSlots == std::size_t(1) << kBits, "kSlots is 2^kBits");

Record slots[kSlots];
std::uint64_t lives;
std::atomic<int> containerRecords;
// Constant-initialised, so no code runs at load time.
std::atomic_flag busy = ATOMIC_FLAG_INIT;

std::size_t home(std::uintptr_t key, Kind kind) { return spread(key ^ kind); }

void counted(const Record& r, int by) {
  if (r.key != 0 && r.kind == Container)
    containerRecords.store(containerRecords.load(std::memory_order_relaxed) +
                               by,
                           std::memory_order_relaxed);
}

} // namespace

std::size_t spread(std::uintptr_t key) {
  return std::size_t((key * 0x9E3779B97F4A7C15ull) >> (64 - kBits));
}

Lock::Lock() {
  while (busy.test_and_set(std::memory_order_acquire))
    std::this_thread::yield();
}

Lock::~Lock() { busy.clear(std::memory_order_release); }

bool anyContainers() {
  return containerRecords.load(std::memory_order_relaxed) != 0;
}

Record* find(const void* p, Kind kind) {
  const auto key = reinterpret_cast<std::uintptr_t>(p);
  for (std::size_t i = 0, h = home(key, kind); i < kWindow; ++i) {
    Record& r = slots[(h + i) % kSlots];
    if (r.key == 0)
      return nullptr;
    if (r.key == key && r.kind == kind)
      return &r;
  }
  return nullptr;
}

// Linear probing with backward-shift deletion, so that a lookup can stop at
// the first empty slot. No record lies further than kWindow from its home,
// so none beyond that from the gap can fill it: the scan stops there, and so
// ends even in a full table.
void erase(Record* r) {
  counted(*r, -1);
  std::size_t gap = std::size_t(r - slots);
  for (std::size_t j = (gap + 1) % kSlots;
       slots[j].key != 0 && (j - gap) % kSlots < kWindow;
       j = (j + 1) % kSlots) {
    const std::size_t h = home(slots[j].key, slots[j].kind);
    if ((j - h) % kSlots >= (j - gap) % kSlots) {
      slots[gap] = slots[j];
      gap = j;
    }
  }
  slots[gap].key = 0;
}

Record* make(const void* p, Kind kind, bool fresh) {
  const auto key = reinterpret_cast<std::uintptr_t>(p);
  const std::size_t h = home(key, kind);
  Record* r = &slots[h];
  for (std::size_t i = 0; i < kWindow; ++i) {
    Record& at = slots[(h + i) % kSlots];
    if (at.key == key && at.kind == kind) {
      if (!fresh)
        return &at;
      r = &at;
      break;
    }
    if (at.key == 0) {
      r = &at;
      break;
    }
  }
  counted(*r, -1);
  *r = Record{key, kind, Live, Live, ++lives, 0, nullptr};
  counted(*r, 1);
  return r;
}

} // namespace registry
} // namespace ptrbox_checked
