// The checked build's concurrent-use words, through the enter and leave
// hooks the containers call: a thread entering a container another is
// inside stops at once; a thread inside unseen, because its container's
// word served another container, stops when it enters again or leaves if
// another thread took that word for the same container meanwhile, naming
// the operation it entered by.
#include "Threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

using namespace ptrbox_checked;

TEST(CheckedConcurrentUse,
     AnIntruderStopsOnEnteringOrWhenTheThreadInsideUnseenMovesOn) {
  // Two containers on one word (the hooks read addresses only).
  const auto at = [](std::uintptr_t a) {
    return reinterpret_cast<const void*>(a);
  };
  const void* other = at(0x10000);
  const void* shared = at(0x10010);
  while (wordIndex(shared) != wordIndex(other))
    shared = at(reinterpret_cast<std::uintptr_t>(shared) + 16);
  // A thread enters `shared` unseen; meanwhile another thread may take the
  // word for it, and leave again or not; then the first may enter again.
  const auto overlap = [&](bool take, bool handBack, bool again) {
    std::atomic<int> step{0};
    enter(other, "other"); // holds the word: the next thread enters unseen
    std::thread unseen([&] {
      enter(shared, "ptrbox::unseen");
      step = 1;
      while (step != 2)
        std::this_thread::yield();
      if (again)
        enter(shared, "again"), leave(shared);
      leave(shared);
    });
    while (step != 1)
      std::this_thread::yield();
    leave(other);
    if (take)
      enter(shared, "taker"); // the word is idle: taken without a report
    if (take && handBack)
      leave(shared);
    step = 2;
    unseen.join();
    if (take && !handBack)
      leave(shared);
  };
  overlap(false, false, true); // nobody else entered: silent
  const std::string rule = ": used by two threads at once \\(container 0x";
  EXPECT_DEATH(overlap(true, false, false), "^ptrbox: ptrbox::unseen" + rule);
  EXPECT_DEATH(overlap(true, true, true), "^ptrbox: ptrbox::unseen" + rule);
  // A thread that owns the idle word is seen entering again: the intruder,
  // not the thread inside, stops, before its operation runs.
  enter(shared, "owner"), leave(shared);
  const auto intrude = [&] {
    enter(shared, "owner");
    std::thread([&] { enter(shared, "ptrbox::intruder"); }).join();
  };
  EXPECT_DEATH(intrude(), "^ptrbox: ptrbox::intruder" + rule);
}
