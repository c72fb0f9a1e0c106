#include "interchange/xmeml/TrackReader.h"

#include "interchange/kept/ForeignMembers.h"
#include "interchange/timing/RecordTime.h"
#include "interchange/xmeml/XmemlKept.h"
#include "interchange/xmeml/XmemlNames.h"
#include "interchange/xmeml/XmemlValues.h"

#include "outside/dmtree/DmCutNode.h"
#include "outside/dmtree/DmGapNode.h"
#include "outside/dmtree/DmLayerNode.h"
#include "outside/dmtree/DmTrackNode.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

namespace ZEM_0_81::Interchange::Fcp7 {

namespace {

using namespace Names;

constexpr const char* kDissolveType = "SMPTE_Dissolve";
constexpr const char* kCustomType = "Custom_Transition";
/// Ticks are counted far past any frame count: 2^62 of them.
constexpr std::int64_t kMaxTicks = std::int64_t(1) << 62;

std::string lowered(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

/// An item of a track: a clip or generator, or a transition.
struct Entry {
    pugi::xml_node node;
    bool transition = false;
    bool hasStart = false;
    bool hasEnd = false;
    std::int64_t start = 0; ///< frames from the sequence's start
    std::int64_t end = 0;
    bool hasCut = false; ///< a transition whose cut is known
    std::int64_t cut = 0;
};

/// A clip placed at its record frames.
struct Placed {
    const Entry* entry;
    std::int64_t start;
    std::int64_t end;
};

/// The frames `ticks` count at `rate`, to the nearest.
std::int64_t framesOfTicks(std::int64_t ticks, const FrameRate& rate) {
    const Rational exact = rate.rational();
    const std::int64_t numerator = exact.getNumerator();
    const std::int64_t perFrameTimesNumerator = kTicksPerSecond * exact.getDenominator();
    if (perFrameTimesNumerator % numerator == 0) {
        const std::int64_t perFrame = perFrameTimesNumerator / numerator;
        return (ticks + perFrame / 2) / perFrame;
    }
    return static_cast<std::int64_t>(
        std::llround(static_cast<long double>(ticks) * numerator / perFrameTimesNumerator));
}

/// Where the transition `entry` cuts from the clip before it to the one after
/// it: cutPointTicks after its start when it says one within its span; else by
/// its alignment: at its start for start and start-black, at its end for end
/// and end-black, else (center) halfway, a frame rounded down.
std::int64_t cutOf(const Entry& entry, const FrameRate& rate) {
    std::int64_t ticks = 0;
    if (parseWhole(childText(entry.node, kCutPointTicks), kMaxTicks, ticks) && ticks >= 0) {
        const std::int64_t cut = entry.start + framesOfTicks(ticks, rate);
        if (cut <= entry.end)
            return cut;
    }
    const std::string alignment = lowered(childText(entry.node, kAlignment));
    if (alignment == kAlignStart || alignment == kAlignStartBlack)
        return entry.start;
    if (alignment == kAlignEnd || alignment == kAlignEndBlack)
        return entry.end;
    return entry.start + (entry.end - entry.start) / 2;
}

/// OTIO's word for the kind of a transition's effect.
std::string transitionType(const pugi::xml_node& effect) {
    const std::string words =
        lowered(childText(effect, kEffectId) + " " + childText(effect, kName));
    return words.find("dissolve") != std::string::npos ? kDissolveType : kCustomType;
}

std::string effectNameOf(const pugi::xml_node& effect) {
    const std::string name = childText(effect, kName);
    return name.empty() ? childText(effect, kEffectId) : name;
}

} // namespace

void TrackReader::read(const pugi::xml_node& track, const std::string& name, DmTrackNode& into,
                       std::int32_t& index, std::int64_t& end) const {
    ReadReport& report = m_context.report;
    const FrameRate& rate = m_context.rate;

    // The items in document order; the track's other children are kept.
    std::vector<Entry> entries;
    Kept::KeptElement kept;
    kept.element = kTrack;
    for (const pugi::xml_attribute attribute : track.attributes())
        kept.attributes.emplace_back(attribute.name(), attribute.value());
    for (const pugi::xml_node child : track.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const bool transition = named(child, kTransitionItem);
        if (!transition && !named(child, kClipItem) && !named(child, kGeneratorItem)) {
            kept.kept += xmlOf(child);
            bool enabled = true;
            if (named(child, kEnabled) && parseFlag(childText(track, kEnabled), enabled) &&
                !enabled)
                report.lose(child, std::string("read as enabled: the edit tree cannot disable a "
                                               "track") +
                                       ForeignMembers::Leftovers::kDisabledNote);
            continue;
        }
        Entry entry;
        entry.node = child;
        entry.transition = transition;
        entry.hasStart = childFrames(child, kStart, entry.start);
        entry.hasEnd = childFrames(child, kEnd, entry.end);
        entries.push_back(entry);
    }
    for (Entry& entry : entries) {
        if (!entry.transition)
            continue;
        FrameRate own;
        if (!Fcp7::rateOf(entry.node, own))
            own = rate;
        if (!entry.hasStart || !entry.hasEnd || entry.end < entry.start) {
            report.lose(entry.node, "dropped: it says no start and end where it lies");
            continue;
        }
        entry.hasCut = true;
        entry.cut = cutOf(entry, own);
    }

    // Each clip's record frames: a start or end of -1 is the cut of the
    // transition beside it.
    std::vector<Placed> placed;
    std::int64_t cursor = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        if (entry.transition)
            continue;
        const Entry* before = i > 0 && entries[i - 1].transition ? &entries[i - 1] : nullptr;
        const Entry* after =
            i + 1 < entries.size() && entries[i + 1].transition ? &entries[i + 1] : nullptr;
        bool knowsStart = entry.hasStart && entry.start != -1;
        bool knowsEnd = entry.hasEnd && entry.end != -1;
        std::int64_t start = entry.start, finish = entry.end;
        if (!knowsStart && before && before->hasCut) {
            start = before->cut;
            knowsStart = true;
        }
        if (!knowsEnd && after && after->hasCut) {
            finish = after->cut;
            knowsEnd = true;
        }
        // Without either, the clip's in and out points say how long it lasts.
        std::int64_t in = 0, out = 0;
        const bool hasLength =
            childFrames(entry.node, kIn, in) && childFrames(entry.node, kOut, out) && out > in;
        const FrameRate clipRate = m_clips.rateOf(entry.node);
        const std::int64_t length =
            hasLength ? static_cast<std::int64_t>(std::llround(RecordTime::rescale(
                            static_cast<double>(out - in), clipRate.value(), rate.value())))
                      : 0;
        if (!knowsStart || !knowsEnd) {
            const char* which = !knowsStart && !knowsEnd ? "start and end"
                                : !knowsStart            ? "start"
                                                         : "end";
            if (!hasLength && !(knowsStart && knowsEnd)) {
                report.lose(entry.node, std::string("dropped: its ") + which +
                                            " cannot be read, and no in and out points say how "
                                            "long it lasts");
                continue;
            }
            if (!knowsStart && !knowsEnd)
                start = cursor;
            else if (!knowsStart)
                start = finish - length;
            if (!knowsEnd)
                finish = start + length;
            report.lose(entry.node, std::string("its ") + which +
                                        " cannot be read (-1 without a transition beside it, "
                                        "or none): placed from " +
                                        std::to_string(start) + " to " + std::to_string(finish) +
                                        " by its in and out points");
        }
        if (finish <= start) {
            report.lose(entry.node, "dropped: it lasts no frame (start " + std::to_string(start) +
                                        ", end " + std::to_string(finish) + ")");
            continue;
        }
        placed.push_back(Placed{&entry, start, finish});
        cursor = finish;
        end = std::max(end, finish);
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const Placed& a, const Placed& b) { return a.start < b.start; });

