#pragma once

#include "outside/dmtree/DmApi.h"

#include <string>
#include <utility>

/// The edit tree's text type: UTF-8 bytes. Its characters are read through
/// DmStr2CStr. A null pointer, narrow or wide, gives the empty text; a wide text
/// is stored as UTF-8.
class KRDMTREE_API DmString {
public:
    DmString() = default;
    DmString(const char* text) : m_text(text ? text : "") {}
    DmString(const wchar_t* text);
    explicit DmString(std::string text) : m_text(std::move(text)) {}

    DmString(const DmString&) = default;
    DmString(DmString&&) noexcept = default;
    DmString& operator=(const DmString&) = default;
    DmString& operator=(DmString&&) noexcept = default;

    bool operator==(const DmString& other) const { return m_text == other.m_text; }
    bool operator!=(const DmString& other) const { return m_text != other.m_text; }

    bool empty() const { return m_text.empty(); }
    const std::string& str() const { return m_text; }
    /// Hands the bytes over without copying them; the text is left empty.
    std::string release() {
        std::string taken;
        taken.swap(m_text);
        return taken;
    }

private:
    std::string m_text;
};

/// Gives the characters of a DmString, NUL-terminated. Keeps its own copy, so it
/// may be built from a temporary.
class KRDMTREE_API DmStr2CStr {
public:
    explicit DmStr2CStr(const DmString& text) : m_text(text.str()) {}
    const char* c_str() const { return m_text.c_str(); }

private:
    std::string m_text;
};
