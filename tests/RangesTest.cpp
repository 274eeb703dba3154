// Compiled as C++20: every container is a standard range of the category its
// header promises, as are the typed views and containers, and the classic
// classes keep their layout on x86-64 and i386.
#include <BinaryTree>
#include <Hash>
#include <Keyed>
#include <ListIter>
#include <MTree>
#include <ObjectLstIter>
#include <OrderList>
#include <Stack>
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
