// Hash table against std::unordered_map.
//
// Every workload starts from an empty table and runs four phases: insert N
// keys, find each of them (in another order), find N absent keys, remove all
// N. ptrbox runs at several constructor settings (size, r_thresh, r_depth,
// r_rate); the peer is std::unordered_map without reserve(), and a second
// standard row with reserve(N) gives context.
//
// hash_random_keys: random pointer-sized keys (uniform below 2^47).
// hash_address_keys: the addresses of real heap objects (40-byte objects
//   from operator new, 48 bytes apart, inserted in random order): aligned
//   values, which the default hash (key modulo capacity) maps onto 1/f of
//   the buckets when the capacity shares a factor f with their spacing.
// hash_string_keys: text keys hashed and compared by content through
//   overriding `hash` and `keyCmp`: each key object holds a std::string_view
//   and its std::hash (the peer's own hash), computed when the key is made
//   in the timed loop, as the peer computes and keeps it in its node;
//   lookups use other copies of the text.
//
// Counters (from an untimed pass): bytes_per_elem, the final capacity,
// the number of growths, and used_buckets, the occupied fraction of
// min(N, capacity) buckets: near 0.63 for a good spread at load 1.
#include "BenchSupport.h"

#include <Hash>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

using bench::Scale;
using Clock = std::chrono::steady_clock;

std::uintptr_t bits(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

struct Setting {
  int size;
  int thresh;
  int depth;
  float rate;
};

std::string sideName(const Setting& s) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "ptrbox(%d,%d,%d,%g)", s.size, s.thresh,
                s.depth, static_cast<double>(s.rate));
  return buf;
}

// The key sets: stored keys, absent keys, and the order of each phase.
struct KeySet {
  std::vector<void*> stored;
  std::vector<void*> probes; // the stored keys in another order
  std::vector<void*> absent;
};

KeySet makeKeySet(std::vector<void*> all, std::size_t n) {
  KeySet k;
  k.stored.assign(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(n));
  k.absent = bench::tail(all, n);
  k.probes = k.stored;
  bench::Rng rng(99);
  bench::shuffle(k.probes, rng);
  return k;
}

const KeySet& randomKeySet(std::size_t n) {
  static std::unique_ptr<KeySet> cached;
  if (!cached || cached->stored.size() != n)
    cached =
        std::make_unique<KeySet>(makeKeySet(bench::randomKeys(2 * n, 7), n));
  return *cached;
}

// Heap objects of a common small size; their addresses are the keys. They
// stay allocated for the whole run.
struct HeapObject {
  char bytes[40];
};

const KeySet& addressKeySet(std::size_t n) {
  static std::unique_ptr<KeySet> cached;
  static std::vector<std::unique_ptr<HeapObject>> objects;
  if (!cached || cached->stored.size() != n) {
    // The stored objects are made one after another, then the absent ones:
    // one type's objects, as a program keyed by them would have them.
    std::vector<void*> all(2 * n);
    objects.reserve(objects.size() + 2 * n);
    for (auto& p : all) {
      objects.push_back(std::make_unique<HeapObject>());
      p = objects.back().get();
    }
    std::vector<void*> stored(all.begin(),
                              all.begin() + static_cast<std::ptrdiff_t>(n));
    bench::Rng rng(5);
    bench::shuffle(stored, rng);
    std::copy(stored.begin(), stored.end(), all.begin());
    cached = std::make_unique<KeySet>(makeKeySet(all, n));
  }
  return *cached;
}

double nsPerOp(Clock::duration d, std::size_t n) {
  return static_cast<double>(
             std::chrono::duration_cast<std::chrono::nanoseconds>(d).count()) /
         static_cast<double>(n);
}

// Runs the four phases once on `table`, adding the phase times to `phase`.
template <class Ops>
std::uintptr_t fourPhases(Ops ops, const KeySet& k, double phase[4]) {
  std::uintptr_t sum = 0;
  const std::size_t n = k.stored.size();
  auto t0 = Clock::now();
  for (void* key : k.stored)
    ops.insert(key);
  auto t1 = Clock::now();
  for (void* key : k.probes)
    sum += ops.find(key);
  auto t2 = Clock::now();
  for (void* key : k.absent)
    sum += ops.find(key);
  auto t3 = Clock::now();
  for (void* key : k.stored)
    ops.remove(key);
  auto t4 = Clock::now();
  phase[0] += nsPerOp(t1 - t0, n);
  phase[1] += nsPerOp(t2 - t1, n);
  phase[2] += nsPerOp(t3 - t2, n);
  phase[3] += nsPerOp(t4 - t3, n);
  return sum;
}

