#include "rapidotio/DocumentMemory.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#define ZEM_DOCUMENT_MEMORY_RELEASES_PAGES 1
#endif

namespace ZEM_0_81::rapidotio {

namespace {

#ifdef ZEM_DOCUMENT_MEMORY_RELEASES_PAGES
// A value takes at least two bytes of text ("0,") and sixteen bytes of the DOM,
// a member at least five ("\"\":0,") and thirty-two: a DOM never needs more
// than eight times its text, copies of long strings included.
constexpr std::size_t kDomPerTextByte = 8;
// Shorter texts are not worth a block of their own: their DOM would be only a
// few of its runs, and an ordinary pool holds it more tightly.
constexpr std::size_t kReserveFrom = std::size_t(4) << 20;
// Pages are handed back in whole runs of this length, aligned on it: the large
// pages of the block are then freed whole, never split, and the calls are few.
constexpr std::size_t kReleaseStep = std::size_t(2) << 20;

#endif

} // namespace

DocumentMemory::DocumentMemory(std::size_t textLength) {
#ifdef ZEM_DOCUMENT_MEMORY_RELEASES_PAGES
    if (textLength >= kReserveFrom) {
        const std::size_t length =
            (textLength * kDomPerTextByte + kReleaseStep - 1) / kReleaseStep * kReleaseStep;
        // Reserved, not committed: only the pages the parser writes take memory.
        // One run more is mapped so that the block can start on a run boundary.
        void* mapped = mmap(nullptr, length + kReleaseStep, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (mapped != MAP_FAILED) {
            char* const start = static_cast<char*>(mapped);
            const auto address = reinterpret_cast<std::uintptr_t>(start);
            char* const aligned = start + (kReleaseStep - address % kReleaseStep) % kReleaseStep;
            if (aligned > start)
                munmap(start, static_cast<std::size_t>(aligned - start));
            if (char* const tail = aligned + length; tail < start + length + kReleaseStep)
                munmap(tail, static_cast<std::size_t>(start + length + kReleaseStep - tail));
            // Large pages where the system has them: far fewer faults as the
            // parser fills the block.
            madvise(aligned, length, MADV_HUGEPAGE);
            m_block = aligned;
            m_length = length;
            // The pool's bookkeeping lives at the start, whose run stays.
            m_released = m_block + kReleaseStep;
            m_allocator.reset(new Allocator(m_block, m_length));
            return;
        }
    }
#else
    (void)textLength;
#endif
    m_allocator.reset(new Allocator());
}

DocumentMemory::~DocumentMemory() {
    m_allocator.reset();
#ifdef ZEM_DOCUMENT_MEMORY_RELEASES_PAGES
    if (m_block)
        munmap(m_block, m_length);
#endif
}

void DocumentMemory::release(const Value& object) {
#ifdef ZEM_DOCUMENT_MEMORY_RELEASES_PAGES
    if (!m_block || !object.IsObject() || object.MemberCount() == 0)
        return;
    // The member list was the last thing parsed of the object.
    const Value::Member* last = &*(object.MemberEnd() - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(last + 1);
    const auto begin = reinterpret_cast<std::uintptr_t>(m_block);
    const auto released = reinterpret_cast<std::uintptr_t>(m_released);
    if (end <= released || end > begin + m_length)
        return; // handed back already, or parsed elsewhere
    char* until = m_block + (end - begin) / kReleaseStep * kReleaseStep;
    if (static_cast<std::size_t>(until - m_released) < kReleaseStep)
        return;
    if (madvise(m_released, static_cast<std::size_t>(until - m_released), MADV_DONTNEED) == 0)
        m_released = until;
#else
    (void)object;
#endif
}

} // namespace ZEM_0_81::rapidotio
