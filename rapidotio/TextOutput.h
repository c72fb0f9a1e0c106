#pragma once

#include "outside/core/String.h"

#include <rapidjson/internal/dtoa.h>
#include <rapidjson/internal/itoa.h>
#include <rapidjson/writer.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace ZEM_0_81::rapidotio {

/// A RapidJSON output stream that collects the characters of a document in one
/// block of memory and hands the text over without copying it. A text past a
/// few kilobytes lives in pages of its own that the system grows by remapping
/// them (on Linux), so its characters are never copied while it grows and it
/// never needs much more than its own size; elsewhere the block grows as
/// RapidJSON's own string buffer does.
///
/// Fresh pages are costly to write into (each one faults in), so the pages of
/// the last long texts released are kept for the next ones, and the pages ahead
/// of the writer are brought in a step at a time rather than one fault per page:
/// see TextOutput.cpp (at most 64 MB are kept in all). Neither keeps more than a
/// step's worth of memory beyond the text being written and the ones kept.
class TextOutput {
public:
    using Ch = char;

    /// An empty output with room for `expected` characters to start with.
    explicit TextOutput(std::size_t expected = 0);
    ~TextOutput();
    TextOutput(const TextOutput&) = delete;
    TextOutput& operator=(const TextOutput&) = delete;

    void Put(char c) {
        if (m_cursor == m_limit)
            grow(1);
        *m_cursor++ = c;
    }
    /// Makes room for `count` more characters, which PutUnsafe then adds.
    void Reserve(std::size_t count) {
        if (static_cast<std::size_t>(m_limit - m_cursor) < count)
            grow(count);
    }
    void PutUnsafe(char c) { *m_cursor++ = c; }
    /// Adds `count` characters to be filled in place and returns the first.
    char* Push(std::size_t count) {
        Reserve(count);
        char* const first = m_cursor;
        m_cursor += count;
        return first;
    }
    /// Takes back the last `count` characters added.
    void Pop(std::size_t count) { m_cursor -= count; }
    void Flush() {}

    /// The characters written so far.
    std::size_t size() const { return static_cast<std::size_t>(m_cursor - m_text); }

    /// Hands the text over as a String, without a copy; the output is left empty.
    String takeString();

    /// Unmaps the pages kept from released texts (see TextOutput.cpp) and returns
    /// their length in bytes; 0 where pages are not kept.
    static std::size_t releaseSparePages();
    /// A copy of the text.
    std::string copyText() const;

private:
    /// Grows the block to hold at least `count` more characters and a NUL byte.
    void grow(std::size_t count);
    /// Makes room for `count` more characters inside the pages already mapped;
    /// false when they are too few.
    bool commit(char* block, std::size_t count);
    /// Gives back the room not used.
    void fit();
    /// Points the output at `text`, holding `size` characters with room for
    /// `capacity` (the NUL byte not counted).
    void place(char* text, std::size_t size, std::size_t capacity) {
        m_text = text;
        m_cursor = text + size;
        m_limit = text + capacity;
    }

    char* m_text = nullptr;
    char* m_cursor = nullptr;    ///< where the next character goes
    char* m_limit = nullptr;     ///< the end of the room, the NUL byte's place not counted
    std::size_t m_committed = 0; ///< bytes of a mapped block whose pages are present
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

// Numbers are converted straight into the text, as RapidJSON does for its own
// string buffer, rather than into a scratch buffer copied a character at a
// time: the same characters, written once.
namespace rapidjson {

template <> inline bool Writer<ZEM_0_81::rapidotio::TextOutput>::WriteInt(int i) {
    char* buffer = os_->Push(11);
    const char* end = internal::i32toa(i, buffer);
    os_->Pop(static_cast<size_t>(11 - (end - buffer)));
    return true;
}

template <> inline bool Writer<ZEM_0_81::rapidotio::TextOutput>::WriteUint(unsigned u) {
    char* buffer = os_->Push(10);
    const char* end = internal::u32toa(u, buffer);
    os_->Pop(static_cast<size_t>(10 - (end - buffer)));
    return true;
}

template <> inline bool Writer<ZEM_0_81::rapidotio::TextOutput>::WriteInt64(int64_t i64) {
    char* buffer = os_->Push(21);
    const char* end = internal::i64toa(i64, buffer);
    os_->Pop(static_cast<size_t>(21 - (end - buffer)));
    return true;
}

template <> inline bool Writer<ZEM_0_81::rapidotio::TextOutput>::WriteUint64(uint64_t u) {
    char* buffer = os_->Push(20);
    const char* end = internal::u64toa(u, buffer);
    os_->Pop(static_cast<size_t>(20 - (end - buffer)));
    return true;
}

/// A number that is not finite has no JSON spelling: false, and nothing written.
///
/// A whole number below 2^53 other than zero is written as RapidJSON's
/// conversion writes it, its digits and ".0", without the general algorithm:
/// the interval of numbers that read back as it is narrower than one, so the
/// only digits that conversion can give are the number's own, and they take
/// fewer than 22 places, which it writes without an exponent. Times, rates and
/// sizes are mostly such numbers.
template <> inline bool Writer<ZEM_0_81::rapidotio::TextOutput>::WriteDouble(double d) {
    if (internal::Double(d).IsNanOrInf())
        return false;
    char* buffer = os_->Push(25);
    char* end;
    constexpr double kWholeBelow = 9007199254740992.0; // 2^53
    if (d != 0.0 && d > -kWholeBelow && d < kWholeBelow &&
        d == static_cast<double>(static_cast<int64_t>(d))) {
        end = internal::i64toa(static_cast<int64_t>(d), buffer);
        end[0] = '.';
        end[1] = '0';
        end += 2;
    } else {
        end = internal::dtoa(d, buffer, maxDecimalPlaces_);
    }
    os_->Pop(static_cast<size_t>(25 - (end - buffer)));
    return true;
}

} // namespace rapidjson