void recordPhases(benchmark::State& state, const double phase[4]) {
  const double it = static_cast<double>(state.iterations());
  state.counters["insert_ns"] = phase[0] / it;
  state.counters["hit_ns"] = phase[1] / it;
  state.counters["miss_ns"] = phase[2] / it;
  state.counters["remove_ns"] = phase[3] / it;
}

struct PtrboxOps {
  _Hash* table;
  void insert(void* key) { table->insert(key, key); }
  std::uintptr_t find(void* key) {
    _HashItem* item = table->find(key);
    return item ? bits(item->data()) : 0;
  }
  void remove(void* key) { table->remove(key); }
};

struct StdOps {
  std::unordered_map<void*, void*>* map;
  void insert(void* key) { map->emplace(key, key); }
  std::uintptr_t find(void* key) {
    auto it = map->find(key);
    return it != map->end() ? bits(it->second) : 0;
  }
  void remove(void* key) { map->erase(key); }
};

// Capacity, growths and bucket spread after inserting every stored key.
void recordShape(benchmark::State& state, const Setting& s, const KeySet& k) {
  const double before = bench::heapInUse();
  _Hash table(s.size, s.thresh, s.depth, s.rate);
  int growths = 0;
  int capacity = table.capacity();
  for (void* key : k.stored) {
    table.insert(key, key);
    if (table.capacity() != capacity) {
      ++growths;
      capacity = table.capacity();
    }
  }
  const double after = bench::heapInUse();
  std::size_t used = 0;
  _HashItem** heads = table.table();
  for (int i = 0; i < table.capacity(); ++i)
    used += heads[i] != nullptr;
  const double n = static_cast<double>(k.stored.size());
  state.counters["bytes_per_elem"] = (after - before) / n;
  state.counters["capacity"] = table.capacity();
  state.counters["growths"] = growths;
  state.counters["used_buckets"] =
      static_cast<double>(used) /
      std::min(n, static_cast<double>(table.capacity()));
}

template <const KeySet& (*Keys)(std::size_t)>
void ptrboxPhases(benchmark::State& state, Setting s) {
  const KeySet& k = Keys(static_cast<std::size_t>(state.range(0)));
  double phase[4] = {0, 0, 0, 0};
  std::uintptr_t sum = 0;
  for (auto _ : state) {
    _Hash table(s.size, s.thresh, s.depth, s.rate);
    sum += fourPhases(PtrboxOps{&table}, k, phase);
  }
  benchmark::DoNotOptimize(sum);
  recordPhases(state, phase);
  recordShape(state, s, k);
}

template <const KeySet& (*Keys)(std::size_t)>
void stdPhases(benchmark::State& state, bool reserve) {
  const KeySet& k = Keys(static_cast<std::size_t>(state.range(0)));
  double phase[4] = {0, 0, 0, 0};
  std::uintptr_t sum = 0;
  for (auto _ : state) {
    std::unordered_map<void*, void*> map;
    if (reserve)
      map.reserve(k.stored.size());
    sum += fourPhases(StdOps{&map}, k, phase);
  }
  benchmark::DoNotOptimize(sum);
  recordPhases(state, phase);
  const double before = bench::heapInUse();
  {
    std::unordered_map<void*, void*> map;
    if (reserve)
      map.reserve(k.stored.size());
    for (void* key : k.stored)
      map.emplace(key, key);
    state.counters["bytes_per_elem"] =
        (bench::heapInUse() - before) / static_cast<double>(k.stored.size());
    state.counters["capacity"] = static_cast<double>(map.bucket_count());
  }
}

// --- string keys -------------------------------------------------------------

// A key that carries its hash, as std::unordered_map's nodes carry theirs:
// computed once when the key is made, so growth never rehashes the text,
// and chains order by hash first, so a lookup reads the text of an entry
// only when the hashes agree.
struct Text {
  std::size_t hash;
  std::string_view view;
  explicit Text(std::string_view v)
      : hash(std::hash<std::string_view>{}(v)), view(v) {}
};

