#pragma once

#include "outside/core/CoreApi.h"

#include <cstddef>
#include <memory>
#include <string>

namespace ZEM_0_81 {

/// A text of NUL-terminated UTF-8 bytes. Default-constructed it is empty;
/// constructing or assigning from a null pointer gives the empty text.
///
/// A text never changes once made, so copies share its characters: copying a
/// String, however long, costs a count, and copies may be used on different
/// threads.
class ZEMCORE_API String {
public:
    /// Frees characters that a String took over with adopt.
    using Release = void (*)(char* text);

    String() = default;
    String(const char* text);
    String(const char* text, std::size_t length);
    /// Takes the characters of `text` over without copying them.
    explicit String(std::string&& text);
    String(const String& other) = default;
    String(String&& other) noexcept = default;
    ~String() = default;
    String& operator=(const String& other) = default;
    String& operator=(String&& other) noexcept = default;
    String& operator=(const char* text);

    /// Takes over `text`: `length` bytes followed by a NUL byte, made by the
    /// caller and freed with `release` when the last String sharing it goes. No
    /// byte is copied. A null `text` gives the empty text.
    static String adopt(char* text, std::size_t length, Release release);

    /// The characters, NUL-terminated; valid while this String or a copy of it
    /// holds them.
    const char* c_str() const { return m_chars ? m_chars.get() : ""; }
    bool empty() const { return m_size == 0; }
    std::size_t size() const { return m_size; }
    bool operator==(const String& other) const;
    bool operator!=(const String& other) const { return !(*this == other); }

private:
    /// The characters, shared by the copies; null for a text made empty.
    std::shared_ptr<const char> m_chars;
    std::size_t m_size = 0;
};

} // namespace ZEM_0_81
