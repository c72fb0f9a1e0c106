#include "interchange/cdl/CdlWriter.h"

#include "interchange/cdl/CdlNumbers.h"
#include "interchange/cdl/CdlVocabulary.h"
#include "interchange/cdl/ClipPlace.h"

#include <pugixml.hpp>

namespace ZEM_0_81::Interchange::Cdl {

namespace {

constexpr const char* kMediaDescription = "media ";

/// Collects what pugixml writes.
class TextWriter : public pugi::xml_writer {
public:
    void write(const void* data, std::size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }
    std::string text;
};

void addText(pugi::xml_node& parent, const char* name, const std::string& text) {
    parent.append_child(name).text().set(text.c_str());
}

/// Fills the ColorCorrection `node` with the look of `clip` under `id`.
void writeCorrection(pugi::xml_node& node, const AscCdl::ClipLook& clip, const std::string& id) {
    node.append_attribute(kId).set_value(id.c_str());
    addText(node, kDescription, placeText(clip.track, clip.recordIn, clip.recordOut));
    if (!clip.media.empty())
        addText(node, kDescription, kMediaDescription + clip.media.front());
    pugi::xml_node sop = node.append_child(kSopNode);
    addText(sop, kSlope, numbersText(clip.look.slope.data(), 3));
    addText(sop, kOffset, numbersText(clip.look.offset.data(), 3));
    addText(sop, kPower, numbersText(clip.look.power.data(), 3));
    pugi::xml_node sat = node.append_child(kSatNode);
    addText(sat, kSaturation, numberText(clip.look.saturation));
}

const char* rootNameOf(AscCdl::Form form) {
    switch (form) {
    case AscCdl::Form::Correction:
        return kColorCorrection;
    case AscCdl::Form::DecisionList:
        return kDecisionList;
    default:
        return kCollection;
    }
}

} // namespace

std::string writeText(const std::vector<AscCdl::ClipLook>& looks, AscCdl::Form form) {
    std::vector<std::string> names;
    names.reserve(looks.size());
    for (const AscCdl::ClipLook& clip : looks)
        names.push_back(clip.name);
    const std::vector<std::string> ids = uniqueIds(names);

    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("UTF-8");
    pugi::xml_node root = document.append_child(rootNameOf(form));
    root.append_attribute(kXmlns).set_value(kNamespace12);

    for (std::size_t i = 0; i < looks.size(); ++i) {
        const AscCdl::ClipLook& clip = looks[i];
        if (form == AscCdl::Form::Correction) {
            writeCorrection(root, clip, ids[i]);
            break;
        }
        pugi::xml_node parent = root;
        if (form == AscCdl::Form::DecisionList) {
            parent = root.append_child(kColorDecision);
            if (!clip.media.empty())
                parent.append_child(kMediaRef).append_attribute(kRef).set_value(
                    clip.media.front().c_str());
        }
        pugi::xml_node correction = parent.append_child(kColorCorrection);
        writeCorrection(correction, clip, ids[i]);
    }

    TextWriter writer;
    document.save(writer, "    ", pugi::format_default, pugi::encoding_utf8);
    return writer.text;
}

} // namespace ZEM_0_81::Interchange::Cdl
