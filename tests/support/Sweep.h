// The table-driven allocation-failure sweep. Each family's test file
// registers rows, one per allocating operation; the sweep replays every row
// once per allocation point and failure mode and checks that std::bad_alloc
// reaches the caller, the container observes exactly as before, nothing
// leaked, and the same operation then succeeds as if nothing had happened.
#ifndef PTRBOX_TESTS_SWEEP_H
#define PTRBOX_TESTS_SWEEP_H

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class SweepSubject {
 public:
  virtual ~SweepSubject() = default;
  virtual std::string observe() = 0; // everything a caller could see
  virtual void run() = 0;            // the operation under test
};

struct SweepRow {
  std::string name;
  std::function<std::unique_ptr<SweepSubject>()> make;
};

// A row over a default-constructible fixture F: setup(F&) builds the state,
// op(F&) is the operation, observe(F&) renders the observable state.
template <class F, class Setup, class Op, class Observe>
SweepRow sweepRow(std::string name, Setup setup, Op op, Observe observe) {
  struct Subject final : SweepSubject {
    F f;
    Op op;
    Observe obs;
    Subject(Setup& s, Op& o, Observe& ob) : op(o), obs(ob) { s(f); }
    std::string observe() override { return obs(f); }
    void run() override { op(f); }
  };
  return {std::move(name), [=]() mutable {
            return std::unique_ptr<SweepSubject>(
                new Subject(setup, op, observe));
          }};
}

struct SweepRegistration {
  SweepRegistration(std::initializer_list<SweepRow> rows);
};
const std::vector<SweepRow>& sweepRows();

struct SweepResult {
  std::size_t failurePoints = 0;
  std::vector<std::string> faults;
};
SweepResult sweep(const SweepRow& row);

#endif
