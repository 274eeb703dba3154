// Two object lists and an iterator over the first against vector models:
// every result compared, both walks of each chain checked after every step.
#ifndef PTRBOX_TESTS_OBJECTLSTMODEL_H
#define PTRBOX_TESTS_OBJECTLSTMODEL_H

#include "support/Driver.h"

#include <ObjectLst>
#include <ObjectLstIter>

#include <algorithm>

// The walk along next, a separator (99), the walk along previous; a walk
// that runs past the count (a stray link, a cycle) shows as extra.
struct ObjectLstProbe : ObjectLst {
  Seq<void*> walks() const {
    Seq<void*> v;
    unsigned n = 0;
    for (auto* p = head; p && n++ <= length(); p = p->next)
      v.push_back(p->elementPtr);
    v.push_back(ptr(99)), n = 0;
    for (auto* p = tail; p && n++ <= length(); p = p->previous)
      v.push_back(p->elementPtr);
    return v;
  }
};

class ObjectLstHarness {
 public:
  explicit ObjectLstHarness(Choices&) {}
  long blocks() const { return long(model[0].size() + model[1].size()); }

  Action pick(Choices& c) {
    const int i = c.below(2), op = c.below(12);
    void *e = ptr(c.below(8)), *a = ptr(c.below(8));
    const std::uint32_t n = c.below(9), dir = c.below(2);
    return [=] {
      ObjectLstProbe& l = lists[i];
      Seq<void*>& m = model[i];
      const auto f = std::find(m.begin(), m.end(), a);
      const int pos = f == m.end() ? -1 : int(f - m.begin());
      const long size = long(model[0].size());
      void* here = at(cur);
      std::string r = differs("seek", l.seek(a), pos) +
                      differs("isIn", l.isIn(a), int(pos >= 0));
      if (op == 0)
        l.insert(e), m.insert(m.begin(), e);
      else if (op == 1)
        l.append(e), m.push_back(e);
      else if (op == 2) {
        r += differs("insert after", l.insert(a, e), pos < 0 ? 5u : 0u);
        pos < 0 ? void() : void(m.insert(f + 1, e));
      } else if (op == 3) {
        r += differs("remove", l.remove(a), pos < 0 ? 5u : 0u);
        pos < 0 ? void() : void(m.erase(f));
      } else if (op == 4) {
        r += differs("replace", l.replace(a, e), int(pos >= 0));
        pos < 0 ? void() : void(*f = e);
      } else if (op == 5) { // from the other list, either way, past its end
        Seq<void*> from = model[!i];
        l.carbonCopy(lists[!i], n, dir);
        if (!dir)
          std::reverse(from.begin(), from.end());
        from.resize(std::min<std::size_t>(n, from.size()));
        m = from.empty() ? m : from;
      } else if (op == 6) // assignment builds the copy first; itself included
        l = lists[n % 2], m = Seq<void*>(model[n % 2]);
      else if (op == 7) {
        n ? void() : (l.clearList(), m.clear());
        r += differs("copy", ObjectLstProbe(l).walks(), l.walks());
      } else if (op == 8) {
        cur = cur >= 0 && cur + 1 < size ? cur + 1 : -1;
        return r + differs("it++", it++, here);
      } else if (op == 9) {
        cur = cur > 0 ? cur - 1 : -1;
        return r + differs("it--", it--, here);
      } else if (op == 10)
        return r + differs("it[n]", it[n], at(n));
      if (i == 0 || op == 11) // changes are not told to iterators
        it.reset(), cur = model[0].empty() ? -1 : 0;
      return r;
    };
  }

  std::string check() const {
    std::string r;
    for (const Seq<void*>& m : model) {
      Seq<void*> want = m;
      want.push_back(ptr(99)), want.insert(want.end(), m.rbegin(), m.rend());
      const ObjectLstProbe& l = lists[&m - model];
      r += differs("walks", l.walks(), want) +
           differs("ends", show(l.getFirst(), l.getLast()),
                   show(m.empty() ? nullptr : m[0],
                        m.empty() ? nullptr : m.back()));
    }
    return r + differs("it", show(it(), it.atEnd()), show(at(cur), cur < 0));
  }

 private:
  ObjectLstProbe lists[2];
  Seq<void*> model[2];
  ObjectLstIter it{lists[0]};
  long cur = -1; // the iterator's index in model[0]; -1 at the end

  void* at(long k) const {
    return k >= 0 && k < long(model[0].size()) ? model[0][k] : nullptr;
  }
};

#endif
