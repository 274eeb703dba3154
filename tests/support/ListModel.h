// Harnesses for the operation-sequence driver: _List with _ListIter against
// a std::vector, _OrderList against a std::map, _Stack against a vector.
#ifndef PTRBOX_TESTS_LISTMODEL_H
#define PTRBOX_TESTS_LISTMODEL_H

#include "support/Driver.h"

#include <List>
#include <ListIter>
#include <OrderList>
#include <Stack>

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

// Reads the ring directly, so the harness can check both directions.
template <class L> class Inspectable : public L {
 public:
  std::vector<void*> forward() const {
    std::vector<void*> v;
    for (const _ListItem* p = this->head.forw; p != &this->head; p = p->forw)
      v.push_back(p->data);
    return v;
  }
  // Keys and elements, front to back; for ordered lists only.
  std::vector<std::pair<std::uintptr_t, void*>> keyed() const {
    std::vector<std::pair<std::uintptr_t, void*>> v;
    for (const _ListItem* p = this->head.forw; p != &this->head; p = p->forw)
      v.emplace_back(reinterpret_cast<std::uintptr_t>(
                         static_cast<const _OListItem*>(p)->key),
                     p->data);
    return v;
  }
  std::string checkRing() const {
    std::vector<void*> back;
    for (const _ListItem* p = this->head.back; p != &this->head; p = p->back)
      back.push_back(p->data);
    std::vector<void*> fwd = forward();
    std::reverse(back.begin(), back.end());
    if (back != fwd)
      return "backward walk is not the forward walk reversed";
    if (this->head.data != nullptr)
      return "sentinel holds an element";
    return differs("count", static_cast<std::size_t>(this->count), fwd.size());
  }
};

struct ListHarness {
  Inspectable<_List> list;
  std::vector<void*> model;

  void* element(Choices& c) { return ptr(c.below(6)); } // 0 is a null element
  long find(void* e) const {
    auto it = std::find(model.begin(), model.end(), e);
    return it == model.end() ? -1 : it - model.begin();
  }

  std::string step(Choices& c) {
    void* e = element(c);
    void* pred = element(c);
    const long at = find(pred);
    const std::size_t back = model.size();
    switch (c.below(9)) {
    case 0:
      list.insert(e);
      model.push_back(e);
      return {};
    case 1:
      list.insert(e, pred);
      model.insert(at < 0 ? model.end() : model.begin() + at + 1, e);
      return {};
    case 2: {
      const int pos = static_cast<int>(c.below(10)) - 2;
      list.insert(e, pos);
      const std::size_t k = pos <= 0 ? back : (pos - 1) % (back + 1);
      model.insert(model.begin() + k, e);
      return {};
    }
    case 3: {
      const int strict = static_cast<int>(c.below(2));
      const int r = list.insert(e, pred, strict);
      int want = 0;
      if (!strict)
        model.insert(at < 0 ? model.end() : model.begin() + at + 1, e);
      else if (!pred)
        model.insert(model.begin(), e);
      else if (at >= 0)
        model.insert(model.begin() + at + 1, e);
      else
        want = -1;
      return differs("strict insert result", r, want);
    }
    case 4:
      list.remove(e);
      if (find(e) >= 0)
        model.erase(model.begin() + find(e));
      return {};
    case 5:
      return differs("isIn", list.isIn(e), static_cast<int>(find(e) >= 0));
    case 6: { // index, then remove the element handed out last
      _ListIter it(list);
      const int i = static_cast<int>(c.below(8)) - 1;
      const bool in = i >= 0 && static_cast<std::size_t>(i) < model.size();
      std::string err = differs("operator[]", it[i], in ? model[i] : nullptr);
      if (!err.empty() || !in || c.below(2))
        return err;
      it.removeLastItem();
      model.erase(model.begin() + i);
      return differs("operator() after removal", it(),
                     static_cast<std::size_t>(i) < model.size() ? model[i]
                                                                : nullptr);
    }
    case 7: {
      const _List copy(list);
      _ListIter it(const_cast<_List&>(copy));
      std::vector<void*> walked;
      while (!it.atEnd())
        walked.push_back(it++);
      return walked == model ? "" : "copy differs from its source";
    }
    default:
      if (c.below(4) == 0) {
        list.clear();
        model.clear();
      }
      return differs("isEmpty", list.isEmpty(),
                     static_cast<int>(model.empty()));
    }
  }

  std::string check() const {
    if (list.forward() != model)
      return "contents differ from the model";
    std::string err = list.checkRing();
    return err.empty() ? differs("size", static_cast<std::size_t>(list.size()),
                                 model.size())
                       : err;
  }
};

struct OrderListHarness {
  Inspectable<_OrderList> list;
  std::map<std::uintptr_t, void*> model;

  std::string step(Choices& c) {
    const std::uintptr_t k = c.below(16);
    void* e = ptr(c.below(4));
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
    case 3: {
      auto it = model.find(k);
      void* want = it == model.end() ? nullptr : it->second;
      std::string err = differs("find", list.find(ptr(k)), want);
      return err.empty() ? differs("isIn", list.isIn(ptr(k)),
                                   static_cast<int>(want != nullptr))
                         : err;
    }
    default: {
      const Inspectable<_OrderList> copy(list);
      return copy.keyed() == list.keyed() ? "" : "copy differs from its source";
    }
    }
  }

  std::string check() const {
    if (list.keyed() != std::vector<std::pair<std::uintptr_t, void*>>(
                            model.begin(), model.end()))
      return "keys or elements differ from the model";
    return list.checkRing();
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
    return differs("isEmpty", stack.isEmpty(), static_cast<int>(model.empty()));
  }
};

#endif
