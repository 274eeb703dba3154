// Harnesses for the list family: _List with _ListIter and copies against a
// vector, _OrderList against an element per key, _Stack against a vector.
#ifndef PTRBOX_TESTS_LISTMODEL_H
#define PTRBOX_TESTS_LISTMODEL_H

#include "support/Driver.h"

#include <ListIter>
#include <OrderList>
#include <Stack>

#include <algorithm>

// The elements front to back, then the size.
inline Seq<void*> contents(_List& list) {
  Seq<void*> v;
  for (_ListIter it(list); !it.atEnd();)
    v.push_back(it++);
  v.push_back(ptr(list.size() == list.length() ? list.size() : -1));
  return v;
}

struct ListHarness {
  _List list;
  Seq<void*> model;

  explicit ListHarness(Choices&) {}
  long blocks() const { return long(model.size()); }
  std::string check() {
    Seq<void*> want = model;
    want.push_back(ptr(model.size()));
    return differs("list", contents(list), want);
  }

  Action pick(Choices& c) {
    void *e = ptr(c.below(6)), *p = ptr(c.below(6)); // 0 is null
    const int pos = int(c.below(10)) - 2, flag = c.below(2), op = c.below(8);
    return [=] {
      const auto f = std::find(model.begin(), model.end(), p);
      const std::size_t n = model.size(), at = f - model.begin(), // n: absent
          after = std::min(at + 1, n);
      auto put = [&](std::size_t i) { model.insert(model.begin() + i, e); };
      std::string r;
      if (op == 0)
        list.insert(e), put(n);
      else if (op == 1)
        list.insert(e, p), put(after);
      else if (op == 2)
        list.insert(e, pos), put(pos <= 0 ? n : (pos - 1) % (n + 1));
      else if (op == 3) { // strict: a null pred puts it first, an absent one
        r = differs("strict", list.insert(e, p, flag), // nowhere
                    flag && p && at == n ? -1 : 0);
        if (!flag || at < n || !p)
          put(flag && !p ? 0 : after);
      } else if (op == 4)
        list.remove(p), at < n ? void(model.erase(f)) : void();
      else if (op == 5) { // index, then remove the element handed out last
        _ListIter it(list);
        const std::size_t i = pos < 0 ? n : std::min<std::size_t>(pos, n);
        r = differs("it[i]", it[pos], i < n ? model[i] : nullptr);
        if (flag && n) // at the end, the last element goes
          it.removeLastItem(), model.erase(model.begin() + std::min(i, n - 1)),
              r += differs("it()", it(), i + 1 < n ? model[i] : nullptr);
      } else if (op == 6) {
        _List copy(list);
        r = differs("copy", contents(copy), contents(list));
      } else if (op == 7 && flag)
        list.clear(), model.clear();
      const bool in = std::count(model.begin(), model.end(), p);
      return r + differs("isIn", list.isIn(p), int(in)) +
             differs("isEmpty", list.isEmpty(), int(model.empty()));
    };
  }
};

// Elements are key + 16 * e, so a walk shows the key order (and key 0 may
// hold a null element, which is not "in").
struct OrderListHarness {
  _OrderList list;
  int model[16]; // the element under each key; -1 for none

  explicit OrderListHarness(Choices&) { std::fill(model, model + 16, -1); }
  long blocks() const { return 16 - std::count(model, model + 16, -1); }
  std::string check() {
    Seq<void*> want;
    for (int e : model)
      if (e >= 0)
        want.push_back(ptr(e));
    want.push_back(ptr(want.size()));
    return differs("ordered list", contents(list), want);
  }

  Action pick(Choices& c) {
    const int k = c.below(16), e = k + 16 * c.below(3), op = c.below(4);
    return [=] {
      std::string r;
      if (op < 2)
        list.insert(ptr(k), ptr(e)), model[k] = e;
      else if (op == 2)
        list.remove(ptr(k)), model[k] = -1;
      else {
        _OrderList copy(list);
        r = differs("copy", contents(copy), contents(list));
      }
      const std::uintptr_t want = std::max(model[k], 0);
      return r + differs("find", num(list.find(ptr(k))), want) +
             differs("isIn", list.isIn(ptr(k)), int(want != 0));
    };
  }
};

struct StackHarness {
  _Stack stack;
  Seq<void*> model;

  explicit StackHarness(Choices&) {}
  long blocks() const { return long(model.size()); }
  void* top() const { return model.empty() ? nullptr : model.back(); }
  std::string check() {
    return differs("top", show(stack.top(), stack.isEmpty()),
                   show(top(), model.empty()));
  }

  Action pick(Choices& c) {
    const std::uintptr_t e = c.below(5); // 4: pop
    return [=] {
      if (e < 4)
        return stack.push(ptr(e)), model.push_back(ptr(e)), std::string();
      void *got = stack.pop(), *want = top();
      model.resize(model.size() - !model.empty());
      return differs("pop", got, want);
    };
  }
};

#endif
