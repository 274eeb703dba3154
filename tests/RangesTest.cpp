// Compiled as C++20: every container is a standard range of the category its
// header promises, as are the typed views and containers, and the classic
// classes keep their layout on x86-64 and i386.
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

#include <algorithm>
#include <ranges>
#include <string>

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
static_assert(forward<ptrbox::Hash<std::string, int>> &&
              bidirectional<ptrbox::OrderList<const char*, int>> &&
              bidirectional<ptrbox::Tree<int, double>>);
static_assert(
    std::is_same_v<std::ranges::range_reference_t<_Hash>, _HashItem&> &&
    std::is_same_v<std::ranges::range_value_t<_MTree>, _MTree> &&
    std::is_same_v<std::ranges::range_reference_t<View<int, _List>>, int*>);

// Reverse walks, borrowed views, the typed stack and typed multi-way tree
// walks and gathers.
struct Named {
  explicit Named(const char* n) : name(n) {}
  virtual ~Named() = default;
  std::string name;
};
struct Dir final : Named, _MTree { // _MTree is not at a Dir's address
  Dir(const char* n, _MTree* parent)
      : Named(n), _MTree(nullptr, nullptr, parent, nullptr) {}
  int keyCmp(const void*, const void*) override { return 1; } // a child
};
template <class R>
using Rev = decltype(std::declval<R&>() | std::views::reverse);
static_assert(bidirectional<Rev<_List>> &&
              bidirectional<Rev<const ObjectLst>> &&
              bidirectional<Rev<_Tree>> &&
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

constexpr std::size_t sized(std::size_t wide, std::size_t narrow) {
  return sizeof(void*) == 8 ? wide : narrow;
}
static_assert(sizeof(_ListItem) == sized(24, 12) &&
              sizeof(_List) == sized(40, 20) &&
              sizeof(_ListIter) == sized(24, 12) &&
              sizeof(_OListItem) == sized(32, 16) &&
              sizeof(_OrderList) == sized(40, 20) &&
              sizeof(_Stack) == sized(16, 8) &&
              sizeof(_Stack::StackItem) == sized(16, 8));
static_assert(sizeof(_HashItem) == sized(24, 12) &&
              sizeof(_Hash) == sized(64, 44) &&
              sizeof(_HashIter) == sized(32, 16) &&
              sizeof(_TreeNode) == sized(48, 24) &&
              sizeof(_Tree) == sized(16, 8) &&
              sizeof(_TreeNodeStack) == sized(16, 8) &&
              sizeof(_TreeIterator) == sized(40, 20));
static_assert(sizeof(_MTree) == sized(64, 36) &&
              sizeof(_MTreeStack) == sized(16, 8) &&
              sizeof(_MTreeIter) == sized(32, 16) &&
              sizeof(ObjectListElement) == sized(24, 12) &&
              sizeof(ObjectLst) == sized(24, 12) &&
              sizeof(ObjectLstIter) == sized(16, 8));

// The range algorithms and adaptors take the containers as they are.
TEST(Ranges, AlgorithmsAndAdaptorsWorkOnTheContainers) {
  int v[] = {3, 1, 4, 1, 5};
  _List list;
  for (int& x : v)
    list.insert(&x);
  auto ints = ptrbox::view<int>(list);
  EXPECT_EQ(show(std::ranges::distance(ints),
                 std::ranges::count_if(ints, [](int* x) { return *x == 1; }),
                 *std::ranges::find(list, &v[2]) == &v[2],
                 *(ints | std::views::reverse | std::views::drop(2)).front()),
            "5 2 1 4 ");
}

// The C++20 idioms on the classic and typed containers, with names read
// through each typed node so that a wrong conversion shows.
TEST(Ranges, ReverseBorrowedAndTypedIdioms) {
  int v[] = {1, 2, 3};
  _List list;
  ptrbox::Stack<int> stack;
  for (int& x : v)
    list.insert(&x), stack.push(&x);
  const auto two = [](int* x) { return *x == 2; };
  std::string s = show(**std::ranges::find_if(ptrbox::view<int>(list), two),
                       *static_cast<int*>(*std::rbegin(list)));
  for (void* e : list | std::views::reverse)
    s += show(*static_cast<int*>(e));
  for (int* x : stack)
    s += show(*x);
  Dir root("/", nullptr), usr("usr", &root), bin("bin", &usr),
      etc("etc", &root);
  for (Dir& d : ptrbox::nodes<Dir>(root))
    s += show(d.name);
  for (const Dir& d : ptrbox::nodes(std::as_const(usr)))
    s += show(d.name);
  ptrbox::NodeList<Dir> gathered;
  usr.Destroy(&gathered);
  for (Dir* d : gathered | std::views::reverse)
    s += show(d->name);
  EXPECT_EQ(s, "2 3 3 2 1 3 2 1 / usr bin etc usr bin etc etc bin usr ");
}

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
