// The checked build's concurrent-use words, beyond the enter and leave hooks
// of <PtrboxChecked>: which word a container's operations use. Containers
// that share a word are told apart by a tag of their address.
#ifndef PTRBOX_CHECKED_THREADS_H
#define PTRBOX_CHECKED_THREADS_H

#include "PtrboxChecked"

#include <cstddef>

namespace ptrbox_checked {

std::size_t wordIndex(const void* container);

} // namespace ptrbox_checked

#endif
