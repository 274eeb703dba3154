// The checked build's registry: what the checks remember about containers
// and iterators, kept outside the objects in one fixed, zero-initialised
// table keyed by (address, kind) and guarded by one spin lock. It never
// allocates, so a program's allocation counts are the same checked or not;
// when the table has no room it drops a record, which can only make a later
// check silent. Steps over nodes never come here: released nodes carry
// their own mark (see <PtrboxChecked>).
#ifndef PTRBOX_CHECKED_REGISTRY_H
#define PTRBOX_CHECKED_REGISTRY_H

#include "PtrboxChecked"

#include <cstddef>
#include <cstdint>

namespace ptrbox_checked {
namespace registry {

enum Kind : std::uint32_t { Container = 1, Iterator };

struct Record {
  std::uintptr_t key; // 0: empty
  Kind kind;
  Reason state;       // containers: Live or Destroyed
  Reason change;      // tables: the last change of the bucket array
  std::uint64_t life; // containers: this record's; iterators: the container's
  std::uint64_t version; // trees: changes so far; tree walks: at their start
  const void* container; // iterators: the container they were on
};

// Records lie within this many slots of their home slot.
constexpr std::size_t kSlots = std::size_t(1) << 12, kWindow = 16;

// A slot for an address: multiplicative hashing, so that nearby addresses
// land far apart.
std::size_t spread(std::uintptr_t key);

// Holds the registry's lock for its lifetime.
class Lock {
 public:
  Lock();
  ~Lock();
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;
};

// Under the lock. The record of (p, kind), or null.
Record* find(const void* p, Kind kind);
// A record for p: the one already there, or a fresh one (with a life no
// other record shares) when there is none or `fresh` is set. Drops the
// record at p's home slot when p's window is full.
Record* make(const void* p, Kind kind, bool fresh = false);
// Empties the record's slot; other records may move.
void erase(Record* r);
// Whether any container record exists: while none does, the hooks of
// making and destroying containers take no lock.
bool anyContainers();

} // namespace registry
} // namespace ptrbox_checked

#endif
