#include "tour.h"

#include <Keyed>
#include <List>
#include <MTree>
#include <View>

#include <cstdio>
#include <deque>
#include <iterator>
#include <sstream>
#include <string>

namespace {
// Nodes placed by the default order of their keys' addresses: a lower one
// becomes a child, a higher one a sibling.
struct Node final : _MTree {
  using _MTree::_MTree;
};
} // namespace

void tourModern() {
  // A word count: the table hashes and compares the strings, not their
  // addresses. ptrbox stores pointers, so the caller keeps the words and
  // the counts, in deques, which never move what they hold.
  std::istringstream text("the cat saw the dog and the dog saw the cat");
  std::deque<std::string> words;
  std::deque<int> counts;
  ptrbox::Hash<std::string, int> tally;
  for (std::string w; text >> w;)
    if (int* n = tally.find(w))
      ++*n;
    else
      tally.insert(&words.emplace_back(w), &counts.emplace_back(1));
  std::printf("modern: word count:");
  for (auto [word, n] : tally)
    std::printf(" %s=%d", word->c_str(), *n);

  // C strings are keys by their text; a typed tree walks in key order.
  int ten = 10, twenty = 20;
  ptrbox::Tree<const char*, int> scores;
  scores.insert("zoe", &ten);
  scores.insert("amy", &twenty);
  std::printf("\nmodern: tree in key order:");
  for (auto [name, score] : scores)
    std::printf(" %s=%d", name, *score);

  // Range-for over the classic containers, typed by a view.
  _List list;
  for (const std::string& w : words)
    list.insert(&w);
  std::printf("\nmodern: list, last first:");
  auto strings = ptrbox::view<std::string>(list);
  for (auto it = strings.end(); it != strings.begin();)
    std::printf(" %s", (*--it)->c_str());

  // A multi-way tree node walks its subtree and its later siblings.
  int keys[4] = {};
  Node root(&keys[3], nullptr, nullptr, nullptr);
  Node child(&keys[1], nullptr, &root, nullptr);
  Node grandchild(&keys[0], nullptr, &child, nullptr);
  Node sibling(&keys[2], nullptr, &child, nullptr);
  std::printf("\nmodern: multi-way tree walk, depths:");
  for (_MTree& node : root)
    std::printf(" %d", node.Depth());
  std::printf("; from the child, its later sibling included: %td nodes\n",
              std::distance(child.begin(), child.end()));
}
