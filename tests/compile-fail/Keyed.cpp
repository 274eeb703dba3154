// Each PTRBOX_CASE but 0 misuses a typed keyed container and must stop the
// compilation with the message tests/CMakeLists.txt names; case 0 is the
// same declarations used as intended, and must compile.
#include <Keyed>

#include <functional>

struct Point { // an order, no hash
  int x;
  bool operator<(const Point& o) const { return x < o.x; }
};
struct Opaque {}; // neither

#if PTRBOX_CASE == 0
ptrbox::Tree<Point, int> ok1;
ptrbox::Hash<int, int> ok2;
#elif PTRBOX_CASE == 1
ptrbox::Tree<int, int, std::function<bool(int, int)>> bad;
#elif PTRBOX_CASE == 2
ptrbox::Hash<int, int, std::function<std::size_t(int)>> bad;
#elif PTRBOX_CASE == 3
ptrbox::Hash<Point, int> bad;
#elif PTRBOX_CASE == 4
ptrbox::OrderList<Opaque, int> bad;
#endif

int main() {}
