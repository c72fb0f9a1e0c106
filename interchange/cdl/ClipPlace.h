#pragma once

#include "interchange/TimelineView.h"
#include "outside/core/Rational.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ZEM_0_81::Interchange::Cdl {

/// How the looks this system writes name their clips, so that reading them
/// back onto the same cut finds each clip again, also among clips of one name
/// (the events of one reel in a cut list): a Description giving the clip's track
/// and record range, and an id that is the clip's name made unique.

/// Where a clip plays as timecode at the composition's rate `rate`: its first
/// frame and the frame after its last (as in an edit decision list), each the
/// bare frame count when the rate gives no timecode.
struct RecordTimecodes {
    std::string in;
    std::string out;
};
RecordTimecodes recordTimecodes(const FrameRange& record, const Rational& rate);

/// "track 2, record 01:00:04:00-01:00:06:12": the track counted from 1 (its index
/// in the timeline view plus one), and the first frame and the frame after the
/// last as timecode.
std::string placeText(std::size_t track, const std::string& recordIn, const std::string& recordOut);

/// Ids for clips of the given names, in order: the name itself the first time
/// (an empty one as "clip"), then the name followed by "_2", "_3", ..., skipping
/// any id already given.
std::vector<std::string> uniqueIds(const std::vector<std::string>& names);

/// True when `id` is what uniqueIds makes of `name` for some repeat, or `name`
/// is empty: a correction placed on a clip is taken by it only if its id still
/// fits the clip's name.
bool idFitsName(const std::string& id, const std::string& name);

} // namespace ZEM_0_81::Interchange::Cdl