// A table keyed by the text of a Text.
class TextTable : public _Hash {
 public:
  TextTable(int size, int thresh, int depth, float rate)
      : _Hash(size, thresh, depth, rate) {}
  unsigned long hash(void* key) override {
    return static_cast<unsigned long>(text(key).hash);
  }
  int keyCmp(void* tabKey, void* searchKey) override {
    const Text& a = text(tabKey);
    const Text& b = text(searchKey);
    if (a.hash != b.hash)
      return a.hash < b.hash ? -1 : 1;
    return a.view.compare(b.view);
  }

 private:
  static const Text& text(void* key) { return *static_cast<const Text*>(key); }
};

struct TextKeys {
  std::vector<std::string> storage;     // stored words, then absent ones
  std::vector<std::string> copies;      // the stored words again
  std::vector<std::string_view> stored; // views of storage
  std::vector<std::string_view> probes; // views of copies, shuffled
  std::vector<std::string_view> absent;
};

std::string randomWord(bench::Rng& rng) {
  std::string w(4 + rng.below(9), 'a');
  for (char& c : w)
    c = static_cast<char>('a' + rng.below(26));
  return w;
}

const TextKeys& textKeys(std::size_t n) {
  static std::unique_ptr<TextKeys> cached;
  if (cached && cached->stored.size() == n)
    return *cached;
  auto k = std::make_unique<TextKeys>();
  bench::Rng rng(3);
  std::unordered_map<std::string, int> seen;
  while (k->storage.size() < 2 * n) {
    std::string w = randomWord(rng);
    if (seen.emplace(w, 0).second)
      k->storage.push_back(std::move(w));
  }
  k->copies.assign(k->storage.begin(),
                   k->storage.begin() + static_cast<std::ptrdiff_t>(n));
  for (std::size_t i = 0; i < n; ++i) {
    k->stored.emplace_back(k->storage[i]);
    k->probes.emplace_back(k->copies[i]);
    k->absent.emplace_back(k->storage[n + i]);
  }
  bench::shuffle(k->probes, rng);
  cached = std::move(k);
  return *cached;
}

void ptrboxText(benchmark::State& state, Setting s) {
  const TextKeys& k = textKeys(static_cast<std::size_t>(state.range(0)));
  const std::size_t n = k.stored.size();
  double phase[4] = {0, 0, 0, 0};
  std::uintptr_t sum = 0;
  std::vector<Text> keys; // the stored keys, made during the insert phase
  keys.reserve(n);
  auto find = [&](TextTable& table, std::string_view v) {
    Text probe(v);
    if (_HashItem* item = table.find(&probe))
      sum += bits(item->data());
  };
  for (auto _ : state) {
    TextTable table(s.size, s.thresh, s.depth, s.rate);
    keys.clear();
    auto t0 = Clock::now();
    for (const auto& v : k.stored) {
      keys.emplace_back(v);
      table.insert(&keys.back(), &keys.back());
    }
    auto t1 = Clock::now();
    for (const auto& v : k.probes)
      find(table, v);
    auto t2 = Clock::now();
    for (const auto& v : k.absent)
      find(table, v);
    auto t3 = Clock::now();
    for (const auto& v : k.probes) {
      Text probe(v);
      table.remove(&probe);
    }
    auto t4 = Clock::now();
    phase[0] += nsPerOp(t1 - t0, n);
    phase[1] += nsPerOp(t2 - t1, n);
    phase[2] += nsPerOp(t3 - t2, n);
    phase[3] += nsPerOp(t4 - t3, n);
  }
  benchmark::DoNotOptimize(sum);
  recordPhases(state, phase);
}