    // Overlapping items go on extra layers, as an EDL's overlapping events do.
    struct Lane {
        std::int64_t end = 0;
        std::vector<CoSharedPtr<DmSegmentNode>> segments;
    };
    std::vector<Lane> lanes(1);
    for (const Placed& item : placed) {
        std::size_t lane = 0;
        while (lane < lanes.size() && !lanes[lane].segments.empty() && lanes[lane].end > item.start)
            ++lane;
        if (lane == lanes.size())
            lanes.emplace_back();
        if (lane > 0)
            report.lose(item.entry->node, "overlaps what the track holds before it: placed on "
                                          "track " +
                                              name + " (" + std::to_string(lane + 1) + ")");
        lanes[lane].end = item.end;
        lanes[lane].segments.push_back(m_clips.read(item.entry->node, item.start, item.end));
    }

    const double start = static_cast<double>(m_context.start);
    std::vector<CoSharedPtr<DmSegmentNode>> firstLane;
    CoSharedPtr<DmLayerNode> firstLayer;
    for (std::size_t l = 0; l < lanes.size(); ++l) {
        const CoSharedPtr<DmLayerNode> layer(
            DmLayerNode::create(index, m_mediaType, 0, index == 0));
        ++index;
        layer->setName(DmString(l == 0 ? name : name + " (" + std::to_string(l + 1) + ")"));
        double at = start;
        bool first = true;
        std::vector<CoSharedPtr<DmSegmentNode>> children;
        const auto add = [&](DmSegmentNode* node) {
            if (!first) {
                const CoSharedPtr<DmCutNode> cut(DmCutNode::create(m_mediaType));
                layer->addChild(cut.get());
            }
            layer->addChild(node);
            children.emplace_back(node);
            first = false;
        };
        for (const CoSharedPtr<DmSegmentNode>& segment : lanes[l].segments) {
            if (segment->getRecIn() > at) {
                const CoSharedPtr<DmGapNode> gap(
                    DmGapNode::create(at, segment->getRecIn() - at, m_mediaType, DmString()));
                add(gap.get());
            }
            add(segment.get());
            at = segment->getRecIn() + segment->getRecLength();
        }
        layer->setLayerStartTC(start);
        layer->setLayerLength(at - start);
        into.addChild(layer.get());
        into.setMediaType(m_mediaType);
        if (l == 0) {
            firstLane = std::move(children);
            firstLayer = layer;
        }
    }
    Kept::keep(kept, *firstLayer);

