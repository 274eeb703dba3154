// Harnesses for the list family: _List with _ListIter and copies, and a
// typed stack beside it, against vectors; _OrderList against the element
// under each key. (The classic stack is the tree iterators' work stack: the
// tree models walk it on every step.)
#pragma once

#include "support/Driver.h"

#include <ListIter>
#include <OrderList>
#include <Stack>
#include <TypedStack>

#include <algorithm>

// The elements front to back, then the size.
inline std::string contents(_List& list) {
  Seq<void*> v;
  for (_ListIter it(list); !it.atEnd();)
    v.push_back(it++);
  return show(v, list.size());
}

// The standard walks of a list and of a stack of its elements, pushed in
// order, give the model's.
inline std::string standardWalks(const _List& list, Seq<void*> m) {
  _Stack stack;
  for (void* e : m)
    stack.push(e);
  std::string r =
      differs("standard walk", standardWalks(list), standardWalks(m));
  std::reverse(m.begin(), m.end());
  return r + differs("stack walk", standardWalks(stack), standardWalks(m));
}

inline void* same(void* e) { return e; }

// Elements 0..5, 0 being null; a predecessor p is the first node holding p.
struct ListHarness {
  _List list;
  Seq<void*> m;
  ptrbox::Stack<char> stack;
  Seq<void*> pushed; // bottom to top

  explicit ListHarness(Choices&) {}
  long blocks() const { return long(m.size() + pushed.size()); }
  std::string check() {
    const Seq<void*> down(pushed.rbegin(), pushed.rend());
    const auto top = [](char* e) -> void* { return e; };
    const std::string r = differs(
        "typed stack", show(stdWalks(stack, top, ptr(1)), top(stack.top())),
        show(stdWalks(down, ptr(1)), down.empty() ? nullptr : down[0]));
    std::string got = contents(list), want = show(m, m.size());
    for (std::uintptr_t e = 0; e < 6; ++e)
      got += show(list.isIn(ptr(e))),
          want += show(std::count(m.begin(), m.end(), ptr(e)) > 0);
    return r +
           differs("list", show(got, list.isEmpty()), show(want, m.empty())) +
           standardWalks(list, m);
  }

  // Inserts e in one of four ways (0..3), removes p (4), indexes an iterator
  // and removes what it handed out (5), copies the list and maybe clears it
  // (6), erases by walk position (7), or pushes e on or pops the typed
  // stack (8).
  std::string step(Choices& c) {
    void *e = ptr(c.below(6)), *p = ptr(c.below(6));
    const int pos = int(c.below(10)) - 2, flag = c.below(2), op = c.below(9);
    const long n = long(m.size()),
               at = std::find(m.begin(), m.end(), p) - m.begin(),
               after = std::min(at + 1, n); // the back when p is absent
    if (op < 4) {
      // Where e goes: the back; after p; at pos, the sentinel counting as a
      // position and 0 or less meaning the back; strictly after p, a null p
      // meaning the front and an absent one nowhere (-1).
      const long i = op == 0            ? n
                     : op == 2          ? (pos > 0 ? (pos - 1) % (n + 1) : n)
                     : op == 1 || !flag ? after
                     : !p               ? 0
                     : at < n           ? after
                                        : -1;
      const int r = op == 0   ? (list.insert(e), 0)
                    : op == 1 ? (list.insert(e, p), 0)
                    : op == 2 ? (list.insert(e, pos), 0)
                              : list.insert(e, p, flag);
      if (i >= 0)
        m.insert(m.begin() + i, e);
      return differs("insert", r, i < 0 ? -1 : 0);
    }
    if (op == 4) {
      list.remove(p);
      if (at < n)
        m.erase(m.begin() + at);
      return "";
    }
    if (op == 5) { // index, then maybe remove the element handed out last
      _ListIter it(list);
      const long i = pos < 0 ? n : std::min<long>(pos, n);
      std::string r = differs("it[i]", it[pos], i < n ? m[i] : nullptr);
      if (flag && n) // at the end, the last element goes
        it.removeLastItem(), m.erase(m.begin() + std::min(i, n - 1)),
            r += differs("it()", it(), i + 1 < n ? m[i] : nullptr);
      return r;
    }
    if (op == 7) {
      const ErasePick pick(c);
      return differs("erase_if", eraseWith(list, pick, same), erased(m, pick));
    }
    if (op == 8 && flag)
      return stack.push(static_cast<char*>(e)), pushed.push_back(e), "";
    if (op == 8) {
      void* want = pushed.empty() ? nullptr : pushed.back();
      if (!pushed.empty())
        pushed.pop_back();
      return differs("pop", static_cast<void*>(stack.pop()), want);
    }
    _List copy(list);
    const std::string r = differs("copy", contents(copy), contents(list));
    if (flag)
      list.clear(), m.clear();
    return r;
  }
};

// Keys 0..15 hold elements key + 16 * e, so a walk shows the key order; key
// 0 may hold a null element, which is stored but neither found nor "in".
struct OrderListHarness {
  _OrderList list;
  int m[16]; // the element under each key; -1 for none

  explicit OrderListHarness(Choices&) { std::fill(m, m + 16, -1); }
  long blocks() const { return 16 - std::count(m, m + 16, -1); }
  std::string check() {
    std::string got = contents(list) + standardWalks(list), want;
    Seq<void*> elements;
    for (int e : m)
      if (e >= 0)
        elements.push_back(ptr(e)), want += show(ptr(e));
    want = show(want, blocks()) + standardWalks(elements);
    for (int k = 0; k < 16; ++k)
      got += show(list.find(ptr(k)), list.isIn(ptr(k))),
          want += show(ptr(std::max(m[k], 0)), m[k] > 0);
    return differs("ordered list", got, want);
  }

  std::string step(Choices& c) {
    const int k = c.below(16), e = k + 16 * c.below(3), op = c.below(5);
    if (op < 2) // a present key gets the new element in place
      return list.insert(ptr(k), ptr(e)), m[k] = e, "";
    if (op == 2)
      return list.remove(ptr(k)), m[k] = -1, "";
    if (op == 4) { // erase_if by position in key order
      const ErasePick pick(c);
      Seq<void*> walk;
      for (int key = 0, i = 0; key < 16; ++key)
        if (m[key] >= 0)
          walk.push_back(ptr(m[key])), m[key] = pick.accepts(i++) ? -1 : m[key];
      const std::string want = erased(walk, pick);
      return differs("erase_if", eraseWith(list, pick, same), want);
    }
    _OrderList copy(list);
    return differs("copy", contents(copy), contents(list));
  }
};
