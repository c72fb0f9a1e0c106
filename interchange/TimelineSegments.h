#pragma once

#include "interchange/TimelineView.h"

#include <vector>

class DmRoot;
class DmSegmentNode;

namespace ZEM_0_81 {

/// The edit-tree segments behind a TimelineView's items: `segments[t][i]` is the
/// segment that `view.tracks[t].items[i]` shows, a source for a clip and a gap
/// node for a gap. For the library's own operations that change a tree item by
/// item (the ASC CDL looks), so that they number tracks and items exactly as
/// the view does.
using TimelineSegments = std::vector<std::vector<DmSegmentNode*>>;

/// The view of `root`, as TimelineView::build gives it, and the segments of its
/// items. The segments belong to `root` and live as long as it does; the walk
/// itself changes nothing. Never fails.
Status buildTimeline(DmRoot& root, TimelineView& view, TimelineSegments& segments);

} // namespace ZEM_0_81
