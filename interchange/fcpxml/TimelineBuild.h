#pragma once

#include "interchange/fcpxml/ElementReport.h"
#include "interchange/fcpxml/FcpxmlTime.h"
#include "interchange/fcpxml/Resources.h"
#include "interchange/fcpxml/StoryWalk.h"

#include "outside/dmtree/CoSharedPtr.h"

#include <pugixml.hpp>

#include <string>
#include <tuple>

class DmCompositionNode;

namespace ZEM_0_81::Interchange::Fcpx {

/// A project's sequence, as the composition it becomes.
struct SequenceInfo {
    std::string name;
    /// The frame duration of its format: the composition's rate, unless a
    /// time of the timeline lies between its frames.
    Time frame;
    /// Its "tcStart": the composition's start.
    Time start;
    /// Its "duration"; invalid when it has none.
    Time duration = Time::invalid();
    const Format* format = nullptr;
    /// The members of the composition's "fcpxml" dictionary (JSON object text).
    std::string kept;
};

/// The highest rate a composition is read at so that every time lands on a
/// frame (a sample rate of sound holds them): beyond it, times are rounded to
/// the sequence's frames.
constexpr std::int64_t kMaxExactRate = 192000;

/// The order of the tracks of a composition read: picture before sound;
/// lane 0 first, then away from it: picture above before below, sound below
/// before above. A track ranked lower comes first: sound after picture,
/// the far side after the near one, then by distance from lane 0.
using TrackRank = std::tuple<bool, bool, long long>;
TrackRank trackRank(TrackKind kind, int lane);

/// The composition of the timeline `walk` placed: its rate the sequence's, or
/// the lowest rate up to kMaxExactRate at which every record time is a whole
/// number of frames and every frame of the sequence too; each (lane, kind)
/// track a layer, in lane order (picture: lane 0, the lanes above, then those
/// below; sound: lane 0, the lanes below, then those above); items that
/// overlap within a track on further layers of it; holes as gaps.
CoSharedPtr<DmCompositionNode> buildComposition(const SequenceInfo& sequence, StoryWalk& walk,
                                                ElementReport& report);

} // namespace ZEM_0_81::Interchange::Fcpx
