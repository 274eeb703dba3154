// Compiled as C++20: every container is a standard range of the category its
// header promises, as are the typed views and containers, and the standard
// idioms work on the typed keyed containers (layout: the ABI check).
#include <BinaryTree>
#include <Erase>
#include <Hash>
#include <Keyed>
#include <ListIter>
#include <MTree>
#include <MTreeNodes>
#include <ObjectLstIter>
#include <OrderList>
#include <Stack>
#include <TypedStack>
#include <View>

#include "support/Driver.h"

#include <gtest/gtest.h>

#include <compare>
#include <ranges>
#include <string>
#include <string_view>
#include <utility>

template <class R>
constexpr bool forward =
    std::ranges::forward_range<R>&& std::ranges::common_range<R>;
template <class R>
constexpr bool bidirectional = forward<R>&& std::ranges::bidirectional_range<R>;
template <class T, class C>
using View = decltype(ptrbox::view<T>(std::declval<C&>()));

static_assert(bidirectional<_List> && bidirectional<const _OrderList> &&
              bidirectional<ObjectLst> && bidirectional<_Tree>);
static_assert(forward<const _Stack> && !bidirectional<_Stack> &&
              forward<_Hash> && forward<_MTree> && !bidirectional<_MTree>);
static_assert(bidirectional<View<int, const _List>> &&
              bidirectional<View<int, ObjectLst>> &&
              forward<View<int, _Stack>>);
using Words = ptrbox::Hash<std::string, int>;
using Names = ptrbox::Tree<const char*, int, std::compare_three_way>;
using Ranks = ptrbox::OrderList<std::string, int, std::compare_three_way>;
static_assert(forward<const Words> &&
              bidirectional<ptrbox::OrderList<const char*, int>> &&
              bidirectional<const Names> &&
              bidirectional<ptrbox::Tree<int, double>>);
static_assert(
    std::is_same_v<std::ranges::range_reference_t<_Hash>, _HashItem&> &&
    std::is_same_v<std::ranges::range_value_t<_MTree>, _MTree> &&
    std::is_same_v<std::ranges::range_reference_t<View<int, _List>>, int*>);

// Reverse ranges, borrowed views, the typed stack and the typed multi-way
// tree walks and gathers (a Dir's _MTree is not at its address).
struct Named {
  virtual ~Named() = default;
};
struct Dir final : Named, _MTree {};
template <class R>
using Rev = decltype(std::declval<R&>() | std::views::reverse);
static_assert(bidirectional<Rev<const ObjectLst>> &&
              bidirectional<Rev<View<int, _List>>>);
static_assert(
    std::is_same_v<decltype(std::rbegin(std::declval<_OrderList&>())),
                   std::reverse_iterator<_List::iterator>> &&
    std::is_same_v<decltype(*std::declval<View<int, ObjectLst>>().rbegin()),
                   int*>);
static_assert(
    std::ranges::borrowed_range<View<int, _List>> &&
    !std::ranges::borrowed_range<_List> &&
    std::is_same_v<std::ranges::borrowed_iterator_t<View<int, _Stack>>,
                   std::ranges::iterator_t<View<int, _Stack>>>);
static_assert(
    forward<ptrbox::Stack<const int>> && !bidirectional<ptrbox::Stack<int>> &&
    std::is_same_v<std::ranges::range_reference_t<ptrbox::Stack<int>>, int*>);
using Nodes = decltype(ptrbox::nodes(std::declval<Dir&>()));
using ConstNodes = decltype(ptrbox::nodes<Dir>(std::declval<const _MTree&>()));
static_assert(forward<Nodes> && forward<const _MTree> &&
              bidirectional<ptrbox::NodeList<Dir>>);
static_assert(
    std::is_same_v<std::ranges::range_reference_t<Nodes>, Dir&> &&
    std::is_same_v<std::ranges::range_reference_t<ConstNodes>, const Dir&> &&
    std::is_same_v<std::ranges::range_reference_t<const _MTree>,
                   const _MTree&> &&
    std::is_same_v<std::ranges::range_reference_t<ptrbox::NodeList<Dir>>,
                   Dir*>);

// Removing while walking the typed containers: the predicate sees the
// entries range-for yields, and exactly those it accepts go.
TEST(Ranges, EraseIfOnTheTypedContainersTakesTheirEntries) {
  int k[6] = {0, 1, 2, 3, 4, 5};
  ptrbox::Hash<int, int> h;
  ptrbox::OrderList<int, int> o;
  ptrbox::Tree<int, int> t;
  for (int& x : k)
    h.insert(&x, &k[5 - x]), o.insert(&x, &k[5 - x]), t.insert(&x, &k[5 - x]);
  const auto odd = [](auto e) { return *e.key % 2 == 1; };
  const std::size_t erased[] = {ptrbox::erase_if(h, odd),
                                ptrbox::erase_if(o, odd),
                                ptrbox::erase_if(t, odd)};
  std::string s = show(erased[0], erased[1], erased[2], h.size(), o.size());
  for (auto [key, data] : o)
    s += show(*key, *data);
  for (auto [key, data] : t)
    s += show(*key, *data);
  EXPECT_EQ(s, "3 3 3 3 3 0 5 2 3 4 1 0 5 2 3 4 1 ");
}

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
  for (auto it = r.rbegin(); it != r.rend(); ++it)
    all += *std::get<0>(*it);
  const std::string fig = "fig";
  EXPECT_EQ(show(keys, all, *w.find(std::string_view(fig)), *w.find("pear"),
                 *t.find(fig), *r.find(std::string_view("apple")),
                 w.contains("plum"), t.contains(std::string("pea")), count),
            "apple fig pear 123 apple3fig2pear1pearfigapple 2 1 2 3 0 0 3 ");
}
