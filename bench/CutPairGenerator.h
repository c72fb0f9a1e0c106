#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ZEM_0_81::bench {

/// Two cuts of one edit as standard OTIO, the second made from the first by
/// edits of known kinds, for timing the comparison of cuts and the carrying
/// of notes.
struct CutPair {
    std::string before;
    std::string after;
    /// What the edits were: clips of the old cut, notes on them, and the clips
    /// each edit touched.
    std::size_t clips = 0;
    std::size_t notes = 0;
    std::size_t removed = 0;
    std::size_t added = 0;
};

/// An old cut of `clips` clips at 24 frames a second on one video track, each
/// with its own media ("sh0001_comp_v001", every tenth shot used a second time
/// further on) and a review note of 1 to 12 frames; and a new cut where, in
/// turn, every 7th clip is trimmed at its head, every 11th slipped, every 13th
/// a new version, every 17th removed, every 19th followed by a new shot, and
/// every 29th moved 11 clips later. The pseudo-random values come from `seed`.
CutPair generateCutPair(std::size_t clips, std::uint64_t seed = 0x5eed2024c0a7c0deULL);

} // namespace ZEM_0_81::bench
