// The workloads: each family of ptrbox against the standard container a
// caller would use instead, on the same data, in the same process. To add
// a workload, add a row to the table at the bottom: a name, its sizes, and
// one side per contender, each a body that runs one repetition for r.n
// elements and returns a checksum of what it read. A side named ptrbox...
// is compared with the first side whose name does not start with "ptrbox"
// (the peer); later sides and ptrbox-presized... are context.
//
// Where sides differ only in the container, its operations are overloads
// (append, walk, add, lookup) and the body one template, so both sides run
// the same lines. In a body, `r.phase("insert")` ends a timed phase
// (counter insert_ns, and one row of scripts/callgrind); `r.filled()` once
// the container holds its N elements gives its bytes_per_elem;
// `r.untimed(f)` keeps teardown out; `cached<T>(r.n)` builds data once per
// size. Sides may come from a function, even in another file built with
// other flags (as hashSides() makes them here).
#include "Bench.h"

#include <BinaryTree>
#include <Hash>
#include <Keyed>
#include <List>
#include <ListIter>
#include <MTree>
#include <ObjectLst>
#include <ObjectLstIter>
#include <OrderList>
#include <Stack>

#include <cstdio>
#include <deque>
#include <forward_list>
#include <list>
#include <map>
#include <stack>
#include <unordered_map>

using namespace bench;

