#pragma once

// What changed between a clip of the old cut and its partner in the new.

#include "interchange/AscCdl.h"
#include "interchange/CutComparison.h"
#include "interchange/compare/ShotMatches.h"

namespace ZEM_0_81::Interchange::Compare {

/// The CDL look of a clip: its values and its switch.
struct ClipLookValues {
    AscCdl::Look values;
    bool muted = false;

    bool operator==(const ClipLookValues& other) const {
        return values == other.values && muted == other.muted;
    }
};

/// A clip of one cut with what is compared beside its view: its look.
struct ComparedClip {
    const CutClip* place = nullptr;
    /// Its CDL look, or null when it has none.
    const ClipLookValues* look = nullptr;
};

/// The change of a pair: its shift (the record offsets' difference), its head
/// and tail (source frames at the new clip's source rate, compared with the
/// old clip's rescaled to that rate), whether its media is another version,
/// and its speed, look, effects and switch; `change` the first that applies of
/// Version, Trimmed, Slipped, Moved, the rest in `also`. Without a known
/// source start on either side, a change of length is a trim at the tail.
CutComparison::ClipChange changeOf(const ComparedClip& oldClip, const ComparedClip& newClip);

/// A clip of one cut only: Added or Removed, with nothing else.
CutComparison::ClipChange unpaired(const CutClip& clip, bool isNew);

} // namespace ZEM_0_81::Interchange::Compare
