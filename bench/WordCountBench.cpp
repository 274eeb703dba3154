// A real client: counting word frequencies in a generated text.
//
// The text has N words drawn from a vocabulary of N / 40 distinct words
// (lower-case, 3 to 10 letters) with Zipf's law (exponent 1): a few words
// are very frequent, most are rare, as in natural text. Both sides split the
// text at spaces with the same loop.
//
// ptrbox: a _Hash keyed by words through overriding `hash` and `keyCmp`:
//   the key is a hash (std::hash<std::string_view>, as the peer's) and a
//   view of the text; a new word gets one record holding its key, its count
//   and its own copy of the text, and the key's address is the table key.
// peer: std::unordered_map<std::string, int> and `++counts[std::string(w)]`.
#include "BenchSupport.h"

#include <Hash>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace {

using bench::Scale;

// A word as a key: its hash (computed once per word read) and its text.
struct Word {
  std::size_t hash;
  std::string_view text;
};

// Chains order by hash first, so a lookup reads an entry's text only when
// the hashes agree; growth reuses the stored hashes.
class WordTable : public _Hash {
 public:
  WordTable(int size, int thresh, int depth, float rate)
      : _Hash(size, thresh, depth, rate) {}
  unsigned long hash(void* key) override {
    return static_cast<unsigned long>(word(key).hash);
  }
  int keyCmp(void* tabKey, void* searchKey) override {
    const Word& a = word(tabKey);
    const Word& b = word(searchKey);
    if (a.hash != b.hash)
      return a.hash < b.hash ? -1 : 1;
    return a.text.compare(b.text);
  }

 private:
  static const Word& word(void* key) { return *static_cast<const Word*>(key); }
};

// One record per distinct word: its key, its count and its own copy of the
// text (short words sit inside the record), so the key is one allocation.
struct WordCount {
  Word word;
  long count;
  std::string text;
  WordCount(std::size_t hash, std::string_view w) : count(1), text(w) {
    word = Word{hash, text};
  }
};

const std::string& zipfText(std::size_t words) {
  static std::string text;
  static std::size_t made = 0;
  if (made == words)
    return text;
  bench::Rng rng(17);
  const std::size_t distinct = words / 40;
  std::unordered_set<std::string> seen;
  std::vector<std::string> vocabulary;
  while (vocabulary.size() < distinct) {
    std::string w(3 + rng.below(8), 'a');
    for (char& c : w)
      c = static_cast<char>('a' + rng.below(26));
    if (seen.insert(w).second)
      vocabulary.push_back(std::move(w));
  }
  std::vector<double> cdf(distinct);
  double total = 0;
  for (std::size_t r = 0; r < distinct; ++r)
    cdf[r] = total += 1.0 / static_cast<double>(r + 1);
  text.clear();
  for (std::size_t i = 0; i < words; ++i) {
    const double u = static_cast<double>(rng.next() >> 11) * 0x1.0p-53 * total;
    const std::size_t r = static_cast<std::size_t>(
        std::lower_bound(cdf.begin(), cdf.end(), u) - cdf.begin());
    text += vocabulary[std::min(r, distinct - 1)];
    text += ' ';
  }
  made = words;
  return text;
}

// Calls `f` with each space-separated word of `text`.
template <class F> void forEachWord(const std::string& text, F f) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const char* start = p;
    while (p < end && *p != ' ')
      ++p;
    if (p != start)
      f(std::string_view(start, static_cast<std::size_t>(p - start)));
    ++p;
  }
}

std::size_t countPtrbox(const std::string& text) {
  WordTable table(4253, 1, 2, 1.4f);
  std::vector<std::unique_ptr<WordCount>> counts;
  forEachWord(text, [&](std::string_view w) {
    Word probe{std::hash<std::string_view>{}(w), w};
    if (_HashItem* item = table.find(&probe)) {
      ++static_cast<WordCount*>(item->data())->count;
    } else {
      counts.push_back(std::make_unique<WordCount>(probe.hash, w));
      table.insert(&counts.back()->word, counts.back().get());
    }
  });
  return counts.size();
}

std::size_t countStd(const std::string& text) {
  std::unordered_map<std::string, int> counts;
  forEachWord(text, [&](std::string_view w) { ++counts[std::string(w)]; });
  return counts.size();
}

void ptrboxWordCount(benchmark::State& state) {
  const std::string& text = zipfText(static_cast<std::size_t>(state.range(0)));
  std::size_t distinct = 0;
  for (auto _ : state)
    distinct = countPtrbox(text);
  state.counters["distinct"] = static_cast<double>(distinct);
}

void stdWordCount(benchmark::State& state) {
  const std::string& text = zipfText(static_cast<std::size_t>(state.range(0)));
  std::size_t distinct = 0;
  for (auto _ : state)
    distinct = countStd(text);
  state.counters["distinct"] = static_cast<double>(distinct);
}

void registerWordCount(const Scale& s) {
  const std::int64_t words = s.pick(2000000, 20000);
  benchmark::RegisterBenchmark("wordcount/ptrbox", ptrboxWordCount)
      ->Arg(words)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("wordcount/std::unordered_map", stdWordCount)
      ->Arg(words)
      ->Unit(benchmark::kMillisecond);
}

bench::FamilyRegistration wordCountFamily({"WordCount", registerWordCount,
                                           nullptr});

} // namespace
