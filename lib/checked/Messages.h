// The checked build's reports: one table of every rule it stops on (the
// list the README shows), and the one-line report.
#ifndef PTRBOX_CHECKED_MESSAGES_H
#define PTRBOX_CHECKED_MESSAGES_H

namespace ptrbox_checked {

enum class Rule : unsigned {
  HashSize,
  HashRate,
  HashFirstGrowth,
  HashGrowth,
  HashIterNullTable,
  HashIterDeadTable,
  TableDestroyedHeld,
  TableDestroyedBefore,
  TableReplacedHeld,
  TableGrewHeld,
  TableClearedHeld,
  EntryRemoved,
  NodeRemoved,
  ListCleared,
  ListAssigned,
  ListDestroyedOn,
  ListDestroyedBefore,
  KeylessInsert,
  TreeChanged,
  TreeDestroyedBefore,
  TreeForeignNode,
  MTreeCycle,
  MTreeInChain,
  MTreeStillLinked,
  MTreeNullList,
  CarbonCopyInside,
  ContainerNodeRemoved,
  ContainerCleared,
  ContainerAssigned,
  ContainerDestroyed,
  TableGrewUnder,
  ConcurrentUse,
  Count
};

// The rule's text, as reports and the README give it.
const char* text(Rule rule);

// "ptrbox: <where>: <rule> (<name1> 0x..., <name2> 0x..., <extra>)" on
// standard error, then abort(). name2 and extra are left out when null.
[[noreturn]] void report(const char* where, Rule rule, const char* name1,
                         const void* p1, const char* name2 = nullptr,
                         const void* p2 = nullptr, const char* extra = nullptr);

} // namespace ptrbox_checked

#endif
