#include "interchange/xmeml/SequenceReader.h"

#include "interchange/kept/ForeignMembers.h"
#include "interchange/xmeml/SequenceContext.h"
#include "interchange/xmeml/TrackReader.h"
#include "interchange/xmeml/XmemlKept.h"
#include "interchange/xmeml/XmemlNames.h"

#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmFrameResolution.h"
#include "outside/dmtree/DmTrackNode.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace ZEM_0_81::Interchange::Fcp7 {

namespace {

using namespace Names;

/// The rate a sequence without one is read at.
constexpr FrameRate kDefaultRate{24, false};

bool isElement(const pugi::xml_node& node, const char* name) {
    return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

/// The XML of the element children of `parent` but those named in `own`.
std::string keptChildren(const pugi::xml_node& parent, std::initializer_list<const char*> own) {
    std::string kept;
    for (const pugi::xml_node child : parent.children()) {
        if (child.type() != pugi::node_element)
            continue;
        bool isOwn = false;
        for (const char* name : own)
            isOwn = isOwn || std::strcmp(child.name(), name) == 0;
        if (!isOwn)
            kept += xmlOf(child);
    }
    return kept;
}

} // namespace

CoSharedPtr<DmCompositionNode> readSequence(const pugi::xml_node& sequence,
                                            const DocumentIndex& index, ReadReport& report,
                                            GivenOnce& givenOnce) {
    const pugi::xml_node media = sequence.child(kMedia);
    const pugi::xml_node video = media.child(kVideo);
    const pugi::xml_node audio = media.child(kAudio);
    const pugi::xml_node format = video.child(kFormat);
    const pugi::xml_node characteristics = format.child(kSampleCharacteristics);

    FrameRate rate;
    if (!rateOf(sequence, rate) && !rateOf(characteristics, rate)) {
        rate = kDefaultRate;
        report.lose(sequence, "has no rate that can be read: read at 24 frames a second");
    }
    SequenceContext context{index, report, givenOnce, rate, rate.fcm(), 0};
    Kept::KeptElement kept;
    kept.element = kSequence;
    if (const pugi::xml_node timecode = sequence.child(kTimecode)) {
        TimecodeValue value;
        std::string why;
        if (!readTimecode(timecode, rate, value, why))
            report.lose(timecode, "not read: " + why + "; the sequence starts at 0");
        else if (!framesAt(value.frames, value.rate, rate, context.start))
            report.lose(timecode, "counts at " + value.rate.fcm() +
                                      " frames a second and the sequence at " + context.fcm +
                                      ": its start is taken as frame " +
                                      std::to_string(context.start));
        const std::string display = childText(timecode, kDisplayFormat);
        if (!display.empty())
            kept.texts[Kept::kDisplayFormat] = display;
    }

    CoSharedPtr<DmFrameResolution> resolution;
    std::int64_t width = 0, height = 0;
    if (childFrames(characteristics, kWidth, width) &&
        childFrames(characteristics, kHeight, height) && width > 0 && height > 0 &&
        width <= std::numeric_limits<std::int32_t>::max() &&
        height <= std::numeric_limits<std::int32_t>::max()) {
        resolution = DmFrameResolution::create();
        resolution->setCenterX(0.0);
        resolution->setCenterY(0.0);
        resolution->setSizeX(static_cast<double>(width));
        resolution->setSizeY(static_cast<double>(height));
        resolution->setWidth(static_cast<std::int32_t>(width));
        resolution->setHeight(static_cast<std::int32_t>(height));
        kept.numbers[Kept::kWidth] = static_cast<double>(width);
        kept.numbers[Kept::kHeight] = static_cast<double>(height);
    }
    const DmString fcm(context.fcm);
    const CoSharedPtr<DmCompositionNode> composition(
        DmCompositionNode::create(DmString(childText(sequence, kName)), fcm, resolution.get()));
    composition->setStartTC(static_cast<double>(context.start), fcm);

    const CoSharedPtr<DmTrackNode> tracks(DmTrackNode::create(0, eDmMediaUnset));
    std::int32_t layers = 0;
    std::int64_t end = 0;
    const struct {
        pugi::xml_node parent;
        eDmTreeMediaType mediaType;
        const char* prefix;
    } kinds[] = {{video, eDmMediaVideo, "V"}, {audio, eDmMediaAudio, "A"}};
    for (const auto& kind : kinds) {
        const TrackReader reader(context, kind.mediaType);
        std::size_t number = 0;
        for (const pugi::xml_node track : kind.parent.children(kTrack))
            reader.read(track, kind.prefix + std::to_string(++number), *tracks, layers, end);
    }
    composition->addChild(tracks.get());
    // The sequence lasts its duration; without one, to the end of what it holds.
    std::int64_t duration = 0;
    if (!childFrames(sequence, kDuration, duration) || duration < 0)
        duration = end;
    composition->setCompLength(static_cast<double>(duration));

    for (const pugi::xml_attribute attribute : sequence.attributes())
        kept.attributes.emplace_back(attribute.name(), attribute.value());
    kept.kept = keptChildren(sequence, {kName, kDuration, kRate, kTimecode, kMedia});
    const std::string videoKept = keptChildren(video, {kTrack, kFormat});
    if (!videoKept.empty())
        kept.texts[Kept::kVideo] = videoKept;
    const std::string audioKept = keptChildren(audio, {kTrack});
    if (!audioKept.empty())
        kept.texts[Kept::kAudio] = audioKept;
    if (format)
        kept.texts[Kept::kFormat] = xmlOf(format);
    for (const pugi::xml_node child : media.children())
        if (child.type() == pugi::node_element && !isElement(child, kVideo) &&
            !isElement(child, kAudio))
            report.lose(child, "dropped: a sequence's media holds video and audio only");
    for (const pugi::xml_node marker : sequence.children(kMarker))
        report.lose(marker, "sequence marker not shown: the edit tree holds notes on clips only" +
                                std::string(ForeignMembers::Leftovers::kKeptNote));
    Kept::keep(kept, *composition);
    return composition;
}

} // namespace ZEM_0_81::Interchange::Fcp7
