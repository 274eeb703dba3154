// Harnesses for the operation-sequence driver: _List with _ListIter against
// a std::vector, _OrderList against a std::map, _Stack against a vector.
#ifndef PTRBOX_TESTS_LISTMODEL_H
#define PTRBOX_TESTS_LISTMODEL_H

#include "support/Driver.h"

#include <ListIter>
#include <OrderList>
#include <Stack>

#include <algorithm>
#include <map>
#include <vector>

// Reads the ring directly, so a harness can check both directions.
template <class L> struct Inspectable : L {
  using Keyed = std::vector<std::pair<std::uintptr_t, void*>>;
  std::vector<void*> forward() const {
    std::vector<void*> v;
    for (const _ListItem* p = this->head.forw; p != &this->head; p = p->forw)
      v.push_back(p->data);
    return v;
  }
  Keyed keyed() const { // ordered lists only
    Keyed v;
    for (const _ListItem* p = this->head.forw; p != &this->head; p = p->forw)
      v.emplace_back(reinterpret_cast<std::uintptr_t>(
                         static_cast<const _OListItem*>(p)->key),
                     p->data);
    return v;
  }
  std::string checkRing() const {
    std::vector<void*> back;
    for (const _ListItem* p = this->head.back; p != &this->head; p = p->back)
      back.insert(back.begin(), p->data);
    if (back != forward() || this->head.data)
      return "ring links broken";
    return differs("count", std::size_t(this->count), back.size());
  }
};

struct ListHarness {
  Inspectable<_List> list;
  std::vector<void*> model;

  // Where an element goes after `pred`: behind its first holder, else last.
  std::vector<void*>::iterator after(void* pred) {
    auto it = std::find(model.begin(), model.end(), pred);
    return it == model.end() ? it : it + 1;
  }

  std::string step(Choices& c) {
    void* e = ptr(c.below(6)); // 0 is a null element
    void* pred = ptr(c.below(6));
    const bool held = std::count(model.begin(), model.end(), pred) > 0;
    switch (c.below(9)) {
    case 0:
      list.insert(e);
      model.push_back(e);
      return {};
    case 1:
      list.insert(e, pred);
      model.insert(after(pred), e);
      return {};
    case 2: {
      const int pos = static_cast<int>(c.below(10)) - 2;
      const std::size_t n = model.size();
      list.insert(e, pos);
      model.insert(model.begin() + (pos <= 0 ? n : (pos - 1) % (n + 1)), e);
      return {};
    }
    case 3: {
      const int strict = static_cast<int>(c.below(2));
      const int r = list.insert(e, pred, strict);
      if (strict && !pred)
        model.insert(model.begin(), e);
      else if (!strict || held)
        model.insert(after(pred), e);
      return differs("strict insert", r, strict && pred && !held ? -1 : 0);
    }
    case 4:
      list.remove(e);
      if (std::count(model.begin(), model.end(), e))
        model.erase(std::find(model.begin(), model.end(), e));
      return {};
    case 5:
      return differs("isIn", list.isIn(pred), static_cast<int>(held));
    case 6: { // index, then maybe remove the element handed out last
      _ListIter it(list);
      const int i = static_cast<int>(c.below(8)) - 1;
      const bool in = i >= 0 && std::size_t(i) < model.size();
      std::string err = differs("operator[]", it[i], in ? model[i] : nullptr);
      if (err.empty() && in && c.below(2)) {
        it.removeLastItem();
        model.erase(model.begin() + i);
        err = differs("after removal", it(),
                      std::size_t(i) < model.size() ? model[i] : nullptr);
      }
      return err;
    }
    case 7:
      return Inspectable<_List>(list).forward() == model ? "" : "bad copy";
    default:
      if (c.below(4) == 0) {
        list.clear();
        model.clear();
      }
      return differs("isEmpty", list.isEmpty(), int(model.empty()));
    }
  }

  std::string check() const {
    return list.forward() == model ? list.checkRing() : "contents differ";
  }
};

struct OrderListHarness {
  Inspectable<_OrderList> list;
  std::map<std::uintptr_t, void*> model;

  std::string step(Choices& c) {
    const std::uintptr_t k = c.below(16);
    void* e = ptr(c.below(4));
    auto it = model.find(k);
    void* want = it == model.end() ? nullptr : it->second;
    switch (c.below(5)) {
    case 0:
    case 1:
      list.insert(ptr(k), e);
      model[k] = e;
      return {};
    case 2:
      list.remove(ptr(k));
      model.erase(k);
      return {};
    case 3:
      return differs("find", list.find(ptr(k)), want) +
             differs("isIn", list.isIn(ptr(k)), int(want != nullptr));
    default:
      return Inspectable<_OrderList>(list).keyed() == list.keyed() ? ""
                                                                   : "bad copy";
    }
  }

  std::string check() const {
    return list.keyed() == decltype(list)::Keyed(model.begin(), model.end())
               ? list.checkRing()
               : "keys or elements differ";
  }
};

struct StackHarness {
  _Stack stack;
  std::vector<void*> model;

  std::string step(Choices& c) {
    void* want = model.empty() ? nullptr : model.back();
    switch (c.below(3)) {
    case 0:
      model.push_back(ptr(c.below(4)));
      stack.push(model.back());
      return {};
    case 1:
      if (!model.empty())
        model.pop_back();
      return differs("pop", stack.pop(), want);
    default:
      return differs("top", stack.top(), want);
    }
  }
  std::string check() const {
    return differs("isEmpty", stack.isEmpty(), int(model.empty()));
  }
};

#endif
