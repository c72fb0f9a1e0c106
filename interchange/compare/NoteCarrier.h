#pragma once

// Review notes and paint of the old cut's clips carried onto their partners in
// the new cut, at the same source frames.

#include "interchange/CutComparison.h"
#include "interchange/TimelineSegments.h"

namespace ZEM_0_81::Interchange::Compare {

/// The two cuts as the notes travel between them: each one's view (as the
/// comparison saw it) and the segments of its items. The old cut's segments
/// are only read; the new cut's are those of a copy of its tree, which the
/// carried notes are added to.
struct CarryingCuts {
    const TimelineView& oldView;
    const TimelineSegments& oldSegments;
    const TimelineView& newView;
    const TimelineSegments& newSegments;
};

/// Adds to each new clip the annotations of its partner in `comparison`, each
/// layer with a range of its own at the same source frames, cut to what the
/// new clip plays, and counts in `carried` what went and what stayed behind
/// (CutComparison::carryNotes). True when any annotation was added.
bool carryAll(const CarryingCuts& cuts, const CutComparison::Result& comparison,
              CutComparison::Carried& carried);

} // namespace ZEM_0_81::Interchange::Compare