    // Transitions, kept on the first segment of the track's own layer that
    // starts at or after their cut, else on the layer.
    std::map<std::size_t, ForeignMembers::KeptTransitions> onSegments;
    ForeignMembers::KeptTransitions onLayer;
    for (const Entry& entry : entries) {
        if (!entry.transition || !entry.hasCut)
            continue;
        const pugi::xml_node effect = entry.node.child(kEffect);
        Kept::TransitionData data;
        data.name = effectNameOf(effect);
        data.type = transitionType(effect);
        data.inOffset = entry.cut - entry.start;
        data.outOffset = entry.end - entry.cut;
        data.element.element = kTransitionItem;
        for (const pugi::xml_attribute attribute : entry.node.attributes())
            data.element.attributes.emplace_back(attribute.name(), attribute.value());
        for (const pugi::xml_node child : entry.node.children()) {
            const bool own = named(child, kRate) || named(child, kStart) || named(child, kEnd) ||
                             named(child, kAlignment) || named(child, kCutPointTicks);
            if (child.type() == pugi::node_element && !own)
                data.element.kept += xmlOf(child);
        }
        const std::string alignment = childText(entry.node, kAlignment);
        if (!alignment.empty())
            data.element.texts[Kept::kAlignment] = alignment;
        if (entry.node.child(kCutPointTicks))
            data.element.numbers[Kept::kCutPoint] = 1.0;
        rapidotio::Document transition;
        ForeignMembers::parseKept(Kept::transitionText(data, rate.value()), transition);

        const double cut = start + static_cast<double>(entry.cut);
        std::size_t at = 0;
        while (at < firstLane.size() && firstLane[at]->getRecIn() < cut)
            ++at;
        // Written back at that segment's start, or at the end of the layer's
        // last item (its start when it has none).
        const bool moved =
            at < firstLane.size() ? firstLane[at]->getRecIn() != cut : lanes[0].end != entry.cut;
        (at < firstLane.size() ? onSegments[at] : onLayer).add(transition);
        report.lose(entry.node,
                    (data.name.empty() ? std::string("transition") : data.name) + " of " +
                        std::to_string(entry.end - entry.start) +
                        " frames not applied: the edit tree has no transitions, and one takes no "
                        "record time: nothing moves" +
                        (moved ? "; no item of the track starts at its cut, frame " +
                                     std::to_string(entry.cut)
                               : std::string()) +
                        ForeignMembers::Leftovers::kKeptNote);
    }
    for (auto& [at, transitions] : onSegments)
        transitions.keepOn(*firstLane[at]);
    onLayer.keepOn(*firstLayer);
}

} // namespace ZEM_0_81::Interchange::Fcp7
