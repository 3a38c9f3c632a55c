#pragma once

// An allocator for the large flat buffers of a catalogue (the file's bytes,
// the rows' texts, the collation keys of a sort). A buffer of a few
// megabytes is taken in 2 MiB-aligned blocks that the kernel is asked to back
// with huge pages: touching fresh memory costs one page fault per 4 KiB
// otherwise, and on a virtual machine those faults took more time than
// reading and sorting a large catalogue. Small buffers come from malloc.

#include <cstddef>
#include <new>

void *AllocateLarge(std::size_t bytes);
void FreeLarge(void *pointer, std::size_t bytes) noexcept;

template <typename T> struct LargeAllocator
{
    using value_type = T;

    LargeAllocator() = default;
    template <typename U> LargeAllocator(const LargeAllocator<U> &) noexcept {}

    T *allocate(std::size_t count)
    {
        if (count > std::size_t(-1) / sizeof(T))
            throw std::bad_alloc();
        return static_cast<T *>(AllocateLarge(count * sizeof(T)));
    }
    void deallocate(T *pointer, std::size_t count) noexcept
    {
        FreeLarge(pointer, count * sizeof(T));
    }

    template <typename U> bool operator==(const LargeAllocator<U> &) const noexcept { return true; }
};
