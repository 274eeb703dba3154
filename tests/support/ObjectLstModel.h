// The object list and its iterator against a std::list model: one random
// operation per step with every result compared, and both walks of the chain
// checked after every step.
#ifndef PTRBOX_TESTS_OBJECTLSTMODEL_H
#define PTRBOX_TESTS_OBJECTLSTMODEL_H

#include "support/Driver.h"

#include <ObjectLst>
#include <ObjectLstIter>

#include <algorithm>
#include <iterator>
#include <list>
#include <string>
#include <vector>

// Opens the protected links to the checks.
class ObjectLstProbe : public ObjectLst {
 public:
  using ObjectLst::head, ObjectLst::tail, ObjectLst::operator=;
};

inline std::string objectLstName(void* p) {
  return " " + std::to_string(reinterpret_cast<std::uintptr_t>(p));
}

// "count: walk along next / walk along previous"; a walk that runs past the
// count (a link beyond the head or the tail, or a cycle) shows as extra.
inline std::string objectLstWalks(const ObjectLstProbe& l) {
  std::string s = std::to_string(l.length()) + ":";
  unsigned n = 0;
  for (auto* p = l.head; p && n++ <= l.length(); p = p->next)
    s += objectLstName(p->elementPtr);
  s += " /", n = 0;
  for (auto* p = l.tail; p && n++ <= l.length(); p = p->previous)
    s += objectLstName(p->elementPtr);
  return s;
}

class ObjectLstHarness {
 public:
  std::string step(Choices& c) {
    void *e = ptr(c.below(8)), *a = ptr(c.below(8)), *here = it();
    const auto at = std::find(model.begin(), model.end(), a), end = model.end();
    const bool found = at != end;
    const int pos = found ? int(std::distance(model.begin(), at)) : -1;
    std::string r = differs("seek", list.seek(a), pos) +
                    differs("isIn", list.isIn(a), found ? 1 : 0) +
                    differs("it()", here, cur == end ? nullptr : *cur);
    switch (c.below(12)) {
    case 0:
      list.insert(e), model.push_front(e);
      break;
    case 1:
      list.append(e), model.push_back(e);
      break;
    case 2:
      r += differs("insert after", list.insert(a, e), found ? 0u : 5u);
      if (found)
        model.insert(std::next(at), e);
      break;
    case 3:
      r += differs("remove", list.remove(a), found ? 0u : 5u);
      if (found)
        model.erase(at);
      break;
    case 4:
      r += differs("replace", list.replace(a, e), found ? 1 : 0);
      if (found)
        *at = e;
      break;
    case 5:
      if (c.below(8) == 0)
        list.clearList(), model.clear();
      break;
    case 6: { // from another list, either way, up to a count past its end
      ObjectLst source;
      std::vector<void*> want;
      for (std::uint32_t k = c.below(7); k > 0; --k)
        want.push_back(ptr(c.below(8))), source.append(want.back());
      const std::uint32_t n = c.below(9), forward = c.below(2);
      if (!forward)
        std::reverse(want.begin(), want.end());
      want.resize(std::min<std::size_t>(n, want.size()));
      list.carbonCopy(source, n, forward);
      if (!want.empty())
        model.assign(want.begin(), want.end());
      break;
    }
    case 7: { // assignment swaps in nodes of its own, so check() sees them
      const ObjectLstProbe copy(list);
      r += differs("copy", objectLstWalks(copy), objectLstWalks(list));
      list.clearList(), list = copy;
      break;
    }
    case 8:
      cur = cur == end ? end : std::next(cur);
      return r + differs("it++", it++, here);
    case 9:
      cur = cur == end || cur == model.begin() ? end : std::prev(cur);
      return r + differs("it--", it--, here);
    default: {
      const auto k = c.below(static_cast<std::uint32_t>(model.size()) + 2);
      void* kth = k < model.size() ? *std::next(model.begin(), k) : nullptr;
      return r + differs("it[k]", it[k], kth) +
             differs("atEnd", it.atEnd(), cur == end ? 1 : 0);
    }
    }
    it.reset(), cur = model.begin();
    return r;
  }

  std::string check() {
    std::string want = std::to_string(model.size()) + ":";
    for (void* p : model)
      want += objectLstName(p);
    want += " /";
    for (auto p = model.rbegin(); p != model.rend(); ++p)
      want += objectLstName(*p);
    void* first = model.empty() ? nullptr : model.front();
    void* last = model.empty() ? nullptr : model.back();
    if (list.getFirst() != first || list.getLast() != last)
      return "getFirst or getLast differs from the model";
    return differs("walks", objectLstWalks(list), want);
  }

 private:
  ObjectLstProbe list;
  ObjectLstIter it{list};
  std::list<void*> model;
  std::list<void*>::iterator cur = model.begin();
};

#endif
