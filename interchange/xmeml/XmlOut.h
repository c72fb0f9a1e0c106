#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ZEM_0_81::Interchange::Fcp7 {

/// Streams XML text: elements opened and closed in order, one a line (without
/// indentation, which would make a document half as long again), texts and
/// attribute values escaped; XML kept from a document
/// read (which the parser wrote, well formed) goes in as it stands.
class XmlOut {
public:
    using Attributes = std::vector<std::pair<std::string, std::string>>;

    explicit XmlOut(std::string& text) : m_text(text) {}

    /// "<name a="v" ...>" on a line of its own.
    void open(const char* name, const Attributes& attributes = {});
    /// "</name>".
    void close(const char* name);
    /// "<name a="v" .../>".
    void empty(const char* name, const Attributes& attributes = {});
    /// "<name>text</name>", or "<name/>" for an empty text.
    void element(const char* name, const std::string& text);
    void element(const char* name, std::int64_t value);
    /// `xml`, XML kept from a document read (elements, each well formed), laid
    /// out as this writer lays out its own: so that a document written, read
    /// and written again is the same text. Nothing for an empty text.
    void raw(const std::string& xml);
    /// `node` and what it holds, laid out the same way, without recursion.
    void node(const pugi::xml_node& node);

    /// `text` escaped for an element's text (&, <, >) or, with `quote`, an
    /// attribute's value ("" too). Characters XML cannot hold (control
    /// characters but tab, line feed and carriage return) are left out.
    static std::string escaped(const std::string& text, bool quote = false);
    /// True when `text` holds a character XML cannot hold.
    static bool holdsControl(const std::string& text);
    /// `text` as it reads back once written: without the characters XML cannot
    /// hold.
    static std::string writable(const std::string& text);

private:
    void line();
    /// Text as it stands on a line of its own (already escaped).
    void text(const std::string& escapedText);
    void start(const char* name, const Attributes& attributes);

    std::string& m_text;
};

} // namespace ZEM_0_81::Interchange::Fcp7
