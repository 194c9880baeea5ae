#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <sys/mman.h>

namespace Core
{

/// Maps in the pages of a freshly reserved array in one call: a big model's
/// arrays otherwise take one page fault per page as they fill, and a fault
/// costs far more than the page's writing, above all in a virtual machine.
/// Nothing is written; where the system cannot do it the pages simply fault
/// as before.
template <class T>
void prefault(std::vector<T>& array)
{
#ifdef MADV_POPULATE_WRITE
    const std::size_t page = 4096;
    const auto begin = reinterpret_cast<uintptr_t>(array.data());
    const uintptr_t first = (begin + page - 1) & ~uintptr_t(page - 1);
    const uintptr_t last = (begin + array.capacity() * sizeof(T)) & ~uintptr_t(page - 1);
    if (last > first)
        madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#else
    (void)array;
#endif
}

/// Sizes an empty array to `count` elements in one allocation, its pages
/// mapped in one go (see prefault()).
template <class T>
void allocate(std::vector<T>& array, std::size_t count)
{
    array.reserve(count);
    prefault(array);
    array.resize(count);
}

} // namespace Core
