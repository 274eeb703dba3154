#include "Hash"

#include "PointerOrder.h"
#include "../checked/Hooks.h"

#include <cstdint>
#include <cstdio>
#include <typeinfo>

_Hash::_Hash(int size, int r_thresh, int r_depth, float r_rate)
    : resizeThreshold(r_thresh), resizeDepth(r_depth), resizeRate(r_rate),
      maxDepth(0), tabsize(size), numentries(0), iterating(0), prevSym(nullptr),
      curSym(nullptr), tab(nullptr) {
  PTRBOX_CHECK(hashMade(this, size, r_thresh, r_rate));
  inittab();
}

_Hash::~_Hash() {
  PTRBOX_CHECK(tableReleasing(this, ptrbox_checked::Destroyed));
  purgetab();
}

_HashItem* _Hash::insert(void* key, void* data) {
  PTRBOX_CHECK(Entered entered(this, "_Hash::insert"));
  // The depth tested is the one earlier lookups left, not this insertion's.
  if (iterating == 0 && maxDepth > resizeDepth &&
      (numentries + 1) * resizeThreshold > tabsize)
    resize();
  return place(key, data);
}

void _Hash::remove(void* key) {
  PTRBOX_CHECK(Entered entered(this, "_Hash::remove"));
  if (_HashItem* sym = find(key))
    unlink(sym);
}

void _Hash::remove(void* key, void* data) {
  PTRBOX_CHECK(Entered entered(this, "_Hash::remove"));
  if (_HashItem* sym = find(key, data))
    unlink(sym);
}

void _Hash::clear() {
  PTRBOX_CHECK(Entered entered(this, "_Hash::clear"));
  // The new array first, so a failed allocation leaves every entry in place.
  _HashItem** fresh = new _HashItem*[tabsize]();
  PTRBOX_CHECK(tableReleasing(this, ptrbox_checked::Cleared));
  purgetab();
  numentries = 0;
  tab = fresh;
}

void _Hash::resize() {
  PTRBOX_CHECK(Entered entered(this, "_Hash::resize"));
  PTRBOX_CHECK(hashGrowing(this, tabsize, resizeThreshold, resizeRate));
  regrow<false>([this](const _HashItem* sym) { place(sym->_key, sym->_data); });
}

void _Hash::print() {
  for (int i = 0; i < tabsize; ++i) {
    if (tab[i] == nullptr)
      continue;
    std::printf("bucket[%3d]: ", i);
    for (_HashItem* sym = tab[i]; sym != nullptr; sym = sym->next()) {
      // The low 32 bits of the address, read as a signed int.
      const auto bits = static_cast<std::uint32_t>(
          reinterpret_cast<std::uintptr_t>(sym->key()));
      std::printf("%i%s", static_cast<int>(bits),
                  sym->next() != nullptr ? ", " : "\n");
    }
  }
}

unsigned long _Hash::hash(void* key) {
  return static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(key)) %
         static_cast<unsigned long>(capacity());
}

int _Hash::keyCmp(void* tabKey, void* searchKey) {
  return ptrbox_detail::pointerDifference(tabKey, searchKey);
}

int _Hash::dataCmp(void*, void*) { return 0; }

void _Hash::inittab() {
  tab = new _HashItem*[tabsize]();
  curSym = prevSym = nullptr;
  maxDepth = 0;
}

void _Hash::purgetab() {
  if (tab != nullptr) {
    releaseChains(tab, tabsize);
    delete[] tab;
    tab = nullptr;
  }
  curSym = prevSym = nullptr;
  maxDepth = 0;
}

_HashItem* _Hash::lookup(void* key, void* data, bool byData) {
  PTRBOX_CHECK(Entered entered(this, "_Hash::find"));
  // A derived table's operations, called virtually: out of line, so that
  // the inlined path below needs no frame.
  auto overridden = [](_Hash & h, void* key, void* data, bool byData)
      __attribute__((noinline)) {
    return h.seek(h.hash(key), [&](const _HashItem* sym) {
      int c = h.keyCmp(sym->_key, key);
      if (c == 0 && byData)
        c = h.dataCmp(sym->_data, data);
      return c;
    });
  };
  if (&typeid(*this) != &typeid(_Hash))
    return overridden(*this, key, data, byData);
  // The library's own operations, inlined: the address modulo the capacity,
  // the pointer order, and data that always compare equal.
  return seek(static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(key)),
              [key](const _HashItem* sym) {
                return ptrbox_detail::pointerOrder(sym->_key, key);
              });
}

_HashItem* _Hash::place(void* key, void* data) {
  const int depthBefore = maxDepth;
  if (_HashItem* sym = lookup(key, data, true))
    return sym;
  _HashItem* item;
  try {
    item = new _HashItem(data, key);
  } catch (...) {
    // A failed insertion leaves no trace, not even its lookup's depth.
    maxDepth = depthBefore;
    throw;
  }
  item->_next = *curSym;
  *curSym = item;
  ++numentries;
  return item;
}

void _Hash::unlink(_HashItem* sym) {
  // curSym is the link that holds sym: the bucket head or its predecessor's.
  *curSym = sym->_next;
  PTRBOX_CHECK(
      release(ptrbox_checked::Access::nextOf(sym), ptrbox_checked::Removed));
  delete sym;
  --numentries;
}

int _HashIter::operator==(_HashItem* i) {
  PTRBOX_CHECK(
      hashIterUse("operator==", this, tab, curBucket, bucketIndex, curSym));
  if (i == curSym)
    return 1;
  if (i == nullptr || curSym == nullptr)
    return 0;
  return tab->keyCmp(curSym->key(), i->key()) == 0 &&
         tab->dataCmp(curSym->data(), i->data()) == 0;
}
