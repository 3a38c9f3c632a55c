#pragma once

// An allocator for the large flat buffers of a catalogue (the file's bytes,
// the rows' texts, the collation keys of a sort). A buffer of a few
// megabytes is taken in 2 MiB-aligned blocks that the kernel is asked to back
// with huge pages: touching fresh memory costs one page fault per 4 KiB
// otherwise, and on a virtual machine those faults took more time than
// reading and sorting a large catalogue. Small buffers come from malloc.

#include <cstddef>
#include <new>
#include <utility>

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

// Bytes one after the other in one large block, which grows by copying and
// keeps its memory when cleared.
class LargeBuffer
{
public:
    LargeBuffer() = default;
    LargeBuffer(LargeBuffer &&other) noexcept
        : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)),
          m_capacity(std::exchange(other.m_capacity, 0))
    {}
    LargeBuffer &operator=(LargeBuffer &&other) noexcept
    {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
        return *this;
    }
    LargeBuffer(const LargeBuffer &) = delete;
    LargeBuffer &operator=(const LargeBuffer &) = delete;
    ~LargeBuffer()
    {
        if (m_data)
            FreeLarge(m_data, m_capacity);
    }

    const unsigned char *data() const { return m_data; }
    std::size_t size() const { return m_size; }
    std::size_t capacity() const { return m_capacity; }
    bool empty() const { return m_size == 0; }
    void reserve(std::size_t bytes);
    void clear() { m_size = 0; }
    // At least bytes of room after the end, not yet part of the buffer.
    unsigned char *room(std::size_t bytes);
    void resize(std::size_t bytes) { m_size = bytes; }

private:
    unsigned char *m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};
