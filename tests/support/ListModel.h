// Harnesses for the list family: _List with _ListIter and copies against a
// vector, _OrderList against an element per key, _Stack against a vector.
#ifndef PTRBOX_TESTS_LISTMODEL_H
#define PTRBOX_TESTS_LISTMODEL_H

#include "support/Driver.h"

#include <ListIter>
#include <OrderList>
#include <Stack>

#include <algorithm>

// Elements (or an ordered list's keys) front to back, and a last entry of
// ptr(-1) unless the backward walk, the counts and the sentinel agree.
template <class L> struct Ring : L {
  Seq<void*> walk(bool keys = false) const {
    auto at = [keys](const _ListItem* p) {
      return keys ? static_cast<const _OListItem*>(p)->key : p->data;
    };
    Seq<void*> v, back;
    for (const _ListItem* p = this->head.forw; p != &this->head; p = p->forw)
      v.push_back(at(p));
    for (const _ListItem* p = this->head.back; p != &this->head; p = p->back)
      back.insert(back.begin(), at(p));
    if (back != v || this->head.data || this->size() != int(v.size()) ||
        this->length() != this->size())
      v.push_back(ptr(-1));
    return v;
  }
};

struct ListHarness {
  Ring<_List> list;
  Seq<void*> model;

  explicit ListHarness(Choices&) {}
  long blocks() const { return long(model.size()); }
  std::string check() const { return differs("list", list.walk(), model); }

  Action pick(Choices& c) {
    void *e = ptr(c.below(6)), *p = ptr(c.below(6)); // 0 is null
    const int pos = int(c.below(10)) - 2, flag = c.below(2), op = c.below(8);
    return [=] {
      const auto f = std::find(model.begin(), model.end(), p);
      const bool held = f != model.end();
      const std::size_t n = model.size(),
                        after = held ? f - model.begin() + 1 : n;
      auto put = [&](std::size_t at) { model.insert(model.begin() + at, e); };
      std::string r;
      switch (op) {
      case 0:
        list.insert(e), put(n);
        break;
      case 1:
        list.insert(e, p), put(after);
        break;
      case 2:
        list.insert(e, pos), put(pos <= 0 ? n : (pos - 1) % (n + 1));
        break;
      case 3: // strict: a null pred puts it first, an absent one nowhere
        r = differs("strict", list.insert(e, p, flag),
                    flag && p && !held ? -1 : 0);
        if (!flag || held || !p)
          put(flag && !p ? 0 : after);
        break;
      case 4:
        list.remove(p);
        if (held)
          model.erase(f);
        break;
      case 5: { // index, then maybe remove the element handed out last
        _ListIter it(list);
        const std::size_t i = pos < 0 || std::size_t(pos) >= n ? n : pos;
        r = differs("it[i]", it[pos], i < n ? model[i] : nullptr);
        if (flag && n) // at the end, the last element goes
          it.removeLastItem(), model.erase(model.begin() + std::min(i, n - 1)),
              r += differs("it()", it(), i + 1 < n ? model[i] : nullptr);
        break;
      }
      case 6:
        r = differs("copy", Ring<_List>(list).walk(), model);
        break;
      default:
        if (flag)
          list.clear(), model.clear();
        r = differs("isEmpty", list.isEmpty(), int(model.empty()));
      }
      const bool in = std::count(model.begin(), model.end(), p);
      return r + differs("isIn", list.isIn(p), int(in));
    };
  }
};

struct OrderListHarness {
  Ring<_OrderList> list;
  int model[16]; // the element under each key; -1 for none

  explicit OrderListHarness(Choices&) { std::fill(model, model + 16, -1); }
  long blocks() const {
    return std::count_if(model, model + 16, [](int e) { return e >= 0; });
  }

  Action pick(Choices& c) {
    const std::uintptr_t k = c.below(16), e = c.below(4), op = c.below(4);
    return [=] {
      if (op < 2)
        list.insert(ptr(k), ptr(e)), model[k] = int(e);
      if (op == 2)
        list.remove(ptr(k)), model[k] = -1;
      const std::string r =
          op < 3 ? ""
                 : differs("copy", Ring<_OrderList>(list).walk(true),
                           list.walk(true));
      const std::uintptr_t want = model[k] > 0 ? model[k] : 0; // null: not in
      return r + differs("find", num(list.find(ptr(k))), want) +
             differs("isIn", list.isIn(ptr(k)), int(want != 0));
    };
  }

  std::string check() const {
    Seq<void*> keys, elements;
    for (std::uintptr_t k = 0; k < 16; ++k)
      if (model[k] >= 0)
        keys.push_back(ptr(k)), elements.push_back(ptr(model[k]));
    return differs("keys", list.walk(true), keys) +
           differs("elements", list.walk(), elements);
  }
};

struct StackHarness {
  _Stack stack;
  Seq<void*> model;

  explicit StackHarness(Choices&) {}
  long blocks() const { return long(model.size()); }
  void* top() const { return model.empty() ? nullptr : model.back(); }
  std::string check() const {
    return differs("top", stack.top(), top()) +
           differs("isEmpty", stack.isEmpty(), int(model.empty()));
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