void stdText(benchmark::State& state, bool reserve) {
  const TextKeys& k = textKeys(static_cast<std::size_t>(state.range(0)));
  const std::size_t n = k.stored.size();
  double phase[4] = {0, 0, 0, 0};
  std::uintptr_t sum = 0;
  for (auto _ : state) {
    std::unordered_map<std::string_view, const void*> map;
    if (reserve)
      map.reserve(n);
    auto t0 = Clock::now();
    for (const auto& v : k.stored)
      map.emplace(v, &v);
    auto t1 = Clock::now();
    for (const auto& v : k.probes) {
      auto it = map.find(v);
      if (it != map.end())
        sum += bits(it->second);
    }
    auto t2 = Clock::now();
    for (const auto& v : k.absent) {
      auto it = map.find(v);
      if (it != map.end())
        sum += bits(it->second);
    }
    auto t3 = Clock::now();
    for (const auto& v : k.probes)
      map.erase(v);
    auto t4 = Clock::now();
    phase[0] += nsPerOp(t1 - t0, n);
    phase[1] += nsPerOp(t2 - t1, n);
    phase[2] += nsPerOp(t3 - t2, n);
    phase[3] += nsPerOp(t4 - t3, n);
  }
  benchmark::DoNotOptimize(sum);
  recordPhases(state, phase);
}

// The constructor settings compared: the library's default, a power-of-two
// doubling, and four growth rules whose capacities stay odd (see
// docs/PERFORMANCE.md for the capacity sequences).
const Setting kSettings[] = {
    {97, 2, 2, 0.5f},   // the default: 97, 194, 291, 437, ... (mixed parity)
    {1024, 1, 2, 1.0f}, // 1024 * 2^k
    {1021, 1, 2, 2.0f}, // 1021 * 3^k: odd, and a multiple of 3 after growing
    {1021, 1, 2, 4.0f}, // 1021 * 5^k: odd, and a multiple of 5 after growing
    {803, 1, 2, 2.75f}, // x3.75: 803, 3011, 11291, ... no factor 2, 3 or 5
                        // up to 31399159
    {4253, 1, 2, 1.4f}, // x2.4: 4253, 10207, 24497, ... no factor 2, 3 or 5
                        // up to 64716463
};
const Setting kRecommended = kSettings[5];

void registerHash(const Scale& sc) {
  const std::int64_t n = sc.pick(1000000, 2000);
  const std::string sizes = "/" + std::to_string(n);
  struct Workload {
    const char* name;
    void (*ptrbox)(benchmark::State&, Setting);
    void (*peer)(benchmark::State&, bool);
  };
  const Workload workloads[] = {
      {"hash_random_keys", ptrboxPhases<randomKeySet>, stdPhases<randomKeySet>},
      {"hash_address_keys", ptrboxPhases<addressKeySet>,
       stdPhases<addressKeySet>},
  };
  for (const Workload& w : workloads) {
    for (const Setting& s : kSettings)
      benchmark::RegisterBenchmark(
          (std::string(w.name) + "/" + sideName(s)).c_str(), w.ptrbox, s)
          ->Arg(n)
          ->Unit(benchmark::kMillisecond);
    // Context: the recommended rule started at the capacity it reaches for
    // N keys, so that no growth happens, beside the peer with reserve().
    const Setting presized{1950607, 1, 2, 1.4f};
    benchmark::RegisterBenchmark((std::string(w.name) + "/ptrbox-presized" +
                                  sideName(presized).substr(6))
                                     .c_str(),
                                 w.ptrbox, presized)
        ->Arg(n)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(
        (std::string(w.name) + "/std::unordered_map").c_str(), w.peer, false)
        ->Arg(n)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(
        (std::string(w.name) + "/std::unordered_map+reserve").c_str(), w.peer,
        true)
        ->Arg(n)
        ->Unit(benchmark::kMillisecond);
  }
  const std::int64_t words = sc.pick(200000, 2000);
  for (const Setting& s : {kRecommended, kSettings[0]})
    benchmark::RegisterBenchmark(("hash_string_keys/" + sideName(s)).c_str(),
                                 ptrboxText, s)
        ->Arg(words)
        ->Unit(benchmark::kMillisecond);
  // Context: 338647 is the recommended rule's first capacity above 200,000.
  const Setting presizedText{338647, 1, 2, 1.4f};
  benchmark::RegisterBenchmark(
      ("hash_string_keys/ptrbox-presized" + sideName(presizedText).substr(6))
          .c_str(),
      ptrboxText, presizedText)
      ->Arg(words)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("hash_string_keys/std::unordered_map", stdText,
                               false)
      ->Arg(words)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("hash_string_keys/std::unordered_map+reserve",
                               stdText, true)
      ->Arg(words)
      ->Unit(benchmark::kMillisecond);
}

} // namespace

