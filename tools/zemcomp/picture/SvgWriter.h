#pragma once

// Writing SVG text: elements, attributes and character data, escaped and
// with numbers in one fixed format, so that the same drawing always gives the
// same bytes.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace zemcomp {

/// One attribute of an element: its name and its value as text. Numbers are
/// written by SvgWriter::number.
struct SvgAttribute {
    SvgAttribute(const char* attributeName, std::string_view text)
        : name(attributeName), value(text) {}
    SvgAttribute(const char* attributeName, const char* text) : name(attributeName), value(text) {}
    SvgAttribute(const char* attributeName, const std::string& text)
        : name(attributeName), value(text) {}
    SvgAttribute(const char* attributeName, double number);

    const char* name;
    std::string value;
};

using SvgAttributes = std::initializer_list<SvgAttribute>;

/// Builds one SVG document in memory, one element per line. Element and
/// attribute names are the caller's constants; attribute values and text are
/// escaped. The writer keeps the open elements and closes them in order.
class SvgWriter {
public:
    /// Starts a document `width` x `height` pixels: the XML declaration and the
    /// open root element, with `attributes` added to it.
    SvgWriter(double width, double height, SvgAttributes attributes = {});

    /// Opens `element`; it holds what follows until close().
    void open(const char* element, SvgAttributes attributes = {});
    /// Closes the innermost open element.
    void close();
    /// An element without content.
    void empty(const char* element, SvgAttributes attributes = {});
    /// An element holding `text` only (a <text>, a <title>, a <style>).
    void text(const char* element, SvgAttributes attributes, std::string_view text);
    /// The document, with every element still open closed.
    std::string finish();

    /// `value` with at most two decimals and no trailing zeros ("12", "12.5",
    /// "-0.25"); the same value always gives the same text. Values beyond a
    /// billion are written as a billion; not-a-number as 0.
    static std::string number(double value);

    /// `text` fit for XML character data and attribute values: "&", "<", ">",
    /// quotes and apostrophes as entities, line ends and tabs as character
    /// references (so that attribute values keep them), other control
    /// characters and bytes that are not UTF-8 as U+FFFD.
    static std::string escape(std::string_view text);

private:
    void startTag(const char* element, SvgAttributes attributes);

    std::string m_text;
    std::vector<const char*> m_open;
};

} // namespace zemcomp
