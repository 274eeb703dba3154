#include "tour.h"

#include <ObjectLst>
#include <ObjectLstIter>

#include <cstdio>

namespace {
const char* text(void* element) { return static_cast<const char*>(element); }
} // namespace

void tourObjectLst() {
  const char* planets[] = {"mercury", "venus", "earth", "mars"};

  ObjectLst list;
  for (const char* p : planets)
    list.append(p);
  list.insert("sun");              // at the head
  list.insert(planets[2], "moon"); // right after "earth"
  std::printf("object list (%u):", list.length());
  ObjectLstIter it(list);
  while (!it.atEnd())
    std::printf(" %s", text(it++));
  std::puts("");
  std::printf("seek(mars) -> %d; remove(pluto) -> %u\n", list.seek(planets[3]),
              list.remove("pluto"));

  // There is no reset to the tail: step there, then walk back past the head.
  it.reset();
  for (unsigned i = 1; i < list.length(); ++i)
    it++;
  std::printf("backward walk:");
  while (!it.atEnd())
    std::printf(" %s", text(it--));
  std::puts("");

  ObjectLst copy;
  copy.append("stale");
  copy.carbonCopy(list, 3, 0); // the last three, from the tail
  std::printf("carbonCopy of 3 from the tail (%u): %s %s %s\n", copy.length(),
              text(ObjectLstIter(copy)[0]), text(ObjectLstIter(copy)[1]),
              text(copy.getLast()));
}
