// Compiled as C++20: the standard idioms on the typed keyed containers.
#include <Keyed>

#include "support/Driver.h"

#include <gtest/gtest.h>

#include <compare>
#include <ranges>
#include <string>
#include <string_view>
#include <utility>

using Words = ptrbox::Hash<std::string, int>;
using Names = ptrbox::Tree<const char*, int, std::compare_three_way>;
using Ranks = ptrbox::OrderList<std::string, int, std::compare_three_way>;

// Entries are pairs to the standard library; text keys are sought by view.
static_assert(
    std::tuple_size_v<ptrbox::Entry<int, double>> == 2 &&
    std::is_same_v<std::tuple_element_t<0, ptrbox::Entry<int, double>>,
                   const int*> &&
    std::is_same_v<std::tuple_element_t<1, ptrbox::Entry<int, double>>,
                   double*>);
static_assert(std::is_same_v<Words::sought_type, std::string_view> &&
              std::is_same_v<Names::sought_type, std::string_view> &&
              std::is_same_v<ptrbox::Tree<int, int>::sought_type, const int&>);
// A std::string order that does not take views keeps std::string lookups.
static_assert(std::is_same_v<ptrbox::Tree<std::string, int,
                                          std::less<std::string>>::sought_type,
                             const std::string&>);
static_assert(std::ranges::bidirectional_range<const Names> &&
              std::ranges::forward_range<const Words>);

// Each idiom once, on const containers: views::keys/values/elements,
// bindings, lookups by std::string, view and C string, reverse walks and
// the three-way order.
TEST(KeyedIdioms, StandardRangesBindingsAndLookupsWorkOnConstContainers) {
  std::string text[] = {"pear", "fig", "apple"};
  int n[] = {1, 2, 3};
  Words words;
  Names names;
  Ranks ranks;
  for (int i = 0; i < 3; ++i) {
    words.insert(&text[i], &n[i]);
    names.insert(text[i].c_str(), &n[i]);
    ranks.insert(&text[i], &n[i]);
  }
  const Words& w = words;
  const Names& t = names;
  const Ranks& r = ranks;
  std::string keys, all;
  int sum = 0;
  // libc++'s elements views take only the standard's own tuple types; the
  // entries' members serve there.
#ifndef _LIBCPP_VERSION
  for (const std::string* k : std::views::keys(r))
    keys += *k + ' ';
  for (int* v : std::views::values(t) | std::views::reverse)
    keys += std::to_string(*v);
  const auto count = std::ranges::distance(std::views::elements<1>(w));
#else
  for (const auto& e : r)
    keys += *e.key + ' ';
  for (const auto& e : t | std::views::reverse)
    keys += std::to_string(*e.data);
  const auto count = std::ranges::distance(w);
#endif
  for (const auto& [k, v] : t)
    all += std::string(k) + std::to_string(*v);
  for (auto&& [k, v] : w)
    sum += *v * (*k == "fig" ? 10 : 1);
  for (auto it = r.rbegin(); it != r.rend(); ++it)
    all += *std::get<0>(*it);
  const std::string fig = "fig";
  EXPECT_EQ(show(keys, all, sum, *w.find(std::string_view(fig)),
                 *w.find("pear"), *t.find(fig),
                 *r.find(std::string_view("apple")), w.contains("plum"),
                 t.contains(std::string("pea")), count),
            "apple fig pear 123 apple3fig2pear1pearfigapple 24 2 1 2 3 0 0 3 ");
}
