#include "interchange/xml/XmlText.h"

#include "interchange/places/LossPlaces.h"

#include <cctype>
#include <cstring>
#include <string_view>

namespace ZEM_0_81::Interchange::Xml {

namespace {

constexpr std::size_t kNowhere = std::string_view::npos;

/// Why a document is refused, and at which byte; `at` is kNowhere when it is not.
struct Refusal {
    std::size_t at = kNowhere;
    std::string why;
};

bool isNameByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return std::isalnum(byte) || c == '_' || c == ':' || c == '-' || c == '.' || byte >= 0x80;
}

bool isXmlEntity(std::string_view name) {
    return name == "lt" || name == "gt" || name == "amp" || name == "apos" || name == "quot";
}

/// Where the construct opened at `at` by `open` closes with `close`: the byte
/// after it; the text's end when it never does (the parse then says why).
std::size_t after(std::string_view text, std::size_t at, std::string_view open,
                  std::string_view close) {
    const std::size_t end = text.find(close, at + open.size());
    return end == kNowhere ? text.size() : end + close.size();
}

/// The document type declaration opened at `at`: where it ends, and through
/// `refusal` (when it holds none yet) the first entity it declares.
std::size_t doctypeEnd(std::string_view text, std::size_t at, Refusal& refusal) {
    std::size_t i = at + std::strlen("<!DOCTYPE");
    int brackets = 0;
    char quote = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (quote) {
            quote = c == quote ? 0 : quote;
            ++i;
        } else if (c == '"' || c == '\'') {
            quote = c;
            ++i;
        } else if (text.compare(i, 4, "<!--") == 0) {
            i = after(text, i, "<!--", "-->");
        } else if (text.compare(i, 2, "<?") == 0) {
            i = after(text, i, "<?", "?>");
        } else if (text.compare(i, 8, "<!ENTITY") == 0) {
            if (refusal.at == kNowhere) {
                refusal.at = i;
                refusal.why = "the document type declares entities, which are not read: a "
                              "document that declares them is refused";
            }
            i += 8;
        } else if (c == '[') {
            ++brackets;
            ++i;
        } else if (c == ']') {
            --brackets;
            ++i;
        } else if (c == '>' && brackets <= 0) {
            return i + 1;
        } else {
            ++i;
        }
    }
    return i;
}

/// The first entity the document would need read: a declaration in its
/// document type, or a reference to an entity that is not one of XML's five.
/// Comments, CDATA sections and processing instructions hold no references.
Refusal refusalOf(std::string_view text) {
    Refusal refusal;
    std::size_t i = 0;
    while (refusal.at == kNowhere) {
        i = text.find_first_of("<&", i);
        if (i == kNowhere)
            break;
        if (text[i] == '&') {
            std::size_t end = i + 1;
            while (end < text.size() && isNameByte(text[end]))
                ++end;
            const std::string_view name = text.substr(i + 1, end - i - 1);
            // A character reference (&#...;) or a lone ampersand is no entity.
            if (!name.empty() && end < text.size() && text[end] == ';' && !isXmlEntity(name)) {
                refusal.at = i;
                refusal.why = "the entity reference &" + std::string(name) +
                              "; is not one of XML's five (&lt; &gt; &amp; &apos; &quot;): "
                              "entities are not read";
            }
            i = end;
        } else if (text.compare(i, 4, "<!--") == 0) {
            i = after(text, i, "<!--", "-->");
        } else if (text.compare(i, 9, "<![CDATA[") == 0) {
            i = after(text, i, "<![CDATA[", "]]>");
        } else if (text.compare(i, 2, "<?") == 0) {
            i = after(text, i, "<?", "?>");
        } else if (text.compare(i, 9, "<!DOCTYPE") == 0) {
            i = doctypeEnd(text, i, refusal);
        } else {
            ++i;
        }
    }
    return refusal;
}

/// pugixml's description of a parse error, as the rest of a sentence.
std::string describe(const pugi::xml_parse_result& result) {
    std::string description = result.description();
    if (!description.empty())
        description[0] =
            static_cast<char>(std::tolower(static_cast<unsigned char>(description[0])));
    return description;
}

} // namespace

std::string rootElementOf(const char* text, std::size_t length) {
    const std::string_view all(text ? text : "", text ? length : 0);
    std::size_t i = all.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (true) {
        i = all.find_first_not_of(" \t\r\n", i);
        if (i == kNowhere || all[i] != '<')
            return {};
        if (all.compare(i, 4, "<!--") == 0) {
            i = after(all, i, "<!--", "-->");
        } else if (all.compare(i, 2, "<?") == 0) {
            i = after(all, i, "<?", "?>");
        } else if (all.compare(i, 9, "<!DOCTYPE") == 0) {
            Refusal ignored;
            i = doctypeEnd(all, i, ignored);
        } else {
            std::size_t end = i + 1;
            while (end < all.size() && isNameByte(all[end]))
                ++end;
            return std::string(all.substr(i + 1, end - i - 1));
        }
    }
}

bool load(const char* text, std::size_t length, const TextLines& lines,
          pugi::xml_document& document, std::string& message) {
    if (!text)
        length = 0;
    const Refusal refusal = refusalOf(std::string_view(text ? text : "", length));
    if (refusal.at != kNowhere) {
        message =
            linePlace(lines.lineOf(static_cast<std::ptrdiff_t>(refusal.at))) + ": " + refusal.why;
        return false;
    }
    // The default parse: the document type is passed over (parse_doctype is
    // off), the five entities and character references replaced.
    const pugi::xml_parse_result result =
        document.load_buffer(length ? text : "", length, pugi::parse_default, pugi::encoding_utf8);
    if (!result) {
        message =
            linePlace(lines.lineOf(result.offset)) + ": the text is not XML: " + describe(result);
        return false;
    }
    return true;
}

} // namespace ZEM_0_81::Interchange::Xml
