#include "interchange/cdl/CdlReader.h"

#include "interchange/cdl/CdlNumbers.h"
#include "interchange/cdl/CdlVocabulary.h"
#include "interchange/places/LossPlaces.h"
#include "interchange/places/TextLines.h"
#include "interchange/xml/XmlText.h"

#include <pugixml.hpp>

#include <cctype>
#include <cstring>
#include <unordered_map>

namespace ZEM_0_81::Interchange::Cdl {

namespace {

/// A quoted value in a report stops after this many bytes: a hostile text may
/// hold a "number" of megabytes.
constexpr std::size_t kQuotedLength = 40;

/// `text` in double quotes, cut after kQuotedLength bytes (at the start of a
/// character) with "..." after it.
std::string quoted(const char* text) {
    std::size_t length = 0;
    while (length <= kQuotedLength && text[length] != '\0')
        ++length;
    std::string value(text, length);
    if (value.size() > kQuotedLength) {
        std::size_t cut = kQuotedLength;
        while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80)
            --cut; // a UTF-8 continuation byte: keep its character whole or not at all
        value = value.substr(0, cut) + "...";
    }
    return "\"" + value + "\"";
}

bool isNamed(const pugi::xml_node& node, const char* name) {
    return node.type() == pugi::node_element && std::strcmp(localName(node.name()), name) == 0;
}

/// The first child element of `node` named `name` (by its local name), or none.
pugi::xml_node childNamed(const pugi::xml_node& node, const char* name) {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
        if (isNamed(child, name))
            return child;
    return pugi::xml_node();
}

/// A ColorDecision's ColorCorrectionRef, resolved once every ColorCorrection of
/// the text is known.
struct Reference {
    std::size_t slot = 0; ///< its place among the corrections read
    std::string id;
    std::vector<std::string> mediaRefs;
    std::uint32_t line = 0;
};

class Reader {
public:
    Reader(const char* text, std::size_t length, LossReport& losses)
        : m_lines(text, length), m_losses(losses) {}

    bool read(const pugi::xml_document& document, AscCdl::Contents& out, std::string& message);
    const TextLines& lines() const { return m_lines; }

private:
    std::uint32_t lineOf(const pugi::xml_node& node) const {
        return m_lines.lineOf(node.offset_debug());
    }
    void lose(const pugi::xml_node& node, const char* schema, const std::string& what) {
        m_losses.add(String(linePlace(lineOf(node)).c_str()), String(schema), String(what.c_str()));
    }

    std::string versionOf(const pugi::xml_node& root);
    void readCollection(const pugi::xml_node& root);
    void readDecisionList(const pugi::xml_node& root);
    void readDecision(const pugi::xml_node& decision);
    void readCorrection(const pugi::xml_node& node, std::vector<std::string> mediaRefs);
    void readValues(const pugi::xml_node& parent, const char* name, double* values,
                    std::size_t count, const char* what);
    void resolveReferences();

