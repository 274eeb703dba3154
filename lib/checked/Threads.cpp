// Concurrent use: one word per container in use, in a fixed table indexed by
// the container's address. A word names the container (a tag of its
// address), the thread that last changed it, and how deep that thread is in
// its operations. A change by another thread while the depth is not zero is
// reported. The owner stays in the word when it leaves, so a thread that
// keeps using its own container pays a load and two plain stores, no locked
// instruction; another thread takes an idle word over with one exchange.
// A thread may thus be inside unseen: the owner's plain store can land on
// its exchange and erase it, or its word was held for another container
// (tags differ, the check is skipped). It keeps such containers in a short
// list of its own; while inside one, its word naming another thread proves
// an overlap, which it reports when it enters again or leaves, naming the
// operation it first entered by. Reads that change nothing (the const
// operations, walks) do not enter, so they are never reported.
#include "Threads.h"

#include "Messages.h"

#include "PtrboxChecked"

#include <atomic>
#include <cstdint>
#include <iterator>

namespace ptrbox_checked {
namespace {

constexpr unsigned kBits = 12;
constexpr std::uint64_t kDepth = 0xFFFF, kThread = 0xFFFF0000;
std::atomic<std::uint64_t> words[std::size_t(1) << kBits];
std::atomic<std::uint32_t> threads;

// A token per thread, 1..65535; initial-exec TLS keeps it one load away.
__attribute__((tls_model("initial-exec"))) thread_local std::uint64_t token;

std::uint64_t me() {
  if (token == 0) {
    std::uint32_t t;
    while ((t = threads.fetch_add(1, std::memory_order_relaxed) & 0xFFFF) == 0)
      ;
    token = std::uint64_t(t) << 16;
  }
  return token;
}

// The containers this thread is inside without holding their word for sure,
// outermost first, each with the operation that entered it unseen. A full
// list drops the newest, which can only make a check silent.
struct Unsure {
  const void* at[6];
  const char* where[6];
  unsigned n;
};
__attribute__((tls_model("initial-exec"))) thread_local Unsure unsure;

void mark(const void* c, const char* where) {
  if (unsure.n < std::size(unsure.at))
    unsure.at[unsure.n] = c, unsure.where[unsure.n++] = where;
}
// The outermost operation this thread entered c by unseen, or null.
const char* markedBy(const void* c) {
  for (unsigned i = 0; i < unsure.n; ++i)
    if (unsure.at[i] == c)
      return unsure.where[i];
  return nullptr;
}
void unmark(const void* c) {
  for (unsigned i = unsure.n; i-- > 0;)
    if (unsure.at[i] == c) {
      for (--unsure.n; i < unsure.n; ++i)
        unsure.at[i] = unsure.at[i + 1], unsure.where[i] = unsure.where[i + 1];
      return;
    }
}

std::uint64_t mixed(const void* c) {
  return reinterpret_cast<std::uintptr_t>(c) * 0x9E3779B97F4A7C15ull;
}

std::atomic<std::uint64_t>& wordOf(std::uint64_t mix) {
  return words[mix >> (64 - kBits)];
}

std::uint64_t tagOf(std::uint64_t mix) {
  return (mix << kBits) & ~(kThread | kDepth);
}

} // namespace

std::size_t wordIndex(const void* container) {
  return &wordOf(mixed(container)) - words;
}

void enter(const void* container, const char* where) {
  const std::uint64_t mix = mixed(container), tag = tagOf(mix), self = me();
  std::atomic<std::uint64_t>& word = wordOf(mix);
  std::uint64_t w = word.load(std::memory_order_relaxed);
  for (;;) {
    if ((w & ~kDepth) == (tag | self)) { // ours: idle or nested
      if ((w & kDepth) != kDepth)
        word.store(w + 1, std::memory_order_relaxed);
      return;
    }
    const bool busy = (w & kDepth) != 0;
    if ((w & ~(kThread | kDepth)) == tag) {
      const char* outer = markedBy(container);
      if (busy || outer)
        report(outer ? outer : where, Rule::ConcurrentUse, "container",
               container);
    }
    if (busy) // held for another container: in unseen
      return mark(container, where);
    if (word.compare_exchange_weak(w, tag | self | 1, std::memory_order_acq_rel,
                                   std::memory_order_relaxed))
      return mark(container, where);
  }
}

void leave(const void* container) {
  const std::uint64_t mix = mixed(container), tag = tagOf(mix), self = me();
  std::atomic<std::uint64_t>& word = wordOf(mix);
  const std::uint64_t w = word.load(std::memory_order_relaxed);
  if ((w & ~kDepth) == (tag | self)) {
    if ((w & kDepth) != 0)
      word.store(w - 1, std::memory_order_release);
    if ((w & kDepth) > 1)
      return; // still inside
  } else if ((w & ~(kThread | kDepth)) == tag) {
    // Only a thread inside unseen can find another thread here.
    if (const char* outer = markedBy(container))
      report(outer, Rule::ConcurrentUse, "container", container);
  }
  if (unsure.n != 0)
    unmark(container);
}

} // namespace ptrbox_checked
