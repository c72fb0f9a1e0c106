#pragma once

#include "outside/core/CoreApi.h"

#include <cstddef>
#include <string>

namespace ZEM_0_81 {

/// A text of NUL-terminated UTF-8 bytes. Default-constructed it is empty;
/// constructing or assigning from a null pointer gives the empty text.
class ZEMCORE_API String {
public:
    String() = default;
    String(const char* text);
    String(const char* text, std::size_t length);
    String(const String& other) = default;
    String(String&& other) noexcept = default;
    ~String() = default;

    String& operator=(const String& other) = default;
    String& operator=(String&& other) noexcept = default;
    String& operator=(const char* text);

    /// The characters, NUL-terminated; valid until the text changes.
    const char* c_str() const { return m_text.c_str(); }
    bool empty() const { return m_text.empty(); }
    std::size_t size() const { return m_text.size(); }

    bool operator==(const String& other) const { return m_text == other.m_text; }
    bool operator!=(const String& other) const { return m_text != other.m_text; }

private:
    std::string m_text;
};

} // namespace ZEM_0_81
