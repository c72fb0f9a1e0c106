#include "rapidotio/TextOutput.h"

#include <cstdlib>
#include <cstring>
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
static_assert(kHeader >= sizeof(std::size_t), "the header holds the mapped length");

std::size_t& mappedLength(char* block) {
    return *reinterpret_cast<std::size_t*>(block);
}

#ifdef ZEM_TEXT_OUTPUT_MAPS_PAGES
// From this size on a text lives in pages of its own, which the system grows by
// remapping them: the characters written are never copied, and a text that
// grows to many megabytes never needs twice its size.
constexpr std::size_t kMapFrom = std::size_t(64) << 10;

std::size_t pageRounded(std::size_t length) {
    static const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return (length + page - 1) / page * page;
}
#endif

void releaseBlock(char* block) {
    if (!block)
        return;
#ifdef ZEM_TEXT_OUTPUT_MAPS_PAGES
    if (const std::size_t mapped = mappedLength(block)) {
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
    // Half as much again each time, as RapidJSON's buffers grow.
    std::size_t capacity = m_capacity + m_capacity / 2;
    if (capacity < m_size + count)
        capacity = m_size + count;
    if (capacity < 4096)
        capacity = 4096;
    char* block = m_text ? m_text - kHeader : nullptr;
    const std::size_t length = kHeader + capacity + 1; // with the NUL byte

#ifdef ZEM_TEXT_OUTPUT_MAPS_PAGES
    if (length >= kMapFrom) {
        const std::size_t mapped = pageRounded(length);
        void* pages = MAP_FAILED;
        if (block && mappedLength(block) != 0) {
            pages = mremap(block, mappedLength(block), mapped, MREMAP_MAYMOVE);
        } else {
            pages =
                mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (pages != MAP_FAILED && block) {
                std::memcpy(static_cast<char*>(pages) + kHeader, m_text, m_size);
                std::free(block);
            }
        }
        if (pages == MAP_FAILED)
            throw std::bad_alloc();
        block = static_cast<char*>(pages);
        mappedLength(block) = mapped;
        m_text = block + kHeader;
        m_capacity = mapped - kHeader - 1;
        return;
    }
#endif
    // realloc extends the block where it lies when it can.
    void* grown = std::realloc(block, length);
    if (!grown)
        throw std::bad_alloc();
    block = static_cast<char*>(grown);
    mappedLength(block) = 0;
    m_text = block + kHeader;
    m_capacity = capacity;
}

String TextOutput::takeString() {
    if (!m_text)
        return String();
    fit();
    char* text = m_text;
    text[m_size] = '\0';
    const std::size_t size = m_size;
    m_text = nullptr;
    m_size = 0;
    m_capacity = 0;
    return String::adopt(text, size, &releaseText);
}

void TextOutput::fit() {
    // A block shrinks where it lies.
    char* block = m_text - kHeader;
#ifdef ZEM_TEXT_OUTPUT_MAPS_PAGES
    if (const std::size_t mapped = mappedLength(block)) {
        const std::size_t fitted = pageRounded(kHeader + m_size + 1);
        if (fitted < mapped && mremap(block, mapped, fitted, 0) != MAP_FAILED) {
            mappedLength(block) = fitted;
            m_capacity = fitted - kHeader - 1;
        }
        return;
    }
#endif
    if (void* fitted = std::realloc(block, kHeader + m_size + 1)) {
        m_text = static_cast<char*>(fitted) + kHeader;
        m_capacity = m_size;
    }
}

std::string TextOutput::copyText() const {
    return m_text ? std::string(m_text, m_size) : std::string();
}

} // namespace ZEM_0_81::rapidotio
