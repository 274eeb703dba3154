// The checked build's registry under churn near its room, with keys spread
// at random so that records crowd and move, each address on record as a
// container and as an iterator: a record made is found at once; making one
// forgets none while the registry is a quarter full at most, and at most
// one other after that; erasing one forgets none.
#include "Registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

using namespace ptrbox_checked::registry;

TEST(CheckedRegistry, ChurnNearItsRoomForgetsOnlyWhatMakingMayDrop) {
  std::mt19937_64 random(22);
  using Key = std::pair<const void*, Kind>;
  std::vector<Key> live; // made, not erased, not yet seen dropped
  const auto forgotten = [&] {
    const auto gone = std::partition(live.begin(), live.end(), [](Key k) {
      return find(k.first, k.second) != nullptr;
    });
    const auto n = std::size_t(live.end() - gone);
    live.erase(gone, live.end());
    return n;
  };
  const Lock lock;
  for (int op = 0; op < 12000; ++op) {
    if (live.size() < kSlots * 7 / 8 || random() % 2) {
      const auto* p =
          reinterpret_cast<const void*>(std::uintptr_t(random() | 1) << 4);
      if (find(p, Container) || find(p, Iterator))
        continue;
      for (const Kind kind : {Container, Iterator}) {
        make(p, kind);
        ASSERT_NE(find(p, kind), nullptr) << "op " << op;
        live.emplace_back(p, kind);
        ASSERT_LE(forgotten(), live.size() <= kSlots / 4 ? 0u : 1u)
            << "op " << op;
      }
    } else {
      std::swap(live[random() % live.size()], live.back());
      const Key k = live.back();
      live.pop_back();
      erase(find(k.first, k.second));
      ASSERT_EQ(find(k.first, k.second), nullptr) << "op " << op;
      ASSERT_EQ(forgotten(), 0u) << "op " << op;
    }
  }
}
