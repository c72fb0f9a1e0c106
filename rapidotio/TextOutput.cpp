#include "rapidotio/TextOutput.h"

#include <cstdlib>
#include <new>

namespace ZEM_0_81::rapidotio {

namespace {

void freeText(char* text) {
    std::free(text);
}

} // namespace

TextOutput::TextOutput(std::size_t expected) {
    if (expected > 0)
        grow(expected);
}

TextOutput::~TextOutput() {
    std::free(m_text);
}

void TextOutput::grow(std::size_t count) {
    // Half as much again each time, as RapidJSON's buffers grow; realloc extends
    // the block where it lies when it can, so a long text is rarely copied.
    std::size_t capacity = m_capacity + m_capacity / 2;
    if (capacity < m_size + count)
        capacity = m_size + count;
    if (capacity < 4096)
        capacity = 4096;
    void* grown = std::realloc(m_text, capacity + 1);
    if (!grown)
        throw std::bad_alloc();
    m_text = static_cast<char*>(grown);
    m_capacity = capacity;
}

String TextOutput::takeString() {
    if (!m_text)
        return String();
    // Give back the room not used; a block shrinks where it lies.
    if (void* fitted = std::realloc(m_text, m_size + 1))
        m_text = static_cast<char*>(fitted);
    m_text[m_size] = '\0';
    char* text = m_text;
    const std::size_t size = m_size;
    m_text = nullptr;
    m_size = 0;
    m_capacity = 0;
    return String::adopt(text, size, &freeText);
}

std::string TextOutput::copyText() const {
    return m_text ? std::string(m_text, m_size) : std::string();
}

} // namespace ZEM_0_81::rapidotio
