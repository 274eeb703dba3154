// Two object lists against vector models: every result compared; both
// walks of each chain, both ends and an iterator over the first checked
// after every step.
#pragma once

#include "support/Driver.h"

#include <ObjectLst>
#include <ObjectLstIter>

#include <algorithm>

// The walk along next, then the walk along previous; a walk that runs past the
// count (a stray link, a cycle) shows as extra.
struct ObjectLstProbe : ObjectLst {
  std::string walks() const {
    Seq<void*> forth, back;
    for (auto* p = head; p && forth.size() <= length(); p = p->next)
      forth.push_back(p->elementPtr);
    for (auto* p = tail; p && back.size() <= length(); p = p->previous)
      back.push_back(p->elementPtr);
    return show(forth, "|", back, getFirst(), getLast());
  }
};

class ObjectLstHarness {
 public:
  explicit ObjectLstHarness(Choices&) {}
  long blocks() const { return long(model[0].size() + model[1].size()); }

  std::string check() {
    std::string r;
    for (int i = 0; i < 2; ++i) {
      const Seq<void*>& m = model[i];
      r += differs("list", lists[i].walks(),
                   show(m, "|", Seq<void*>(m.rbegin(), m.rend()), at(i, 0),
                        at(i, long(m.size()) - 1))) +
           differs("standard walk", standardWalks(lists[i]), standardWalks(m));
    }
    // [] leaves the cursor where it is; ++ and -- hand out what they leave,
    // and past an end there is nothing.
    ObjectLstIter it(lists[0]);
    const long n = long(model[0].size());
    const Seq<void*> got{it[1], it[n], it++, it(), it--, it()},
        want{at(0, 1), nullptr,  at(0, 0),
             at(0, 1), at(0, 1), at(0, n > 1 ? 0 : -1)};
    return r + differs("iterator", got, want);
  }

  std::string step(Choices& c) {
    const int i = c.below(2), op = c.below(9);
    void *e = ptr(c.below(8)), *a = ptr(c.below(8));
    const std::uint32_t n = c.below(9), dir = c.below(2);
    ObjectLstProbe& l = lists[i];
    Seq<void*>& m = model[i];
    const auto f = std::find(m.begin(), m.end(), a);
    const bool found = f != m.end();
    const std::string r = differs("seek", show(l.seek(a), l.isIn(a)),
                                  show(found ? f - m.begin() : -1, found));
    unsigned got = 0, want = 0; // status codes: 5 when `a` is absent
    if (op == 0)
      l.insert(e), m.insert(m.begin(), e);
    else if (op == 1)
      l.append(e), m.push_back(e);
    else if (op == 2)
      got = l.insert(a, e), want = found ? (m.insert(f + 1, e), 0) : 5;
    else if (op == 3)
      got = l.remove(a), want = found ? (m.erase(f), 0) : 5;
    else if (op == 4)
      got = l.replace(a, e), want = found ? (*f = e, 1) : 0;
    else if (op == 5) { // from the other list, either way, past its end
      Seq<void*> from = model[!i];
      l.carbonCopy(lists[!i], n, dir);
      if (!dir)
        std::reverse(from.begin(), from.end());
      from.resize(std::min<std::size_t>(n, from.size()));
      m = from.empty() ? m : from;
    } else if (op == 6) // assignment copies first; itself included
      l = lists[n % 2], m = model[n % 2];
    else if (op == 7 && n) {
      const ObjectLstProbe copy(l);
      return r + differs("copy", copy.walks(), l.walks());
    } else if (op == 7) {
      l.clearList(), m.clear();
    } else if (op == 8) { // the walk removes the node it is on, not the first
      const ErasePick pick(c); // holder of the same pointer
      return r + differs("erase_if",
                         eraseWith(l, pick, [](void* x) { return x; }),
                         erased(m, pick));
    }
    return r + differs("status", got, want);
  }

 private:
  ObjectLstProbe lists[2];
  Seq<void*> model[2];

  void* at(int i, long k) const {
    return k >= 0 && k < long(model[i].size()) ? model[i][k] : nullptr;
  }
};
