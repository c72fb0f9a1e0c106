#pragma once

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmSegmentNode.h"
#include "outside/dmtree/DmTypes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class DmCompositionNode;

namespace ZEM_0_81::Interchange::Cmx {

/// The tracks a list's events go on, in the order they are listed: the
/// picture, key foregrounds, and the four sound channels.
enum class TrackKind : std::uint8_t { V, V2, A1, A2, A3, A4 };
constexpr std::size_t kTrackKinds = 6;

/// "V", "V2", "A1" ... "A4".
const char* trackName(TrackKind kind);

/// Where events are placed: for each track kind its track and the extra tracks
/// ("V (2)", "V (3)", ...) that hold events overlapping what a track already
/// holds. Events come in file order; each goes on the first of its kind's
/// tracks whose segments so far end at or before its record in, a new extra
/// track when none does.
class TrackLanes {
public:
    /// Places `segment`, lasting from `recordIn` to `recordOut` (later), on a
    /// track of `kind`; returns the track's place among its kind's, 0 for the
    /// kind's own track.
    std::size_t place(TrackKind kind, std::int64_t recordIn, std::int64_t recordOut,
                      const CoSharedPtr<DmSegmentNode>& segment);

    /// The name of track `lane` of `kind`: "V", then "V (2)", "V (3)".
    static std::string laneName(TrackKind kind, std::size_t lane);

    /// Adds the tracks to `composition`, under one edit-tree track, picture
    /// before sound and, within each, the kinds' own tracks before their extra
    /// ones, lane by lane (V, V2, V (2), V2 (2), ... A1 ... A4, A1 (2), ...); each a layer
    /// whose segments start at `start`: the record time before a segment, back
    /// to the previous one's end or to `start`, is a gap, and a plain cut stands
    /// between every two segments. Each layer ends where its last segment does.
    void build(DmCompositionNode& composition, std::int64_t start) const;

private:
    struct Lane {
        std::int64_t end = 0;
        std::vector<CoSharedPtr<DmSegmentNode>> segments;
    };
    std::array<std::vector<Lane>, kTrackKinds> m_lanes;
};

} // namespace ZEM_0_81::Interchange::Cmx
