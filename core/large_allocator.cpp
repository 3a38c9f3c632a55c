#include "core/large_allocator.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#ifdef _WIN32
#include <malloc.h>
#else
#include <sys/mman.h>
#endif

namespace {

constexpr std::size_t HugePage = std::size_t(2) << 20;

#ifdef _WIN32
// Windows' free() cannot release an aligned block, so every block is taken
// aligned; large pages would need a privilege that users do not hold.
void *takeBlock(std::size_t alignment, std::size_t bytes)
{
    return _aligned_malloc(bytes, alignment);
}

void releaseBlock(void *pointer)
{
    _aligned_free(pointer);
}
#else
void *takeBlock(std::size_t alignment, std::size_t bytes)
{
    if (alignment < HugePage)
        return std::malloc(bytes);
    void *pointer = std::aligned_alloc(alignment, bytes);
    // Only advice: where the kernel has no huge pages the memory is as good.
    if (pointer)
        madvise(pointer, bytes, MADV_HUGEPAGE);
    return pointer;
}

void releaseBlock(void *pointer)
{
    std::free(pointer);
}
#endif

} // namespace

void *AllocateLarge(std::size_t bytes)
{
    // Rounding up to whole huge pages must not wrap round to a small block.
    if (bytes > std::numeric_limits<std::size_t>::max() - HugePage)
        throw std::bad_alloc();
    void *pointer = bytes < HugePage
                        ? takeBlock(alignof(std::max_align_t), bytes == 0 ? 1 : bytes)
                        : takeBlock(HugePage, (bytes + HugePage - 1) / HugePage * HugePage);
    if (!pointer)
        throw std::bad_alloc();
    return pointer;
}

void FreeLarge(void *pointer, std::size_t) noexcept
{
    releaseBlock(pointer);
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
