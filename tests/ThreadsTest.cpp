// Shared typed containers under concurrent readers. Run under
// ThreadSanitizer (the tsan preset), any write a const lookup or a const walk
// made would be reported as a race with the other readers.
#include <Keyed>

#include "support/Driver.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

// Four threads look up every key (by std::string, view and C string) and
// walk three containers built beforehand, while each also fills, searches and
// drains a table of its own; then the shared table's recorded depth is still
// what its insertions left.
TEST(Threads, ConstLookupsAndWalksShareOneContainer) {
  const std::size_t n = scaled(2000, 300), rounds = scaled(20, 4);
  std::vector<std::string> keys;
  std::vector<int> data(n, 0);
  for (std::size_t i = 0; i < n; ++i)
    keys.push_back("key" + std::to_string(i * 7919 % n));
  ptrbox::Hash<std::string, int> table(97, 2, 2, 0.5f);
  ptrbox::Tree<std::string, int> tree;
  ptrbox::OrderList<std::string, int> list;
  for (std::size_t i = 0; i < n; ++i) {
    table.insert(&keys[i], &data[i]), tree.insert(&keys[i], &data[i]);
    if (i < 200)
      list.insert(&keys[i], &data[i]);
  }
  const int depth = table.maxLookupDepth();
  const auto& t = table;
  const auto& b = tree;
  const auto& l = list;

  long faults[4] = {};
  std::vector<std::thread> readers;
  for (long& bad : faults)
    readers.emplace_back([&, &bad = bad] {
      ptrbox::Hash<int, int> own(7, 2, 1, 1.0f);
      for (std::size_t r = 0; r < rounds; ++r) {
        for (std::size_t i = 0; i < n; ++i) {
          const std::string& k = keys[i];
          bad += t.find(k) != &data[i] ||
                 b.find(std::string_view(k)) != &data[i] ||
                 (i < 200 && l.find(k.c_str()) != &data[i]);
          bad += t.contains(k + "!") || b.contains("key");
          own.insert(&data[i], &data[i]);
        }
        std::size_t walked = 0;
        for (auto&& [key, datum] : t)
          walked += *datum == 0 && key->size() > 3;
        for (auto it = b.rbegin(); it != b.rend(); ++it)
          ++walked;
        for (auto&& e : l)
          walked += e.data != nullptr;
        bad += walked != 2 * n + std::min<std::size_t>(n, 200);
        for (std::size_t i = 0; i < n; ++i)
          bad += own.find(data[i]) == nullptr;
        for (std::size_t i = 0; i < n; ++i)
          own.remove(data[i]);
        bad += own.size() != 0;
      }
    });
  for (std::thread& r : readers)
    r.join();
  EXPECT_EQ(show(faults[0], faults[1], faults[2], faults[3],
                 table.maxLookupDepth() - depth),
            "0 0 0 0 0 ");
}