namespace {

// The walks: range-for, and each container's classic iterator; `item` is
// what a walk reads of an element.
std::uintptr_t item(void* e) { return bits(e); }
std::uintptr_t item(const _HashItem& e) { return bits(e.key()); }
std::uintptr_t item(const _TreeNode& n) { return bits(n.key()); }
std::uintptr_t item(const _MTree& n) { return bits(n.Data()); }
template <class V> std::uintptr_t item(const std::pair<void* const, V>& kv) {
  return bits(kv.first);
}
template <class C> std::uintptr_t rangeFor(C& c) {
  std::uintptr_t sum = 0;
  for (auto&& x : c)
    sum += item(x);
  return sum;
}
std::uintptr_t walk(std::list<void*>& l) { return rangeFor(l); }
std::uintptr_t walk(std::map<void*, void*>& m) { return rangeFor(m); }
template <class It, class L> std::uintptr_t walkToEnd(L& l) {
  std::uintptr_t sum = 0;
  for (It it(l); !it.atEnd();)
    sum += bits(it++);
  return sum;
}
std::uintptr_t walk(_List& l) { return walkToEnd<_ListIter>(l); }
std::uintptr_t walk(ObjectLst& l) { return walkToEnd<ObjectLstIter>(l); }
std::uintptr_t walk(_Hash& h, std::uintptr_t sum = 0) {
  for (_HashIter it(h); it() != nullptr; ++it)
    sum += item(*it());
  return sum;
}
std::uintptr_t walk(_Tree& t, std::uintptr_t sum = 0) {
  _TreeIterator it(t, InOrder);
  for (_TreeNode* node = it(); node != nullptr; node = ++it)
    sum += item(*node);
  return sum;
}
std::uintptr_t walk(_MTree& t, std::uintptr_t sum = 0) {
  _MTreeIter it(&t);
  for (_MTree* node = it(); node != nullptr; node = it++)
    sum += item(*node);
  return sum;
}

// The lists: append N pointers, walk them all, clear.
void append(_List& l, void* e) { l.insert(e); }
void append(ObjectLst& l, void* e) { l.append(e); }
void append(std::list<void*>& l, void* e) { l.push_back(e); }
void append(_Stack& s, void* e) { s.push(e); }
void append(std::forward_list<void*>& s, void* e) { s.push_front(e); }
void clear(_List& l) { l.clear(); }
void clear(ObjectLst& l) { l.clearList(); }
void clear(std::list<void*>& l) { l.clear(); }
template <class C> std::uintptr_t appendWalkClear(Run& r) {
  C l;
  for (void* e : cached<Elements>(r.n))
    append(l, e);
  r.phase("append");
  r.filled();
  const std::uintptr_t sum = walk(l);
  r.phase("walk");
  clear(l);
  r.phase("clear");
  return sum;
}
// An element none of the lists of N holds.
void* absent(std::size_t n) { return cached<Elements>(n + 1).back(); }

// The keyed containers: add a key (as its own element), look up its
// element. The ordered list's peer keeps key/element pairs sorted by
// linear insertion.
using Pairs = std::list<std::pair<void*, void*>>;
void add(_OrderList& l, void* k) { l.insert(k, k); }
void add(_Tree& t, void* k) { t.insert(k, k); }
void add(std::map<void*, void*>& m, void* k) { m.emplace(k, k); }
void add(Pairs& l, void* k) {
  auto it = l.begin();
  while (it != l.end() && bits(it->first) < bits(k))
    ++it;
  if (it == l.end() || it->first != k)
    l.emplace(it, k, k);
}
void* lookup(_OrderList& l, void* k) { return l.find(k); }
void* lookup(_Tree& t, void* k) { return t.find(k)->data(); }
void* lookup(std::map<void*, void*>& m, void* k) { return m.find(k)->second; }
void* lookup(const Pairs& l, void* k) {
  for (const auto& p : l)
    if (p.first == k)
      return p.second;
  return nullptr;
}
// Insert N random keys into an empty C, find each in another order; the
// trees then walk in order, and tearing them down is not timed.
template <class C, bool walkToo = false> std::uintptr_t insertFind(Run& r) {
  const KeySet<void*>& k = cached<RandomKeys>(r.n);
  auto c = std::make_unique<C>();
  r.start();
  for (void* key : k.stored)
    add(*c, key);
  r.phase("insert");
  r.filled();
  std::uintptr_t sum = 0;
  for (void* key : k.probes)
    sum += bits(lookup(*c, key));
  r.phase("find");
  if constexpr (walkToo) {
    sum += walk(*c);
    r.phase("walk");
    r.untimed([&] { c.reset(); });
  }
  return sum;
}
struct Tree final : _Tree {}; // deletable through its own type

// The stacks: push N pointers, then pop them all.
template <class Push, class Pop>
std::uintptr_t pushPop(Run& r, Push push, Pop pop) {
  for (void* e : cached<Elements>(r.n))
    push(e);
  r.phase("push");
  r.filled();
  std::uintptr_t sum = 0;
  for (std::size_t i = 0; i < r.n; ++i)
    sum += bits(pop());
  r.phase("pop");
  return sum;
}

struct Setting {
  int size, thresh, depth;
  float rate;
};

// The datum of a table entry, or null.
template <class V = void> V* dataOf(_HashItem* e) {
  return e ? static_cast<V*>(e->data()) : nullptr;
}

// ptrbox's side of a hash row, keyed by pointers: a table of type T, which
// the phases below reach through insert, find, remove, grow and shape.
template <class T> struct PtrboxTable {
  T t;
  Setting s;
  PtrboxTable(Setting s, std::size_t)
      : t(s.size, s.thresh, s.depth, s.rate), s(s) {}
  void insert(void* k) { t.insert(k, k); }
  std::uintptr_t find(void* k) { return bits(dataOf(t.find(k))); }
  void remove(void* k) { t.remove(k); }
  void grow() { t.resize(); }
  // Final capacity, growths on the way, and the occupied fraction of
  // min(N, capacity) buckets (about 0.63 for a uniform spread at load 1).
  void shape(Run& r) {
    int growths = 0;
    for (double c = s.size, th = s.thresh; c < t.capacity(); ++growths)
      c += int(c * th * double(s.rate) + 0.5), th = th > 1 ? th - 1 : th;
    int used = 0;
    for (int i = 0; i < t.capacity(); ++i)
      used += t.table()[i] != nullptr;
    r.counter("capacity", t.capacity());
    r.counter("growths", growths);
    r.counter("used_buckets",
              used / std::min(double(r.n), double(t.capacity())));
  }
};

using PointerTable = PtrboxTable<_Hash>;

template <class K> struct StdTable {
  std::unordered_map<K, const void*> m;
  StdTable(bool reserve, std::size_t n) {
    if (reserve)
      m.reserve(n);
  }
  void insert(const K& k) { m.emplace(k, &k); }
  std::uintptr_t find(const K& k) {
    auto it = m.find(k);
    return it != m.end() ? bits(it->second) : 0;
  }
  void remove(const K& k) { m.erase(k); }
  void grow() { m.rehash(2 * m.bucket_count()); }
  void shape(Run& r) { r.counter("capacity", double(m.bucket_count())); }
};

// A text key that carries its hash, as the standard table's nodes carry
// theirs: chains order by hash first, so text is read only on equal hashes,
// and growth never rehashes text.
struct TextKey {
  std::size_t hash;
  std::string_view text;
  explicit TextKey(std::string_view v)
      : hash(std::hash<std::string_view>{}(v)), text(v) {}
};

struct TextTable : _Hash {
  using _Hash::_Hash;
  unsigned long hash(void* key) override { return of(key).hash; }
  int keyCmp(void* tabKey, void* searchKey) override {
    const TextKey &a = of(tabKey), &b = of(searchKey);
    if (a.hash != b.hash)
      return a.hash < b.hash ? -1 : 1;
    return a.text.compare(b.text);
  }
  static const TextKey& of(void* key) { return *static_cast<TextKey*>(key); }
};

// The string-key side: a key object per stored word, made when inserted.
struct StringTable : PtrboxTable<TextTable> {
  std::vector<TextKey> keys;
  StringTable(Setting s, std::size_t n) : PtrboxTable(s, n) { keys.reserve(n); }
  void insert(std::string_view v) {
    PtrboxTable::insert(&keys.emplace_back(v));
  }
  std::uintptr_t find(std::string_view v) {
    TextKey probe(v);
    return PtrboxTable::find(&probe);
  }
  void remove(std::string_view v) {
    TextKey probe(v);
    PtrboxTable::remove(&probe);
  }
};

// Every hash row: insert N keys, find each (another order), find N absent
// keys, remove all (counted runs also time one growth before the removal).
template <class Table, class K>
std::uintptr_t fourPhases(Run& r, Table& m, const KeySet<K>& k) {
  r.start();
  for (const K& key : k.stored)
    m.insert(key);
  r.phase("insert");
  r.filled([&] { m.shape(r); });
  std::uintptr_t sum = 0;
  for (const K& key : k.probes)
    sum += m.find(key);
  r.phase("hit");
  for (const K& key : k.absent)
    sum += m.find(key);
  r.phase("miss");
  if (r.mode == Run::Count) {
    m.grow();
    r.phase("growth");
  }
  for (const K& key : k.probes)
    m.remove(key);
  r.phase("remove");
  return sum;
}

// The constructor settings: the default; doublings from a power of two;
// x3 and x5 rules, odd but keeping the factor 3 or 5; and x3.75 and x2.4,
// whose capacities avoid 2, 3 and 5 (docs/PERFORMANCE.md, table settings).
const std::vector<Setting> kSettings = {{97, 2, 2, 0.5f},   {1024, 1, 2, 1.0f},
                                        {1024, 4, 2, 1.0f}, {1021, 1, 2, 2.0f},
                                        {1021, 1, 2, 4.0f}, {803, 1, 2, 2.75f},
                                        {4253, 1, 2, 1.4f}};

// A hash row's sides: ptrbox at each setting, then ptrbox-presized (made at
// a capacity of the recommended rule that N keys never grow), the peer, and
// the peer with reserve(N).
template <class Table, class Keys>
std::vector<Side> hashSides(std::vector<Setting> settings, Setting presized) {
  std::vector<Side> v;
  settings.push_back(presized);
  for (const Setting& s : settings) {
    char name[80];
    std::snprintf(name, sizeof name, "%s(%d,%d,%d,%g)",
                  &s == &settings.back() ? "ptrbox-presized" : "ptrbox", s.size,
                  s.thresh, s.depth, double(s.rate));
    v.push_back({name, [s](Run& r) {
                   Table t(s, r.n);
                   return fourPhases(r, t, cached<Keys>(r.n));
                 }});
  }
  for (bool reserve : {false, true})
    v.push_back({reserve ? "std::unordered_map+reserve" : "std::unordered_map",
                 [reserve](Run& r) {
                   StdTable<typename Keys::Key> t(reserve, r.n);
                   return fourPhases(r, t, cached<Keys>(r.n));
                 }});
  return v;
}

// Calls `f` with each space-separated word of `text`.
template <class F> void forEachWord(const std::string& text, F f) {
  for (const char *p = text.data(), *end = p + text.size(); p < end; ++p) {
    const char* start = p;
    while (p < end && *p != ' ')
      ++p;
    if (p != start)
      f(std::string_view(start, std::size_t(p - start)));
  }
}

// The word counts' records, one per distinct word: its own copy of the
// text (short words sit inside the record), its key and its count.
template <class Key> struct Count {
  std::string text;
  Key key{std::string_view(text)};
  long count = 1;
  explicit Count(std::string_view w) : text(w) {}
};
using ViewCount = Count<std::string_view>;
using TypedTable = ptrbox::Hash<std::string_view, ViewCount>;

// By hand on _Hash, the std::string_view keys ptrbox::Hash takes: its
// default hash and comparison.
struct ViewTable : _Hash {
  using _Hash::_Hash;
  unsigned long hash(void* k) override {
    return std::hash<std::string_view>{}(of(k));
  }
  int keyCmp(void* a, void* b) override { return of(a).compare(of(b)); }
  static std::string_view of(void* k) {
    return *static_cast<std::string_view*>(k);
  }
};

// The record of a word, or null.
Count<TextKey>* lookup(TextTable& t, std::string_view w) {
  TextKey probe(w);
  return dataOf<Count<TextKey>>(t.find(&probe));
}
ViewCount* lookup(ViewTable& t, std::string_view w) {
  return dataOf<ViewCount>(t.find(&w));
}
ViewCount* lookup(TypedTable& t, std::string_view w) { return t.find(w); }

// Counts the words of the text in a Table of Records.
template <class Table, class Record> std::uintptr_t countWords(Run& r) {
  Table table(4253, 1, 2, 1.4f);
  std::vector<std::unique_ptr<Record>> counts;
  forEachWord(cached<ZipfText>(r.n), [&](std::string_view w) {
    if (Record* c = lookup(table, w))
      return void(++c->count);
    counts.push_back(std::make_unique<Record>(w));
    table.insert(&counts.back()->key, counts.back().get());
  });
  r.counter("distinct", double(counts.size()));
  return std::uintptr_t(counts.size());
}

// The peer of every word count: the standard table of strings.
std::uintptr_t countStd(Run& r) {
  std::unordered_map<std::string, int> counts;
  forEachWord(cached<ZipfText>(r.n),
              [&](std::string_view w) { ++counts[std::string(w)]; });
  r.counter("distinct", double(counts.size()));
  return std::uintptr_t(counts.size());
}
// The README's word count as written: a default ptrbox::Hash<std::string,
// int> over words and counts in deques; each word becomes a std::string, as
// on the peer's side.
std::uintptr_t countReadme(Run& r) {
  std::deque<std::string> words;
  std::deque<int> counts;
  ptrbox::Hash<std::string, int> tally;
  forEachWord(cached<ZipfText>(r.n), [&](std::string_view v) {
    const std::string w(v);
    if (int* n = tally.find(w))
      ++*n;
    else
      tally.insert(&words.emplace_back(w), &counts.emplace_back(1));
  });
  r.counter("distinct", double(words.size()));
  return std::uintptr_t(words.size());
}
// The same text with a NUL after each word, keys in place.
struct InPlaceText : std::string {
  explicit InPlaceText(std::size_t n) : std::string(cached<ZipfText>(n)) {
    for (char& c : *this)
      c = c == ' ' ? '\0' : c;
  }
};
// The word count by a default ptrbox::Hash<const char*, int> whose keys are
// the words where they lie; lookups by view.
std::uintptr_t countInPlace(Run& r) {
  const InPlaceText& text = cached<InPlaceText>(r.n);
  std::deque<int> counts;
  ptrbox::Hash<const char*, int> tally;
  for (const char *p = text.data(), *end = p + text.size(); p < end; ++p) {
    const char* start = p;
    while (p < end && *p != '\0')
      ++p;
    if (p == start)
      continue;
    if (int* n = tally.find(std::string_view(start, std::size_t(p - start))))
      ++*n;
    else
      tally.insert(start, &counts.emplace_back(1));
  }
  r.counter("distinct", double(counts.size()));
  return std::uintptr_t(counts.size());
}

// Caller-owned std::string keys: the first N of Words' texts are stored,
// lookups use std::string copies of them (shuffled) and N other strings.
struct StringProbes {
  std::vector<std::string> hits, misses;
  explicit StringProbes(std::size_t n) {
    const Words& w = cached<Words>(n);
    hits.assign(w.probes.begin(), w.probes.end());
    misses.assign(w.absent.begin(), w.absent.end());
  }
};
using TypedStrings = ptrbox::Hash<std::string, int>;
using StringMap = std::unordered_map<std::string, int>;
using TypedStringTree = ptrbox::Tree<std::string, int>;
using TypedStringList = ptrbox::OrderList<std::string, int>;
// By hand: the classic classes ordering std::string keys by compare().
const std::string& text(const void* k) {
  return *static_cast<const std::string*>(k);
}
struct StringTree final : _Tree {
  int keyCmp(const void* a, const void* b) override {
    return text(a).compare(text(b));
  }
};
struct StringList final : _OrderList {
  int keyCmp(void* a, void* b) override { return text(a).compare(text(b)); }
};
int one = 1;
void add(TypedStrings& t, const std::string& k) { t.insert(&k, &one); }
void add(TypedStringTree& t, const std::string& k) { t.insert(&k, &one); }
void add(TypedStringList& t, const std::string& k) { t.insert(&k, &one); }
void add(StringTree& t, const std::string& k) {
  t.insert(const_cast<std::string*>(&k), &one);
}
void add(StringList& t, const std::string& k) { t.insert(&k, &one); }
template <class M> void add(M& m, const std::string& k) { m.emplace(k, 1); }
template <class T> const void* lookup(T& t, const std::string& k) {
  return t.find(k);
}
const void* lookup(StringTree& t, const std::string& k) {
  _TreeNode* n = t.find(const_cast<std::string*>(&k));
  return n ? n->data() : nullptr;
}
const void* lookup(StringList& t, const std::string& k) { return t.find(&k); }
const void* lookup(StringMap& m, const std::string& k) {
  auto it = m.find(k);
  return it != m.end() ? &it->second : nullptr;
}
const void* lookup(std::map<std::string, int>& m, const std::string& k) {
  auto it = m.find(k);
  return it != m.end() ? &it->second : nullptr;
}
void drop(TypedStrings& t, const std::string& k) { t.remove(k); }
void drop(StringMap& m, const std::string& k) { m.erase(k); }
// Insert the N strings, find each (another order, by copies), find N
// absent ones; the hash tables then remove each.
template <class C> std::uintptr_t stringKeys(Run& r) {
  const std::vector<std::string>& stored = cached<Words>(r.n).text;
  const StringProbes& p = cached<StringProbes>(r.n);
  auto c = std::make_unique<C>();
  r.start();
  for (std::size_t i = 0; i < r.n; ++i)
    add(*c, stored[i]);
  r.phase("insert");
  r.filled();
  std::uintptr_t sum = 0;
  for (const std::string& k : p.hits)
    sum += bits(lookup(*c, k));
  r.phase("hit");
  for (const std::string& k : p.misses)
    sum += bits(lookup(*c, k));
  r.phase("miss");
  if constexpr (std::is_same_v<C, TypedStrings> ||
                std::is_same_v<C, StringMap>) {
    for (const std::string& k : p.hits)
      drop(*c, k);
    r.phase("remove");
  }
  r.untimed([&] { c.reset(); });
  return sum;
}

// The caller's multi-way tree: node i the last child of node (i - 1) / 8,
// keys falling with i, so the default keyCmp makes each a last child. The
// peer's nodes hold their children in a std::vector.
struct Node final : _MTree {
  using _MTree::_MTree;
};
struct VNode {
  void* key;
  void* data;
  std::vector<VNode*> children;
};
std::unique_ptr<Node> child(void* key, Node* parent) {
  return std::make_unique<Node>(key, key, parent, nullptr);
}
std::unique_ptr<VNode> child(void* key, VNode* parent) {
  auto node = std::make_unique<VNode>(VNode{key, key, {}});
  if (parent != nullptr)
    parent->children.push_back(node.get());
  return node;
}
void* mtreeKey(std::size_t i, std::size_t n) {
  return reinterpret_cast<void*>(n - i + 1);
}
template <class N> struct Nodes : std::vector<std::unique_ptr<N>> {
  explicit Nodes(std::size_t n) {
    this->reserve(n);
    for (std::size_t i = 0; i < n; ++i)
      this->push_back(
          child(mtreeKey(i, n), i > 0 ? (*this)[(i - 1) / 8].get() : nullptr));
  }
};
using PtrboxTree = Nodes<Node>;
using VectorTree = Nodes<VNode>;
// Pre-order, children in order (the order of _MTreeIter), until `stop`.
template <class Stop> VNode* preOrder(VNode* root, Stop stop) {
  std::vector<VNode*> stack{root};
  while (!stack.empty()) {
    VNode* node = stack.back();
    stack.pop_back();
    if (stop(node))
      return node;
    for (auto c = node->children.rbegin(); c != node->children.rend(); ++c)
      stack.push_back(*c);
  }
  return nullptr;
}
std::uintptr_t walk(PtrboxTree& t) { return walk(*t[0]); }
std::uintptr_t walk(VectorTree& t) {
  std::uintptr_t sum = 0;
  preOrder(t[0].get(), [&](VNode* v) { return sum += bits(v->data), false; });
  return sum;
}
_MTree* findNode(PtrboxTree& t, void* key) { return t[0]->FindNode(key); }
VNode* findNode(VectorTree& t, void* key) {
  return preOrder(t[0].get(), [key](VNode* v) { return v->key == key; });
}
// Makes a T(N), then releases it untimed.
template <class T> std::uintptr_t build(Run& r) {
  auto made = std::make_unique<T>(r.n);
  r.filled();
  r.untimed([&] { made.reset(); });
  return 0;
}
// 64 present keys at random, looked up in turn.
struct FindKeys : std::vector<void*> {
  explicit FindKeys(std::size_t n) {
    Rng rng{31};
    for (int i = 0; i < 64; ++i)
      push_back(mtreeKey(rng.below(n), n));
  }
};
// FindNode from the root for each of the 64 keys.
template <class T> std::uintptr_t findNodes(Run& r) {
  T& tree = cached<T>(r.n);
  const FindKeys& keys = cached<FindKeys>(r.n);
  r.start();
  std::uintptr_t sum = 0;
  for (void* key : keys)
    sum += bits(findNode(tree, key));
  r.phase("findnode", 64);
  return sum;
}

// A container made once per size: a list of N elements, or a keyed
// container of N random keys.
template <class C> struct Made final : C {
  explicit Made(std::size_t n) {
    if constexpr (std::is_base_of_v<_Hash, C> || std::is_base_of_v<_Tree, C>)
      for (void* k : cached<RandomKeys>(n).stored)
        this->insert(k, k);
    else
      for (void* e : cached<Elements>(n))
        append(*this, e);
  }
};
std::uintptr_t rangeFor(PtrboxTree& t) { return rangeFor(*t[0]); }
// A walk of N items by range-for, its peer the classic iterator's.
template <class C> Workload rangeForRow(const char* name) {
  return {
      name,
      {100000},
      {{"ptrbox range-for", [](Run& r) { return rangeFor(cached<C>(r.n)); }},
       {"classic iterator", [](Run& r) { return walk(cached<C>(r.n)); }}}};
}

} // namespace