    TextLines m_lines;
    LossReport& m_losses;
    std::vector<AscCdl::Correction> m_corrections;
    std::vector<Reference> m_references;
};

/// The version the root's namespace names (by the prefix of its name, or the
/// default namespace); "" without one, and "" with a report for one unknown.
std::string Reader::versionOf(const pugi::xml_node& root) {
    const char* name = root.name();
    const char* colon = std::strrchr(name, ':');
    const std::string attribute =
        colon ? std::string(kXmlns) + ":" + std::string(name, colon) : std::string(kXmlns);
    const char* space = root.attribute(attribute.c_str()).value();
    if (std::strcmp(space, kNamespace12) == 0)
        return kVersion12;
    if (std::strcmp(space, kNamespace101) == 0)
        return kVersion101;
    if (*space != '\0')
        lose(root, localName(name),
             "namespace " + quoted(space) + " is none of the ASC CDL versions read here (" +
                 kVersion101 + ", " + kVersion12 + "): read as they are");
    return {};
}

void Reader::readValues(const pugi::xml_node& parent, const char* name, double* values,
                        std::size_t count, const char* what) {
    const pugi::xml_node element = childNamed(parent, name);
    if (!element)
        return; // absent: the identity stays
    const char* text = element.text().get();
    if (parseNumbers(text, values, count))
        return;
    lose(element, name,
         quoted(text) + " is not " + what + ": read as " + numbersText(values, count) +
             ", the identity");
}

void Reader::readCorrection(const pugi::xml_node& node, std::vector<std::string> mediaRefs) {
    AscCdl::Correction correction;
    correction.id = node.attribute(kId).value();
    correction.mediaRefs = std::move(mediaRefs);
    correction.line = lineOf(node);
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
        if (isNamed(child, kDescription))
            correction.descriptions.emplace_back(child.text().get());

    AscCdl::Look& look = correction.look;
    if (const pugi::xml_node sop = childNamed(node, kSopNode)) {
        readValues(sop, kSlope, look.slope.data(), 3, "three finite numbers");
        readValues(sop, kOffset, look.offset.data(), 3, "three finite numbers");
        readValues(sop, kPower, look.power.data(), 3, "three finite numbers");
    }
    pugi::xml_node sat = childNamed(node, kSatNode);
    if (!sat)
        sat = childNamed(node, kOldSatNode);
    if (sat)
        readValues(sat, kSaturation, &look.saturation, 1, "one finite number");
    m_corrections.push_back(std::move(correction));
}

void Reader::readCollection(const pugi::xml_node& root) {
    for (pugi::xml_node child = root.first_child(); child; child = child.next_sibling())
        if (isNamed(child, kColorCorrection))
            readCorrection(child, {});
}

/// A decision ties its media to one correction, in place or by reference; one
/// holding more is read for its first (so that a decision of many MediaRefs is
/// copied once, not once for each of many corrections).
void Reader::readDecision(const pugi::xml_node& decision) {
    std::vector<std::string> mediaRefs;
    for (pugi::xml_node child = decision.first_child(); child; child = child.next_sibling())
        if (isNamed(child, kMediaRef))
            mediaRefs.emplace_back(child.attribute(kRef).value());
    pugi::xml_node first;
    for (pugi::xml_node child = decision.first_child(); child; child = child.next_sibling()) {
        if (!isNamed(child, kColorCorrection) && !isNamed(child, kCorrectionRef))
            continue;
        if (first) {
            lose(child, localName(child.name()),
                 "a second correction of one ColorDecision: not read, the decision is its first");
            break;
        }
        first = child;
    }
    if (!first)
        lose(decision, kColorDecision, "holds no ColorCorrection or ColorCorrectionRef: not read");
    else if (isNamed(first, kColorCorrection))
        readCorrection(first, std::move(mediaRefs));
    else
        m_references.push_back(Reference{m_corrections.size() + m_references.size(),
                                         first.attribute(kRef).value(), std::move(mediaRefs),
                                         lineOf(first)});
}

void Reader::readDecisionList(const pugi::xml_node& root) {
    for (pugi::xml_node child = root.first_child(); child; child = child.next_sibling()) {
        if (isNamed(child, kColorDecision))
            readDecision(child);
        else if (isNamed(child, kColorCorrection))
            readCorrection(child, {}); // a correction outside any decision: tied to no media
    }
    resolveReferences();
}

/// Puts each reference's correction at the reference's place: the id and values
/// of the first ColorCorrection of the text with its id, tied to the reference's
/// media. Its Descriptions stay with it: they describe it where it stands (and
/// many references to one of many descriptions would copy them all many times).
void Reader::resolveReferences() {
    if (m_references.empty())
        return;
    std::unordered_map<std::string, std::size_t> byId;
    for (std::size_t i = 0; i < m_corrections.size(); ++i)
        byId.emplace(m_corrections[i].id, i);
    std::vector<AscCdl::Correction> merged;
    merged.reserve(m_corrections.size() + m_references.size());
    auto reference = m_references.begin();
    for (std::size_t slot = 0, read = 0;
         read < m_corrections.size() || reference != m_references.end(); ++slot) {
        if (reference == m_references.end() || reference->slot != slot) {
            merged.push_back(m_corrections[read++]);
            continue;
        }
        const auto found = byId.find(reference->id);
        if (found == byId.end()) {
            m_losses.add(String(linePlace(reference->line).c_str()), String(kCorrectionRef),
                         String(("names no ColorCorrection of this text (" +
                                 quoted(reference->id.c_str()) + "): not read")
                                    .c_str()));
        } else {
            AscCdl::Correction correction;
            correction.id = reference->id;
            correction.look = m_corrections[found->second].look;
            correction.mediaRefs = std::move(reference->mediaRefs);
            correction.line = reference->line;
            merged.push_back(std::move(correction));
        }
        ++reference;
    }
    m_corrections = std::move(merged);
}

bool Reader::read(const pugi::xml_document& document, AscCdl::Contents& out, std::string& message) {
    const pugi::xml_node root = document.document_element();
    const char* rootName = localName(root.name());
    AscCdl::Contents contents;
    if (std::strcmp(rootName, kColorCorrection) == 0)
        contents.form = AscCdl::Form::Correction;
    else if (std::strcmp(rootName, kCollection) == 0)
        contents.form = AscCdl::Form::Collection;
    else if (std::strcmp(rootName, kDecisionList) == 0)
        contents.form = AscCdl::Form::DecisionList;
    else {
        message = linePlace(lineOf(root)) + ": the root element " + quoted(root.name()) +
                  " is none of " + kColorCorrection + ", " + kCollection + " and " + kDecisionList;
        return false;
    }
    contents.version = versionOf(root);

    if (contents.form == AscCdl::Form::Correction)
        readCorrection(root, {});
    else if (contents.form == AscCdl::Form::Collection)
        readCollection(root);
    else
        readDecisionList(root);
    if (m_corrections.empty()) {
        message = linePlace(lineOf(root)) + ": the " + rootName + " holds no ColorCorrection";
        return false;
    }
    contents.corrections = std::move(m_corrections);
    out = std::move(contents);
    return true;
}

bool isUtf16(const char* text, std::size_t length) {
    return length >= 2 && ((static_cast<unsigned char>(text[0]) == 0xFF &&
                            static_cast<unsigned char>(text[1]) == 0xFE) ||
                           (static_cast<unsigned char>(text[0]) == 0xFE &&
                            static_cast<unsigned char>(text[1]) == 0xFF));
}

} // namespace

bool readText(const char* text, std::size_t length, AscCdl::Contents& out, LossReport& losses,
              std::string& message) {
    if (!text)
        length = 0;
    if (isUtf16(text, length)) {
        message = "line 1: the text is UTF-16; ASC CDL files are read as UTF-8";
        return false;
    }
    pugi::xml_document document;
    Reader reader(text, length, losses);
    if (!Xml::load(text, length, reader.lines(), document, message))
        return false;
    return reader.read(document, out, message);
}

} // namespace ZEM_0_81::Interchange::Cdl
