// Stack against std::forward_list (the linked peer: one node per element)
// and, for context, std::stack<void*> on its std::deque.
//
// stack_push_pop: push N element pointers, then pop all N.
#include "BenchSupport.h"

#include <Stack>

#include <cstdint>
#include <forward_list>
#include <stack>

namespace {

using bench::Scale;

std::uintptr_t bits(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

void ptrboxPushPop(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const std::vector<void*> elems = bench::elements(n);
  _Stack stack;
  std::uintptr_t sum = 0;
  for (auto _ : state) {
    for (void* e : elems)
      stack.push(e);
    for (std::size_t i = 0; i < n; ++i)
      sum += bits(stack.pop());
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
  bench::recordBytesPerElement<_Stack>(state, n, [&](_Stack& s) {
    for (void* e : elems)
      s.push(e);
  });
}

void forwardListPushPop(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const std::vector<void*> elems = bench::elements(n);
  std::forward_list<void*> stack;
  std::uintptr_t sum = 0;
  for (auto _ : state) {
    for (void* e : elems)
      stack.push_front(e);
    for (std::size_t i = 0; i < n; ++i) {
      sum += bits(stack.front());
      stack.pop_front();
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
  bench::recordBytesPerElement<std::forward_list<void*>>(
      state, n, [&](std::forward_list<void*>& s) {
        for (void* e : elems)
          s.push_front(e);
      });
}

void dequeStackPushPop(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const std::vector<void*> elems = bench::elements(n);
  std::stack<void*> stack;
  std::uintptr_t sum = 0;
  for (auto _ : state) {
    for (void* e : elems)
      stack.push(e);
    for (std::size_t i = 0; i < n; ++i) {
      sum += bits(stack.top());
      stack.pop();
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
  bench::recordBytesPerElement<std::stack<void*>>(state, n,
                                                  [&](std::stack<void*>& s) {
                                                    for (void* e : elems)
                                                      s.push(e);
                                                  });
}

void registerStack(const Scale& s) {
  for (std::int64_t n : {s.pick(1000, 100), s.pick(100000, 1000)}) {
    benchmark::RegisterBenchmark("stack_push_pop/ptrbox", ptrboxPushPop)
        ->Arg(n);
    benchmark::RegisterBenchmark("stack_push_pop/std::forward_list",
                                 forwardListPushPop)
        ->Arg(n);
    benchmark::RegisterBenchmark("stack_push_pop/std::stack", dequeStackPushPop)
        ->Arg(n);
  }
}

} // namespace

namespace ops {

BENCH_OP void stack_push(_Stack& s, const std::vector<void*>& e) {
  for (void* p : e)
    s.push(p);
}
BENCH_OP std::uintptr_t stack_pop(_Stack& s, std::size_t n) {
  std::uintptr_t sum = 0;
  for (std::size_t i = 0; i < n; ++i)
    sum += bits(s.pop());
  return sum;
}
BENCH_OP void std_forward_list_push(std::forward_list<void*>& s,
                                    const std::vector<void*>& e) {
  for (void* p : e)
    s.push_front(p);
}
BENCH_OP std::uintptr_t std_forward_list_pop(std::forward_list<void*>& s,
                                             std::size_t n) {
  std::uintptr_t sum = 0;
  for (std::size_t i = 0; i < n; ++i) {
    sum += bits(s.front());
    s.pop_front();
  }
  return sum;
}

} // namespace ops

namespace {

void runStackOps(bool peer) {
  const std::size_t n = 1000;
  const std::vector<void*> e = bench::elements(n);
  std::uintptr_t sink = 0;
  if (!peer) {
    _Stack s;
    ops::stack_push(s, e);
    sink += ops::stack_pop(s, n);
    bench::opCount("stack_push", n, "stack: push");
    bench::opCount("stack_pop", n, "stack: pop");
  } else {
    std::forward_list<void*> s;
    ops::std_forward_list_push(s, e);
    sink += ops::std_forward_list_pop(s, n);
    bench::opCount("std_forward_list_push", n, "stack: push");
    bench::opCount("std_forward_list_pop", n, "stack: pop");
  }
  benchmark::DoNotOptimize(sink);
}

bench::FamilyRegistration stackFamily({"Stack", registerStack, runStackOps});

} // namespace
