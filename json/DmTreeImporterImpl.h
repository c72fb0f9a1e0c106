#pragma once

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmTypes.h"
#include "json/DmTreeImporter.h"

#include <cstdint>

class DmCompositionNode;
class DmLayerNode;
class DmReelNode;
class DmSegmentNode;
class DmTrackNode;

namespace ZEM_0_81::rapidotio {
class AnnotationNode;
class ClipNode;
} // namespace ZEM_0_81::rapidotio

namespace ZEM_0_81::Json {

/// The private record of a DmTreeImporter: where in the edit tree the next node
/// goes, and the running counters and record position. Every edit-tree object is
/// held with a counted reference; storing into a field releases what it held.
/// The fields are declared so that they are released in the order last segment,
/// layer, track, composition, reel, root.
struct DmTreeImporter::Impl {
    CoSharedPtr<DmRoot> root;                   ///< the tree being filled; the caller's
    CoSharedPtr<DmReelNode> reel;               ///< made by the constructor
    CoSharedPtr<DmCompositionNode> composition; ///< set by visitTimeline
    CoSharedPtr<DmTrackNode> track;             ///< set by visitStack
    CoSharedPtr<DmLayerNode> layer;             ///< set by visitTrack
    CoSharedPtr<DmSegmentNode> lastSegment;     ///< the gap or source added last
    std::int32_t trackIndex = 0;                ///< index of the next track
    std::int32_t layerIndex = 0;                ///< index of the next layer
    std::int32_t segmentCount = 0;              ///< segments added to the layer
    double startFrame = 0.0;                    ///< global start, frames at `rate`
    double rate = 0.0;                          ///< the composition's standard rate
    double recordPosition = 0.0;                ///< record-in of the next segment

    /// Prepares the current layer for its next segment: the first segment sets the
    /// layer's start TC to the record position, every later one is preceded by a
    /// cut of `mediaType`. The caller then places its segment at `recordPosition`,
    /// advances it by the segment's length, appends the segment and counts it.
    void placeSegment(eDmTreeMediaType mediaType);

    /// Builds the annotation settings of `annotation` with its paint and text
    /// layers and adds them to the last segment, which must exist.
    void importAnnotation(rapidotio::AnnotationNode& annotation);
};

} // namespace ZEM_0_81::Json
