#include "rapidotio/TextOutput.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#define ZEM_TEXT_OUTPUT_MAPS_PAGES 1
#endif

namespace ZEM_0_81::rapidotio {

namespace {

// Every block starts with a header holding the length of its mapping (0 for a
// block from malloc); the text follows.
constexpr std::size_t kHeader = 16;
// The room of a text's first block, and the length below which it grows by a
// quarter rather than a half.
constexpr std::size_t kFirstCapacity = 1024;
constexpr std::size_t kHeapGrowthUpTo = std::size_t(64) << 10;
static_assert(kHeader >= sizeof(std::size_t), "the header holds the mapped length");

std::size_t& mappedLength(char* block) {
    return *reinterpret_cast<std::size_t*>(block);
}

#ifdef ZEM_TEXT_OUTPUT_MAPS_PAGES
// From this size on a text lives in pages of its own, which the system grows by
// remapping them: the characters written are never copied, a text never needs
// much more than its own size, and its pages serve a later text once it is let
// go (SparePages). Below it, a text grows on the heap, by copies, each block
// left behind for the heap to reuse: cheap for a few kilobytes, but the blocks
// left behind add up to several times a text of tens of kilobytes.
constexpr std::size_t kMapFrom = std::size_t(12) << 10;
// The length of text ahead of the writer whose pages are made present at once:
// a sixteenth of the text, from a page to a megabyte, so that the pages present
// stay within a few percent of the text's length.
constexpr std::size_t kCommitStepMin = std::size_t(4) << 10;
constexpr std::size_t kCommitStepMax = std::size_t(1) << 20;

// Released pages of at most this length in all are kept for the next long texts.
constexpr std::size_t kSpareUpTo = std::size_t(64) << 20;

std::size_t pageRounded(std::size_t length) {
    static const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return (length + page - 1) / page * page;
}

/// Grows a mapping of `length` bytes to `grown` bytes, moving it where the
/// system finds room; MAP_FAILED when it cannot. ThreadSanitizer does not see
/// pages that mremap moves (it would take what another thread wrote at their new
/// address before as unordered with what is written there now), so under it the
/// text is moved by a copy into a new mapping instead.
void* growPages(char* block, std::size_t length, std::size_t grown) {
#if defined(__SANITIZE_THREAD__)
    void* pages = mmap(nullptr, grown, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages != MAP_FAILED) {
        std::memcpy(pages, block, length);
        munmap(block, length);
    }
    return pages;
#else
    return mremap(block, length, grown, MREMAP_MAYMOVE);
#endif
}

/// The pages of the last long texts let go, kept for the next ones: a text
/// written into pages already present costs no page faults, which is most of
/// what a fresh block costs (as the heap malloc keeps saves RapidJSON's own
/// buffers the same). Blocks are kept up to 64 MB in all, so that a host
/// exporting many compositions in turn, and letting their texts go in turn,
/// finds pages for each; the oldest go first when there are more. The last one
/// kept is handed out first: it is the likeliest to fit the next text, which is
/// often the same document written again. Telling the system it may take kept
/// pages back made every later write into them costly, so they are kept as they
/// stand.
class SparePages {
public:
    /// Keeps `block` of `length` bytes, unmapping the oldest blocks kept when
    /// there are then too many or too much.
    void keep(char* block, std::size_t length) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        try {
            m_blocks.push_back(Block{block, length});
        } catch (const std::bad_alloc&) {
            // Called as a text is let go, where nothing may throw: without room
            // to note the block, it goes back to the system.
            munmap(block, length);
            return;
        }
        m_total += length;
        while (m_blocks.size() > kMaxBlocks || m_total > kSpareUpTo) {
            munmap(m_blocks.front().pages, m_blocks.front().length);
            m_total -= m_blocks.front().length;
            m_blocks.pop_front();
        }
    }
    /// Unmaps every block kept and returns their length in all.
    std::size_t releaseAll() {
        std::deque<Block> taken;
        std::size_t total = 0;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            taken.swap(m_blocks);
            total = m_total;
            m_total = 0;
        }
        for (const Block& old : taken)
            munmap(old.pages, old.length);
        return total;
    }
    /// The block kept last and its length, or null; the caller owns it then.
    char* take(std::size_t& length) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_blocks.empty()) {
            length = 0;
            return nullptr;
        }
        const Block last = m_blocks.back();
        m_blocks.pop_back();
        m_total -= last.length;
        length = last.length;
        return last.pages;
    }

private:
    /// Enough for the texts of a few seconds' exports of short documents; the
    /// 64 MB bound is what limits longer ones.
    static constexpr std::size_t kMaxBlocks = 4096;
    struct Block {
        char* pages;
        std::size_t length;
    };
    std::mutex m_mutex;
    std::deque<Block> m_blocks; ///< oldest first
    std::size_t m_total = 0;    ///< the length of all blocks kept
};

SparePages& sparePages() {
    static SparePages* spare =
        new SparePages; // never destroyed: released texts may outlive statics
    return *spare;
}
#endif

void releaseBlock(char* block) {
    if (!block)
        return;
#ifdef ZEM_TEXT_OUTPUT_MAPS_PAGES
    if (const std::size_t mapped = mappedLength(block)) {
        if (mapped <= kSpareUpTo)
            sparePages().keep(block, mapped);
        else
            munmap(block, mapped);
        return;
    }
#endif
    std::free(block);
}

/// The release of a text handed to a String: its block starts a header before it.
void releaseText(char* text) {
    releaseBlock(text - kHeader);
}

} // namespace

