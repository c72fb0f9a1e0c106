#include "interchange/xmeml/XmlOut.h"

#include <sstream>

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

std::string XmlOut::writable(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text)
        if (!isControl(c))
            out += c;
    return out;
}

void XmlOut::line() {
    if (!m_text.empty())
        m_text += '\n';
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
}

void XmlOut::close(const char* name) {
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
    if (text.empty()) {
        empty(name);
        return;
    }
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

void XmlOut::text(const std::string& escapedText) {
    line();
    m_text += escapedText;
}

void XmlOut::raw(const std::string& xml) {
    if (xml.empty())
        return;
    pugi::xml_document document;
    if (!document.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_fragment,
                              pugi::encoding_utf8)) {
        text(xml);
        return;
    }
    for (const pugi::xml_node child : document.children())
        node(child);
}

void XmlOut::node(const pugi::xml_node& top) {
    // Each element is opened when first met and closed when met again, after
    // what it holds.
    std::vector<std::pair<pugi::xml_node, bool>> pending{{top, false}};
    while (!pending.empty()) {
        const auto [current, closing] = pending.back();
        pending.pop_back();
        if (current.type() == pugi::node_pcdata || current.type() == pugi::node_cdata) {
            text(escaped(current.value()));
            continue;
        }
        if (current.type() != pugi::node_element)
            continue;
        if (closing) {
            close(current.name());
            continue;
        }
        Attributes attributes;
        for (const pugi::xml_attribute attribute : current.attributes())
            attributes.emplace_back(attribute.name(), attribute.value());
        bool elements = false;
        std::string content;
        for (const pugi::xml_node child : current.children()) {
            elements = elements || child.type() == pugi::node_element;
            if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
                content += child.value();
        }
        if (elements && !content.empty()) {
            // Text beside elements: a line break there would become part of
            // the text, so the element stands on one line as it came.
            std::ostringstream kept;
            current.print(kept, "", pugi::format_raw, pugi::encoding_utf8);
            text(kept.str());
            continue;
        }
        const std::string written = escaped(content);
        if (!elements && written.empty()) {
            // Nothing, or only characters XML cannot hold: empty, as it reads
            // back.
            empty(current.name(), attributes);
        } else if (!elements) {
            start(current.name(), attributes);
            m_text += '>';
            m_text += written;
            m_text += "</";
            m_text += current.name();
            m_text += '>';
        } else {
            open(current.name(), attributes);
            pending.emplace_back(current, true);
            std::vector<pugi::xml_node> children;
            for (const pugi::xml_node child : current.children())
                children.push_back(child);
            for (auto it = children.rbegin(); it != children.rend(); ++it)
                pending.emplace_back(*it, false);
        }
    }
}

} // namespace ZEM_0_81::Interchange::Fcp7
