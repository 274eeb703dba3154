// A short tour of ptrbox: each container at work, printing what it does.
#include "tour.h"

#include <cstdio>

int main() {
  std::puts("== ptrbox tour ==");
  tourModern();
  std::puts("-- the classic interface --");
  tourList();
  tourHash();
  tourTree();
  tourMTree();
  tourObjectLst();
  std::puts("== end of tour ==");
  return 0;
}
