#include "Messages.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace ptrbox_checked {
namespace {

// In the order of Rule. Long texts are split into adjacent literals, which
// the comma check would take for a missing comma.
// NOLINTBEGIN(bugprone-suspicious-missing-comma)
constexpr const char* kTexts[] = {
    "the size is below 1",
    "the growth rate is negative or not finite",
    "the first growth would overflow int",
    "this growth would overflow int",
    "the table is null",
    "the table was destroyed",
    "the table was destroyed while this iterator held a position",
    "the table was destroyed before this iterator",
    "the table's bucket array was replaced while this iterator held a "
    "position",
    "the table grew while this iterator held a position",
    "the table was cleared while this iterator held a position",
    "the entry under this iterator was removed",
    "the node under this iterator was removed from its list",
    "the list was cleared while this iterator stood on one of its nodes",
    "the list was assigned to while this iterator stood on one of its nodes",
    "the list was destroyed while this iterator stood on one of its nodes",
    "the list was destroyed before this iterator",
    "an element without a key was inserted into an _OrderList",
    "the tree changed during this walk",
    "the tree was destroyed before this iterator",
    "the node is not in this tree",
    "placing this node would make a cycle: it is the node it is placed "
    "under or an ancestor of it",
    "this node is already linked into the chain it is placed at the end of",
    "this node is constructed again while it is still linked into a tree",
    "the list is null",
    "the source chain starts inside this list",
    "the node under this iterator was removed from its container",
    "the container was cleared while this iterator stood on one of its nodes",
    "the container was assigned to while this iterator stood on one of its "
    "nodes",
    "the container was destroyed while this iterator stood on one of its "
    "nodes",
    "the table grew while this iterator stood on one of its entries",
    "used by two threads at once",
};
// NOLINTEND(bugprone-suspicious-missing-comma)
static_assert(sizeof kTexts / sizeof *kTexts == unsigned(Rule::Count),
              "one text per rule");

std::uintptr_t address(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

} // namespace

const char* text(Rule rule) { return kTexts[unsigned(rule)]; }

void report(const char* where, Rule rule, const char* name1, const void* p1,
            const char* name2, const void* p2, const char* extra) {
  char line[512];
  int n = std::snprintf(line, sizeof line, "ptrbox: %s: %s (%s 0x%" PRIxPTR,
                        where, text(rule), name1, address(p1));
  if (name2 && n > 0 && std::size_t(n) < sizeof line)
    n += std::snprintf(line + n, sizeof line - n, ", %s 0x%" PRIxPTR, name2,
                       address(p2));
  if (extra && n > 0 && std::size_t(n) < sizeof line)
    std::snprintf(line + n, sizeof line - n, ", %s", extra);
  std::fprintf(stderr, "%s)\n", line);
  std::fflush(stderr);
  std::abort();
}

} // namespace ptrbox_checked
