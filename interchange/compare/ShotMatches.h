#pragma once

// Which clips of two cuts show the same shot: the candidates for pairing, found
// by hashing what names a shot (media path, name without its version, reel).

#include "interchange/TimelineView.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ZEM_0_81::Interchange::Compare {

/// A clip of one track of a cut, as the comparison sees it.
struct CutClip {
    /// Its index in TimelineTrack::items.
    std::size_t item{};
    const TimelineItem* clip = nullptr;
    /// Its record start less its cut's start, at the new cut's rate.
    std::int64_t offset{};
};

/// Two clips, one of each cut, that show the same shot and may pair.
struct Candidate {
    std::size_t oldClip{}; ///< index into the old cut's clips
    std::size_t newClip{}; ///< index into the new cut's clips
    /// Source frames they have in common, at the new clip's source rate.
    std::int64_t shared{};
};

/// The primary media path of `clip` in one form for every dialect (a file URL
/// as its path); "" when it has none.
std::string mediaPathOf(const TimelineItem& clip);

/// The name that says which shot `clip` shows: its name without its version
/// tokens; "" when it has no name, or its name is only its reel.
std::string shotNameOf(const TimelineItem& clip);

/// Every pair of clips that show the same shot (the same media path, the same
/// shot name, the same media path without version tokens, or, for clips with
/// neither media nor a shot name, the same reel) and either share source frames
/// or, but for the reel, are each the only use of that on its track; each pair
/// once, by old clip and then new clip. Of the clips of one key whose frames
/// overlap a clip's and begin before them, the clip takes the 8 it shares the
/// most frames with, the nearest in time first.
std::vector<Candidate> candidatesOf(const std::vector<CutClip>& oldClips,
                                    const std::vector<CutClip>& newClips);

} // namespace ZEM_0_81::Interchange::Compare
