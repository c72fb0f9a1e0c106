#pragma once

#include "outside/core/String.h"

#include <cstddef>
#include <string>

namespace ZEM_0_81::rapidotio {

/// A RapidJSON output stream that collects the characters of a document in one
/// block of memory and hands the text over without copying it. A long text lives
/// in pages of its own that the system grows by remapping them (on Linux), so
/// its characters are never copied while it grows and it never needs more than
/// its own size; elsewhere the block grows as RapidJSON's own string buffer
/// does. Only the pages written to are ever touched, so a generous first size
/// costs no memory that is not used.
class TextOutput {
public:
    using Ch = char;

    /// An empty output with room for `expected` characters to start with.
    explicit TextOutput(std::size_t expected = 0);
    ~TextOutput();
    TextOutput(const TextOutput&) = delete;
    TextOutput& operator=(const TextOutput&) = delete;

    void Put(char c) {
        if (m_size == m_capacity)
            grow(1);
        m_text[m_size++] = c;
    }
    /// Makes room for `count` more characters, which PutUnsafe then adds.
    void Reserve(std::size_t count) {
        if (m_capacity - m_size < count)
            grow(count);
    }
    void PutUnsafe(char c) { m_text[m_size++] = c; }
    void Flush() {}

    /// The characters written so far.
    std::size_t size() const { return m_size; }

    /// Hands the text over as a String, without a copy; the output is left empty.
    String takeString();
    /// A copy of the text.
    std::string copyText() const;

private:
    /// Grows the block to hold at least `count` more characters and a NUL byte.
    void grow(std::size_t count);
    /// Gives back the room not used.
    void fit();

    char* m_text = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0; ///< characters that fit, not counting the NUL byte
};

// The writer asks for room before it writes a number or a string, then puts
// characters without checks, as it does with RapidJSON's own string buffer.
// Found by argument-dependent lookup.
inline void PutReserve(TextOutput& output, std::size_t count) {
    output.Reserve(count);
}
inline void PutUnsafe(TextOutput& output, char c) {
    output.PutUnsafe(c);
}

} // namespace ZEM_0_81::rapidotio
