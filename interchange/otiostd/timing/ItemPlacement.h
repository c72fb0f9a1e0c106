#pragma once

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmSegmentNode.h"
#include "outside/dmtree/DmTreeNode.h"
#include "outside/dmtree/DmTypes.h"

#include <cmath>
#include <limits>
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

/// What the trims ("source_range") of a track and of its timeline's stack make
/// of the track's items, in record frames at the composition rate: OTIO moves
/// every item back by `shift` (the trims' starts) and shows only what lands in
/// [from, to); an item cut by an edge plays the part inside.
struct TrimWindow {
    double shift = 0.0;
    double from = -HUGE_VAL;
    double to = HUGE_VAL;

    /// True when the window hides anything at all.
    bool cuts() const { return from > -HUGE_VAL || to < HUGE_VAL; }
    /// True when OTIO shows something of an item at `recordIn` lasting
    /// `recordLength` (as it trims a child's range: an item that only touches an
    /// edge, or lasts nothing at one, is hidden).
    bool shows(double recordIn, double recordLength) const {
        return from < recordIn + recordLength && recordIn < to;
    }
};

/// The reader's position in a track: what the items read so far leave for the
/// next one.
struct LayerCursor {
    double compositionRate = 0.0;
    eDmTreeMediaType layerMediaType = eDmMediaUnset;
    /// Record-in of the next item, in frames at the composition rate, where the
    /// items before it end (shifted by the trims: `window.shift` is taken off).
    double recordIn = 0.0;
    TrimWindow window;
    /// True when no frame rate holds every record time of the timeline in whole
    /// frames: each item's record-in and end are rounded to the nearest frame
    /// (TrackTrim::land).
    bool rounds = false;
    /// Where the segment before the next item ends; not finite before the first.
    double previousEnd = -std::numeric_limits<double>::infinity();
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
