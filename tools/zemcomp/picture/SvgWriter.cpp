#include "tools/zemcomp/picture/SvgWriter.h"

#include "tools/zemcomp/text/Utf8.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace zemcomp {

namespace {

constexpr double kLargestNumber = 1e9;

bool isXmlCharacter(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

} // namespace

SvgAttribute::SvgAttribute(const char* attributeName, double number)
    : name(attributeName), value(SvgWriter::number(number)) {}

SvgWriter::SvgWriter(double width, double height, SvgAttributes attributes) {
    m_text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const std::string w = number(width);
    const std::string h = number(height);
    m_text += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h +
              "\" viewBox=\"0 0 " + w + " " + h + "\"";
    for (const SvgAttribute& attribute : attributes)
        m_text += std::string(" ") + attribute.name + "=\"" + escape(attribute.value) + "\"";
    m_text += ">\n";
    m_open.push_back("svg");
}

void SvgWriter::startTag(const char* element, SvgAttributes attributes) {
    m_text += '<';
    m_text += element;
    for (const SvgAttribute& attribute : attributes) {
        m_text += ' ';
        m_text += attribute.name;
        m_text += "=\"";
        m_text += escape(attribute.value);
        m_text += '"';
    }
}

void SvgWriter::open(const char* element, SvgAttributes attributes) {
    startTag(element, attributes);
    m_text += ">\n";
    m_open.push_back(element);
}

void SvgWriter::close() {
    if (m_open.empty())
        return;
    m_text += "</";
    m_text += m_open.back();
    m_text += ">\n";
    m_open.pop_back();
}

void SvgWriter::empty(const char* element, SvgAttributes attributes) {
    startTag(element, attributes);
    m_text += "/>\n";
}

void SvgWriter::text(const char* element, SvgAttributes attributes, std::string_view text) {
    startTag(element, attributes);
    m_text += '>';
    m_text += escape(text);
    m_text += "</";
    m_text += element;
    m_text += ">\n";
}

std::string SvgWriter::finish() {
    while (!m_open.empty())
        close();
    return std::move(m_text);
}

std::string SvgWriter::number(double value) {
    if (std::isnan(value))
        value = 0.0;
    if (value > kLargestNumber)
        value = kLargestNumber;
    if (value < -kLargestNumber)
        value = -kLargestNumber;
    // Hundredths as a whole number, written with integer arithmetic: no locale,
    // no printf rounding mode, the same digits everywhere.
    const long long hundredths = std::llround(value * 100.0);
    const unsigned long long magnitude =
        static_cast<unsigned long long>(hundredths < 0 ? -hundredths : hundredths);
    std::string text = hundredths < 0 ? "-" : "";
    text += std::to_string(magnitude / 100);
    const unsigned long long fraction = magnitude % 100;
    if (fraction != 0) {
        text += '.';
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0)
            text += static_cast<char>('0' + fraction % 10);
    }
    return text;
}

std::string SvgWriter::escape(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    std::size_t position = 0;
    while (position < text.size()) {
        const char32_t c = nextCharacter(text, position);
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&apos;";
            break;
        case '\t':
            escaped += "&#9;";
            break;
        case '\n':
            escaped += "&#10;";
            break;
        case '\r':
            escaped += "&#13;";
            break;
        default:
            appendUtf8(escaped, isXmlCharacter(c) ? c : kReplacementCharacter);
        }
    }
    return escaped;
}

} // namespace zemcomp
