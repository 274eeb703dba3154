// The checked build's concurrent-use words, through the enter and leave
// hooks the containers call: a thread that entered unseen, because its
// container's word served another container, reports when it leaves if
// another thread took that word over for the same container meanwhile.
#include "Threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>

using namespace ptrbox_checked;

TEST(CheckedConcurrentUse, AThreadThatEnteredUnseenReportsWhenItLeaves) {
  // Two containers on one word (the hooks read addresses only).
  const auto at = [](std::uintptr_t a) {
    return reinterpret_cast<const void*>(a);
  };
  const void* other = at(0x10000);
  const void* shared = at(0x10010);
  while (wordIndex(shared) != wordIndex(other))
    shared = at(reinterpret_cast<std::uintptr_t>(shared) + 16);
  const auto overlap = [&](bool takenOver) {
    std::atomic<int> step{0};
    enter(other, "other"); // holds the word: the next thread enters unseen
    std::thread unseen([&] {
      enter(shared, "unseen");
      step = 1;
      while (step != 2)
        std::this_thread::yield();
      leave(shared, "ptrbox::unseen");
    });
    while (step != 1)
      std::this_thread::yield();
    leave(other, "other");
    if (takenOver)
      enter(shared, "taker"); // the word is idle: taken without a report
    step = 2;
    unseen.join();
    if (takenOver)
      leave(shared, "taker");
  };
  overlap(false); // nobody else entered: silent
  EXPECT_DEATH(overlap(true), "^ptrbox: ptrbox::unseen: used by two threads "
                              "at once \\(container 0x[0-9a-f]+\\)\n");
}
