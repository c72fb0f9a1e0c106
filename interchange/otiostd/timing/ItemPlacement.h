#pragma once

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmSegmentNode.h"
#include "outside/dmtree/DmTreeNode.h"
#include "outside/dmtree/DmTypes.h"

#include <vector>

namespace ZEM_0_81::Interchange {

/// What the writer of a track's items knows of the item it writes next, beyond
/// the segment itself.
struct ItemPlacement {
    /// Frames per second of the composition: record values count frames at it.
    double compositionRate = 0.0;
    /// The media type of the layer, which the reader gives a segment by default.
    eDmTreeMediaType layerMediaType = eDmMediaUnset;
    /// The nodes between the previous item and this one, when they differ from
    /// what the reader assumes (nothing before the first item, one plain cut before
    /// every other); null when they do not.
    const std::vector<const DmTreeNode*>* before = nullptr;
    /// True when the record-in does not follow from the items before it.
    bool writeRecordIn = false;
    /// True when the record-in is exactly where the items before it end, as this
    /// system's reader works it out (another reader may be a unit in the last
    /// place off when the values are not whole: then writeRecordIn is true too).
    bool recordInFollows = true;
};

/// The reader's position in a track: what the items read so far leave for the
/// next one.
struct LayerCursor {
    double compositionRate = 0.0;
    eDmTreeMediaType layerMediaType = eDmMediaUnset;
    /// Record-in of the next item, in frames at the composition rate.
    double recordIn = 0.0;
};

/// One item of a track as read: the segment for the edit tree (null for a filler
/// or an item that was dropped) and the nodes to put before it, when the item
/// says which (otherwise the reader's assumption stands).
struct ItemRead {
    CoSharedPtr<DmSegmentNode> segment;
    bool hasBefore = false;
    std::vector<CoSharedPtr<DmTreeNode>> before;
};

} // namespace ZEM_0_81::Interchange
