#pragma once

#include <cstddef>
#include <vector>

namespace ZEM_0_81::rapidotio {

/// The allocator of the project's DOM values: a pool, as RapidJSON's
/// MemoryPoolAllocator, that takes its memory from the heap in chunks and frees
/// nothing before it goes, except on request.
///
/// Chunks grow: each is twice the one before, from the first chunk's capacity
/// up to kChunkCapacity (64 KB), and an allocation larger than the next chunk
/// gets a chunk of its own size. A pool made for a short text (an identity kept
/// as JSON, a marker's kept members: parsed once per clip) so takes a few
/// hundred bytes instead of 64 KB; a whole document's pool takes full chunks
/// after seven small ones.
///
/// The request is releaseBefore: a DOM that is read once, front to back, hands
/// back the chunks it has read while what is built from it grows, and the heap
/// serves those allocations from the chunks handed back. The chunks stay small
/// enough for the heap to hand out from its free memory, never from fresh pages
/// of the system.
class ValuePool {
public:
    /// Values need not be freed one by one: the pool frees its chunks.
    static const bool kNeedFree = false;
    /// Capacity the chunks grow to.
    static constexpr std::size_t kChunkCapacity = std::size_t(64) << 10;
    /// Capacity of the first chunk of a pool made without one.
    static constexpr std::size_t kFirstChunkCapacity = 512;

    /// A pool whose first chunk holds `firstChunkCapacity` bytes (at most
    /// kChunkCapacity; 0 takes kFirstChunkCapacity).
    explicit ValuePool(std::size_t firstChunkCapacity = kFirstChunkCapacity);
    ~ValuePool();
    ValuePool(const ValuePool&) = delete;
    ValuePool& operator=(const ValuePool&) = delete;

    /// `size` bytes aligned on 8; null for 0. Throws std::bad_alloc when the heap
    /// has no room.
    void* Malloc(std::size_t size) {
        // Inline: the parser asks for every string and every member list.
        size = aligned(size);
        if (size == 0 || static_cast<std::size_t>(m_end - m_next) < size)
            return size == 0 ? nullptr : fromNewChunk(size);
        void* const allocated = m_next;
        m_next += size;
        return allocated;
    }
    /// Grows or shrinks an allocation of this pool: in place when it is the
    /// last one made and the chunk has room, else by copying into a new one.
    void* Realloc(void* original, std::size_t originalSize, std::size_t newSize);
    /// Nothing: the pool frees its chunks as a whole.
    static void Free(void*) {}

    /// Frees every chunk taken before the one that holds the byte before
    /// `position`: the caller reads nothing allocated before the chunk that
    /// holds `position` again. A position that is not in a chunk still held, or
    /// that is in the first chunk still held, releases nothing; the chunk
    /// allocations are made from is never freed.
    void releaseBefore(const void* position);

    /// Bytes of the chunks held, for tests and diagnostics.
    std::size_t capacity() const;

private:
    /// `size` rounded up to the 8 bytes every allocation is aligned on.
    static constexpr std::size_t aligned(std::size_t size) { return (size + 7) & ~std::size_t(7); }
    /// Malloc of `size` (aligned, not 0) from a chunk taken for it.
    void* fromNewChunk(std::size_t size);

    struct Chunk {
        char* begin;
        char* end;
    };
    /// Allocations are made from here to m_end, in m_chunks.back().
    char* m_next = nullptr;
    char* m_end = nullptr;
    /// Capacity of the next chunk taken, unless an allocation needs more.
    std::size_t m_nextChunkCapacity;
    /// The chunks in the order they were taken; those before m_kept are freed.
    std::vector<Chunk> m_chunks;
    std::size_t m_kept = 0;
    /// Indices into m_chunks in the order of their addresses, for releaseBefore;
    /// rebuilt when chunks were taken since it was last sorted.
    std::vector<std::size_t> m_byAddress;
    std::size_t m_indexed = 0; ///< m_chunks.size() when m_byAddress was sorted
};

} // namespace ZEM_0_81::rapidotio
