#include "core/large_allocator.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

namespace {

constexpr std::size_t HugePage = std::size_t(2) << 20;

} // namespace

void *AllocateLarge(std::size_t bytes)
{
    if (bytes < HugePage) {
        void *pointer = std::malloc(bytes == 0 ? 1 : bytes);
        if (!pointer)
            throw std::bad_alloc();
        return pointer;
    }
    const std::size_t rounded = (bytes + HugePage - 1) / HugePage * HugePage;
    void *pointer = std::aligned_alloc(HugePage, rounded);
    if (!pointer)
        throw std::bad_alloc();
    // Only advice: where the kernel has no huge pages the memory is as good.
    madvise(pointer, rounded, MADV_HUGEPAGE);
    return pointer;
}

void FreeLarge(void *pointer, std::size_t) noexcept
{
    std::free(pointer);
}

void LargeBuffer::reserve(std::size_t bytes)
{
    if (bytes <= m_capacity)
        return;
    auto *data = static_cast<unsigned char *>(AllocateLarge(bytes));
    if (m_size > 0)
        std::memcpy(data, m_data, m_size);
    if (m_data)
        FreeLarge(m_data, m_capacity);
    m_data = data;
    m_capacity = bytes;
}

unsigned char *LargeBuffer::room(std::size_t bytes)
{
    if (m_size + bytes > m_capacity)
        reserve(std::max(m_size + bytes, 2 * m_capacity));
    return m_data + m_size;
}