TextOutput::TextOutput(std::size_t expected) {
    if (expected > 0)
        grow(expected);
}

TextOutput::~TextOutput() {
    releaseBlock(m_text ? m_text - kHeader : nullptr);
}

void TextOutput::grow(std::size_t count) {
    char* block = m_text ? m_text - kHeader : nullptr;
    const std::size_t size = this->size();
#ifdef ZEM_TEXT_OUTPUT_MAPS_PAGES
    if (block && mappedLength(block) != 0 && commit(block, count))
        return;
#endif
    // A short text lives on the heap, where the room it does not use counts
    // against the export's memory: it starts at 1 KB and grows by a quarter. A
    // long one grows by half as much again each time, as RapidJSON's buffers do.
    const std::size_t current = static_cast<std::size_t>(m_limit - m_text);
    std::size_t capacity = current + (current < kHeapGrowthUpTo ? current / 4 : current / 2);
    if (capacity < size + count)
        capacity = size + count;
    if (capacity < kFirstCapacity)
        capacity = kFirstCapacity;
    const std::size_t length = kHeader + capacity + 1; // with the NUL byte

#ifdef ZEM_TEXT_OUTPUT_MAPS_PAGES
    if (length >= kMapFrom) {
        std::size_t mapped = pageRounded(length);
        void* pages = MAP_FAILED;
        if (block && mappedLength(block) != 0) {
            pages = growPages(block, mappedLength(block), mapped);
        } else {
            // The pages of the last text let go when there are some, else new ones.
            std::size_t spareLength = 0;
            if (char* const spare = sparePages().take(spareLength)) {
                // Kept whole when it is longer: the room not used goes at the end.
                if (spareLength >= mapped) {
                    pages = spare;
                    mapped = spareLength;
                } else {
                    pages = growPages(spare, spareLength, mapped);
                    if (pages == MAP_FAILED)
                        munmap(spare, spareLength);
                }
                m_committed = spareLength;
            }
            if (pages == MAP_FAILED) {
                pages = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                             -1, 0);
                m_committed = 0;
            }
            if (pages != MAP_FAILED && block) {
                std::memcpy(static_cast<char*>(pages) + kHeader, m_text, size);
                std::free(block);
            }
        }
        if (pages != MAP_FAILED) {
            block = static_cast<char*>(pages);
            mappedLength(block) = mapped;
            place(block + kHeader, size, 0);
            commit(block, count);
            return;
        }
        // No pages to be had from the system (a process holds a limited number
        // of mappings): the text goes on in the heap.
        if (block && mappedLength(block) != 0) {
            char* const moved = static_cast<char*>(std::malloc(length));
            if (!moved)
                throw std::bad_alloc();
            std::memcpy(moved + kHeader, m_text, size);
            munmap(block, mappedLength(block));
            mappedLength(moved) = 0;
            m_committed = 0;
            place(moved + kHeader, size, capacity);
            return;
        }
    }
#endif
    // realloc extends the block where it lies when it can.
    void* grown = std::realloc(block, length);
    if (!grown)
        throw std::bad_alloc();
    block = static_cast<char*>(grown);
    mappedLength(block) = 0;
    place(block + kHeader, size, capacity);
}

#ifdef ZEM_TEXT_OUTPUT_MAPS_PAGES
bool TextOutput::commit(char* block, std::size_t count) {
    const std::size_t mapped = mappedLength(block);
    const std::size_t needed = kHeader + size() + count + 1; // with the NUL byte
    if (needed > mapped)
        return false;
    // The pages ahead of the writer are made present a step at a time, in one
    // call rather than one fault per page as the writer reaches them: a fault
    // costs far more than the page it brings, most of all in a virtual machine.
    // No more than a step beyond the text is ever resident. Where the system
    // cannot do this, the pages still come on demand.
    std::size_t committed =
        pageRounded(needed + std::clamp(needed / 16, kCommitStepMin, kCommitStepMax));
    if (committed > mapped)
        committed = mapped;
    if (committed > m_committed) {
        madvise(block + m_committed, committed - m_committed, MADV_POPULATE_WRITE);
        m_committed = committed;
    }
    m_limit = block + committed - 1; // the NUL byte's place kept
    return true;
}
#endif

std::size_t TextOutput::releaseSparePages() {
#ifdef ZEM_TEXT_OUTPUT_MAPS_PAGES
    return sparePages().releaseAll();
#else
    return 0;
#endif
}

String TextOutput::takeString() {
    if (!m_text)
        return String();
    fit();
    char* const text = m_text;
    const std::size_t size = this->size();
    text[size] = '\0';
    place(nullptr, 0, 0);
    return String::adopt(text, size, &releaseText);
}

void TextOutput::fit() {
    // A block shrinks where it lies.
    char* block = m_text - kHeader;
    const std::size_t size = this->size();
#ifdef ZEM_TEXT_OUTPUT_MAPS_PAGES
    if (const std::size_t mapped = mappedLength(block)) {
        const std::size_t fitted = pageRounded(kHeader + size + 1);
        if (fitted < mapped && mremap(block, mapped, fitted, 0) != MAP_FAILED) {
            mappedLength(block) = fitted;
            if (m_committed > fitted)
                m_committed = fitted;
            m_limit = block + fitted - 1;
        }
        return;
    }
#endif
    if (void* fitted = std::realloc(block, kHeader + size + 1))
        place(static_cast<char*>(fitted) + kHeader, size, size);
}

std::string TextOutput::copyText() const {
    return m_text ? std::string(m_text, size()) : std::string();
}

} // namespace ZEM_0_81::rapidotio