// One row per workload, the bodies of its sides inline.
// clang-format off
std::vector<Workload> bench::workloads() {
  using List = std::list<void*>;
  using Map = std::map<void*, void*>;
  return {
    // Append N pointers, walk them with the iterator, clear.
    {"list_append_walk_clear", {1000, 100000}, {
      {"ptrbox", appendWalkClear<_List>},
      {"std::list", appendWalkClear<List>}}},
    // isIn of an absent pointer on a list of N.
    {"list_isin_miss", {1000}, {
      {"ptrbox", [](Run& r) {
        return std::uintptr_t(cached<Made<_List>>(r.n).isIn(absent(r.n)));
      }},
      {"std::list", [](Run& r) {
        const List& l = cached<Made<List>>(r.n);
        return std::uintptr_t(std::find(l.begin(), l.end(), absent(r.n)) !=
                              l.end());
      }}}},
    // Insert N random keys into an empty ordered list, find each in
    // another order, release it; the peer keeps key/element pairs sorted.
    {"orderlist_insert_find", {2000}, {
      {"ptrbox", insertFind<_OrderList>},
      {"std::list", insertFind<Pairs>}}},

    // Push N pointers, pop them all; the deque-based std::stack is context.
    {"stack_push_pop", {1000, 100000}, {
      {"ptrbox", [](Run& r) {
        _Stack s;
        return pushPop(r, [&](void* e) { s.push(e); }, [&] { return s.pop(); });
      }},
      {"std::forward_list", [](Run& r) {
        std::forward_list<void*> s;
        return pushPop(r, [&](void* e) { s.push_front(e); },
                       [&] { void* e = s.front(); return s.pop_front(), e; });
      }},
      {"std::stack", [](Run& r) {
        std::stack<void*> s;
        return pushPop(r, [&](void* e) { s.push(e); },
                       [&] { void* e = s.top(); return s.pop(), e; });
      }}}},

    // Random pointer-sized keys, uniform below 2^47.
    {"hash_random_keys", {1000000},
     hashSides<PointerTable, RandomKeys>(kSettings, {1950607, 1, 2, 1.4f})},
    // The addresses of 40-byte heap objects, 48 bytes apart, inserted in
    // random order: aligned keys, which the default hash (key modulo
    // capacity) crowds into 1/f of the buckets when the capacity shares a
    // factor f with their spacing.
    {"hash_address_keys", {1000000},
     hashSides<PointerTable, AddressKeys>(kSettings, {1950607, 1, 2, 1.4f})},
    // Text keys hashed and compared by content (TextTable); key objects
    // are made in the timed insert, lookups use other copies of the text;
    // presized at the recommended rule's first capacity above 200,000.
    {"hash_string_keys", {200000},
     hashSides<StringTable, Words>({kSettings[6], kSettings[0]},
                                   {338647, 1, 2, 1.4f})},

    // Count the words of a text of N words (Zipf, N / 40 distinct).
    {"wordcount", {2000000}, {
      {"ptrbox", countWords<TextTable, Count<TextKey>>},
      {"std::unordered_map", countStd}}},

    // Insert N random keys into an empty tree, find each in another order,
    // walk in order; tearing down is not timed.
    {"tree_insert_find_walk", {1000000}, {
      {"ptrbox", insertFind<Tree, true>},
      {"std::map", insertFind<Map, true>}}},

    // Make N nodes, each the last child of node (i - 1) / 8; the caller's
    // release of the nodes is not timed.
    {"mtree_build", {100000}, {{"ptrbox", build<PtrboxTree>},
                               {"vector-tree", build<VectorTree>}}},
    // A full depth-first walk reading each node's data.
    {"mtree_walk", {100000}, {
      {"ptrbox", [](Run& r) { return walk(cached<PtrboxTree>(r.n)); }},
      {"vector-tree", [](Run& r) { return walk(cached<VectorTree>(r.n)); }}}},
    // FindNode from the root for 64 present keys (half the tree walked on
    // average); the peer runs the same walk comparing keys.
    {"mtree_findnode", {10000}, {
      {"ptrbox", findNodes<PtrboxTree>},
      {"vector-tree", findNodes<VectorTree>}}},

    // Append N pointers, walk with ObjectLstIter, clearList().
    {"objlst_append_walk_clear", {1000, 100000}, {
      {"ptrbox", appendWalkClear<ObjectLst>},
      {"std::list", appendWalkClear<List>}}},
    // seek of an absent pointer on a list of N; the peer counts positions.
    {"objlst_seek_miss", {1000}, {
      {"ptrbox", [](Run& r) {
        return std::uintptr_t(cached<Made<ObjectLst>>(r.n).seek(absent(r.n)));
      }},
      {"std::list", [](Run& r) {
        void* sought = absent(r.n);
        int pos = 0;
        for (void* e : cached<Made<List>>(r.n))
          if (++pos, e == sought)
            return std::uintptr_t(pos);
        return std::uintptr_t(-1);
      }}}},

    // The standard iterators cost nothing: range-for against the classic
    // iterator on each container, and the typed table against the same
    // word count written by hand.
    rangeForRow<Made<_List>>("list_walk_range_for"),
    rangeForRow<Made<ObjectLst>>("objlst_walk_range_for"),
    rangeForRow<Made<_Hash>>("hash_walk_range_for"),
    rangeForRow<Made<_Tree>>("tree_walk_range_for"),
    rangeForRow<PtrboxTree>("mtree_walk_range_for"),
    // A stack walked top to bottom by range-for, against the singly linked
    // standard list a stack of pointers would otherwise be.
    {"stack_walk_range_for", {100000}, {
      {"ptrbox range-for", [](Run& r) {
        return rangeFor(cached<Made<_Stack>>(r.n));
      }},
      {"std::forward_list", [](Run& r) {
        return rangeFor(cached<Made<std::forward_list<void*>>>(r.n));
      }}}},
    // The README's word count as written, and by C strings in place,
    // each default-constructed, against the standard table.
    {"wordcount_readme", {2000000}, {
      {"ptrbox::Hash<std::string, int>", countReadme},
      {"ptrbox::Hash<const char*, int>", countInPlace},
      {"std::unordered_map", countStd}}},
    // Caller-owned strings in the default typed table, sought by
    // std::string copies, against the standard table of strings.
    {"hash_typed_strings", {200000}, {
      {"ptrbox::Hash<std::string, int>", stringKeys<TypedStrings>},
      {"std::unordered_map", stringKeys<StringMap>}}},
    // The typed tree and list against the classic classes ordering the
    // same strings by a derived keyCmp; std::map is context.
    {"tree_typed_strings", {200000}, {
      {"ptrbox::Tree<std::string, int>", stringKeys<TypedStringTree>},
      {"_Tree by hand", stringKeys<StringTree>},
      {"std::map", stringKeys<std::map<std::string, int>>}}},
    {"orderlist_typed_strings", {2000}, {
      {"ptrbox::OrderList<std::string, int>", stringKeys<TypedStringList>},
      {"_OrderList by hand", stringKeys<StringList>}}},
    {"wordcount_typed", {2000000}, {
      {"ptrbox::Hash<std::string_view, ...>",
       countWords<TypedTable, ViewCount>},
      {"_Hash by hand", countWords<ViewTable, ViewCount>}}},
  };
}
// clang-format on
