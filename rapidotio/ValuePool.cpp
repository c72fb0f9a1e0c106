#include "rapidotio/ValuePool.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace ZEM_0_81::rapidotio {

ValuePool::ValuePool(std::size_t firstChunkCapacity)
    : m_nextChunkCapacity(firstChunkCapacity == 0
                              ? kFirstChunkCapacity
                              : std::min(aligned(firstChunkCapacity), kChunkCapacity)) {}

ValuePool::~ValuePool() {
    for (std::size_t i = m_kept; i < m_chunks.size(); ++i)
        std::free(m_chunks[i].begin);
}

void* ValuePool::fromNewChunk(std::size_t size) {
    const std::size_t capacity = std::max(size, m_nextChunkCapacity);
    m_nextChunkCapacity = std::min(2 * m_nextChunkCapacity, kChunkCapacity);
    m_chunks.reserve(m_chunks.size() + 1);
    char* const chunk = static_cast<char*>(std::malloc(capacity));
    if (!chunk)
        throw std::bad_alloc();
    m_chunks.push_back(Chunk{chunk, chunk + capacity});
    m_next = chunk + size;
    m_end = chunk + capacity;
    return chunk;
}

void* ValuePool::Realloc(void* original, std::size_t originalSize, std::size_t newSize) {
    if (!original)
        return Malloc(newSize);
    if (newSize == 0)
        return nullptr;
    originalSize = aligned(originalSize);
    newSize = aligned(newSize);
    if (originalSize >= newSize)
        return original;
    // The last allocation grows where it is when its chunk has the room.
    char* const start = static_cast<char*>(original);
    if (start + originalSize == m_next && newSize - originalSize <= std::size_t(m_end - m_next)) {
        m_next += newSize - originalSize;
        return original;
    }
    void* const moved = Malloc(newSize);
    std::memcpy(moved, original, originalSize);
    return moved;
}

void ValuePool::releaseBefore(const void* position) {
    if (m_chunks.size() - m_kept < 2)
        return; // only the chunk allocations are made from is left
    if (m_indexed != m_chunks.size()) {
        m_byAddress.clear();
        for (std::size_t i = m_kept; i < m_chunks.size(); ++i)
            m_byAddress.push_back(i);
        std::sort(m_byAddress.begin(), m_byAddress.end(), [this](std::size_t a, std::size_t b) {
            return m_chunks[a].begin < m_chunks[b].begin;
        });
        m_indexed = m_chunks.size();
    }
    // The chunk that holds the byte before `position`: the last one that starts
    // before it, if that one reaches it.
    const char* const last = static_cast<const char*>(position) - 1;
    const auto after =
        std::upper_bound(m_byAddress.begin(), m_byAddress.end(), last,
                         [this](const char* at, std::size_t i) { return at < m_chunks[i].begin; });
    if (after == m_byAddress.begin())
        return;
    const std::size_t holder = *(after - 1);
    if (holder <= m_kept || last >= m_chunks[holder].end)
        return;
    for (std::size_t i = m_kept; i < holder; ++i)
        std::free(m_chunks[i].begin);
    m_kept = holder;
}

std::size_t ValuePool::capacity() const {
    std::size_t total = 0;
    for (std::size_t i = m_kept; i < m_chunks.size(); ++i)
        total += static_cast<std::size_t>(m_chunks[i].end - m_chunks[i].begin);
    return total;
}

} // namespace ZEM_0_81::rapidotio
