#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ZEM_0_81::Interchange::Fcp7 {

/// Streams XML text: elements opened and closed in order, one a line, indented
/// by their depth, texts and attribute values escaped; XML kept from a document
/// read (which the parser wrote, well formed) goes in as it stands.
class XmlOut {
public:
    using Attributes = std::vector<std::pair<std::string, std::string>>;

    explicit XmlOut(std::string& text) : m_text(text) {}

    /// "<name a="v" ...>" on a line of its own, one level deeper after.
    void open(const char* name, const Attributes& attributes = {});
    /// "</name>", one level back.
    void close(const char* name);
    /// "<name a="v" .../>".
    void empty(const char* name, const Attributes& attributes = {});
    /// "<name>text</name>".
    void element(const char* name, const std::string& text);
    void element(const char* name, std::int64_t value);
    /// `xml` as it stands, on a line of its own (nothing for an empty text).
    void raw(const std::string& xml);

    /// `text` escaped for an element's text (&, <, >) or, with `quote`, an
    /// attribute's value ("" too). Characters XML cannot hold (control
    /// characters but tab, line feed and carriage return) are left out.
    static std::string escaped(const std::string& text, bool quote = false);
    /// True when `text` holds a character XML cannot hold.
    static bool holdsControl(const std::string& text);

private:
    void line();
    void start(const char* name, const Attributes& attributes);

    std::string& m_text;
    std::size_t m_depth = 0;
};

} // namespace ZEM_0_81::Interchange::Fcp7
