// Xmeml::write: the composition's timeline (TimelineView and the segments behind
// it) planned track by track (WrittenTrack, WrittenFiles), ids given, then
// written as one sequence of an xmeml document of version 4.

#include "interchange/Xmeml.h"

#include "interchange/TimelineSegments.h"
#include "interchange/TimelineView.h"
#include "interchange/xmeml/WriteContext.h"
#include "interchange/xmeml/WrittenFiles.h"
#include "interchange/xmeml/WrittenTrack.h"
#include "interchange/xmeml/XmemlKept.h"
#include "interchange/xmeml/XmemlNames.h"
#include "interchange/xmeml/XmlOut.h"
#include "json/EditTree.h"

#include "outside/core/Bounds.h"
#include "outside/core/Time.h"
#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmFrameResolution.h"
#include "outside/dmtree/DmLayerNode.h"
#include "outside/dmtree/DmReelNode.h"
#include "outside/dmtree/DmRoot.h"
#include "outside/dmtree/DmSourceNode.h"
#include "outside/dmtree/DmTrackNode.h"

#include <cmath>
#include <memory>
#include <set>
#include <vector>

namespace ZEM_0_81 {

namespace {

using namespace Interchange::Fcp7;
using namespace Interchange::Fcp7::Names;

constexpr const char* kSequencePlace = "/xmeml/sequence";
/// The picture size of a composition that says none.
constexpr std::int32_t kDefaultWidth = 1920;
constexpr std::int32_t kDefaultHeight = 1080;

Status failedWrite(Status::Type type, const std::string& why, String* message) {
    if (message)
        *message = String(why.c_str(), why.size());
    return Status(type);
}

/// The layers of `composition`, in the order the timeline view lists them.
std::vector<const DmLayerNode*> layersOf(const DmCompositionNode& composition) {
    std::vector<const DmLayerNode*> layers;
    for (std::uint32_t t = 0; t < composition.getNbChildren(); ++t)
        if (const auto* track = dynamic_cast<const DmTrackNode*>(composition.getChild(t)))
            for (std::uint32_t l = 0; l < track->getNbChildren(); ++l)
                if (const auto* layer = dynamic_cast<const DmLayerNode*>(track->getChild(l)))
                    layers.push_back(layer);
    return layers;
}

/// The picture size the sequence's format says: the composition's own, else
/// its output bounds at its start, else the first clip's media, else 1920 x 1080.
void pictureSize(const Composition& composition, const DmCompositionNode& node,
                 const TimelineView& view, const TimelineSegments& segments, std::int32_t& width,
                 std::int32_t& height) {
    const auto sizeOf = [&](const DmFrameResolution* resolution) {
        std::int32_t w = 0, h = 0;
        if (resolution && resolution->getWidth(w) == eDmSuccess &&
            resolution->getHeight(h) == eDmSuccess && w > 0 && h > 0) {
            width = w;
            height = h;
            return true;
        }
        return false;
    };
    if (sizeOf(node.getResolution()))
        return;
    Bounds bounds;
    if (composition.getOutputBounds(Time(view.start, Rational(1, 1)), bounds) &&
        bounds.getSizeX() >= 1.0 && bounds.getSizeY() >= 1.0 && bounds.getSizeX() < 1e9 &&
        bounds.getSizeY() < 1e9) {
        width = static_cast<std::int32_t>(std::lround(bounds.getSizeX()));
        height = static_cast<std::int32_t>(std::lround(bounds.getSizeY()));
        return;
    }
    for (const std::vector<DmSegmentNode*>& track : segments)
        for (const DmSegmentNode* segment : track)
            if (const auto* source = dynamic_cast<const DmSourceNode*>(segment))
                if (source->getInput() && sizeOf(source->getInput()->getPrimaryRes()))
                    return;
    width = kDefaultWidth;
    height = kDefaultHeight;
}

} // namespace

Status Xmeml::write(const Composition& composition, String& out, LossReport& losses,
                    String* message) {
    losses.clear();
    Status status;
    const DmRoot& root = composition.getTree(status);
    if (!status)
        return status;
    const DmCompositionNode* node = Json::EditTree::firstComposition(root);
    if (!node)
        return failedWrite(Status::NoData, "no timeline: the tree holds no composition", message);
    TimelineView view;
    TimelineSegments segments;
    buildTimeline(const_cast<DmRoot&>(root), view, segments);
    if (view.rate.getNumerator() <= 0 || view.rate.getDenominator() == 0)
        return failedWrite(Status::NoFrameRateText,
                           "the composition's rate \"" + node->getStartTcFcm().str() +
                               "\" cannot be read",
                           message);

    // The sequence counts at the composition's rate when xmeml can say it.
    FrameRate rate;
    if (TimelineView::isSampleRate(view.rate) || !frameRateOf(view.rate, rate)) {
        if (TimelineView::isSampleRate(view.pictureRate) || !frameRateOf(view.pictureRate, rate))
            rate = FrameRate{
                std::max<std::int64_t>(
                    1, std::min<std::int64_t>(kMaxTimebase, std::llround(view.rate.getValue()))),
                false};
        losses.add(kSequencePlace, kSequence,
                   String(("the composition counts at " + node->getStartTcFcm().str() +
                           " frames a second, which xmeml cannot say: written at " + rate.fcm() +
                           ", record frames rounded to the nearest")
                              .c_str()));
    }
    WriteContext context(rate, view.rate, losses);
    context.start = context.record(view.start);

    Kept::KeptElement kept;
    Kept::keptOf(*node, kept);
    std::size_t compositions = 0;
    for (std::uint32_t r = 0; r < root.getNbChildren(); ++r)
        if (const auto* reel = dynamic_cast<const DmReelNode*>(root.getChild(r)))
            for (std::uint32_t c = 0; c < reel->getNbChildren(); ++c)
                if (const auto* other = dynamic_cast<const DmCompositionNode*>(reel->getChild(c));
                    other && ++compositions > 1)
                    context.lose(kSequencePlace, kSequence,
                                 "the composition \"" + other->getName().str() +
                                     "\" is not written: the document holds the first one only");

    // The tracks, planned: picture tracks bottom to top, then sound.
    const std::vector<const DmLayerNode*> layers = layersOf(*node);
    const bool layersKnown = layers.size() == view.tracks.size();
    std::size_t videoCount = 0, audioCount = 0;
    for (const TimelineTrack& track : view.tracks)
        ++(track.kind == TimelineTrack::Kind::Audio ? audioCount : videoCount);
    WrittenFiles files;
    std::vector<std::unique_ptr<WrittenTrack>> video, audio;
    for (std::size_t t = 0; t < view.tracks.size(); ++t) {
        const bool isAudio = view.tracks[t].kind == TimelineTrack::Kind::Audio;
        auto& list = isAudio ? audio : video;
        list.push_back(std::make_unique<WrittenTrack>(
            context, files, view.tracks[t], segments[t], layersKnown ? layers[t] : nullptr, isAudio,
            list.size() + 1, isAudio ? audioCount : videoCount));
    }

    // Ids: those things came with first, as long as they are unique.
    XmlOut::Attributes attributes = kept.attributes;
    std::string wantedId;
    for (const auto& [name, value] : attributes)
        if (name == kId)
            wantedId = value;
    const std::string sequenceId = context.uniqueId(wantedId, kSequence);
    bool hasId = false;
    for (auto& [name, value] : attributes)
        if (name == kId) {
            value = sequenceId;
            hasId = true;
        }
    if (!hasId)
        attributes.insert(attributes.begin(), {kId, sequenceId});
    for (auto* list : {&video, &audio})
        for (const auto& track : *list)
            track->claimIds();
    files.claimIds(context);
    std::set<std::string> nestedIds;
    for (auto* list : {&video, &audio})
        for (const auto& track : *list)
            track->nestedIds(nestedIds);
    for (const std::string& id : nestedIds)
        context.take(id);
    for (auto* list : {&video, &audio})
        for (const auto& track : *list)
            track->assignIds();

    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE xmeml>";
    XmlOut xml(text);
    xml.open(kXmeml, {{kVersion, "4"}});
    if (XmlOut::holdsControl(node->getName().str()))
        context.lose(kSequencePlace, kSequence,
                     "the characters of its name that XML cannot hold are left out");
    xml.open(kSequence, attributes);
    xml.element(kName, node->getName().str());
    xml.element(kDuration, context.record(view.start + view.duration) - context.start);
    writeRate(xml, rate);
    const std::string display = kept.text(Kept::kDisplayFormat);
    writeTimecode(xml, context.start, rate, display != kNonDropFrame);
    xml.open(kMedia);
    xml.open(kVideo);
    std::int32_t width = 0, height = 0;
    pictureSize(composition, *node, view, segments, width, height);
    double keptWidth = 0.0, keptHeight = 0.0;
    if (!kept.text(Kept::kFormat).empty() && kept.number(Kept::kWidth, keptWidth) &&
        kept.number(Kept::kHeight, keptHeight) && keptWidth == width && keptHeight == height) {
        xml.raw(kept.text(Kept::kFormat));
    } else {
        xml.open(kFormat);
        xml.open(kSampleCharacteristics);
        writeRate(xml, rate);
        xml.element(kWidth, width);
        xml.element(kHeight, height);
        xml.close(kSampleCharacteristics);
        xml.close(kFormat);
    }
    xml.raw(kept.text(Kept::kVideo));
    std::set<std::string> nested;
    for (const auto& track : video)
        track->write(xml, nested);
    xml.close(kVideo);
    xml.open(kAudio);
    xml.raw(kept.text(Kept::kAudio));
    for (const auto& track : audio)
        track->write(xml, nested);
    xml.close(kAudio);
    xml.close(kMedia);
    xml.raw(kept.kept);
    xml.close(kSequence);
    xml.close(kXmeml);
    text += '\n';
    out = String(text.c_str(), text.size());
    return Status();
}

} // namespace ZEM_0_81
