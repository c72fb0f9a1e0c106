#include "interchange/xmeml/XmlOut.h"

namespace ZEM_0_81::Interchange::Fcp7 {

namespace {

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

} // namespace

std::string XmlOut::escaped(const std::string& text, bool quote) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (quote && c == '"')
            out += "&quot;";
        else if (quote && (c == '\n' || c == '\r' || c == '\t'))
            // An attribute's line breaks and tabs read back as spaces unless
            // written as references.
            out += c == '\n' ? "&#10;" : c == '\r' ? "&#13;" : "&#9;";
        else if (!isControl(c))
            out += c;
    }
    return out;
}

bool XmlOut::holdsControl(const std::string& text) {
    for (const char c : text)
        if (isControl(c))
            return true;
    return false;
}

void XmlOut::line() {
    if (!m_text.empty())
        m_text += '\n';
    m_text.append(m_depth * 2, ' ');
}

void XmlOut::start(const char* name, const Attributes& attributes) {
    line();
    m_text += '<';
    m_text += name;
    for (const auto& [key, value] : attributes) {
        m_text += ' ';
        m_text += key;
        m_text += "=\"";
        m_text += escaped(value, true);
        m_text += '"';
    }
}

void XmlOut::open(const char* name, const Attributes& attributes) {
    start(name, attributes);
    m_text += '>';
    ++m_depth;
}

void XmlOut::close(const char* name) {
    --m_depth;
    line();
    m_text += "</";
    m_text += name;
    m_text += '>';
}

void XmlOut::empty(const char* name, const Attributes& attributes) {
    start(name, attributes);
    m_text += "/>";
}

void XmlOut::element(const char* name, const std::string& text) {
    line();
    m_text += '<';
    m_text += name;
    m_text += '>';
    m_text += escaped(text);
    m_text += "</";
    m_text += name;
    m_text += '>';
}

void XmlOut::element(const char* name, std::int64_t value) {
    element(name, std::to_string(value));
}

void XmlOut::raw(const std::string& xml) {
    if (xml.empty())
        return;
    line();
    m_text += xml;
}

} // namespace ZEM_0_81::Interchange::Fcp7
