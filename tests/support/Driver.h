// The seeded operation-sequence driver. A harness owns a container and a
// small standard-library model of it; each step draws one operation from a
// Choices source, applies it to both and compares what a caller observes,
// then checks the container's invariants. The tests draw from a seeded
// generator, the fuzz targets from the fuzzer's input bytes.
//
// A harness provides
//   std::string step(Choices&);  // "" when container and model agree
//   std::string check();         // "" when contents and invariants hold
#ifndef PTRBOX_TESTS_DRIVER_H
#define PTRBOX_TESTS_DRIVER_H

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>

class Choices {
 public:
  virtual ~Choices() = default;
  virtual bool exhausted() const = 0;
  virtual std::uint32_t below(std::uint32_t bound) = 0; // in [0, bound)
};

class SeededChoices final : public Choices {
 public:
  explicit SeededChoices(std::uint32_t seed) : rng(seed) {}
  bool exhausted() const override { return false; }
  std::uint32_t below(std::uint32_t bound) override {
    return static_cast<std::uint32_t>(rng() % bound);
  }

 private:
  std::mt19937 rng;
};

class ByteChoices final : public Choices {
 public:
  ByteChoices(const std::uint8_t* data, std::size_t size)
      : data(data), size(size) {}
  bool exhausted() const override { return pos >= size; }
  std::uint32_t below(std::uint32_t bound) override {
    std::uint32_t v = 0;
    for (int i = 0; i < 2 && pos < size; ++i)
      v = v << 8 | data[pos++];
    return v % bound;
  }

 private:
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos = 0;
};

// Runs up to maxSteps operations; returns "" or the first disagreement.
template <class Harness>
std::string runOperations(Harness& h, Choices& c, std::size_t maxSteps) {
  std::string err = h.check();
  for (std::size_t i = 0; err.empty() && i < maxSteps && !c.exhausted(); ++i) {
    err = h.step(c);
    if (err.empty())
      err = h.check();
    if (!err.empty())
      return "step " + std::to_string(i) + ": " + err;
  }
  return err;
}

// "" when got == want, else a message naming what differs.
template <class T>
std::string differs(const char* what, const T& got, const T& want) {
  if (got == want)
    return {};
  std::ostringstream os;
  os << what << ": got " << got << ", model says " << want;
  return os.str();
}

// Small integers used as keys and elements: the containers store pointer
// values and never dereference them.
inline void* ptr(std::uintptr_t v) { return reinterpret_cast<void*>(v); }

// Large-N tests shrink under emulation and sanitizers.
inline std::size_t scaled(std::size_t full, std::size_t reduced) {
  return std::getenv("PTRBOX_TEST_REDUCED") ? reduced : full;
}

#endif
