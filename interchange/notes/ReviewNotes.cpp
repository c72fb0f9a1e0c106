#include "interchange/notes/ReviewNotes.h"

#include "interchange/kept/ForeignMembers.h"
#include "json/ConstantChannel.h"
#include "json/EffectExport.h"

#include "outside/dmtree/DmAnnotationSettings.h"
#include "outside/dmtree/DmTextLayer.h"
#include "outside/dmtree/DmTextParagraph.h"

#include <cctype>
#include <cmath>

namespace ZEM_0_81::Interchange::ReviewNotes {

namespace {

// The colours OTIO names, as its colour constants define them.
constexpr NamedColour kColours[] = {
    {"PINK", {1.0f, 0.0f, 1.0f, 1.0f}},    {"RED", {1.0f, 0.0f, 0.0f, 1.0f}},
    {"ORANGE", {1.0f, 0.5f, 0.0f, 1.0f}},  {"YELLOW", {1.0f, 1.0f, 0.0f, 1.0f}},
    {"GREEN", {0.0f, 1.0f, 0.0f, 1.0f}},   {"CYAN", {0.0f, 1.0f, 1.0f, 1.0f}},
    {"BLUE", {0.0f, 0.0f, 1.0f, 1.0f}},    {"PURPLE", {0.5f, 0.0f, 0.5f, 1.0f}},
    {"MAGENTA", {1.0f, 0.0f, 1.0f, 1.0f}}, {"BLACK", {0.0f, 0.0f, 0.0f, 1.0f}},
    {"WHITE", {1.0f, 1.0f, 1.0f, 1.0f}},   {"TRANSPARENT", {0.0f, 0.0f, 0.0f, 0.0f}},
};

// The channels of a note's caption colour, in the order of Rgba.
constexpr DmTextParagraph::ChannelId kChannels[4] = {
    DmTextParagraph::kColorRed, DmTextParagraph::kColorGreen, DmTextParagraph::kColorBlue,
    DmTextParagraph::kColorAlpha};

} // namespace

const NamedColour* namedColourOf(const std::string& name) {
    std::string upper = name;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const NamedColour& named : kColours) {
        if (upper == named.name)
            return &named;
    }
    return nullptr;
}

const char* nearestColourName(const Rgba& rgba) {
    const NamedColour* nearest = &kColours[0];
    double best = HUGE_VAL;
    for (const NamedColour& named : kColours) {
        double distance = 0.0;
        for (int i = 0; i < 4; ++i)
            distance += (named.rgba[i] - rgba[i]) * (named.rgba[i] - rgba[i]);
        if (distance < best) {
            best = distance;
            nearest = &named;
        }
    }
    return nearest->name;
}

bool noteShown(const DmAnnotationSettings& annotation, Note& note) {
    if (annotation.getNbLayers() != 1)
        return false;
    const auto* layer = dynamic_cast<const DmTextLayer*>(annotation.getLayer(0));
    if (!layer || layer->getNbParagraphs() != 1 || !layer->getParagraph(0))
        return false;
    const DmTextParagraph& paragraph = *layer->getParagraph(0);
    note.ranged = layer->getDuration() != 0;
    note.start = note.ranged ? layer->getStartFrame() : 0;
    note.duration = layer->getDuration();
    note.caption = paragraph.text.str();
    for (int i = 0; i < 4; ++i)
        note.rgba[i] = static_cast<float>(
            Json::firstKeyValue(paragraph.getChannel(kChannels[i]), i == 3 ? 1.0 : 0.0));
    return true;
}

bool namedColour(const std::string& name, std::array<float, 4>& rgba) {
    const NamedColour* named = namedColourOf(name);
    if (named)
        rgba = named->rgba;
    return named != nullptr;
}

CoSharedPtr<DmAnnotationSettings> reviewNote(const std::string& caption,
                                             const std::array<float, 4>& rgba, std::int32_t start,
                                             std::uint32_t duration) {
    const CoSharedPtr<DmTextParagraph> paragraph(DmTextParagraph::create());
    paragraph->setTextStr(DmString(caption));
    for (int i = 0; i < 4; ++i)
        Json::setConstantChannel(*paragraph, kChannels[i], rgba[i]);
    const CoSharedPtr<DmTextLayer> layer(DmTextLayer::create());
    if (duration != 0)
        layer->setFrameRange(start, duration);
    layer->addParagraph(paragraph.get());
    const CoSharedPtr<DmAnnotationSettings> annotation(DmAnnotationSettings::create());
    annotation->addLayer(layer.get());
    return annotation;
}

bool isMarker(const DmEffectSettings& effect) {
    DmString kept;
    return dynamic_cast<const DmAnnotationSettings*>(&effect) &&
           effect.getPropertyValue(ForeignMembers::kMarkerId, eDmPropString, &kept) == eDmSuccess;
}

} // namespace ZEM_0_81::Interchange::ReviewNotes
