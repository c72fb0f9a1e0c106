#include "interchange/edl/TrackLanes.h"

#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmCutNode.h"
#include "outside/dmtree/DmGapNode.h"
#include "outside/dmtree/DmLayerNode.h"
#include "outside/dmtree/DmTrackNode.h"

#include <algorithm>

namespace ZEM_0_81::Interchange::Cmx {

namespace {

constexpr const char* kTrackNames[kTrackKinds] = {"V", "V2", "A1", "A2", "A3", "A4"};

eDmTreeMediaType mediaTypeOf(std::size_t kind) {
    return kind <= static_cast<std::size_t>(TrackKind::V2) ? eDmMediaVideo : eDmMediaAudio;
}

} // namespace

const char* trackName(TrackKind kind) {
    return kTrackNames[static_cast<std::size_t>(kind)];
}

std::string TrackLanes::laneName(TrackKind kind, std::size_t lane) {
    std::string name = trackName(kind);
    if (lane > 0)
        name += " (" + std::to_string(lane + 1) + ")";
    return name;
}

std::size_t TrackLanes::place(TrackKind kind, std::int64_t recordIn, std::int64_t recordOut,
                              const CoSharedPtr<DmSegmentNode>& segment) {
    std::vector<Lane>& lanes = m_lanes[static_cast<std::size_t>(kind)];
    std::size_t lane = 0;
    while (lane < lanes.size() && !lanes[lane].segments.empty() && lanes[lane].end > recordIn)
        ++lane;
    if (lane == lanes.size())
        lanes.emplace_back();
    lanes[lane].end = recordOut;
    lanes[lane].segments.push_back(segment);
    return lane;
}

void TrackLanes::build(DmCompositionNode& composition, std::int64_t start) const {
    const CoSharedPtr<DmTrackNode> track(DmTrackNode::create(0, eDmMediaUnset));
    std::int32_t index = 0;
    const auto addLayer = [&](std::size_t kind, std::size_t lane) {
        const eDmTreeMediaType mediaType = mediaTypeOf(kind);
        const CoSharedPtr<DmLayerNode> layer(DmLayerNode::create(index, mediaType, 0, index == 0));
        ++index;
        layer->setName(DmString(laneName(static_cast<TrackKind>(kind), lane)));
        double cursor = static_cast<double>(start);
        bool first = true;
        for (const CoSharedPtr<DmSegmentNode>& segment : m_lanes[kind][lane].segments) {
            const auto add = [&](DmSegmentNode* node) {
                if (!first) {
                    const CoSharedPtr<DmCutNode> cut(DmCutNode::create(mediaType));
                    layer->addChild(cut.get());
                }
                layer->addChild(node);
                first = false;
            };
            if (segment->getRecIn() > cursor) {
                const CoSharedPtr<DmGapNode> gap(
                    DmGapNode::create(cursor, segment->getRecIn() - cursor, mediaType, DmString()));
                add(gap.get());
            }
            add(segment.get());
            cursor = segment->getRecIn() + segment->getRecLength();
        }
        layer->setLayerStartTC(static_cast<double>(start));
        layer->setLayerLength(cursor - static_cast<double>(start));
        track->addChild(layer.get());
        // A track takes the media type of its last layer, as standard OTIO's
        // reader gives a track it has no description of.
        track->setMediaType(mediaType);
    };
    // Picture before sound; within each, every kind's own track first, then
    // the extra tracks lane by lane: V, V2, V (2), V2 (2), ..., A1 ... A4,
    // A1 (2), ...
    const std::size_t groups[][2] = {{0, static_cast<std::size_t>(TrackKind::A1)},
                                     {static_cast<std::size_t>(TrackKind::A1), kTrackKinds}};
    for (const auto& [from, to] : groups) {
        std::size_t lanes = 0;
        for (std::size_t kind = from; kind < to; ++kind)
            lanes = std::max(lanes, m_lanes[kind].size());
        for (std::size_t lane = 0; lane < lanes; ++lane)
            for (std::size_t kind = from; kind < to; ++kind)
                if (lane < m_lanes[kind].size())
                    addLayer(kind, lane);
    }
    composition.addChild(track.get());
}

} // namespace ZEM_0_81::Interchange::Cmx