// --- instruction counts ------------------------------------------------------

namespace ops {

BENCH_OP void hash_insert(_Hash& t, const std::vector<void*>& keys) {
  for (void* k : keys)
    t.insert(k, k);
}
BENCH_OP void hash_insert_presized(_Hash& t, const std::vector<void*>& keys) {
  for (void* k : keys)
    t.insert(k, k);
}
BENCH_OP void hash_rebuild(_Hash& t) { t.resize(); }
BENCH_OP std::uintptr_t hash_find_hit(_Hash& t,
                                      const std::vector<void*>& keys) {
  std::uintptr_t sum = 0;
  for (void* k : keys)
    sum += bits(t.find(k));
  return sum;
}
BENCH_OP std::uintptr_t hash_find_miss(_Hash& t,
                                       const std::vector<void*>& keys) {
  std::uintptr_t sum = 0;
  for (void* k : keys)
    sum += bits(t.find(k));
  return sum;
}
BENCH_OP void hash_remove(_Hash& t, const std::vector<void*>& keys) {
  for (void* k : keys)
    t.remove(k);
}

using Map = std::unordered_map<void*, void*>;
BENCH_OP void std_hash_insert(Map& t, const std::vector<void*>& keys) {
  for (void* k : keys)
    t.emplace(k, k);
}
BENCH_OP void std_hash_insert_presized(Map& t, const std::vector<void*>& keys) {
  for (void* k : keys)
    t.emplace(k, k);
}
BENCH_OP void std_hash_rebuild(Map& t) { t.rehash(2 * t.bucket_count()); }
BENCH_OP std::uintptr_t std_hash_find_hit(Map& t,
                                          const std::vector<void*>& keys) {
  std::uintptr_t sum = 0;
  for (void* k : keys)
    sum += t.count(k);
  return sum;
}
BENCH_OP std::uintptr_t std_hash_find_miss(Map& t,
                                           const std::vector<void*>& keys) {
  std::uintptr_t sum = 0;
  for (void* k : keys)
    sum += t.count(k);
  return sum;
}
BENCH_OP void std_hash_remove(Map& t, const std::vector<void*>& keys) {
  for (void* k : keys)
    t.erase(k);
}

} // namespace ops

namespace {

void runHashOps(bool peer) {
  const std::size_t n = 100000;
  const KeySet& k = randomKeySet(n);
  std::uintptr_t sink = 0;
  const char* p = peer ? "std_" : "";
  if (!peer) {
    const Setting& s = kRecommended;
    _Hash t(s.size, s.thresh, s.depth, s.rate);
    ops::hash_insert(t, k.stored);
    sink += ops::hash_find_hit(t, k.probes);
    sink += ops::hash_find_miss(t, k.absent);
    ops::hash_remove(t, k.stored);
    // Without growth: the table made at the rule's first capacity above n.
    _Hash presized(141103, s.thresh, s.depth, s.rate);
    ops::hash_insert_presized(presized, k.stored);
    ops::hash_rebuild(presized);
  } else {
    ops::Map t;
    ops::std_hash_insert(t, k.stored);
    sink += ops::std_hash_find_hit(t, k.probes);
    sink += ops::std_hash_find_miss(t, k.absent);
    ops::std_hash_remove(t, k.stored);
    ops::Map presized;
    presized.reserve(n);
    ops::std_hash_insert_presized(presized, k.stored);
    ops::std_hash_rebuild(presized);
  }
  benchmark::DoNotOptimize(sink);
  auto count = [p](const char* name, const char* label) {
    bench::opCount((std::string(p) + name).c_str(), 100000, label);
  };
  count("hash_insert",
        "hash: insert 100000 random keys into an empty table, growths "
        "included, per key");
  count("hash_insert_presized",
        "hash: insert 100000 random keys into a table presized for them "
        "(peer: reserve), per key");
  count("hash_rebuild",
        "hash: one growth of a table of 100000 entries (peer: rehash), per "
        "entry");
  count("hash_find_hit", "hash: find hit, per key");
  count("hash_find_miss", "hash: find miss, per key");
  count("hash_remove", "hash: remove, per key");
}

bench::FamilyRegistration hashFamily({"Hash", registerHash, runHashOps});

} // namespace
