// The seeded operation-sequence driver. A harness owns a container and a
// small model of it and provides
//   Action pick(Choices&);  // draws one operation and its arguments
//   std::string check();    // "" when contents, held positions and
//                           // invariants agree with the model
//   long blocks();          // blocks the container holds; < 0 while unknown
// An action applies its operation to the container first and only then to
// the model, and returns "" or the first disagreement. With failure injection
// on, the driver first fails allocation k = 0, 1, ... of each action, once
// and from k on, until the action completes: each failure must throw
// std::bad_alloc and leave check() passing and no block held. Tests draw
// from a seeded generator, fuzz targets from the fuzzer's input bytes.
#ifndef PTRBOX_TESTS_DRIVER_H
#define PTRBOX_TESTS_DRIVER_H

#include "support/AllocProbe.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using Action = std::function<std::string()>;

// Models allocate with malloc: live blocks are the containers' alone, and
// injected failures hit only the containers.
template <class T> struct Raw {
  using value_type = T;
  Raw() = default;
  template <class U> Raw(const Raw<U>&) {}
  T* allocate(std::size_t n) {
    return static_cast<T*>(std::malloc(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t) { std::free(p); }
  bool operator==(const Raw&) const { return true; }
  bool operator!=(const Raw&) const { return false; }
};
template <class T> using Seq = std::vector<T, Raw<T>>;

template <class T> std::ostream& operator<<(std::ostream& os, const Seq<T>& v) {
  for (const T& x : v)
    os << x << ' ';
  return os;
}

// The values, each followed by a space.
template <class... T> std::string show(const T&... v) {
  std::ostringstream os;
  ((os << v << ' '), ...);
  return os.str();
}

// "" when got == want, else a message (which disarms injected failures).
template <class T>
std::string differs(const char* what, const T& got, const T& want) {
  return got == want
             ? ""
             : (allocprobe::disarm(), show(what, got, "/ model:", want));
}

// Draws from a seeded generator, or from bytes until they run out.
class Choices {
 public:
  explicit Choices(std::uint32_t seed) : rng(seed) {}
  Choices(const std::uint8_t* data, std::size_t size) : data(data), end(size) {}
  bool exhausted() const { return data && pos >= end; }
  std::uint32_t below(std::uint32_t bound) { // in [0, bound)
    std::uint32_t v = data ? 0 : rng();
    for (int i = 0; data && i < 2 && pos < end; ++i)
      v = v << 8 | data[pos++];
    return v % bound;
  }

 private:
  std::mt19937 rng;
  const std::uint8_t* data = nullptr;
  std::size_t end = 0, pos = 0;
};

// Applies the action, after failing each of its allocation points in turn
// when `swept` is given (and counting them there).
template <class H>
std::string apply(H& h, const Action& run, std::size_t* swept) {
  using allocprobe::FailMode;
  for (std::size_t k = 0; swept; ++k) {
    for (FailMode mode : {FailMode::Once, FailMode::FromThenOn}) {
      const long live = allocprobe::liveBlocks();
      try {
        allocprobe::failAt(k, mode);
        const std::string r = run();
        return allocprobe::disarm(), r;
      } catch (const std::bad_alloc&) {
        allocprobe::disarm(), ++*swept;
      } catch (...) {
        allocprobe::disarm();
        throw;
      }
      const long kept = h.blocks() < 0 ? 0 : allocprobe::liveBlocks() - live;
      const std::string err = differs("blocks kept", kept, 0L) + h.check();
      if (!err.empty())
        return show("failing allocation", k, ":", err);
    }
  }
  return run();
}

// Runs up to maxSteps operations; "" or the first fault.
template <class H>
std::string runOperations(H& h, Choices& c, std::size_t maxSteps,
                          std::size_t* swept = nullptr) {
  const long base = allocprobe::liveBlocks() - h.blocks();
  std::string err = h.check();
  for (std::size_t i = 0; err.empty() && i < maxSteps && !c.exhausted(); ++i) {
    err = apply(h, h.pick(c), swept);
    if (err.empty() && h.blocks() >= 0)
      err = differs("blocks", allocprobe::liveBlocks() - base, h.blocks());
    if (!(err += h.check()).empty())
      return show("step", i, ":", err);
  }
  return err;
}

// A family's model test: seeded runs with failure injection, after which no
// block may be left. Prints the failure points swept.
template <class H>
std::string runSeeds(const char* family, std::uint32_t seeds, std::size_t n) {
  std::size_t swept = 0;
  const long live = allocprobe::liveBlocks();
  for (std::uint32_t seed = 1; seed <= seeds; ++seed) {
    Choices c(seed);
    H h(c);
    if (const std::string err = runOperations(h, c, n, &swept); !err.empty())
      return show("seed", seed, err);
  }
  std::printf("%s: %zu allocation-failure points swept\n", family, swept);
  return differs("blocks left", allocprobe::liveBlocks(), live);
}

// Small integers as keys and elements: the containers never dereference.
inline void* ptr(std::uintptr_t v) { return reinterpret_cast<void*>(v); }
inline std::uintptr_t num(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

// Large-N tests shrink under emulation and sanitizers.
inline std::size_t scaled(std::size_t full, std::size_t reduced) {
  return std::getenv("PTRBOX_TEST_REDUCED") ? reduced : full;
}

#endif
