// The seeded operation-sequence driver, and the allocation probe it runs on.
// A harness owns a container and a small model of it and provides
//   std::string step(Choices&); // draws one operation, applies it to the
//                               // container and then to the model; "" or
//                               // the first result that disagrees
//   std::string check();        // "" when contents, held positions and
//                               // invariants agree with the model
//   long blocks() const;        // blocks the container holds; < 0: unknown
// With failure injection on, each step is first run with its allocation
// k = 0, 1, ... failing (once, and from k on), redrawing the same choices,
// until it completes: each failure must throw std::bad_alloc and leave
// check() passing and no block held. Tests draw from a seeded generator,
// fuzz targets from the fuzzer's input bytes.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <new>
#include <random>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include <Erase>
#include <View>

// The test binary's global allocation operators (AllocProbe.cpp) count every
// block of every form, and fail the allocation `nth` from now (0: the next):
// only that one, or that one and every one after it.
namespace allocprobe {
extern std::atomic<std::size_t> allocs, frees; // threads allocate too
extern int quiet;                              // while > 0, nothing fails
inline long live() { return long(allocs - frees); }
void failAt(std::size_t nth, bool once);
void disarm();
} // namespace allocprobe

// Models allocate with malloc: counted blocks are the containers' alone, and
// injected failures hit only the containers.
template <class T> struct Raw : std::allocator<T> {
  template <class U> struct rebind { using other = Raw<U>; };
  T* allocate(std::size_t n) {
    return static_cast<T*>(std::malloc(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t) { std::free(p); }
};
template <class T> using Seq = std::vector<T, Raw<T>>;

template <class T> std::ostream& operator<<(std::ostream& os, const Seq<T>& v) {
  for (const T& x : v)
    os << x << ' ';
  return os;
}

// The values, each followed by a space. Formatting is the test's own work,
// never an allocation point of the step it describes.
template <class... T> std::string show(const T&... v) {
  ++allocprobe::quiet;
  std::ostringstream os;
  ((os << v << ' '), ...);
  std::string s = os.str();
  --allocprobe::quiet;
  return s;
}

// "" when got == want, else a message.
template <class T>
std::string differs(const char* what, const T& got, const T& want) {
  return got == want ? "" : show(what, got, "/ model:", want);
}

// Draws from a seeded generator, or from bytes until they run out.
struct Choices {
  std::mt19937 rng;
  const std::uint8_t *data = nullptr, *end = nullptr; // the bytes left
  bool exhausted() const { return data && data == end; }
  std::uint32_t below(std::uint32_t bound) { // in [0, bound)
    std::uint32_t v = data ? 0 : rng();
    for (int i = 0; i < 2 && data != end; ++i)
      v = v << 8 | *data++;
    return v % bound;
  }
};

// Runs one step; with `swept`, first fails each of its allocation points in
// turn (and counts them there).
template <class H> std::string apply(H& h, Choices& c, std::size_t* swept) {
  for (std::size_t k = 0; swept; ++k) {
    for (bool once : {true, false}) {
      Choices again = c;
      const long live = allocprobe::live();
      try {
        allocprobe::failAt(k, once);
        const std::string r = h.step(again);
        return allocprobe::disarm(), c = again, r;
      } catch (const std::bad_alloc&) {
        allocprobe::disarm(), ++*swept;
      }
      // A step may drop what it replaces before it fails; it keeps nothing.
      const long kept = h.blocks() < 0 ? 0 : allocprobe::live() - live;
      const std::string err =
          differs("blocks kept", std::max(kept, 0L), 0L) + h.check();
      if (!err.empty())
        return show("failing allocation", k, once ? "once:" : "on:", err);
    }
  }
  return h.step(c);
}

// Runs up to `steps` steps; "" or the first fault.
template <class H>
std::string runSteps(H& h, Choices& c, std::size_t steps,
                     std::size_t* swept = nullptr) {
  const long base = allocprobe::live() - h.blocks();
  std::string err = h.check();
  for (std::size_t i = 0; err.empty() && i < steps && !c.exhausted(); ++i) {
    err = apply(h, c, swept);
    if (err.empty() && h.blocks() >= 0)
      err = differs("blocks", allocprobe::live() - base, h.blocks());
    if (!(err += h.check()).empty())
      return show("step", i, ":", err);
  }
  return err;
}

// A family's model test: seeded runs with failure injection, after which no
// block may be left. Prints the failure points swept.
template <class H>
std::string runSeeds(const char* family, std::uint32_t seeds,
                     std::size_t steps) {
  std::size_t swept = 0;
  const long live = allocprobe::live();
  for (std::uint32_t seed = 1; seed <= seeds; ++seed) {
    Choices c{std::mt19937(seed)};
    H h(c);
    if (const std::string err = runSteps(h, c, steps, &swept); !err.empty())
      return show("seed", seed, err);
  }
  std::printf("%s: %zu allocation-failure points swept\n", family, swept);
  return differs("blocks left", allocprobe::live(), live);
}

// A range seen through f: the items forward by range-for and by what `it++`
// returns; backward by `--it`, by what `it--` returns and by the reverse
// iterators' `it++`, each put back in forward order (forward again where the
// iterators are only forward); then what std::distance, std::find_if and
// std::count_if say of the items equal to `probe`. A container's standard
// walks must give what its model's do. Walks stop after size + 1 steps.
template <class R, class F, class T>
std::string stdWalks(R&& r, F f, const T& probe) {
  Seq<T> forth, post, back, down, rev;
  for (auto&& x : r)
    forth.push_back(f(x));
  using It = decltype(r.begin());
  const std::size_t n = forth.size();
  for (It it = r.begin(); it != r.end() && post.size() <= n;)
    post.push_back(f(*it++));
  using Category = typename std::iterator_traits<It>::iterator_category;
  if constexpr (std::is_base_of_v<std::bidirectional_iterator_tag, Category>) {
    for (It it = r.end(); it != r.begin() && back.size() <= n;)
      back.insert(back.begin(), f(*--it));
    if (n) { // it-- from the last item, each step reading the item it leaves
      It it = std::prev(r.end());
      for (std::size_t k = 1; k < n; ++k)
        down.insert(down.begin(), f(*it--));
      down.insert(down.begin(), f(*it));
    }
    // Reverse iterators yield what the forward ones do (the typed containers
    // may inherit a classic rbegin() that yields something else).
    if constexpr (std::is_same_v<decltype(*std::rbegin(r)),
                                 decltype(*r.begin())>)
      for (auto ri = std::rbegin(r); ri != std::rend(r) && rev.size() <= n;)
        rev.insert(rev.begin(), f(*ri++));
    else
      rev = forth;
  } else {
    back = down = rev = forth;
  }
  const auto is = [&](auto&& x) { return f(x) == probe; };
  const It first = r.begin(), end = r.end();
  return show(forth, "|", post, "|", back, "|", down, "|", rev,
              std::distance(first, end),
              std::distance(first, std::find_if(first, end, is)),
              std::count_if(first, end, is));
}
template <class T> std::string stdWalks(const Seq<T>& model, const T& probe) {
  return stdWalks(
      model, [](const T& x) { return x; }, probe);
}
// "" when the standard walks of r through f give the model's.
template <class R, class F, class T>
std::string walksLike(const char* what, R&& r, F f, const Seq<T>& model,
                      const T& probe) {
  return differs(what, stdWalks(r, f, probe), stdWalks(model, probe));
}

// A predicate for ptrbox::erase_if by walk position: it accepts position i
// when bit i % 8 of `mask` is set and throws (an int) on reaching position
// `stop`, so it may remove one holder of a pointer and keep another.
struct ErasePick {
  unsigned mask, stop;
  explicit ErasePick(Choices& c) : mask(c.below(256)), stop(c.below(40)) {}
  bool accepts(std::size_t i) const { return i < stop && (mask >> i % 8 & 1); }
};

// erase_if(c) with `pick`: what the predicate saw (through f), then the count
// returned (-1 when the predicate threw). It must allocate nothing.
template <class C, class F>
std::string eraseWith(C& c, const ErasePick& pick, F f) {
  Seq<std::decay_t<decltype(f(*c.begin()))>> seen;
  long count = -1;
  const std::size_t allocs = allocprobe::allocs;
  std::size_t made = 0; // by erase_if: up to its end or the predicate's throw
  try {
    count = long(ptrbox::erase_if(c, [&](auto&& x) {
      if (seen.size() == pick.stop) {
        made = allocprobe::allocs - allocs;
        ++allocprobe::quiet; // some runtimes allocate the exception
        throw 0;
      }
      seen.push_back(f(x));
      return pick.accepts(seen.size() - 1);
    }));
    made = allocprobe::allocs - allocs;
  } catch (int) {
    --allocprobe::quiet;
  }
  return show(seen, "|", count) +
         differs("erase_if allocations", made, std::size_t(0));
}
// What eraseWith must give for a container walking as `model`, which then
// loses the items `pick` accepts.
template <class T> std::string erased(Seq<T>& model, const ErasePick& pick) {
  Seq<T> kept;
  long count = 0;
  for (std::size_t i = 0; i < model.size(); ++i)
    pick.accepts(i) ? void(++count) : kept.push_back(model[i]);
  const bool threw = pick.stop < model.size();
  const Seq<T> seen(model.begin(),
                    model.begin() + long(threw ? pick.stop : model.size()));
  model = kept;
  return show(seen, "|", threw ? -1 : count);
}

// Small integers as keys and elements: the containers never dereference.
inline void* ptr(std::uintptr_t v) { return reinterpret_cast<void*>(v); }
inline std::uintptr_t num(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

// The standard walks of a container of elements and of its typed view; for
// a model, what they must give.
template <class C> std::string standardWalks(const C& c) {
  const auto same = [](void* e) { return e; };
  return stdWalks(c, same, ptr(1)) +
         stdWalks(ptrbox::view<char>(c), same, ptr(1));
}
inline std::string standardWalks(const Seq<void*>& m) {
  return stdWalks(m, ptr(1)) + stdWalks(m, ptr(1));
}

// Large-N tests shrink under emulation and sanitizers.
inline std::size_t scaled(std::size_t full, std::size_t reduced) {
  return std::getenv("PTRBOX_TEST_REDUCED") ? reduced : full;
}
