#pragma once

// Which candidates become pairs: the most source frames in common first,
// then the pairs that keep the order of the cut, then the nearest in time.

#include "interchange/compare/ShotMatches.h"

#include <cstddef>
#include <limits>
#include <vector>

namespace ZEM_0_81::Interchange::Compare {

/// Each clip's partner, by index into the other cut's clips; kNoPartner for a
/// clip without one.
struct Pairing {
    static constexpr std::size_t kNoPartner = std::numeric_limits<std::size_t>::max();
    std::vector<std::size_t> newOfOld;
    std::vector<std::size_t> oldOfNew;
};

/// Pairs `oldClips` with `newClips` among `candidates` (as candidatesOf gives
/// them), each clip once. Candidates are taken by the frames they share, most
/// first; between as many, one of the heaviest chain of candidates in the
/// order of both cuts (weighing each by its frames and one; between chains as
/// heavy, the one whose pairs lie nearest in time) before one that breaks the
/// order, then the one whose record offsets lie nearest, then the earliest.
/// O(c log c) for c candidates.
Pairing pairClips(const std::vector<CutClip>& oldClips, const std::vector<CutClip>& newClips,
                  const std::vector<Candidate>& candidates);

} // namespace ZEM_0_81::Interchange::Compare
